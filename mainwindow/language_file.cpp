#include "language_file.h"

#include <algorithm>

#include "cp1251.h"
#include "file_helpers.h"
#include "format.h"
#include "platform/platform.h"

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

bool IsPlainLanguageName(std::string_view name1251) {
  if (name1251.empty() || name1251.find("..") != std::string_view::npos) return false;
  for (const char c : name1251) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  // A device name stays one with any extension and with blanks or dots after it.
  std::string base = UpperCase1251(std::string(name1251.substr(0, name1251.find('.'))));
  base.erase(base.find_last_not_of(' ') + 1);
  constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices)) return false;
  return !(base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9');
}

bool ReadLanguageFile(const std::filesystem::path& folder, const std::string& name1251,
                      TMessageTexts& messages, TWindowTexts& window) {
  const std::filesystem::path path = LanguageFilePath(folder, name1251);
  const bool exists = IsPlainLanguageName(name1251) && platform::RegularFileExists(path);
  // Nothing outside the folder is read, nor anything that is no language
  // file: the texts then fall back as for a missing file.
  ReadLanguageTexts(TIniFile(exists ? path : std::filesystem::path()), messages, window);
  return exists;
}

std::vector<std::string> FindLanguageFiles(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const std::filesystem::path& entry : platform::ListFolder(folder / "LANGUAGES")) {
    const auto utf8 = entry.u8string();
    const std::string file(utf8.begin(), utf8.end());
    const std::string file1251 = Utf8ToCp1251(file);
    if (Cp1251ToUtf8(file1251) != file || file1251.size() < 4 ||
        UpperCase1251(file1251.substr(file1251.size() - 4)) != ".LNG") {
      continue;
    }
    const std::string name = StripExtension(file1251);
    if (IsPlainLanguageName(name) && platform::RegularFileExists(LanguageFilePath(folder, name))) {
      names.push_back(name);
    }
  }
  return names;
}

std::string LanguageDisplayName(const std::vector<std::string>& language_names, const std::string& name1251) {
  const std::string wanted = UpperCase1251(name1251);
  for (const std::string& line : language_names) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos ||
        UpperCase1251(std::string(TrimProfileBlanks(std::string_view(line).substr(0, equals)))) != wanted) {
      continue;
    }
    const std::string_view text = TrimProfileBlanks(std::string_view(line).substr(equals + 1));
    return text.empty() ? name1251 : std::string(text);
  }
  return name1251;
}

}  // namespace olvendrix
