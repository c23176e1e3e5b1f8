// The Options dialog's captions that an interface language may replace, and
// the texts the dialog shows in the current language. Portable.
#pragma once

#include <string>
#include <vector>

namespace olvendrix {

// The captions a language may replace (empty keeps the designed one), in the
// order of the [OptionsForm] keys.
enum TOptionsText { otxCaseSensitiv, otxImmedSearch, otxDelay, otxParam, otxLang, otxCount };
extern const char* const kOptionsKeys[otxCount];

struct TOptionsTexts {
  std::string Caption;  // the main window's Options entry
  std::string Captions[otxCount];
  std::string ModeCaptions[3];
  std::string FieldCaptions[5];
};

// An interface language offered: its file's name (without ".lng") and how
// the current language shows it.
struct TLanguageChoice {
  std::string File;
  std::string Shown;
};

}  // namespace olvendrix
