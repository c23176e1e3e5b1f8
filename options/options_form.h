// TOptionsForm: the modal Options dialog. The user picks the match mode of
// each field in a grid of three rows (modes) and five columns (fields), the
// letter-case, immediate-search and delay switches, and the interface
// language. The search options are handed back on OK; a language picked is
// applied at once, to the whole program, and stays after Cancel.
//
// Main thread only, while no job runs. The dialog is created when shown and
// destroyed when closed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "match_mode.h"
#include "modal_host.h"
#include "window_texts.h"
#include "win32_window.h"

namespace olvendrix {

// The values the dialog edits.
struct TOptionsValues {
  TMatchModes Modes{};
  bool CaseSensitive = false;
  bool ImmedSearch = true;
  bool Delay = true;
};

// What the dialog needs of the main window.
class TOptionsHost : public TModalHost {
 public:
  virtual const TWindowTexts& InterfaceTexts() const = 0;
  virtual const std::string& LanguageName() const = 0;
  // Applies a language to the program; false when its file was not found.
  virtual bool LoadLanguage(const std::string& name) = 0;
  virtual std::filesystem::path ProgramFolder() const = 0;
};

// The help context of the options topic.
constexpr int kOptionsHelpContext = 10;

class TOptionsForm {
 public:
  TOptionsForm(TOptionsHost& host, HWND owner, const TOptionsValues& values);
  TOptionsForm(const TOptionsForm&) = delete;
  TOptionsForm& operator=(const TOptionsForm&) = delete;
  ~TOptionsForm();

  // Shows the dialog modally; true when it was closed with OK. The values
  // then hold the user's choice.
  bool ShowModal();
  // Creates the dialog without running it (tests drive it by messages).
  void Create();
  const TOptionsValues& Values() const { return values_; }
  HWND Handle() const { return window_; }
  HWND Grid() const { return lvCheckPar; }
  HWND LanguageCombo() const { return cmbLanguage; }
  bool Closed() const { return closed_; }
  bool Accepted() const { return accepted_; }
  // The base names of the language files found, in the order found.
  const std::vector<std::string>& LanguageFiles() const { return language_files_; }

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FormCreate();
  void CreateControls();
  void CreateGridCells();
  void SizeHeaderSections();
  void ApplyDialogCaptions();
  void ScanLanguageFiles();
  void FillLanguageCombo();
  void SelectCurrentLanguage();
  void cmbLanguageChange();
  void cbImmedSearchClick();
  void lvCheckParSelectItem(int cell);
  void lvCheckParGetImageIndex(NMLVDISPINFOW& info) const;
  LRESULT lvCheckParCustomDraw(NMLVCUSTOMDRAW& draw) const;
  void btnOkClick();
  void Close(bool accepted);
  void ShowHelp();
  int Scale(int pixels) const;

  TOptionsHost& host_;
  HWND owner_;
  TOptionsValues values_;
  std::vector<std::string> language_files_;
  HWND window_ = nullptr;
  HWND stParam = nullptr, stLang = nullptr, HeaderControl = nullptr, lvCheckPar = nullptr;
  HWND RowPanels[3] = {};
  HWND cbCaseSensitiv = nullptr, cbImmedSearch = nullptr, cbDelay = nullptr;
  HWND cmbLanguage = nullptr, btnOk = nullptr, btnCancel = nullptr;
  HFONT font_ = nullptr, bold_font_ = nullptr;
  HBITMAP background_ = nullptr;
  HIMAGELIST imgCheck = nullptr;
  int dpi_ = 96;
  bool closed_ = false;
  bool accepted_ = false;
};

}  // namespace olvendrix
