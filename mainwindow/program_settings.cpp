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
  settings.MakerHost = ini.ReadString(kSection, "MakerHost", settings.MakerHost);
  settings.SupportAddress = ini.ReadString(kSection, "SupportAddress", settings.SupportAddress);
}

void ReadOptions(const TIniFile& ini, TProgramSettings& settings) {
  constexpr const char* kSection = "Options";
  settings.ImmedSearch = ini.ReadBool(kSection, "ImmedSearch", settings.ImmedSearch);
  settings.Delay = ini.ReadBool(kSection, "Delay", settings.Delay);
  settings.LangName = ini.ReadString(kSection, "LangName", settings.LangName);
}

void WriteOptions(TIniFile& ini, const TProgramSettings& settings, bool case_sensitive,
                  const TMatchModes& modes, std::uint8_t sort_order) {
  constexpr const char* kSection = "Options";
  ini.WriteBool(kSection, "CaseSensitiv", case_sensitive);
  ini.WriteString(kSection, "SearchParam", BytesToDigits(modes));
  ini.WriteBool(kSection, "ImmedSearch", settings.ImmedSearch);
  ini.WriteBool(kSection, "Delay", settings.Delay);
  ini.WriteInteger(kSection, "SortMode", sort_order);
  ini.WriteString(kSection, "LangName", settings.LangName);
}

void ReadSearchOptions(const TIniFile& ini, TSearchList& search) {
  constexpr const char* kSection = "Options";
  search.CaseSensitive = ini.ReadBool(kSection, "CaseSensitiv", search.CaseSensitive);
  const auto order = static_cast<std::uint8_t>(ini.ReadInteger(kSection, "SortMode", search.SortOrder()));
  search.SetSortOrder(order <= 2 ? order : 0);
  TMatchModes modes = search.Modes;
  if (DigitsToBytes(ini.ReadString(kSection, "SearchParam", "00000"), modes)) search.Modes = modes;
}

bool RegisterMarkSet(std::string_view text) {
  std::int32_t value = 0;
  return ParseProfileInteger(text, value) && value != 0;
}

}  // namespace olvendrix
