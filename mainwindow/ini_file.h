// TIniFile: a profile file (options.ini, the language files), read and
// written the way Windows profile functions do, but always as Windows-1251
// bytes, so that texts do not change with the system's code page. Sections
// and keys compare without regard to letter case; the first occurrence wins;
// a missing file reads as empty. Values are trimmed; a value in matching
// quotes loses them.
//
// Writes change the text in memory: a key is replaced in place, or created
// at the end of its section, or with its section at the end of the file;
// every other byte (comments, other sections, unknown keys) stays as it was.
// UpdateFile then writes it through a ".tmp" file replaced in one step, so a
// failed write never loses the file. One thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace olvendrix {

class TIniFile {
 public:
  // Reads the file; a missing or unreadable file gives an empty one.
  explicit TIniFile(const std::filesystem::path& path);

  // At most 2047 characters of the value, or `fallback`.
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& fallback) const;
  // Decimal with an optional sign, or hexadecimal after "0x"; anything else
  // (or a number that does not fit 32 bits) gives `fallback`.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
  // An integer; non-zero is true. A word such as "true" gives `fallback`.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  bool HasKey(std::string_view section, std::string_view key) const { return Find(section, key) != nullptr; }
  // Every line of a section as it stands ("name=text"), in order; empty for
  // a missing section.
  std::vector<std::string> ReadSectionLines(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Decimal.
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Writes the text to the file. Raises EPhoneFormError "Unable to write to
  // %s" with the file's full path when it cannot be written; the file on
  // disk is then left as it was.
  void UpdateFile() const;

 private:
  struct Entry {
    std::string section;  // upper-cased
    std::string key;      // upper-cased
    std::string value;
  };
  const Entry* Find(std::string_view section, std::string_view key) const;
  void Parse();

  std::filesystem::path path_;
  std::string content_;
  std::vector<Entry> entries_;
};

// The integer rules of ReadInteger for one text; false when it is no number.
bool ParseProfileInteger(std::string_view text, std::int32_t& value);

}  // namespace olvendrix
