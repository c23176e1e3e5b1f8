// TIniFile: the settings file options.ini, read the way Windows profile
// functions read it, but always as Windows-1251 bytes, so that texts do not
// change with the system's code page. Sections and keys compare without
// regard to letter case; the first occurrence wins; a missing file reads as
// empty. Values are trimmed; a value in matching quotes loses them.
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

 private:
  struct Entry {
    std::string section;  // upper-cased
    std::string key;      // upper-cased
    std::string value;
  };
  const Entry* Find(std::string_view section, std::string_view key) const;

  std::vector<Entry> entries_;
};

// The integer rules of ReadInteger for one text; false when it is no number.
bool ParseProfileInteger(std::string_view text, std::int32_t& value);

}  // namespace olvendrix
