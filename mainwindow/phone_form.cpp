// The window class, message dispatch, the application's message loop with
// its key filter (AOM), and the application-wide exception handler (AOE).
#include "phone_form.h"

#include <windowsx.h>

#include <optional>

#include "format.h"
#include "win32_text.h"
#include "win32_window.h"

namespace olvendrix {
namespace {

constexpr wchar_t kWindowClass[] = L"TPhoneForm";

// The one main window served by the message loop.
TPhoneForm* g_form = nullptr;

}  // namespace

LRESULT CALLBACK PhoneFormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TPhoneForm*>(create->lpCreateParams);
    form->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TPhoneForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return form->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    form->AOE(error);
    return 0;
  }
}

TPhoneForm::TPhoneForm(HINSTANCE instance, std::filesystem::path folder)
    : instance_(instance),
      folder_(std::move(folder)),
      session_(std::make_unique<TDirectorySession>(static_cast<TSessionHost&>(*this), MakeThreadJobRunner(),
                                                   folder_)) {
  // The operator's searches meet no first-touch work: it is done after the
  // first results are shown, while nobody waits.
  session_->EnableWarmUp();
  win32::RegisterWindowClass(kWindowClass, PhoneFormProc, ::LoadIconW(instance_, L"MAINICON"));
  dpi_ = win32::ScreenDpi();
  // Geometry of the settings' defaults until saved bounds exist.
  ::CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, Scale(50),
                    Scale(50), Scale(750), Scale(450), nullptr, nullptr, instance_, this);
  if (window_ == nullptr) throw EPhoneFormError("Error create main window!");
  g_form = this;
  try {
    FormCreate();
  } catch (const std::exception& error) {
    AOE(error);
  }
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
}

TPhoneForm::~TPhoneForm() {
  if (window_ != nullptr && !destroyed_) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
  if (g_form == this) g_form = nullptr;
}

int TPhoneForm::Scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

void TPhoneForm::RunOnMainThread(std::function<void()> task) {
  // The tasks wait in the window's own queue; the message only wakes it. The
  // session stops handing tasks over before the window goes.
  main_thread_tasks_.Post(std::move(task));
  ::PostMessageW(window_, MM_RUNONMAINTHREAD, 0, 0);
}

void TPhoneForm::MMRunOnMainThread() {
  while (main_thread_tasks_.RunOne(std::chrono::milliseconds(0))) {}
}

void TPhoneForm::SaveFocus() {
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_, focus)) focused_control_ = focus;
}

void TPhoneForm::RestoreFocus() {
  const bool usable = focused_control_ != nullptr && ::IsWindow(focused_control_) &&
                      ::IsChild(window_, focused_control_);
  ::SetFocus(usable ? focused_control_ : InputBoxes[0]);
}

LRESULT TPhoneForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_DPICHANGED: {
      // Another screen: its font and scale, at the place and size offered.
      dpi_ = HIWORD(wParam);
      const HFONT old_font = font_;
      font_ = win32::CreateMessageFont(false, dpi_);
      win32::ReplaceChildFont(window_, old_font, font_);
      ::DeleteObject(old_font);
      win32::MoveToOfferedBounds(window_, lParam);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {Scale(750), Scale(250)};
      return 0;
    }
    case WM_SETCURSOR:
      if ((IsPreparing() || IsSaveRunning()) && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // The frame itself takes no keys: keep the focus on a control.
      if (LOWORD(wParam) == WA_INACTIVE) SaveFocus();
      else if (!HIWORD(wParam)) RestoreFocus();
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) FormEndSession();
      return 0;
    case WM_COMMAND:
      if (Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != lvMain) break;
      switch (header->code) {
        case LVN_GETDISPINFOW:
          lvMainData(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
          return 0;
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED:
          TrackSelection(*header);
          return 0;
        case LVN_COLUMNCLICK:
          lvMainColumnClick(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
          return 0;
      }
      break;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == lvMain) {
        UpdateCommandState();
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) ::GetCursorPos(&at);
        ::TrackPopupMenu(PopupMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
        return 0;
      }
      break;
    case WM_INITMENUPOPUP:
      UpdateCommandState();
      if (reinterpret_cast<HMENU>(wParam) == navigation_menu_) mmNavigateClick();
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem != StatusBar) break;
      DrawWaitPanel(*item);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam == kStarterTimer) tmStarterTimer();
      if (wParam == kWaitTimer) tmWaitTimer();
      return 0;
    case MM_SHOWWAITMESS:
      ShowWaitIndicator();
      return 0;
    case MM_CLOSEWAITMESS:
      HideWaitIndicator();
      return 0;
    case MM_STARTINITDATA:
      MMStartInitData();
      return 0;
    case MM_ENDINITDATA:
      MMEndInitData();
      return 0;
    case MM_TERMINATEPROGRAM:
      MMTerminateProgram();
      return 0;
    case MM_STARTSEARCH:
      MMSTARTSearch(lParam != 0);
      return 0;
    case MM_ENDSEARCH:
      MMEndSearch();
      return 0;
    case MM_STARTSAVETOFILE:
      MMStartSAveToFile();
      return 0;
    case MM_ENDSAVETOFILE:
      MMEndSAveToFile();
      return 0;
    case MM_RUNONMAINTHREAD:
      MMRunOnMainThread();
      return 0;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

