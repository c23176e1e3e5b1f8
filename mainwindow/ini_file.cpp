#include "ini_file.h"

#include <fstream>
#include <iterator>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "format.h"

namespace olvendrix {
namespace {

std::string Upper(std::string_view text) { return UpperCase1251(std::string(text)); }

constexpr std::size_t kMaxValue = 2047;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

// One line of the text: where it starts, where its content ends (before any
// CR LF) and where the next line starts.
struct Line {
  std::size_t start, end, next;
};

template <typename Visit>
void ForEachLine(const std::string& content, Visit&& visit) {
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    const std::size_t next = end == std::string::npos ? content.size() : end + 1;
    if (end == std::string::npos) end = content.size();
    if (end > start && content[end - 1] == '\r') --end;
    if (!visit(Line{start, end, next})) return;
    start = next;
  }
}

// UTF-16LE to UTF-8. A lone surrogate is encoded as itself, so that
// Utf8ToUtf16 gives back every code unit.
std::string Utf16ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                      static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  };
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(++i) - 0xDC00);
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// The inverse of Utf16ToUtf8, for text it made or well-formed UTF-8.
std::string Utf8ToUtf16(std::string_view text) {
  std::string out;
  out.reserve(2 * text.size());
  const auto put = [&](std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  };
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = DecodeUtf8(text, pos);
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

}  // namespace

std::string_view TrimProfileBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

TIniFile::TIniFile(const std::filesystem::path& path) : path_(path) {
  std::ifstream in(path, std::ios::binary);
  content_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const std::string_view bytes = content_;
  if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark) {
    encoding_ = Encoding::kUtf16;
    content_ = Utf16ToUtf8(bytes.substr(kUtf16Mark.size()));
  } else if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    encoding_ = Encoding::kUtf8;
    content_.erase(0, kUtf8Mark.size());
  }
  Parse();
}

std::string TIniFile::To1251(std::string_view held) const {
  return encoding_ == Encoding::kCp1251 ? std::string(held) : Utf8ToCp1251(held);
}

std::string TIniFile::From1251(std::string_view text) const {
  return encoding_ == Encoding::kCp1251 ? std::string(text) : Cp1251ToUtf8(text);
}

bool TIniFile::SectionName(std::string_view line, std::string& name) const {
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  name = Upper(To1251(TrimProfileBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1))));
  return true;
}

void TIniFile::Parse() {
  ++text_walks_;
  entries_.clear();
  std::string section;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view line = TrimProfileBlanks(std::string_view(content_).substr(at.start, at.end - at.start));
    if (line.empty() || line.front() == ';' || SectionName(line, section)) return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return true;
    std::string_view value = TrimProfileBlanks(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    entries_.push_back({section, Upper(To1251(TrimProfileBlanks(line.substr(0, equals)))), To1251(value)});
    return true;
  });
}

