// A window whose messages go to the C++ object that created it: the object
// is passed as the creation parameter, kept in the window's user data from
// WM_NCCREATE and forgotten at WM_NCDESTROY. The class T has a member
// `HWND window_` and `LRESULT HandleMessage(UINT, WPARAM, LPARAM)`, and
// befriends ObjectWindowProc<T>.
#pragma once

#include <windows.h>

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

// Registers the window class `name` for T's windows (once is enough; later
// calls do nothing), with the dialog background and the arrow cursor.
template <typename T>
void RegisterObjectClass(const wchar_t* name, HICON icon = nullptr) {
  WNDCLASSEXW window_class{sizeof window_class};
  window_class.lpfnWndProc = ObjectWindowProc<T>;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hIcon = icon;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  ::RegisterClassExW(&window_class);
}

}  // namespace olvendrix::win32
