#include "modal_window.h"

#include <commctrl.h>

#include <algorithm>

#include "win32_text.h"

namespace olvendrix::win32 {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

TModalWindow::TModalWindow(TModalHost& host, HWND owner, const wchar_t* window_class, DWORD extra_style,
                           DWORD extra_ex_style)
    : host_(host),
      owner_(owner),
      window_class_(window_class),
      style_(kStyle | extra_style),
      ex_style_(kExStyle | extra_ex_style) {}

TModalWindow::~TModalWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  DeleteFonts();
}

void TModalWindow::CreateFonts() {
  font_ = CreateMessageFont(false, dpi_);
  bold_font_ = CreateMessageFont(true, dpi_);
}

void TModalWindow::DeleteFonts() {
  for (HFONT font : {font_, bold_font_}) {
    if (font != nullptr) ::DeleteObject(font);
  }
  font_ = bold_font_ = nullptr;
}

bool TModalWindow::Create() {
  RegisterObjectClass<TModalWindow>(window_class_);
  dpi_ = ScreenDpi();
  DeleteFonts();
  CreateFonts();
  ::CreateWindowExW(ex_style_, window_class_, L"", style_, 0, 0, 0, 0, owner_, nullptr,
                    ::GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) return false;
  if (!CreateControls()) {
    ::DestroyWindow(window_);
    return false;
  }
  Relayout(nullptr);
  return true;
}

bool TModalWindow::RunModal() {
  closed_ = false;
  if (!Create()) return false;
  host_.RunModal(window_, owner_, closed_);
  ::DestroyWindow(window_);
  return true;
}

HWND TModalWindow::CreateControl(const wchar_t* window_class, DWORD style, int id, DWORD ex_style, bool bold) {
  return CreateChild(window_, window_class, style, id, ex_style, Font(bold));
}

void TModalWindow::Place(HWND control, int x, int y, int width, int height) {
  ::MoveWindow(control, x, y, width, height, FALSE);
}

void TModalWindow::PlaceUnits(HWND control, int x, int y, int width, int height) const {
  Place(control, Scale(x), Scale(y), Scale(x + width) - Scale(x), Scale(y + height) - Scale(y));
}

SIZE TModalWindow::ButtonSize(HWND button) const {
  const SIZE text = ControlTextSize(button);
  int picture_width = 0;
  BUTTON_IMAGELIST pictures{};
  if (::SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&pictures)) && pictures.himl != nullptr) {
    int picture_height = 0;
    ::ImageList_GetIconSize(pictures.himl, &picture_width, &picture_height);
    picture_width += pictures.margin.left + pictures.margin.right;
  }
  return {std::max(Scale(75), static_cast<int>(text.cx) + picture_width + Scale(16)),
          std::max(Scale(25), static_cast<int>(text.cy) + Scale(10))};
}

void TModalWindow::Relayout(const POINT* at) {
  const SIZE client = Layout();
  RECT frame{0, 0, client.cx, client.cy};
  ::AdjustWindowRectEx(&frame, style_, FALSE, ex_style_);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const POINT corner = at != nullptr ? *at : CentredOver(owner_, width, height);
  ::SetWindowPos(window_, nullptr, corner.x, corner.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, TRUE);
}

LRESULT TModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kKeyPreviewMessage:
      if (wParam != VK_ESCAPE) return FALSE;
      closed_ = true;
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) break;
      closed_ = true;
      return 0;
    case WM_CLOSE:
      closed_ = true;
      return 0;
    case WM_DPICHANGED: {
      // Another screen: fonts and layout for its DPI, at the place offered.
      const HFONT old_fonts[2] = {font_, bold_font_};
      dpi_ = HIWORD(wParam);
      CreateFonts();
      ReplaceChildFont(window_, old_fonts[0], font_);
      ReplaceChildFont(window_, old_fonts[1], bold_font_);
      for (HFONT font : old_fonts) ::DeleteObject(font);
      const auto* offered = reinterpret_cast<const RECT*>(lParam);
      const POINT at{offered->left, offered->top};
      Relayout(&at);
      return 0;
    }
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix::win32
