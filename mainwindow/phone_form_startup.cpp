// Creation, preparation of the database, and the ways the window ends: a
// close, a fatal error, a Windows log-off.
#include "format.h"
#include "platform/platform.h"
#include "first_run_setup.h"
#include "phone_form.h"
#include "win32_text.h"
#include "win32_window.h"

namespace olvendrix {

void TPhoneForm::FormCreate() {
  help_viewer_.SetHelpFile(folder_ / "help.hlp", session_->MessageTexts());
  CreateControls();
  CreateInputBoxes();
  CreateListColumns();
  LoadSettings();
  // The Help menu's web address comes from the settings.
  CreateMenus();
  ApplyCaptions();
  LayoutInputs();
  ResizeListColumns();
  ::PostMessageW(window_, MM_SHOWWAITMESS, 0, 0);
  ::PostMessageW(window_, MM_STARTINITDATA, 0, 0);
  Created = true;
}

void TPhoneForm::CreateControls() {
  font_ = win32::CreateMessageFont();
  const auto child = [&](DWORD ex_style, const wchar_t* window_class, DWORD style, int id) {
    return win32::CreateChild(window_, window_class, style, id, ex_style, font_);
  };
  lvMain = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW,
                 LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, 0);
  ListView_SetExtendedListViewStyle(lvMain,
                                    LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_FLATSB);
  gbInputs = child(0, L"BUTTON", BS_GROUPBOX, 0);
  btnSearch = child(0, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kCmdSearchButton);
  StatusBar = child(0, STATUSCLASSNAMEW, SBARS_SIZEGRIP, 0);
}

void TPhoneForm::FormResize() {
  // A minimised window has no client area to lay out.
  if (!Created || ::IsIconic(window_)) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  ::SendMessageW(StatusBar, WM_SIZE, 0, 0);
  RECT status{};
  ::GetWindowRect(StatusBar, &status);
  const int status_height = status.bottom - status.top;
  const int width = client.right;
  const int inputs_height = Scale(55);
  const int inputs_top = client.bottom - status_height - inputs_height;
  ::MoveWindow(lvMain, 0, 0, width, inputs_top, TRUE);
  ::MoveWindow(gbInputs, 0, inputs_top, width, inputs_height, TRUE);
  const int parts[3] = {Scale(270), Scale(540), -1};
  ::SendMessageW(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  LayoutInputs();
  ResizeListColumns();
}

void TPhoneForm::MMStartInitData() {
  // Once per run: a second start message (from elsewhere) does nothing,
  // also while the first one's setup fails.
  if (!session_->BeginPreparation()) return;
  TProgramSettings& settings = session_->Settings();
  if (settings.RegisterProgram) {
    wchar_t executable[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, executable, MAX_PATH * 2);
    RunFirstRunSetup(executable, folder_, settings.CreateShortCut);
  }
  if (!LoadLanguage(settings.LangName)) {
    settings.LangName = "ukrainian";
    LoadLanguage(settings.LangName);
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  session_->StartPreparation();
}

void TPhoneForm::JobEnded(TJobKind kind, const TJobFailure& failure) {
  switch (kind) {
    case TJobKind::kPreparation:
      OnPrepareTerminate(failure);
      break;
    case TJobKind::kSearch:
      // A failed search ends like a finished one, with no message.
      ::PostMessageW(window_, MM_ENDSEARCH, 0, 0);
      break;
    case TJobKind::kSave:
      SaveJobDone(failure);
      break;
    case TJobKind::kNone:
    case TJobKind::kWarmUp:  // the session's own
      break;
  }
}

void TPhoneForm::PostSearchRequest(bool forced) { ::PostMessageW(window_, MM_STARTSEARCH, 0, forced ? 1 : 0); }

void TPhoneForm::PostSaveRequest() { ::PostMessageW(window_, MM_STARTSAVETOFILE, 0, 0); }

void TPhoneForm::OnPrepareTerminate(const TJobFailure& failure) {
  // The fatal message carries nothing: its handler takes the text from the
  // session, which keeps it (and shows it as the wait text).
  ::PostMessageW(window_, failure ? MM_TERMINATEPROGRAM : MM_ENDINITDATA, 0, 0);
}

void TPhoneForm::MMEndInitData() {
  const bool finished = session_->FinishPreparation([this] {
    AddExtraColumns();
    SetInputLimits();
    ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
    ::PostMessageW(window_, MM_CLOSEWAITMESS, 0, 0);
  });
  if (!finished) return;
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  ::SetFocus(InputBoxes[0]);
}

void TPhoneForm::MMTerminateProgram() {
  // Only a failed preparation ends the program; a stray message does nothing.
  if (const auto failure = session_->TakePreparationFailure()) throw Exception(*failure);
}

void TPhoneForm::FormClose() {
  if (IsPreparing()) {
    const int answer = ::MessageBoxW(window_, win32::Wide(session_->MessageTexts().MessOnClose).c_str(),
                                     L"Olvendrix", MB_OKCANCEL | MB_ICONQUESTION);
    if (answer != IDOK) return;
    session_->ConfirmCloseDuringPreparation();
  }
  ::DestroyWindow(window_);
}

std::exception_ptr TPhoneForm::EndSession() {
  ::KillTimer(window_, kStarterTimer);
  ::KillTimer(window_, kWaitTimer);
  return session_->Shutdown([this] { SaveSettings(); });
}

void TPhoneForm::FormEndSession() {
  // Windows may end the process as soon as this returns, even inside a
  // dialog's loop: everything is saved now, and no box is shown.
  EndSession();
}

void TPhoneForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // After a log-off's shutdown this does nothing more: the settings stay as
  // they were saved then.
  const std::exception_ptr save_failure = EndSession();
  help_viewer_.Request(window_, THelpViewer::kHelpQuit, 0, {});
  if (accelerators_ != nullptr) ::DestroyAcceleratorTable(accelerators_);
  if (PopupMenu != nullptr) ::DestroyMenu(PopupMenu);
  if (save_failure) {
    // Before the quit message, which would end the box's own loop at once.
    try {
      std::rethrow_exception(save_failure);
    } catch (const std::exception& error) {
      AOE(error);
    }
  }
  ::PostQuitMessage(0);
}

}  // namespace olvendrix
