// The program-wide settings named after their options.ini keys, and the
// reading of the keys that steer preparation and searching. Portable: the
// window and the command-line lookup read them the same way.
#pragma once

#include <string>
#include <string_view>

#include "match_mode.h"
#include "ini_file.h"

namespace olvendrix {

// The maker's web host and support address.
constexpr const char* kMakerHost = "www.brisvalde.example";
constexpr const char* kSupportAddress = "support@brisvalde.example";


struct TProgramSettings {
  std::string BaseFileName = "Data.dbf";  // Windows-1251, relative to the program's folder
  bool AlwaysPrepareBase = false;
  bool NoDeleteBase = false;
  bool RegisterProgram = true;
  bool CreateShortCut = true;
  int HistoryCount = 8;
  bool ImmedSearch = true;
  bool Delay = true;
  std::string LangName = "ukrainian";
  // Where the Help menu's web page and letters go; an administrator may
  // name others in [Directives] MakerHost and SupportAddress.
  std::string MakerHost = kMakerHost;
  std::string SupportAddress = kSupportAddress;
};

// [Directives] BaseFileName, AlwaysPrepareBase, NoDeleteBase,
// RegisterProgram, CreateShortCut, HistoryCount (0..100, else 8), MakerHost
// and SupportAddress.
void ReadDirectives(const TIniFile& ini, TProgramSettings& settings);

// [Options] ImmedSearch, Delay and LangName.
void ReadOptions(const TIniFile& ini, TProgramSettings& settings);

// What the next search takes from the user's choices.
struct TSearchOptions {
  bool CaseSensitive = false;
  TMatchModes Modes{};
  std::uint8_t SortOrder = 0;
};

// [Options] CaseSensitiv, SortMode and SearchParam. A sort order outside
// 0..2 becomes 0; a SearchParam that does not start with five digits leaves
// the modes as they were.
void ReadSearchOptions(const TIniFile& ini, TSearchOptions& options);

// [Options] CaseSensitiv, SearchParam, ImmedSearch, Delay, SortMode and
// LangName, in that order. [Directives] is never written.
void WriteOptions(TIniFile& ini, const TProgramSettings& settings, const TSearchOptions& options);

// Whether the first-run setup's registry value "Register", held as text,
// says that the setup has run: the text reads as a non-zero integer by the
// rules of ReadInteger. Missing or non-numeric text ("1abc", " 1", a number
// beyond 32 bits) counts as 0.
bool RegisterMarkSet(std::string_view text);

}  // namespace olvendrix
