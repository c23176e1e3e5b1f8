// TModalWindow: the scaffold of the program's plain modal windows (the about
// box, the timing window, the Options dialog). It creates the popup with a
// modal frame, centred over its owner; lays it out in units of 96 dpi scaled
// to the screen's (again at WM_DPICHANGED, with fonts of the new size); runs
// it through the host's message loop until it is closed; then destroys it.
// OK, Cancel, Esc and the close box close it unless the window answers them
// itself.
//
// Main thread only. A window of the program derives from it, creates its
// controls in CreateControls() and places them in Layout().
#pragma once

#include <windows.h>

#include <string>

#include "modal_host.h"
#include "win32_window.h"

namespace olvendrix::win32 {

class TModalWindow {
 public:
  TModalWindow(const TModalWindow&) = delete;
  TModalWindow& operator=(const TModalWindow&) = delete;
  virtual ~TModalWindow();

  // Creates the window without running it (tests drive it by messages);
  // false when it cannot open.
  bool Create();
  HWND Handle() const { return window_; }
  bool Closed() const { return closed_; }
  int Dpi() const { return dpi_; }

 protected:
  // `window_class` names the window's class; `extra_style` and
  // `extra_ex_style` are added to the modal frame's styles.
  TModalWindow(TModalHost& host, HWND owner, const wchar_t* window_class, DWORD extra_style = 0,
               DWORD extra_ex_style = 0);

  // Creates and runs the window until it is closed, then destroys it; false
  // when it could not open.
  bool RunModal();
  void Close() { closed_ = true; }

  // Creates the controls (CreateControl() places nothing); false when the
  // window cannot open.
  virtual bool CreateControls() = 0;
  // Places the controls for Dpi() and returns the client area's size.
  virtual SIZE Layout() = 0;
  // The window's messages; a window that overrides it passes what it does
  // not answer on to this one.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // A child control `id` with the window's font (bold when asked), placed
  // later by Layout().
  HWND CreateControl(const wchar_t* window_class, DWORD style, int id = 0, DWORD ex_style = 0, bool bold = false);
  // 96-dpi units in pixels of this window.
  int Scale(int units) const { return ::MulDiv(units, dpi_, 96); }
  // Moves `control` to a rectangle given in pixels.
  static void Place(HWND control, int x, int y, int width, int height);
  // Moves `control` to a rectangle given in 96-dpi units. Its edges are
  // scaled, not its size, so that controls that touch never overlap.
  void PlaceUnits(HWND control, int x, int y, int width, int height) const;
  HFONT Font(bool bold = false) const { return bold ? bold_font_ : font_; }
  // A push button's size: the designed 75 x 25 units, or more when its
  // caption and picture need it.
  SIZE ButtonSize(HWND button) const;

  TModalHost& host_;
  HWND owner_;
  HWND window_ = nullptr;

 private:
  template <typename> friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  void CreateFonts();
  void DeleteFonts();
  // Lays the window out again and sizes it to the layout; `at` is its new
  // top-left corner, or nullptr to centre it over the owner.
  void Relayout(const POINT* at);

  const wchar_t* window_class_;
  DWORD style_;
  DWORD ex_style_;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HFONT bold_font_ = nullptr;
  bool closed_ = false;
};

}  // namespace olvendrix::win32
