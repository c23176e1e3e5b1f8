// TIniFile: a profile file (options.ini, the language files), read and
// written the way Windows profile functions do, but with Windows-1251 texts
// whatever the system's code page. Sections and keys compare without regard
// to letter case; the first occurrence wins; a missing file reads as empty.
// Values are trimmed; a value in matching quotes loses them.
//
// The file's encoding is kept: a file that begins with a UTF-16LE or a UTF-8
// byte-order mark is read and written in that encoding (mark included), any
// other file as Windows-1251 bytes. Every text given or returned is
// Windows-1251 either way; a character the code page lacks reads as '?',
// but stays as it was in the file.
//
// Writes are collected and reach the text together in UpdateFile, in one
// pass: a key is replaced in place, or created at the end of its section, or
// with its section at the end of the file; every other byte (comments, other
// sections, unknown keys) stays as it was. The text is then written through
// a temporary file replaced in one step, so a failed write never loses the
// file. Until then, reads give the text as read. One thread at a time.
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

  // Notes the value for UpdateFile; a later write of the same key wins.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Decimal.
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Applies the writes to the text and writes it to the file. Raises
  // EPhoneFormError "Unable to write to %s" with the file's full path when
  // it cannot be written; the file on disk is then left as it was and the
  // writes stay noted.
  void UpdateFile();

  // How many times the whole text has been walked so far (reading it,
  // applying the writes): the writes of a whole exit cost one walk.
  int TextWalks() const { return text_walks_; }

 private:
  enum class Encoding { kCp1251, kUtf8, kUtf16 };
  struct Entry {
    std::string section;  // upper-cased
    std::string key;      // upper-cased
    std::string value;
  };
  // A noted write: the names upper-cased and as given, and whether the walk
  // of AppliedText has met its key or section yet.
  struct PendingKey {
    std::string upper, key, value;
    bool written = false;
  };
  struct PendingSection {
    std::string upper, name;
    std::vector<PendingKey> keys;
    bool seen = false;
  };
  const Entry* Find(std::string_view section, std::string_view key) const;
  void Parse();
  // The text with every noted write applied, in one walk.
  std::string AppliedText();
  // The upper-cased Windows-1251 name of a section header line, or false for
  // another line.
  bool SectionName(std::string_view line, std::string& name) const;
  // Between the text as held (the file's bytes, UTF-8 for a file with a
  // mark) and Windows-1251.
  std::string To1251(std::string_view held) const;
  std::string From1251(std::string_view text) const;

  std::filesystem::path path_;
  Encoding encoding_ = Encoding::kCp1251;
  std::string content_;  // without the byte-order mark
  std::vector<Entry> entries_;
  std::vector<PendingSection> pending_;
  int text_walks_ = 0;
};

// The text without the blanks the profile functions trim (space, tab, CR,
// LF) at either end.
std::string_view TrimProfileBlanks(std::string_view text);

// The integer rules of ReadInteger for one text; false when it is no number.
bool ParseProfileInteger(std::string_view text, std::int32_t& value);

}  // namespace olvendrix