std::vector<std::string> TIniFile::ReadSectionLines(std::string_view section) const {
  const std::string wanted = Upper(section);
  std::vector<std::string> lines;
  std::string current;
  bool inside = false, seen = false;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view line = TrimProfileBlanks(std::string_view(content_).substr(at.start, at.end - at.start));
    if (SectionName(line, current)) {
      if (inside) return false;  // the first section of that name only
      inside = !seen && current == wanted;
      seen = seen || inside;
    } else if (inside && !line.empty() && line.front() != ';') {
      lines.push_back(To1251(line));
    }
    return true;
  });
  return lines;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string section_upper = Upper(section);
  PendingSection* target = nullptr;
  for (PendingSection& pending : pending_) {
    if (pending.upper == section_upper) target = &pending;
  }
  if (target == nullptr) target = &pending_.emplace_back(PendingSection{section_upper, std::string(section), {}});
  const std::string key_upper = Upper(TrimProfileBlanks(key));
  for (PendingKey& pending : target->keys) {
    if (pending.upper == key_upper) {
      pending.value = value;
      return;
    }
  }
  target->keys.push_back({key_upper, std::string(key), std::string(value)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::AppliedText() {
  ++text_walks_;
  for (PendingSection& section : pending_) {
    section.seen = false;
    for (PendingKey& key : section.keys) key.written = false;
  }
  std::string out;
  out.reserve(content_.size() + 4096);
  const auto end_line = [&] {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
  };
  const auto put_key = [&](const PendingKey& key) {
    end_line();
    out += From1251(key.key) + "=" + From1251(key.value) + "\r\n";
  };
  // New keys go after the last line of their section that is not blank.
  PendingSection* inside = nullptr;
  std::string held_blanks;
  const auto leave_section = [&] {
    if (inside == nullptr) return;
    for (const PendingKey& key : inside->keys) {
      if (!key.written) put_key(key);
    }
    out += held_blanks;
    held_blanks.clear();
    inside = nullptr;
  };
  std::string name;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view whole = std::string_view(content_).substr(at.start, at.next - at.start);
    const std::string_view raw = whole.substr(0, at.end - at.start);
    const std::string_view line = TrimProfileBlanks(raw);
    if (SectionName(line, name)) {
      leave_section();
      for (PendingSection& section : pending_) {
        if (section.upper == name && !section.seen) inside = &section;  // the first of that name only
      }
      if (inside != nullptr) inside->seen = true;
      out += whole;
      return true;
    }
    if (inside == nullptr) {
      out += whole;
      return true;
    }
    if (line.empty()) {
      held_blanks += whole;
      return true;
    }
    out += held_blanks;
    held_blanks.clear();
    const std::size_t equals = line.find('=');
    PendingKey* match = nullptr;
    if (line.front() != ';' && equals != std::string_view::npos) {
      const std::string key = Upper(To1251(TrimProfileBlanks(line.substr(0, equals))));
      for (PendingKey& pending : inside->keys) {
        if (pending.upper == key && !pending.written) match = &pending;
      }
    }
    if (match == nullptr) {
      out += whole;
      return true;
    }
    // Same key: the value after "=" is replaced, the rest of the line kept.
    const std::size_t value_start = raw.find('=') + 1;
    out += raw.substr(0, value_start);
    out += From1251(match->value);
    out += whole.substr(raw.size());
    match->written = true;
    return true;
  });
  leave_section();
  for (const PendingSection& section : pending_) {
    if (section.seen) continue;
    end_line();
    out += "[" + From1251(section.name) + "]\r\n";
    for (const PendingKey& key : section.keys) put_key(key);
  }
  return out;
}

void TIniFile::UpdateFile() {
  std::string text = AppliedText();
  std::string bytes;
  switch (encoding_) {
    case Encoding::kCp1251:
      bytes = text;
      break;
    case Encoding::kUtf8:
      bytes = std::string(kUtf8Mark) + text;
      break;
    case Encoding::kUtf16:
      bytes = std::string(kUtf16Mark) + Utf8ToUtf16(text);
      break;
  }
  try {
    SaveThroughTempFile(path_, bytes.data(), bytes.size());
  } catch (const Exception&) {
    throw EPhoneFormError(Format("Unable to write to %s", {PathText1251(path_)}));
  }
  content_ = std::move(text);
  pending_.clear();
  Parse();
}

const TIniFile::Entry* TIniFile::Find(std::string_view section, std::string_view key) const {
  const std::string wanted_section = Upper(section);
  const std::string wanted_key = Upper(key);
  for (const Entry& entry : entries_) {
    if (entry.section == wanted_section && entry.key == wanted_key) return &entry;
  }
  return nullptr;
}
std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& fallback) const {
  const Entry* entry = Find(section, key);
  return entry != nullptr ? entry->value.substr(0, kMaxValue) : fallback;
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
  const Entry* entry = Find(section, key);
  std::int32_t value = 0;
  return entry != nullptr && ParseProfileInteger(entry->value, value) ? value : fallback;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool ParseProfileInteger(std::string_view text, std::int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::int64_t number = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    number = number * base + digit;
    if (number > 0xFFFFFFFFll) return false;
  }
  if (negative) number = -number;
  // Hexadecimal values name 32-bit patterns (0xFFFFFFFF is -1).
  if (base == 16 && number > 0x7FFFFFFF) number -= 0x100000000ll;
  if (number < INT32_MIN || number > INT32_MAX) return false;
  value = static_cast<std::int32_t>(number);
  return true;
}

}  // namespace olvendrix
