#include "text_lines.h"

#include <algorithm>

namespace olvendrix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Appends the lines of one paragraph [begin, end) (no line breaks inside).
void WrapParagraph(std::string_view text, std::size_t begin, std::size_t end, int width,
                   const TMeasureText& measure, std::vector<TTextLine>& lines) {
  std::size_t start = begin;
  do {
    // The longest run from `start` that fits, found by growing it word by
    // word; then, if not even the first word fits, character by character.
    std::size_t fit_end = start;     // end of the last fitting run, at a word end
    std::size_t next_start = start;  // where the next line begins after it
    std::size_t word_end = start;
    while (word_end < end) {
      std::size_t blank = word_end;
      while (blank < end && IsBlank(text[blank])) ++blank;
      std::size_t after_word = blank;
      while (after_word < end && !IsBlank(text[after_word])) ++after_word;
      if (measure(text.substr(start, after_word - start)) > width) break;
      fit_end = after_word;
      word_end = after_word;
      next_start = after_word;
      while (next_start < end && IsBlank(text[next_start])) ++next_start;
    }
    if (fit_end == start && start < end) {
      // A word wider than the column: as many characters as fit, at least one.
      std::size_t count = 1;
      while (start + count < end && !IsBlank(text[start + count]) &&
             measure(text.substr(start, count + 1)) <= width) {
        ++count;
      }
      fit_end = next_start = start + count;
      while (next_start < end && IsBlank(text[next_start])) ++next_start;
    }
    lines.push_back({start, fit_end});
    start = next_start;
  } while (start < end);
}

}  // namespace

std::vector<TTextLine> WrapText(std::string_view text, int width, const TMeasureText& measure) {
  std::vector<TTextLine> lines;
  std::size_t begin = 0;
  while (true) {
    std::size_t end = text.find('\n', begin);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    const std::size_t content_end = end > begin && text[end - 1] == '\r' ? end - 1 : end;
    WrapParagraph(text, begin, content_end, width, measure, lines);
    if (last) break;
    begin = end + 1;
  }
  return lines;
}

std::size_t LineOfPosition(const std::vector<TTextLine>& lines, std::size_t position) {
  // The last line that begins at or before the position.
  const auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                      [](std::size_t p, const TTextLine& line) { return p < line.Begin; });
  return after == lines.begin() ? 0 : static_cast<std::size_t>(after - lines.begin()) - 1;
}

std::size_t PositionInLine(std::string_view text, const TTextLine& line, int x, const TMeasureText& measure) {
  int previous = 0;
  for (std::size_t position = line.Begin; position < line.End; ++position) {
    const int next = measure(text.substr(line.Begin, position + 1 - line.Begin));
    if (2 * x < previous + next) return position;  // before the character's middle
    previous = next;
  }
  return line.End;
}

}  // namespace olvendrix
