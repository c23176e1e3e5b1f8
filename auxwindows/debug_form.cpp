#include "debug_form.h"

#include <algorithm>
#include <string>

#include "cp1251.h"
#include "win32_text.h"

namespace olvendrix {

TDebugForm::TDebugForm(TModalHost& host, HWND owner, const TTimings& timings)
    : TModalWindow(host, owner, L"TDebugForm"), timings_(timings) {}

bool TDebugForm::CreateControls() {
  win32::SetWindowText1251(window_, W1251("Відладка"));
  // MainPanel: a bevelled frame (SS_ETCHEDFRAME) behind the rows, which
  // are the window's own children.
  frame_ = CreateControl(L"STATIC", SS_ETCHEDFRAME);
  const char* const captions[5] = {"Ініціалізація :", "Завантаження БД:", "Сортування:", "Пошук:", "Запис у файл:"};
  const std::uint32_t values[5] = {timings_.InitTime, timings_.LoadBaseTime, timings_.SortTime, timings_.SearchTime,
                                   timings_.SaveFileTime};
  for (int row = 0; row < 5; ++row) {
    captions_[row] = CreateControl(L"STATIC", SS_LEFT);
    win32::SetWindowText1251(captions_[row], W1251(captions[row]));
    values_[row] = CreateControl(L"STATIC", SS_LEFT, 100 + row);
    win32::SetWindowText1251(values_[row], std::to_string(values[row]));
    units_[row] = CreateControl(L"STATIC", SS_LEFT);
    ::SetWindowTextW(units_[row], L"ms");
  }
  ok_ = CreateControl(L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  ::SetWindowTextW(ok_, L"OK");
  ::SetFocus(ok_);
  return true;
}

SIZE TDebugForm::Layout() {
  // The designed 96-dpi widths are the least; the texts in the window's font
  // decide beyond them.
  int caption_width = Scale(115), value_width = Scale(58), unit_width = Scale(25), text_height = 0;
  for (int row = 0; row < 5; ++row) {
    const SIZE caption = win32::ControlTextSize(captions_[row]);
    const SIZE value = win32::ControlTextSize(values_[row]);
    const SIZE unit = win32::ControlTextSize(units_[row]);
    caption_width = std::max<int>(caption_width, caption.cx + Scale(4));
    value_width = std::max<int>(value_width, value.cx + Scale(4));
    unit_width = std::max<int>(unit_width, unit.cx + Scale(2));
    text_height = std::max<int>({text_height, caption.cy, value.cy, unit.cy});
  }
  const int row_height = std::max(Scale(20), text_height + Scale(2));
  const int row_step = std::max(Scale(25), row_height + Scale(4));
  const int left = Scale(15);
  const int frame_width = left + caption_width + value_width + unit_width + Scale(2);
  for (int row = 0; row < 5; ++row) {
    const int top = Scale(15) + row_step * row;
    Place(captions_[row], left, top, caption_width, row_height);
    Place(values_[row], left + caption_width, top, value_width, row_height);
    Place(units_[row], left + caption_width + value_width, top, unit_width, row_height);
  }
  const int frame_height = Scale(15) + row_step * 4 + row_height + Scale(12);
  Place(frame_, 0, 0, frame_width, frame_height);
  const SIZE ok = ButtonSize(ok_);
  const int ok_top = frame_height + Scale(8);
  Place(ok_, (frame_width - ok.cx) / 2, ok_top, ok.cx, ok.cy);
  return {frame_width, ok_top + ok.cy + Scale(8)};
}

}  // namespace olvendrix
