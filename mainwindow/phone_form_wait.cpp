// The wait indicator: the first status panel, owner-drawn and repainted every
// 100 ms while a job runs.
#include "platform/platform.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

// The elapsed time in the user's time format, as hours, minutes and seconds.
std::string ElapsedText(std::uint32_t milliseconds) {
  const TElapsed elapsed = SplitElapsed(milliseconds);
  SYSTEMTIME time{};
  time.wHour = static_cast<WORD>(elapsed.Hours % 24);
  time.wMinute = static_cast<WORD>(elapsed.Minutes);
  time.wSecond = static_cast<WORD>(elapsed.Seconds);
  wchar_t text[64] = {};
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER, &time, nullptr, text, 64);
  return win32::Narrow(text);
}

}  // namespace

void TPhoneForm::ShowWaitIndicator() {
  wait_start_ = platform::TickCount();
  wait_shown_ = true;
  ::SetTimer(window_, kWaitTimer, 100, nullptr);
  // The panel's draw state lives here, not in its item data.
  ::SendMessageW(StatusBar, SB_SETTEXTW, 0 | SBT_OWNERDRAW, 0);
}

void TPhoneForm::HideWaitIndicator() {
  ::KillTimer(window_, kWaitTimer);
  wait_shown_ = false;
  UpdateStatusTexts();
}

void TPhoneForm::tmWaitTimer() { ::InvalidateRect(StatusBar, nullptr, TRUE); }

void TPhoneForm::DrawWaitPanel(const DRAWITEMSTRUCT& item) {
  if (item.itemID != 0) return;
  const TWaitFrame frame = wait_animation_.NextFrame();
  const std::wstring text =
      win32::Wide(WaitPanelText(session_->WaitText().Get(), ElapsedText(platform::TickCount() - wait_start_)));
  const HDC dc = item.hDC;
  const HBRUSH background = ::CreateSolidBrush(RGB(frame.Red, frame.Green, frame.Blue));
  ::FillRect(dc, &item.rcItem, background);
  ::DeleteObject(background);
  const HGDIOBJ previous_font = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(StatusBar, WM_GETFONT, 0, 0)));
  const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF previous_colour = ::SetTextColor(dc, RGB(128, 0, 128));
  ::TextOutW(dc, frame.StarX, 6, L"*", 1);
  ::SetTextColor(dc, RGB(0, 0, 128));
  ::TextOutW(dc, 55, 4, text.c_str(), static_cast<int>(text.size()));
  ::SetTextColor(dc, previous_colour);
  ::SetBkMode(dc, previous_mode);
  ::SelectObject(dc, previous_font);
}

}  // namespace olvendrix
