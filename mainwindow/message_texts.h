// The message texts of the program, with their built-in Ukrainian texts
// (Windows-1251). An interface language file may replace each of them; the
// table of keys says how they are read.
#pragma once

#include <string>

namespace olvendrix {

struct TMessageTexts {
  std::string ErrorFIndBase;    // %s: the full path of the table
  std::string ErrorTerminate;   // %s; held, shown nowhere
  std::string ErrorSaveToFile;  // %s: the failure of a save
  std::string ErrorVersion;     // %d: the stored format version
  std::string MessLoadDBF;
  std::string MessConvertData;
  std::string MessSortData;
  std::string MessMakeIndex;
  std::string MessSaveBIN;
  std::string MessSaveIndex;
  std::string MessLoadBIN;
  std::string MessLoadINDEX;
  std::string MessSaveToFile;
  std::string MessSearching;
  std::string MessSorting;
  std::string MessOnClose;
  // The help viewer's, when help.hlp cannot be shown; %s: the file's path.
  std::string HelpMissing;   // missing, unreadable or without topics
  std::string HelpTooLarge;  // larger than any help text
  std::string HelpNotText;   // binary
};

const TMessageTexts& DefaultMessageTexts();

// One message of a language file's [Strings] section: its key, where it is
// kept, and the placeholders it must carry ('s' text, 'd' number); null for
// a text that is shown as it is, never formatted.
struct TMessageKey {
  const char* Key;
  std::string TMessageTexts::*Text;
  const char* Placeholders;
};
// The messages in the order a language file is read: the sixteen of the
// preparation, search, save and close, then the help viewer's.
extern const TMessageKey kMessageKeys[19];

}  // namespace olvendrix
