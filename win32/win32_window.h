// A window whose messages go to the C++ object that created it: the object
// is passed as the creation parameter, kept in the window's user data from
// WM_NCCREATE and forgotten at WM_NCDESTROY. The class T has a member
// `HWND window_` and `LRESULT HandleMessage(UINT, WPARAM, LPARAM)`, and
// befriends ObjectWindowProc<T>. Also the other steps every window of the
// program takes: registering its class, the screen's DPI, its controls.
#pragma once

#include <windows.h>

#include <vector>

// Not declared for the Windows 7 API level the program builds for; sent by
// Windows 8.1 and later to a per-monitor-aware window whose screen's DPI
// changed (wParam: the new DPI twice, lParam: the suggested window RECT).
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace olvendrix::win32 {

template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* object = reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (object == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    object->window_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  return object->HandleMessage(message, wParam, lParam);
}

// Registers the window class `name` with `procedure` (once is enough; later
// calls do nothing), with the dialog background and the arrow cursor.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr);

// The same for T's windows.
template <typename T>
void RegisterObjectClass(const wchar_t* name, HICON icon = nullptr) {
  RegisterWindowClass(name, ObjectWindowProc<T>, icon);
}

// The screen's dots per inch (96 at 100 % scaling).
int ScreenDpi();

// The work areas of every monitor (the screen without taskbars), and the one
// of the monitor nearest to `window`; screen coordinates.
std::vector<RECT> MonitorWorkAreas();
RECT NearestWorkArea(const RECT& window);

// The width and height of the control's text in the control's font.
SIZE ControlTextSize(HWND control);

// At WM_DPICHANGED: moves `window` to the bounds the system offers (its
// lParam), where WM_SIZE lays it out again.
void MoveToOfferedBounds(HWND window, LPARAM offered);
// Gives the children of `parent` drawn with `old_font` the font `new_font`.
void ReplaceChildFont(HWND parent, HFONT old_font, HFONT new_font);

// A visible child control `id` of `parent` drawn with `font`, placed at the
// origin with no size until its parent lays it out.
HWND CreateChild(HWND parent, const wchar_t* window_class, DWORD style, int id, DWORD ex_style, HFONT font);

}  // namespace olvendrix::win32
