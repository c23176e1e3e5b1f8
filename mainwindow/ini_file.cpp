#include "mainwindow/ini_file.h"

#include <fstream>
#include <iterator>

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/file_helpers.h"
#include "engine/format.h"

namespace olvendrix {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) { return UpperCase1251(std::string(text)); }

constexpr std::size_t kMaxValue = 2047;

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

// The upper-cased name of a section header line, or false for another line.
bool SectionName(std::string_view line, std::string& name) {
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  name = Upper(Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
  return true;
}

}  // namespace

TIniFile::TIniFile(const std::filesystem::path& path) : path_(path) {
  std::ifstream in(path, std::ios::binary);
  content_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  Parse();
}

void TIniFile::Parse() {
  entries_.clear();
  std::string section;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view line = Trim(std::string_view(content_).substr(at.start, at.end - at.start));
    if (line.empty() || line.front() == ';' || SectionName(line, section)) return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return true;
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    entries_.push_back({section, Upper(Trim(line.substr(0, equals))), std::string(value)});
    return true;
  });
}

std::vector<std::string> TIniFile::ReadSectionLines(std::string_view section) const {
  const std::string wanted = Upper(section);
  std::vector<std::string> lines;
  std::string current;
  bool inside = false, seen = false;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view line = Trim(std::string_view(content_).substr(at.start, at.end - at.start));
    if (SectionName(line, current)) {
      if (inside) return false;  // the first section of that name only
      inside = !seen && current == wanted;
      seen = seen || inside;
    } else if (inside && !line.empty() && line.front() != ';') {
      lines.emplace_back(line);
    }
    return true;
  });
  return lines;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string wanted_section = Upper(section);
  const std::string wanted_key = Upper(Trim(key));
  std::string current;
  bool inside = false, found_section = false, replaced = false;
  std::size_t insert_at = std::string::npos;
  ForEachLine(content_, [&](const Line& at) {
    const std::string_view raw = std::string_view(content_).substr(at.start, at.end - at.start);
    const std::string_view line = Trim(raw);
    if (SectionName(line, current)) {
      if (inside) return false;
      inside = !found_section && current == wanted_section;
      if (inside) insert_at = at.next;
      found_section = found_section || inside;
      return true;
    }
    if (!inside || line.empty()) return true;
    insert_at = at.next;
    const std::size_t equals = line.find('=');
    if (line.front() == ';' || equals == std::string_view::npos || Upper(Trim(line.substr(0, equals))) != wanted_key) {
      return true;
    }
    // Same key: the value after "=" is replaced, the rest of the line kept.
    const std::size_t value_start = at.start + static_cast<std::size_t>(raw.find('=')) + 1;
    content_.replace(value_start, at.end - value_start, value);
    replaced = true;
    return false;
  });
  if (!replaced) {
    const std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
    if (!found_section) insert_at = content_.size();
    // A last line without its line end gets one before anything follows it.
    if (insert_at == content_.size() && !content_.empty() && content_.back() != '\n') {
      content_ += "\r\n";
      insert_at = content_.size();
    }
    content_.insert(insert_at, found_section ? entry : "[" + std::string(section) + "]\r\n" + entry);
  }
  Parse();
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::UpdateFile() const {
  try {
    SaveThroughTempFile(path_, content_.data(), content_.size());
  } catch (const Exception&) {
    throw EPhoneFormError(Format("Unable to write to %s", {PathText1251(path_)}));
  }
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
