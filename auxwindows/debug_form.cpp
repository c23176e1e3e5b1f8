#include "debug_form.h"

#include <string>

#include "cp1251.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kDebugClass[] = L"TDebugForm";

}  // namespace


TDebugForm::TDebugForm(TModalHost& host, HWND owner, const TTimings& timings)
    : host_(host), owner_(owner), timings_(timings) {}

TDebugForm::~TDebugForm() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
}

void TDebugForm::Create() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<TDebugForm>(kDebugClass);
  constexpr int kWidth = 225, kHeight = 215;
  const POINT at = win32::CentredOver(owner_, kWidth, kHeight);
  ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kDebugClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                    at.x, at.y, kWidth, kHeight, owner_, nullptr, instance, this);
  if (window_ == nullptr) return;
  win32::SetWindowText1251(window_, W1251("Відладка"));
  font_ = win32::CreateMessageFont();
  const auto label = [&](HWND parent, const std::string& text1251, int x, int y, int width, DWORD style, int id) {
    HWND control = ::CreateWindowExW(0, L"STATIC", win32::Wide(text1251).c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                                     width, 20, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                     nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
  };
  // MainPanel: a bevelled frame (SS_ETCHEDFRAME) behind the rows, which
  // are the window's own children.
  ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 0, 0, 217, 147, window_, nullptr,
                    instance, nullptr);
  const char* const captions[5] = {"Ініціалізація :", "Завантаження БД:", "Сортування:", "Пошук:", "Запис у файл:"};
  const std::uint32_t values[5] = {timings_.InitTime, timings_.LoadBaseTime, timings_.SortTime, timings_.SearchTime,
                                   timings_.SaveFileTime};
  for (int row = 0; row < 5; ++row) {
    const int top = 15 + 25 * row;
    label(window_, W1251(captions[row]), 15, top, 115, SS_LEFT, 0);
    values_[row] = label(window_, std::to_string(values[row]), 130, top, 58, SS_LEFT, 100 + row);
    label(window_, "ms", 190, top, 25, SS_LEFT, 0);
  }
  HWND ok = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 75, 155, 75,
                              25, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  ::SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ::SetFocus(ok);
}

void TDebugForm::ShowModal() {
  Create();
  if (window_ == nullptr) return;
  host_.RunModal(window_, owner_, closed_);
  ::DestroyWindow(window_);
}

LRESULT TDebugForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleModalClose(message, wParam, closed_, result)) return result;
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
