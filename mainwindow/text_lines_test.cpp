// The text view's layout: line breaks, word wrap and positions, measured in
// characters (one unit each) so that the expected lines are plain to read.
#include "text_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace olvendrix {
namespace {

int Characters(std::string_view run) { return static_cast<int>(run.size()); }

std::vector<std::string> Shown(std::string_view text, int width) {
  std::vector<std::string> shown;
  for (const TTextLine& line : WrapText(text, width, Characters)) {
    shown.emplace_back(text.substr(line.Begin, line.End - line.Begin));
  }
  return shown;
}

TEST(TextLines, BreaksAtLineEndsAndWrapsAtBlanks) {
  EXPECT_EQ(Shown("", 10), (std::vector<std::string>{""}));
  EXPECT_EQ(Shown("one\r\ntwo\n\nthree", 10), (std::vector<std::string>{"one", "two", "", "three"}));
  EXPECT_EQ(Shown("one\r\n", 10), (std::vector<std::string>{"one", ""}));
  // Repeated short words wrap after the last blank that keeps the width.
  EXPECT_EQ(Shown("ab cd ab cd ab cd ", 8), (std::vector<std::string>{"ab cd ab", "cd ab cd"}));
  EXPECT_EQ(Shown("ab  cd", 2), (std::vector<std::string>{"ab", "cd"}));
  // Leading blanks of a paragraph stay: they indent it.
  EXPECT_EQ(Shown("  ab cd", 5), (std::vector<std::string>{"  ab", "cd"}));
}

TEST(TextLines, AWordWiderThanTheColumnBreaksBetweenCharacters) {
  EXPECT_EQ(Shown("abcdefgh ij", 3), (std::vector<std::string>{"abc", "def", "gh", "ij"}));
  // However narrow the column, every line holds at least one character.
  EXPECT_EQ(Shown("abc", 0), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TextLines, PositionsMapToLinesAndBack) {
  const std::string text = "ab cd\r\nef";
  const auto lines = WrapText(text, 3, Characters);  // "ab", "cd", "ef"
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(LineOfPosition(lines, 0), 0u);
  EXPECT_EQ(LineOfPosition(lines, 3), 1u);
  EXPECT_EQ(LineOfPosition(lines, 7), 2u);
  EXPECT_EQ(LineOfPosition(lines, text.size()), 2u);
  // Nearest character boundary: before the middle of a character, its start.
  EXPECT_EQ(PositionInLine(text, lines[1], 0, Characters), 3u);
  EXPECT_EQ(PositionInLine(text, lines[1], 1, Characters), 4u);
  EXPECT_EQ(PositionInLine(text, lines[1], 99, Characters), 5u);
  EXPECT_EQ(PositionInLine(text, lines[1], -5, Characters), 3u);
}

}  // namespace
}  // namespace olvendrix
