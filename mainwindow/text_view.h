// TTextView: a read-only, word-wrapped text in a child window of its own,
// with a vertical scroll bar, selection by mouse and keyboard (Ctrl+A), and
// copy (Ctrl+C, Ctrl+Insert, WM_COPY). It draws its lines with ExtTextOutW
// rather than through an edit control, whose text drawing under Wine 8 fails
// on some Cyrillic lines of repeated words.
//
// Main thread only. The window is destroyed with its parent or with the
// object; the font stays the caller's.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "text_lines.h"
#include "win32_window.h"

namespace olvendrix {

class TTextView {
 public:
  TTextView() = default;
  TTextView(const TTextView&) = delete;
  TTextView& operator=(const TTextView&) = delete;
  ~TTextView();

  // Creates the view as child `id` of `parent`, drawn with `font`.
  void Create(HWND parent, int id, HFONT font);
  // Draws with `font` from now on, laid out again.
  void SetFont(HFONT font);
  HWND Handle() const { return window_; }
  // Shows `text1251` (lines ended by CR LF or LF) from its top, unselected.
  void SetText(std::string text1251);

  std::size_t LineCount() const { return lines_.size(); }
  std::size_t FirstShownLine() const { return top_line_; }
  // The lines that fit wholly in the view (at least one).
  std::size_t ShownLineCount() const;
  std::string SelectedText1251() const;

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Measures runs of the text in the view's font, for as long as it lives.
  class TMeasure {
   public:
    explicit TMeasure(const TTextView& view);
    ~TMeasure();
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;
    int operator()(std::string_view run1251) const;

   private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_font_;
  };
  void Relayout();
  void ScrollTo(std::ptrdiff_t line);
  std::size_t PositionAt(int x, int y) const;
  void Select(std::size_t anchor, std::size_t caret);
  void CopySelection() const;
  void Paint(HDC dc, const RECT& dirty) const;

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  int line_height_ = 16;
  int margin_ = 4;
  std::string text_;
  std::vector<TTextLine> lines_;
  std::size_t top_line_ = 0;
  std::size_t anchor_ = 0;  // selection: from anchor_ to caret_, either order
  std::size_t caret_ = 0;
  bool dragging_ = false;
  int wheel_rest_ = 0;
};

}  // namespace olvendrix
