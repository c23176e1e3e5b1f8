// The commands that act on the current result and on the outside world:
// copy, save (a job), help, the maker's web page and letters, exit.
#include "mainwindow/phone_form.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>

#include "auxwindows/about_form.h"
#include "auxwindows/debug_form.h"
#include "engine/format.h"
#include "engine/platform/platform.h"
#include "mainwindow/maker_links.h"
#include "win32/win32_text.h"

namespace olvendrix {
namespace {

// Ukrainian: the system turns the Windows-1251 text into the right Unicode
// whatever its own code page.
constexpr LCID kClipboardLocale = 0x0422;
constexpr std::size_t kClipboardTextBytes = 257;

// The clipboard, open for the window until the end of the scope.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Hands a copy of the bytes to the clipboard under `format`; the block is
// freed again when the clipboard does not take it.
bool PutClipboardData(UINT format, const void* data, std::size_t size) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (block == nullptr) return false;
  void* target = ::GlobalLock(block);
  if (target == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  std::memcpy(target, data, size);
  ::GlobalUnlock(block);
  if (::SetClipboardData(format, block) == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  return true;
}

void OpenInShell(HWND owner, const std::string& link1251) {
  ::ShellExecuteW(owner, L"open", win32::Wide(link1251).c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

bool TPhoneForm::CanCopy() const { return selected_row_ >= 0 && !Preparing && !JobRunning(); }

bool TPhoneForm::CanSave() const {
  return !Preparing && !SearchRunning && !SaveRunning && ListView_GetItemCount(lvMain) >= 1;
}

void TPhoneForm::actCopyExecute() {
  // The row with the focus mark; in this single-selection list the selected one.
  const int row = focused_row_ >= 0 ? focused_row_ : selected_row_;
  if (row < 0 || row >= SearchList().Count()) return;
  std::string text = SearchList().GetLine(row);
  if (text.size() > kClipboardTextBytes - 1) text.resize(kClipboardTextBytes - 1);
  char block[kClipboardTextBytes] = {};
  std::memcpy(block, text.data(), text.size());
  const ClipboardSession clipboard(window_);
  if (!clipboard.IsOpen()) return;
  ::EmptyClipboard();
  const LCID locale = kClipboardLocale;
  if (!PutClipboardData(CF_LOCALE, &locale, sizeof locale)) return;
  PutClipboardData(CF_TEXT, block, sizeof block);
}

void TPhoneForm::actSaveExecute() {
  wchar_t file[MAX_PATH * 4] = L"Phone.txt";
  OPENFILENAMEW dialog{sizeof dialog};
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = L"Text Files (*.txt)\0*.txt\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = static_cast<DWORD>(std::size(file));
  dialog.lpstrDefExt = L"txt";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_PATHMUSTEXIST;
  if (!::GetSaveFileNameW(&dialog)) return;
  save_path_ = file;
  ::PostMessageW(window_, MM_STARTSAVETOFILE, dialog.nFilterIndex, 0);
}

void TPhoneForm::MMStartSAveToFile() {
  if (Preparing || destroyed_ || SaveRunning) return;
  // The typing timer still fires under the save dialog: a search may have
  // started meanwhile. The save then starts when it ends, never beside it.
  if (SearchRunning) {
    save_pending_ = true;
    return;
  }
  SaveRunning = true;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  save_start_ = platform::TickCount();
  db_.Durations.SaveFileTime = save_start_;
  save_job_ = std::make_unique<TExecThread>(SaveJobProc, this, Dispatcher());
  save_job_->OnTerminate = [this](TExecThread& job) { SaveJobDone(job); };
  save_job_->Resume();
  db_.WaitText.Set(db_.Texts.MessSaveToFile);
  ::PostMessageW(window_, MM_SHOWWAITMESS, 0, 0);
}

void TPhoneForm::SaveJobProc(void* form) {
  // On the job thread: the job owns the engine, so no window accessor.
  auto* self = static_cast<TPhoneForm*>(form);
  self->db_.Engine.SearchList->SaveToFile(self->save_path_);
}

void TPhoneForm::SaveJobDone(TExecThread& job) {
  if (job.FatalException()) {
    const std::string text = Format(db_.Texts.ErrorSaveToFile, {job.FatalMessage()}) + "\n\r";
    ::MessageBoxW(window_, win32::Wide(text).c_str(), L"Olvendrix", MB_OK);
  }
  ::PostMessageW(window_, MM_ENDSAVETOFILE, 0, 0);
}

void TPhoneForm::MMEndSAveToFile() {
  save_job_.reset();
  ::PostMessageW(window_, MM_CLOSEWAITMESS, 0, 0);
  db_.Durations.SaveFileTime = platform::TickCount() - save_start_;
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  SaveRunning = false;
  RepostPendingSearch();
}

void TPhoneForm::miHelpClick() {
  help_viewer_.Request(window_, THelpViewer::kHelpContents, 10, "Olvendrix - " + texts_.Menu[mtxHelpContents]);
}

void TPhoneForm::GotoSiteClick() { OpenInShell(window_, SiteAddress(db_.Settings.MakerHost)); }

void TPhoneForm::SendMailToMaker(bool error_report) {
  OpenInShell(window_, MailLink(db_.Settings.SupportAddress, error_report));
}

void TPhoneForm::miExitClick() { ::PostMessageW(window_, WM_CLOSE, 0, 0); }

bool TPhoneForm::CanOpenOptions() const { return !Preparing && !SearchRunning && !SaveRunning; }

void TPhoneForm::miOptionsClick() {
  if (!CanOpenOptions()) return;
  TOptionsForm dialog(*this, window_, {modes_, case_sensitive_, db_.Settings.ImmedSearch, db_.Settings.Delay});
  if (dialog.ShowModal()) {
    // The window's own copies: the search list gets them when a search starts.
    modes_ = dialog.Values().Modes;
    case_sensitive_ = dialog.Values().CaseSensitive;
    db_.Settings.ImmedSearch = dialog.Values().ImmedSearch;
    db_.Settings.Delay = dialog.Values().Delay;
  }
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
}

void TPhoneForm::miAboutClick() {
  TAboutForm about(*this, window_, folder_, texts_.Menu[mtxAbout]);
  about.ShowModal();
}

void TPhoneForm::ShowDebugWindow(HWND owner) {
  const TDurations& durations = db_.Durations;
  TDebugForm timing(*this, owner, {durations.InitTime, durations.LoadBaseTime, durations.SortTime,
                                   durations.SearchTime, durations.SaveFileTime});
  timing.ShowModal();
}

void TPhoneForm::ShowHelpContext(HWND owner, int context) {
  help_viewer_.Request(owner, THelpViewer::kHelpContext, context, "Olvendrix - " + texts_.Menu[mtxHelpContents]);
}


}  // namespace olvendrix
