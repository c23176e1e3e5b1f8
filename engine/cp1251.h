// Windows-1251, the one code page of every text the directory stores.
//
// The engine keeps texts as Windows-1251 bytes; these helpers convert at the
// edges (UTF-8 source literals, terminals, file names in messages) and give the
// letter-case tables of the search. Pure functions, safe on any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace olvendrix {

using TCaseTable = std::array<std::uint8_t, 256>;

// Upper-case table: Latin and Cyrillic а..я, plus і, ё, ґ, є. Other letters
// (ї, ў among them) map to themselves.
const TCaseTable& ToUpperTable();
// The inverse mapping of the same letters.
const TCaseTable& ToLowerTable();

// UTF-8 to Windows-1251; a character the code page lacks becomes '?'.
std::string Utf8ToCp1251(std::string_view utf8);
// Windows-1251 to UTF-8; every byte has a character.
std::string Cp1251ToUtf8(std::string_view text);
// One Windows-1251 byte as its Unicode code point.
char32_t Cp1251ToCodePoint(std::uint8_t byte);

// Appends the UTF-8 form of the code point `cp`.
void AppendUtf8(std::string& out, char32_t cp);
// Decodes the UTF-8 sequence at text[pos] and moves `pos` past it; a
// malformed byte decodes as U+FFFD.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// Shorthand for Ukrainian literals written in UTF-8 source.
inline std::string W1251(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// The text without its trailing bytes 0x00..0x20.
std::string_view TrimTrailingBlanks(std::string_view text);

// Upper-cases Windows-1251 bytes with ToUpperTable.
std::string UpperCase1251(std::string text);

}  // namespace olvendrix
