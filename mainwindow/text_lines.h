// Read-only text laid out in lines for the program's own text view: hard
// line breaks (CR LF or LF) and word wrap at a width, measured by the
// caller's font. Portable (the measure is a callback), so that the wrap rules
// are tested without a window.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace olvendrix {

// One shown line: the bytes [Begin, End) of the text, without its line break
// or the blanks where it was wrapped.
struct TTextLine {
  std::size_t Begin = 0;
  std::size_t End = 0;
};

// The width of a run of the text, in the caller's units (pixels).
using TMeasureText = std::function<int(std::string_view)>;

// The lines of `text` in a column `width` wide: a line breaks after the last
// blank that keeps it within the width; a word wider than the column breaks
// between characters (at least one per line). Always at least one line.
std::vector<TTextLine> WrapText(std::string_view text, int width, const TMeasureText& measure);

// The line that holds text position `position` (the last one for the end).
std::size_t LineOfPosition(const std::vector<TTextLine>& lines, std::size_t position);

// The text position nearest to `x` within `line` (x from the line's left).
std::size_t PositionInLine(std::string_view text, const TTextLine& line, int x, const TMeasureText& measure);

}  // namespace olvendrix
