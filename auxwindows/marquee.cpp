#include "marquee.h"

#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kMarqueeClass[] = L"TddgMarquee";
constexpr UINT_PTR kScrollTimer = 1;

}  // namespace


TddgMarquee::TddgMarquee(HWND parent) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<TddgMarquee>(kMarqueeClass);
  ::CreateWindowExW(0, kMarqueeClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 75, parent, nullptr, instance, this);
}

TddgMarquee::~TddgMarquee() {
  OnDone = nullptr;
  SetActive(false);
  if (window_ != nullptr) ::DestroyWindow(window_);
}

void TddgMarquee::SetActive(bool active) {
  if (active && !active_ && !Items.empty() && window_ != nullptr) {
    active_ = true;
    FillBitmap();
    ::SetTimer(window_, kScrollTimer, 100, nullptr);
  } else if (!active && active_) {
    if (window_ != nullptr) ::KillTimer(window_, kScrollTimer);
    active_ = false;
    if (bitmap_dc_ != nullptr) {
      ::SelectObject(bitmap_dc_, previous_bitmap_);
      ::DeleteDC(bitmap_dc_);
      ::DeleteObject(bitmap_);
    }
    bitmap_dc_ = nullptr;
    bitmap_ = nullptr;
    geometry_.reset();
    if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
    if (OnDone) OnDone(*this);
  }
}

void TddgMarquee::FillBitmap() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const HDC screen = ::GetDC(window_);
  bitmap_dc_ = ::CreateCompatibleDC(screen);
  const HGDIOBJ previous_font = ::SelectObject(bitmap_dc_, font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(bitmap_dc_, &metrics);
  const int line_height = metrics.tmHeight + metrics.tmInternalLeading;
  geometry_ = std::make_unique<TMarqueeGeometry>(client.right, client.bottom, kBevel, static_cast<int>(Items.size()),
                                                 line_height, ScrollDown);
  const TMarqueeRect whole = geometry_->Bitmap();
  bitmap_ = ::CreateCompatibleBitmap(screen, whole.Width, whole.Height);
  ::ReleaseDC(window_, screen);
  previous_bitmap_ = ::SelectObject(bitmap_dc_, bitmap_);
  RECT fill{0, 0, whole.Width, whole.Height};
  ::FillRect(bitmap_dc_, &fill, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(bitmap_dc_, TRANSPARENT);
  ::SetTextColor(bitmap_dc_, text_colour_);
  const UINT alignment = Justify == tjLeft ? DT_LEFT : Justify == tjRight ? DT_RIGHT : DT_CENTER;
  for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
    // One line each; a line wider than the frame is cut at its edge.
    RECT line{2 * kBevel, geometry_->LineTop(i), whole.Width - 4 * kBevel, whole.Height};
    const std::wstring text = win32::Wide(Items[static_cast<std::size_t>(i)]);
    ::DrawTextW(bitmap_dc_, text.c_str(), static_cast<int>(text.size()), &line,
                alignment | DT_SINGLELINE | DT_NOPREFIX | DT_TOP);
  }
  ::SelectObject(bitmap_dc_, previous_font);
}

void TddgMarquee::Tick() {
  if (!active_) return;
  if (!geometry_->Step()) {
    SetActive(false);
    return;
  }
  const TMarqueeRect inside = geometry_->Inside();
  RECT area{inside.Left, inside.Top, inside.Left + inside.Width, inside.Top + inside.Height};
  ::InvalidateRect(window_, &area, FALSE);
}

void TddgMarquee::Paint(HDC dc) {
  RECT client{};
  ::GetClientRect(window_, &client);
  ::DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
  if (!active_) {
    ::InflateRect(&client, -2, -2);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  // Only the sliding window of the bitmap: no erasing, no flicker.
  const TMarqueeRect inside = geometry_->Inside();
  ::BitBlt(dc, inside.Left, inside.Top, inside.Width, inside.Height, bitmap_dc_, 0, geometry_->Position(), SRCCOPY);
}

LRESULT TddgMarquee::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kScrollTimer) Tick();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = ::BeginPaint(window_, &paint);
      Paint(dc);
      ::EndPaint(window_, &paint);
      return 0;
    }
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
