// The commands that act on the current result and on the outside world:
// copy, save (a job), help, the maker's web page and letters, exit.
#include "phone_form.h"

#include <commdlg.h>
#include <shellapi.h>

#include <iterator>

#include "about_form.h"
#include "debug_form.h"
#include "format.h"
#include "platform/platform.h"
#include "clipboard.h"
#include "maker_links.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

// What the clipboard takes of a row: the line, cut to the block's size.
constexpr std::size_t kClipboardTextBytes = 257;

void OpenInShell(HWND owner, const std::string& link1251) {
  ::ShellExecuteW(owner, L"open", win32::Wide(link1251).c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

// A save only reads: rows may be copied while it runs.
bool TPhoneForm::CanCopy() const { return selection_.Selected() >= 0 && session_->CanReadEngine(); }

bool TPhoneForm::CanSave() const {
  return session_->Idle() && !session_->ShuttingDown() && ListView_GetItemCount(lvMain) >= 1;
}

void TPhoneForm::actCopyExecute() {
  // The row with the focus mark; in this single-selection list the selected one.
  const int row = selection_.Focused() >= 0 ? selection_.Focused() : selection_.Selected();
  const TSearchList& search = *session_->ReadEngine().SearchList;
  if (row < 0 || row >= search.Count()) return;
  win32::CopyText1251(window_, search.GetLine(row), kClipboardTextBytes);
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
  session_->RequestSave(file);
}

void TPhoneForm::MMStartSAveToFile() {
  if (destroyed_ || !session_->StartRequestedSave()) return;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  ::PostMessageW(window_, MM_SHOWWAITMESS, 0, 0);
}

void TPhoneForm::SaveJobDone(const TJobFailure& failure) {
  if (failure) {
    const std::string text = Format(session_->MessageTexts().ErrorSaveToFile, {failure->Text}) + "\n\r";
    ::MessageBoxW(window_, win32::Wide(text).c_str(), L"Olvendrix", MB_OK);
  }
  ::PostMessageW(window_, MM_ENDSAVETOFILE, 0, 0);
}

void TPhoneForm::MMEndSAveToFile() {
  session_->FinishSave([this] {
    ::PostMessageW(window_, MM_CLOSEWAITMESS, 0, 0);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  });
}

void TPhoneForm::miHelpClick() {
  help_viewer_.Request(window_, THelpViewer::kHelpContents, 10, "Olvendrix - " + texts_.Menu[mtxHelpContents]);
}

void TPhoneForm::GotoSiteClick() { OpenInShell(window_, SiteAddress(Settings().MakerHost)); }

void TPhoneForm::SendMailToMaker(bool error_report) {
  OpenInShell(window_, MailLink(Settings().SupportAddress, error_report));
}

void TPhoneForm::miExitClick() { ::PostMessageW(window_, WM_CLOSE, 0, 0); }

bool TPhoneForm::CanOpenOptions() const {
  return session_->Idle() && !session_->ShuttingDown();
}

void TPhoneForm::miOptionsClick() {
  if (!CanOpenOptions()) return;
  TProgramSettings& settings = session_->Settings();
  const TSearchOptions& options = session_->SearchOptions();
  TOptionsForm dialog(*this, window_, {options.Modes, options.CaseSensitive, settings.ImmedSearch, settings.Delay});
  if (dialog.ShowModal()) {
    // The search list gets them when the next search starts.
    session_->SetCaseAndModes(dialog.Values().CaseSensitive, dialog.Values().Modes);
    settings.ImmedSearch = dialog.Values().ImmedSearch;
    settings.Delay = dialog.Values().Delay;
  }
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
}

void TPhoneForm::miAboutClick() {
  TAboutForm about(*this, window_, folder_, texts_.Menu[mtxAbout]);
  about.ShowModal();
}

void TPhoneForm::ShowDebugWindow(HWND owner) {
  const TDurations& durations = session_->Durations();
  TDebugForm timing(*this, owner, {durations.InitTime, durations.LoadBaseTime, durations.SortTime,
                                   durations.SearchTime, durations.SaveFileTime});
  timing.ShowModal();
}

void TPhoneForm::ShowHelpContext(HWND owner, int context) {
  help_viewer_.Request(owner, THelpViewer::kHelpContext, context, "Olvendrix - " + texts_.Menu[mtxHelpContents]);
}


}  // namespace olvendrix
