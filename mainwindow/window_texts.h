// The captions of the program's windows, with their built-in Ukrainian texts
// (Windows-1251). An interface language file may replace them.
#pragma once

#include <string>
#include <vector>

#include "options_texts.h"

namespace olvendrix {

// Menu items and commands, in the order of a language file's [menu] keys.
enum TMenuText {
  mtxFile, mtxEdit, mtxSort, mtxNavigate, mtxHelp, mtxExit, mtxClearAll, mtxClearHistory,
  mtxOptions, mtxFirst, mtxNext, mtxLast, mtxPrior, mtxPagePrior, mtxPageNext, mtxHelpContents,
  mtxError, mtxMail, mtxAbout, mtxSave, mtxCopy, mtxSearch, mtxByNumtel, mtxByFamil, mtxByStreet,
  mtxCount
};
// The [menu] key of each, in the same order.
extern const char* const kMenuKeys[mtxCount];


struct TWindowTexts {
  std::string Caption;        // the designed window caption
  std::string CaptionFormat;  // %s caption, %s version
  std::string FatalError;     // %s line break, %s message
  std::string InputsCaption;
  std::string FieldCaptions[5];
  std::string StatusFormats[3];  // each used with one leading blank
  std::string Menu[mtxCount];
  // The main Sort menu's first item, which is not its command's caption.
  std::string SortMenuFirst;
  std::string ModeCaptions[3];
  std::string OptionsCaptions[otxCount];
  // The [languages] lines of the current language: "name=display text".
  std::vector<std::string> LanguageNames;
};

const TWindowTexts& DefaultWindowTexts();

// The Navigate menu's captions by navigation tag 0..5 (first, page back,
// line back, line forward, page forward, last).
constexpr TMenuText kNavigationTexts[6] = {mtxFirst, mtxPagePrior, mtxPrior, mtxNext, mtxPageNext, mtxLast};
// The sort commands' captions by sort order.
constexpr TMenuText kSortTexts[3] = {mtxByNumtel, mtxByFamil, mtxByStreet};

}  // namespace olvendrix
