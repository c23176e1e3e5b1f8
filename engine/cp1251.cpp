#include "cp1251.h"

namespace olvendrix {
namespace {

// Unicode code points of the bytes 0x80..0xFF. 0x98 has no character in the
// code page; it keeps the C1 control point so that every byte round-trips.
constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Upper and lower forms of the letters outside the two contiguous ranges.
constexpr std::uint8_t kExtraPairs[][2] = {
    {0xB2, 0xB3},  // І і
    {0xA8, 0xB8},  // Ё ё
    {0xA5, 0xB4},  // Ґ ґ
    {0xAA, 0xBA},  // Є є
};

TCaseTable BuildCaseTable(bool upper) {
  TCaseTable table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<std::uint8_t>(c);
  auto fold_range = [&](int first_upper, int last_upper) {
    for (int c = first_upper; c <= last_upper; ++c) {
      if (upper) table[c + 32] = static_cast<std::uint8_t>(c);
      else table[c] = static_cast<std::uint8_t>(c + 32);
    }
  };
  fold_range(0x41, 0x5A);
  fold_range(0xC0, 0xDF);
  for (const auto& pair : kExtraPairs) {
    if (upper) table[pair[1]] = pair[0];
    else table[pair[0]] = pair[1];
  }
  return table;
}

char CodePointToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
  for (int i = 0; i < 64; ++i) {
    if (kHighHalf[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size()) return 0xFFFD;
    const auto next = static_cast<std::uint8_t>(text[pos]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (next & 0x3F);
    ++pos;
  }
  return cp;
}

const TCaseTable& ToUpperTable() {
  static const TCaseTable table = BuildCaseTable(true);
  return table;
}

const TCaseTable& ToLowerTable() {
  static const TCaseTable table = BuildCaseTable(false);
  return table;
}

char32_t Cp1251ToCodePoint(std::uint8_t byte) {
  return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) out += CodePointToCp1251(DecodeUtf8(utf8, pos));
  return out;
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, Cp1251ToCodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && static_cast<std::uint8_t>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

std::string UpperCase1251(std::string text) {
  const TCaseTable& upper = ToUpperTable();
  for (char& c : text) c = static_cast<char>(upper[static_cast<std::uint8_t>(c)]);
  return text;
}

}  // namespace olvendrix
