// The message texts of the preparation, with their built-in Ukrainian texts
// (Windows-1251). An interface language file may replace each of them.
#pragma once

#include <string>

namespace olvendrix {

struct TMessageTexts {
  std::string ErrorFIndBase;    // %s: the full path of the table
  std::string ErrorVersion;     // %d: the stored format version
  std::string MessLoadDBF;
  std::string MessConvertData;
  std::string MessSortData;
  std::string MessMakeIndex;
  std::string MessSaveIndex;
  std::string MessSaveBIN;
  std::string MessLoadBIN;
  std::string MessLoadINDEX;
};

const TMessageTexts& DefaultMessageTexts();

}  // namespace olvendrix
