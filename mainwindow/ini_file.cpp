#include "mainwindow/ini_file.h"

#include <fstream>
#include <iterator>

#include "engine/cp1251.h"

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

}  // namespace

TIniFile::TIniFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string section;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const std::string_view line = Trim(std::string_view(content).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      section = Upper(Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    entries_.push_back({section, Upper(Trim(line.substr(0, equals))), std::string(value)});
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
