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
#include "options_texts.h"
#include "modal_window.h"

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
  // The dialog's captions in the current interface language.
  virtual TOptionsTexts OptionsTexts() const = 0;
  // The interface languages there are, in the order found.
  virtual std::vector<TLanguageChoice> LanguageChoices() const = 0;
  virtual const std::string& LanguageName() const = 0;
  // Applies a language to the program; false when its file was not found.
  virtual bool LoadLanguage(const std::string& name) = 0;
  virtual std::filesystem::path ProgramFolder() const = 0;
};

// The help context of the options topic.
constexpr int kOptionsHelpContext = 10;

class TOptionsForm : public win32::TModalWindow {
 public:
  TOptionsForm(TOptionsHost& host, HWND owner, const TOptionsValues& values);
  ~TOptionsForm() override;

  // Shows the dialog modally; true when it was closed with OK. The values
  // then hold the user's choice.
  bool ShowModal();
  const TOptionsValues& Values() const { return values_; }
  HWND Grid() const { return lvCheckPar; }
  HWND LanguageCombo() const { return cmbLanguage; }
  bool Accepted() const { return accepted_; }
  // The base names of the language files found, in the order found.
  std::vector<std::string> LanguageFiles() const;

 private:
  bool CreateControls() override;
  SIZE Layout() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormCreate();
  void CreateGridCells();
  void PlaceGridCells();
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
  void ShowHelp();

  TOptionsHost& options_host_;
  TOptionsValues values_;
  std::vector<TLanguageChoice> languages_;
  HWND stParam = nullptr, stLang = nullptr, HeaderControl = nullptr, lvCheckPar = nullptr;
  HWND RowPanels[3] = {};
  HWND RegStrips[2] = {};  // pnlReg's bevelled strips, above and below the case box
  HWND cbCaseSensitiv = nullptr, cbImmedSearch = nullptr, cbDelay = nullptr;
  HWND cmbLanguage = nullptr, btnOk = nullptr, btnCancel = nullptr;
  HBITMAP background_ = nullptr;
  HIMAGELIST imgCheck = nullptr;
  HIMAGELIST button_pictures_[2] = {};  // OK, Cancel
  bool accepted_ = false;
};

}  // namespace olvendrix