bool TPhoneForm::IsOwnWindowMessage(const MSG& msg) const {
  return msg.hwnd == window_ || ::IsChild(window_, msg.hwnd);
}

bool TPhoneForm::AOM(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_F5) {
    // Ctrl+F5 anywhere: the timing window, over the window that is active.
    if (::GetKeyState(VK_CONTROL) < 0) ShowDebugWindow(::GetActiveWindow());
    return true;
  }
  // In the program's other windows (help viewer, dialogs) their own keys
  // work.
  if (!IsOwnWindowMessage(msg)) return false;
  switch (msg.wParam) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      ::SendMessageW(lvMain, WM_KEYDOWN, msg.wParam, 0);
      return true;
  }
  return RunKeyFilterShortcut(msg.wParam);
}

namespace {

void ShowFatalBox(HWND owner, const std::string& format, const std::exception& error) {
  const std::string text = Format(format, {"\n\r", MessageOf(error)});
  ::MessageBoxW(owner, win32::Wide(text).c_str(), L"Olvendrix", MB_OK);
}

}  // namespace

void TPhoneForm::AOE(const std::exception& error) {
  // A handler that keeps failing while the box is up must not stack boxes:
  // the program is ending already.
  if (fatal_box_shown_) return;
  fatal_box_shown_ = true;
  ::KillTimer(window_, kWaitTimer);
  ::KillTimer(window_, kStarterTimer);
  HideWaitIndicator();
  ShowFatalBox(destroyed_ ? nullptr : window_, texts_.FatalError, error);
  if (!destroyed_) ::DestroyWindow(window_);
}

int TPhoneForm::Run(HINSTANCE instance, const std::filesystem::path& folder) {
  try {
    TPhoneForm form(instance, folder);
    return RunMessageLoop();
  } catch (const std::exception& error) {
    ShowFatalBox(nullptr, DefaultWindowTexts().FatalError, error);
    return 1;
  }
}

// One message as the application's loop handles it: the key filter first,
// then, for the main window, the accelerators and the dialog keys; the
// program's other windows get their own keys.
bool TPhoneForm::FilterMessage(MSG& msg) {
  if (destroyed_) return false;
  try {
    if (AOM(msg)) return true;
  } catch (const std::exception& error) {
    AOE(error);
    return true;
  }
  if (IsOwnWindowMessage(msg)) {
    // Tab and Shift+Tab walk the controls; the dialog manager translates and
    // dispatches what it takes.
    return ::TranslateAcceleratorW(window_, accelerators_, &msg) || ::IsDialogMessageW(window_, &msg);
  }
  return help_viewer_.TakeDialogMessage(msg) || win32::TakeDialogKeys(msg, kKeyPreviewMessage);
}

// Idle: bring command state up to date; the results are painted by now, so
// the warm-up may take its turn.
void TPhoneForm::OnIdle() {
  if (destroyed_) return;
  try {
    UpdateCommandState();
    session_->WarmUpWhenIdle();
  } catch (const std::exception& error) {
    AOE(error);
  }
}

int TPhoneForm::RunMessageLoop() { return *win32::ServeMessages(g_form, [] { return false; }); }

void TPhoneForm::RunModal(HWND window, HWND owner, const bool& closed) {
  // The program's own loop, so that its key filter sees the dialog's keys.
  win32::RunModalLoop(this, window, owner, closed);
}

bool TPhoneForm::PumpPending() {
  return win32::ServeWaitingMessages(g_form) && g_form != nullptr && !g_form->destroyed_;
}

}  // namespace olvendrix
