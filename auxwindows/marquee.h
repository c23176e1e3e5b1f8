// TddgMarquee: a reusable control that scrolls lines of text through its
// frame. It draws all lines once into an off-screen bitmap and, every
// 100 ms, copies a sliding window of it to the screen, so nothing flickers.
// A run ends when the last line has left the frame (OnDone).
//
// Main thread only. The control owns its window, timer and bitmap.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "marquee_geometry.h"
#include "win32_window.h"

namespace olvendrix {

enum TJustification { tjCenter, tjLeft, tjRight };

class TddgMarquee {
 public:
  // A 100 x 75 control with a bevel of 3, inside `parent`.
  explicit TddgMarquee(HWND parent);
  TddgMarquee(const TddgMarquee&) = delete;
  TddgMarquee& operator=(const TddgMarquee&) = delete;
  virtual ~TddgMarquee();

  // The lines, Windows-1251; read when the marquee becomes active.
  std::vector<std::string> Items;
  TJustification Justify = tjCenter;
  bool ScrollDown = false;
  // Called at the end of every run, after the marquee became inactive.
  std::function<void(TddgMarquee& sender)> OnDone;

  // True starts a run (only with at least one line); false stops it.
  void SetActive(bool active);
  bool Active() const { return active_; }
  void SetFont(HFONT font) { font_ = font; }
  void SetTextColor(COLORREF colour) { text_colour_ = colour; }
  HWND Handle() const { return window_; }
  // The geometry of the current run, or null while inactive.
  const TMarqueeGeometry* Geometry() const { return geometry_.get(); }
  // One timer tick (tests call it to step without waiting).
  void Tick();

 protected:
  virtual void FillBitmap();
  virtual void Paint(HDC dc);

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  static constexpr int kBevel = 3;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;  // not owned
  COLORREF text_colour_ = RGB(0, 0, 0);
  bool active_ = false;
  std::unique_ptr<TMarqueeGeometry> geometry_;
  HDC bitmap_dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_bitmap_ = nullptr;
};

}  // namespace olvendrix
