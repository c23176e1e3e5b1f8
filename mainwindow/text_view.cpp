#include "text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <functional>

#include "clipboard.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kTextViewClass[] = L"OlvendrixTextView";

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

TTextView::~TTextView() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

TTextView::TMeasure::TMeasure(const TTextView& view)
    : window_(view.window_), dc_(::GetDC(view.window_)), old_font_(::SelectObject(dc_, view.font_)) {}

TTextView::TMeasure::~TMeasure() {
  ::SelectObject(dc_, old_font_);
  ::ReleaseDC(window_, dc_);
}

int TTextView::TMeasure::operator()(std::string_view run1251) const {
  if (run1251.empty()) return 0;
  const std::wstring wide = win32::Wide(run1251);
  SIZE size{};
  ::GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

void TTextView::Create(HWND parent, int id, HFONT font) {
  win32::RegisterObjectClass<TTextView>(kTextViewClass);
  font_ = font;
  ::CreateWindowExW(WS_EX_CLIENTEDGE, kTextViewClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL,
                    0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    ::GetModuleHandleW(nullptr), this);
  SetFont(font);
}

void TTextView::SetFont(HFONT font) {
  font_ = font;
  if (window_ == nullptr) return;
  const HDC dc = ::GetDC(window_);
  const HGDIOBJ old_font = ::SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old_font);
  ::ReleaseDC(window_, dc);
  line_height_ = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
  margin_ = std::max(2, static_cast<int>(metrics.tmAveCharWidth) / 2);
  Relayout();
}

void TTextView::SetText(std::string text1251) {
  text_ = std::move(text1251);
  anchor_ = caret_ = 0;
  top_line_ = 0;
  Relayout();
}

std::size_t TTextView::ShownLineCount() const {
  RECT client{};
  ::GetClientRect(window_, &client);
  return static_cast<std::size_t>(std::max(1, static_cast<int>(client.bottom) / line_height_));
}

void TTextView::Relayout() {
  if (window_ == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  const TMeasure measure(*this);
  lines_ = WrapText(text_, client.right - 2 * margin_, std::cref(measure));
  ScrollTo(static_cast<std::ptrdiff_t>(top_line_));
  ::InvalidateRect(window_, nullptr, TRUE);
}

void TTextView::ScrollTo(std::ptrdiff_t line) {
  const std::ptrdiff_t last_top =
      std::max<std::ptrdiff_t>(0, static_cast<std::ptrdiff_t>(lines_.size() - ShownLineCount()));
  const auto top = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(line, 0, last_top));
  SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL};
  info.nMin = 0;
  info.nMax = static_cast<int>(lines_.size()) - 1;
  info.nPage = static_cast<UINT>(ShownLineCount());
  info.nPos = static_cast<int>(top);
  ::SetScrollInfo(window_, SB_VERT, &info, TRUE);
  if (top != top_line_) {
    top_line_ = top;
    ::InvalidateRect(window_, nullptr, TRUE);
  }
}

std::size_t TTextView::PositionAt(int x, int y) const {
  const int row = y < 0 ? -1 : y / line_height_;
  const std::ptrdiff_t line = static_cast<std::ptrdiff_t>(top_line_) + row;
  if (line < 0) return lines_.empty() ? 0 : lines_.front().Begin;
  if (static_cast<std::size_t>(line) >= lines_.size()) return text_.size();
  const TMeasure measure(*this);
  return PositionInLine(text_, lines_[static_cast<std::size_t>(line)], x - margin_, std::cref(measure));
}

void TTextView::Select(std::size_t anchor, std::size_t caret) {
  anchor_ = anchor;
  caret_ = caret;
  ::InvalidateRect(window_, nullptr, TRUE);
}

std::string TTextView::SelectedText1251() const {
  const std::size_t from = std::min(anchor_, caret_);
  return text_.substr(from, std::max(anchor_, caret_) - from);
}

void TTextView::CopySelection() const {
  const std::string selected = SelectedText1251();
  if (!selected.empty()) win32::CopyUnicodeText(window_, selected);
}

