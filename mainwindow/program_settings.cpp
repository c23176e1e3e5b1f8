#include "mainwindow/program_settings.h"

#include "engine/file_helpers.h"

namespace olvendrix {

void ReadDirectives(const TIniFile& ini, TProgramSettings& settings) {
  constexpr const char* kSection = "Directives";
  settings.BaseFileName = ini.ReadString(kSection, "BaseFileName", settings.BaseFileName);
  settings.AlwaysPrepareBase = ini.ReadBool(kSection, "AlwaysPrepareBase", settings.AlwaysPrepareBase);
  settings.NoDeleteBase = ini.ReadBool(kSection, "NoDeleteBase", settings.NoDeleteBase);
  settings.RegisterProgram = ini.ReadBool(kSection, "RegisterProgram", settings.RegisterProgram);
  settings.CreateShortCut = ini.ReadBool(kSection, "CreateShortCut", settings.CreateShortCut);
  settings.HistoryCount = ini.ReadInteger(kSection, "HistoryCount", settings.HistoryCount);
  if (settings.HistoryCount < 0 || settings.HistoryCount > 100) settings.HistoryCount = 8;
}

void ReadSearchOptions(const TIniFile& ini, TSearchList& search) {
  constexpr const char* kSection = "Options";
  search.CaseSensitive = ini.ReadBool(kSection, "CaseSensitiv", search.CaseSensitive);
  const auto order = static_cast<std::uint8_t>(ini.ReadInteger(kSection, "SortMode", search.SortOrder()));
  search.SetSortOrder(order <= 2 ? order : 0);
  TMatchModes modes = search.Modes;
  if (DigitsToBytes(ini.ReadString(kSection, "SearchParam", "00000"), modes)) search.Modes = modes;
}

}  // namespace olvendrix
