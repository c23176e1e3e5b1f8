#include "win32_window.h"

#include <algorithm>
#include <string>

namespace olvendrix::win32 {

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon) {
  WNDCLASSEXW window_class{sizeof window_class};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hIcon = icon;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  ::RegisterClassExW(&window_class);
}

int ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

std::vector<RECT> MonitorWorkAreas() {
  std::vector<RECT> areas;
  ::EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, RECT*, LPARAM list) {
        MONITORINFO info{sizeof info};
        if (::GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcWork);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

RECT NearestWorkArea(const RECT& window) {
  MONITORINFO info{sizeof info};
  ::GetMonitorInfoW(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

SIZE ControlTextSize(HWND control) {
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(control, text.data(), length + 1))));
  const HDC dc = ::GetDC(control);
  const HGDIOBJ old_font = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old_font);
  ::ReleaseDC(control, dc);
  return size;
}

void MoveToOfferedBounds(HWND window, LPARAM offered) {
  const auto* bounds = reinterpret_cast<const RECT*>(offered);
  ::SetWindowPos(window, nullptr, bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ReplaceChildFont(HWND parent, HFONT old_font, HFONT new_font) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == old_font) {
      ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(new_font), FALSE);
    }
  }
}

HWND CreateChild(HWND parent, const wchar_t* window_class, DWORD style, int id, DWORD ex_style, HFONT font) {
  const HWND control = ::CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

}  // namespace olvendrix::win32
