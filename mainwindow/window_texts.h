// The captions and messages of the main window, with their built-in
// Ukrainian texts (Windows-1251).
#pragma once

#include <string>

namespace olvendrix {

struct TWindowTexts {
  std::string Caption;          // the designed window caption
  std::string CaptionFormat;    // %s caption, %s version
  std::string MessOnClose;
  std::string MessSearching;
  std::string MessSorting;
  std::string FatalError;       // %s line break, %s message
  std::string InputsCaption;
  std::string SearchButton;
  std::string FieldCaptions[5];
  std::string StatusFormats[3];  // each used with one leading blank
  std::string EditMenu, SearchItem, ClearInputsItem, ClearHistoryItem;
  std::string SortMenu, SortMenuFirst;
  std::string SortCommands[3];  // by number, by name, by street
  std::string NavigationMenu;
  std::string NavigationItems[6];
};

const TWindowTexts& DefaultWindowTexts();

}  // namespace olvendrix