void TTextView::Paint(HDC dc, const RECT& dirty) const {
  const HGDIOBJ old_font = ::SelectObject(dc, font_);
  ::SetBkMode(dc, OPAQUE);
  const std::size_t from = std::min(anchor_, caret_);
  const std::size_t to = std::max(anchor_, caret_);
  const bool focused = ::GetFocus() == window_;
  const COLORREF text_colour = ::GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF back_colour = ::GetSysColor(COLOR_WINDOW);
  const COLORREF selected_text = ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  const COLORREF selected_back = ::GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  for (std::size_t line = top_line_; line < lines_.size(); ++line) {
    const int y = static_cast<int>(line - top_line_) * line_height_;
    if (y >= dirty.bottom) break;
    if (y + line_height_ <= dirty.top) continue;
    // The line in up to three runs: before, inside and after the selection.
    const TTextLine& span = lines_[line];
    const std::size_t cuts[4] = {span.Begin, std::clamp(from, span.Begin, span.End),
                                 std::clamp(to, span.Begin, span.End), span.End};
    int x = margin_;
    for (int run = 0; run < 3; ++run) {
      if (cuts[run + 1] == cuts[run]) continue;
      const std::wstring wide = win32::Wide(std::string_view(text_).substr(cuts[run], cuts[run + 1] - cuts[run]));
      ::SetTextColor(dc, run == 1 ? selected_text : text_colour);
      ::SetBkColor(dc, run == 1 ? selected_back : back_colour);
      ::ExtTextOutW(dc, x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
      SIZE size{};
      ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
      x += size.cx;
    }
  }
  ::SelectObject(dc, old_font);
}

LRESULT TTextView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window_, &paint);
      Paint(dc, paint.rcPaint);
      ::EndPaint(window_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(window_, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_WINDOW));
      return 1;
    }
    case WM_VSCROLL: {
      const auto page = static_cast<std::ptrdiff_t>(ShownLineCount());
      const auto top = static_cast<std::ptrdiff_t>(top_line_);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(top - 1); break;
        case SB_LINEDOWN: ScrollTo(top + 1); break;
        case SB_PAGEUP: ScrollTo(top - page); break;
        case SB_PAGEDOWN: ScrollTo(top + page); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(static_cast<std::ptrdiff_t>(lines_.size())); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO info{sizeof info, SIF_TRACKPOS};
          ::GetScrollInfo(window_, SB_VERT, &info);
          ScrollTo(info.nTrackPos);
          break;
        }
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      wheel_rest_ += GET_WHEEL_DELTA_WPARAM(wParam);
      const int notches = wheel_rest_ / WHEEL_DELTA;
      wheel_rest_ -= notches * WHEEL_DELTA;
      ScrollTo(static_cast<std::ptrdiff_t>(top_line_) - 3 * notches);
      return 0;
    }
    case WM_KEYDOWN: {
      const bool control = KeyIsDown(VK_CONTROL);
      const auto page = static_cast<std::ptrdiff_t>(ShownLineCount());
      const auto top = static_cast<std::ptrdiff_t>(top_line_);
      switch (wParam) {
        case VK_UP: ScrollTo(top - 1); return 0;
        case VK_DOWN: ScrollTo(top + 1); return 0;
        case VK_PRIOR: ScrollTo(top - page); return 0;
        case VK_NEXT: ScrollTo(top + page); return 0;
        case VK_HOME: ScrollTo(0); return 0;
        case VK_END: ScrollTo(static_cast<std::ptrdiff_t>(lines_.size())); return 0;
        case 'A':
          if (control) Select(0, text_.size());
          return 0;
        case 'C':
        case VK_INSERT:
          if (control) CopySelection();
          return 0;
      }
      break;
    }
    case WM_COPY:
      CopySelection();
      return 0;
    case WM_LBUTTONDOWN: {
      ::SetFocus(window_);
      const std::size_t position = PositionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      Select((wParam & MK_SHIFT) != 0 ? anchor_ : position, position);
      ::SetCapture(window_);
      dragging_ = true;
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) Select(anchor_, PositionAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) ::ReleaseCapture();
      }
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ::InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
