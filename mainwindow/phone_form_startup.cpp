// Creation, preparation of the database, and shutdown of the main window.
#include "engine/format.h"
#include "engine/platform/platform.h"
#include "mainwindow/first_run_setup.h"
#include "mainwindow/phone_form.h"
#include "win32/win32_text.h"

namespace olvendrix {

void TPhoneForm::FormCreate() {
  help_viewer_.SetHelpFile(folder_ / "help.hlp");
  CreateControls();
  CreateInputBoxes();
  CreateListColumns();
  CreateEngine(db_.Engine);
  LoadSettings();
  // The Help menu's web address comes from the settings.
  CreateMenus();
  ApplyCaptions();
  LayoutInputs();
  ResizeListColumns();
  if (db_.Settings.AlwaysPrepareBase) db_.Settings.NoDeleteBase = true;
  db_.Paths = BuildFilePaths(folder_, db_.Settings.BaseFileName);
  ::PostMessageW(window_, MM_SHOWWAITMESS, 0, 0);
  ::PostMessageW(window_, MM_STARTINITDATA, 0, 0);
  Created = true;
}

void TPhoneForm::CreateControls() {
  font_ = win32::CreateMessageFont();
  const auto child = [&](DWORD ex_style, const wchar_t* window_class, DWORD style, UINT id) {
    HWND control = ::CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0,
                                     0, 0, window_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                     instance_, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
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
  if (db_.Settings.RegisterProgram) {
    wchar_t executable[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, executable, MAX_PATH * 2);
    RunFirstRunSetup(executable, folder_, db_.Settings.CreateShortCut);
  }
  if (!LoadLanguage(db_.Settings.LangName)) {
    db_.Settings.LangName = "ukrainian";
    LoadLanguage(db_.Settings.LangName);
  }
  Preparing = true;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  init_start_ = platform::TickCount();
  PrepareJob = std::make_unique<TExecThread>(PrepareDatabase, &db_, Dispatcher());
  PrepareJob->OnTerminate = [this](TExecThread& job) { OnPrepareTerminate(job); };
  PrepareJob->Resume();
}

void TPhoneForm::OnPrepareTerminate(TExecThread& job) {
  if (!job.FatalException()) {
    ::PostMessageW(window_, MM_ENDINITDATA, 0, 0);
    return;
  }
  // The message carries nothing: its handler takes the text from here.
  fatal_text_ = job.FatalMessage();
  if (fatal_text_.empty()) fatal_text_ = "unknown exception";
  db_.WaitText.Set(fatal_text_);
  ::PostMessageW(window_, MM_TERMINATEPROGRAM, 0, 0);
}

void TPhoneForm::MMEndInitData() {
  PrepareJob.reset();
  AddExtraColumns();
  SetInputLimits();
  record_count_ = static_cast<std::int32_t>(Engine().Converter->RecordCount());
  SearchList().Allocate(record_count_);
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
  ::PostMessageW(window_, MM_CLOSEWAITMESS, 0, 0);
  db_.Durations.InitTime = platform::TickCount() - init_start_;
  Preparing = false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  ::SetFocus(InputBoxes[0]);
}

void TPhoneForm::MMTerminateProgram() {
  // Only a failed preparation ends the program; a stray message does nothing.
  if (!fatal_text_.empty()) throw Exception(fatal_text_);
}

void TPhoneForm::FormClose() {
  if (Preparing) {
    const int answer = ::MessageBoxW(window_, win32::Wide(db_.Texts.MessOnClose).c_str(), L"Olvendrix",
                                     MB_OKCANCEL | MB_ICONQUESTION);
    if (answer != IDOK) return;
    db_.CloseRequested = true;
  }
  ::DestroyWindow(window_);
}

void TPhoneForm::WaitForJobs() {
  for (const auto* job : {&PrepareJob, &search_job_, &save_job_}) {
    if (*job) (*job)->WaitFor();
  }
}

void TPhoneForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  ::KillTimer(window_, kStarterTimer);
  ::KillTimer(window_, kWaitTimer);
  if (PrepareJob) db_.StopRequested = true;
  // The engine is freed only once no job can touch it.
  WaitForJobs();
  PrepareJob.reset();
  search_job_.reset();
  save_job_.reset();
  // The settings are written after the jobs have ended (they change none of
  // them); a failure still lets the window free what it holds, then shows
  // the fatal box.
  std::exception_ptr save_failure;
  try {
    SaveSettings();
  } catch (const std::exception&) {
    save_failure = std::current_exception();
  }
  FreeEngine(db_.Engine);
  help_viewer_.Request(window_, THelpViewer::kHelpQuit, 0, {});
  if (accelerators_ != nullptr) ::DestroyAcceleratorTable(accelerators_);
  if (PopupMenu != nullptr) ::DestroyMenu(PopupMenu);
  for (HBITMAP& image : images_) {
    if (image != nullptr) ::DeleteObject(image);
    image = nullptr;
  }
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
