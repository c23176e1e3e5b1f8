// The search panel: input boxes and their histories, every way a search is
// asked for, and the start and end of a search job.
#include <algorithm>

#include "cp1251.h"
#include "platform/platform.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

// Share of each input box in the width of the panel, fields 0..4.
constexpr int kInputWidthPercent[5] = {12, 50, 20, 9, 9};

}  // namespace

void TPhoneForm::CreateInputBoxes() {
  for (int field = 0; field < 5; ++field) {
    InputBoxes[field] = ::CreateWindowExW(
        0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        0, 0, 0, Scale(200), window_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kCmdInputFirst + field)),
        instance_, nullptr);
    ::SendMessageW(InputBoxes[field], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  // Tab walks the controls in their z-order: the five boxes, the button,
  // the list. The group box goes last, so the boxes are drawn over it.
  const HWND tab_order[] = {InputBoxes[0], InputBoxes[1], InputBoxes[2], InputBoxes[3],
                            InputBoxes[4], btnSearch,      lvMain,         StatusBar, gbInputs};
  HWND previous = HWND_TOP;
  for (HWND control : tab_order) {
    ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
}

void TPhoneForm::LayoutInputs() {
  RECT group{};
  ::GetWindowRect(gbInputs, &group);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&group), 2);
  const int button_width = Scale(75);
  const int group_width = group.right - group.left;
  const int available = group_width - button_width - Scale(70);
  int left = Scale(10);
  for (int field = 0; field < 5; ++field) {
    const int width = available * kInputWidthPercent[field] / 100;
    ::SetWindowPos(InputBoxes[field], nullptr, group.left + left, group.top + Scale(18), width, Scale(200),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    left += width + Scale(10);
  }
  ::SetWindowPos(btnSearch, nullptr, group.right - button_width - Scale(10), group.top + Scale(16),
                 button_width, Scale(25), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPhoneForm::SetInputLimits() {
  const TFieldsList& fields = session_->ReadEngine().Converter->Fields();
  for (int field = 0; field < 5; ++field) {
    ::SendMessageW(InputBoxes[field], CB_LIMITTEXT, fields[field].Width, 0);
  }
}

void TPhoneForm::AddToHistory(int field) {
  HWND box = InputBoxes[field];
  const std::string typed = win32::WindowText1251(box);
  const std::string text(TrimTrailingBlanks(typed));
  if (text.empty()) return;
  const std::wstring wide = win32::Wide(text);
  // The combo box's exact search ignores letter case, as the history's does.
  if (::SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(wide.c_str())) != 0) {
    ::SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
  if (count > session_->Settings().HistoryCount) ::SendMessageW(box, CB_DELETESTRING, count - 1, 0);
}

void TPhoneForm::ClearHistory() {
  for (HWND box : InputBoxes) {
    // CB_RESETCONTENT would empty the edit text too.
    while (::SendMessageW(box, CB_GETCOUNT, 0, 0) > 0) ::SendMessageW(box, CB_DELETESTRING, 0, 0);
  }
}

void TPhoneForm::ClearInputs() {
  for (HWND box : InputBoxes) ::SetWindowTextW(box, L"");
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 0);
}

TSearchParams TPhoneForm::ReadInputs() const {
  TSearchParams params;
  for (int field = 0; field < 5; ++field) params.Texts[field].Assign(win32::WindowText1251(InputBoxes[field]));
  return params;
}

void TPhoneForm::InputChanged() {
  if (!session_->Settings().ImmedSearch) return;
  if (!session_->Settings().Delay) {
    ::PostMessageW(window_, MM_STARTSEARCH, 0, 0);
  } else if (!starter_armed_) {
    // Armed once per burst: later changes do not push the search back.
    starter_armed_ = true;
    ::SetTimer(window_, kStarterTimer, 1000, nullptr);
  }
}

void TPhoneForm::tmStarterTimer() {
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 0);
  ::KillTimer(window_, kStarterTimer);
  starter_armed_ = false;
}

void TPhoneForm::actSearchExecute() {
  session_->ForgetSelection();
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
  for (int field = 0; field < 5; ++field) AddToHistory(field);
}

void TPhoneForm::MMSTARTSearch(bool forced) {
  if (destroyed_) return;
  const std::uint32_t requested = platform::TickCount();
  if (session_->RequestSearch(ReadInputs(), forced) != TSearchRequest::kStarted) return;
  search_start_ = requested;
  ::SendMessageW(window_, MM_SHOWWAITMESS, 0, 0);
}

void TPhoneForm::MMEndSearch() {
  session_->FinishSearch([this] {
    UpdateResultList();
    UpdateStatusTexts();
    ::SendMessageW(window_, MM_CLOSEWAITMESS, 0, 0);
  });
}

}  // namespace olvendrix
