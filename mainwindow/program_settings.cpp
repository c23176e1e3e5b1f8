#include "program_settings.h"

#include "file_helpers.h"

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

void WriteOptions(TIniFile& ini, const TProgramSettings& settings, const TSearchOptions& options) {
  constexpr const char* kSection = "Options";
  ini.WriteBool(kSection, "CaseSensitiv", options.CaseSensitive);
  ini.WriteString(kSection, "SearchParam", BytesToDigits(options.Modes));
  ini.WriteBool(kSection, "ImmedSearch", settings.ImmedSearch);
  ini.WriteBool(kSection, "Delay", settings.Delay);
  ini.WriteInteger(kSection, "SortMode", options.SortOrder);
  ini.WriteString(kSection, "LangName", settings.LangName);
}

void ReadSearchOptions(const TIniFile& ini, TSearchOptions& options) {
  constexpr const char* kSection = "Options";
  options.CaseSensitive = ini.ReadBool(kSection, "CaseSensitiv", options.CaseSensitive);
  const auto order = static_cast<std::uint8_t>(ini.ReadInteger(kSection, "SortMode", options.SortOrder));
  options.SortOrder = order <= 2 ? order : 0;
  TMatchModes modes = options.Modes;
  if (DigitsToBytes(ini.ReadString(kSection, "SearchParam", "00000"), modes)) options.Modes = modes;
}

bool RegisterMarkSet(std::string_view text) {
  std::int32_t value = 0;
  return ParseProfileInteger(text, value) && value != 0;
}

}  // namespace olvendrix
