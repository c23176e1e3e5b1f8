#include "mainwindow/language_file.h"

#include "engine/cp1251.h"
#include "engine/format.h"

namespace olvendrix {
namespace {

// The value of a key, or the built-in text when the key is missing or its
// placeholders differ from `placeholders`.
std::string Checked(const TIniFile& file, const char* section, const std::string& key,
                    const std::string& builtin, const char* placeholders) {
  const std::string value = file.ReadString(section, key, builtin);
  return placeholders == nullptr || FormatFits(value, placeholders) ? value : builtin;
}

}  // namespace

std::filesystem::path LanguageFilePath(const std::filesystem::path& folder, const std::string& name1251) {
  return folder / "LANGUAGES" / std::filesystem::u8path(Cp1251ToUtf8(name1251) + ".lng");
}

void ReadLanguageTexts(const TIniFile& file, TMessageTexts& messages, TWindowTexts& window) {
  const TWindowTexts& builtin = DefaultWindowTexts();
  const TMessageTexts& builtin_messages = DefaultMessageTexts();
  for (int i = 0; i < 5; ++i) {
    window.FieldCaptions[i] = file.ReadString("Strings", "FieldCaption" + std::to_string(i), builtin.FieldCaptions[i]);
  }
  const char* const status_placeholders[3] = {"d", "s", "d"};
  for (int k = 0; k < 3; ++k) {
    window.StatusFormats[k] = Checked(file, "Strings", "StatusBarNames" + std::to_string(k),
                                      builtin.StatusFormats[k], status_placeholders[k]);
  }
  for (const TMessageKey& message : kMessageKeys) {
    messages.*message.Text =
        Checked(file, "Strings", message.Key, builtin_messages.*message.Text, message.Placeholders);
  }
  for (int m = 0; m < mtxCount; ++m) window.Menu[m] = file.ReadString("menu", kMenuKeys[m], window.Menu[m]);
  for (int o = 0; o < otxCount; ++o) window.OptionsCaptions[o] = file.ReadString("OptionsForm", kOptionsKeys[o], "");
  for (int m = 0; m < 3; ++m) {
    window.ModeCaptions[m] = file.ReadString("optionsForm", "SCCaptions" + std::to_string(m), builtin.ModeCaptions[m]);
  }
  if (file.HasKey("mainform", "inputs")) window.InputsCaption = " " + file.ReadString("mainform", "inputs", "") + " ";
  window.LanguageNames = file.ReadSectionLines("languages");
}

}  // namespace olvendrix
