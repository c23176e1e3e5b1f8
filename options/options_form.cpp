#include "options_form.h"

#include <algorithm>

#include "cp1251.h"
#include "win32_text.h"
#include "mode_grid.h"

namespace olvendrix {
namespace {

constexpr wchar_t kDialogClass[] = L"TOptionsForm";
enum : int { kGridId = 100, kLanguageId, kImmedSearchId, kCaseSensitivId, kDelayId };

// The designed layout, in pixels at 96 dpi.
constexpr int kClientWidth = 490, kClientHeight = 518;
constexpr int kHeadingHeight = 30;
constexpr int kBackTop = kHeadingHeight, kBackHeight = 240;
constexpr int kHeaderHeight = 17;
constexpr int kGridLeft = 88, kGridTop = 19, kGridWidth = 400, kGridHeight = 219;
constexpr int kCellStep = 73;
// The OK and Cancel pictures keep the size they were drawn in.
constexpr int kButtonPictureSize = 16;

}  // namespace


TOptionsForm::TOptionsForm(TOptionsHost& host, HWND owner, const TOptionsValues& values)
    : TModalWindow(host, owner, kDialogClass, WS_CLIPCHILDREN, WS_EX_CONTEXTHELP),
      options_host_(host),
      values_(values) {}

TOptionsForm::~TOptionsForm() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  for (HIMAGELIST list : {imgCheck, button_pictures_[0], button_pictures_[1]}) {
    if (list != nullptr) ::ImageList_Destroy(list);
  }
  if (background_ != nullptr) ::DeleteObject(background_);
}

bool TOptionsForm::ShowModal() { return RunModal() && accepted_; }

bool TOptionsForm::CreateControls() {
  // Created in Tab order: grid, switches, language, OK, Cancel.
  stParam = CreateControl(L"STATIC", SS_CENTER | SS_CENTERIMAGE, 0, 0, true);
  HeaderControl = CreateControl(WC_HEADERW, HDS_FLAT | HDS_HORZ);
  for (HWND& panel : RowPanels) {
    // Raised inside, lowered outside: a bevelled panel.
    panel = CreateControl(L"STATIC", SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, WS_EX_STATICEDGE);
  }
  lvCheckPar = CreateControl(WC_LISTVIEWW,
                             LVS_ICON | LVS_SINGLESEL | LVS_NOLABELWRAP | LVS_NOSCROLL | LVS_SHAREIMAGELISTS |
                                 WS_TABSTOP,
                             kGridId);
  for (HWND& strip : RegStrips) strip = CreateControl(L"STATIC", SS_ETCHEDHORZ);
  cbCaseSensitiv = CreateControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kCaseSensitivId);
  cbImmedSearch = CreateControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kImmedSearchId);
  cbDelay = CreateControl(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kDelayId);
  stLang = CreateControl(L"STATIC", SS_CENTER | SS_CENTERIMAGE, 0, 0, true);
  cmbLanguage = CreateControl(WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, kLanguageId);
  btnOk = CreateControl(L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
  btnCancel = CreateControl(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
  ::SetWindowTextW(btnOk, L"OK");
  win32::SetWindowText1251(btnCancel, W1251("Скасувати"));
  // The standard OK and Cancel pictures, left of the captions.
  const char* const pictures[2] = {"OKPICTURE", "CANCELPICTURE"};
  const HWND buttons[2] = {btnOk, btnCancel};
  for (int i = 0; i < 2; ++i) {
    button_pictures_[i] = ::ImageList_LoadImageA(::GetModuleHandleW(nullptr), pictures[i], kButtonPictureSize, 0,
                                                 RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    BUTTON_IMAGELIST list{button_pictures_[i], {Scale(2), 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
    ::SendMessageW(buttons[i], BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
  }
  win32::SetWindowText1251(stParam, W1251(" Параметри пошуку "));
  win32::SetWindowText1251(stLang, W1251(" Мова Інтерфейсу"));
  win32::SetWindowText1251(cbCaseSensitiv, W1251("Враховувати регістр символів"));
  win32::SetWindowText1251(cbImmedSearch, W1251("Пошук після введення нового символу"));
  win32::SetWindowText1251(cbDelay, W1251("Використовувати невеличку затримку"));
  FormCreate();
  return true;
}

void TOptionsForm::FormCreate() {
  ::SendMessageW(cbImmedSearch, BM_SETCHECK, values_.ImmedSearch ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(cbDelay, BM_SETCHECK, values_.Delay ? BST_CHECKED : BST_UNCHECKED, 0);
  ::SendMessageW(cbCaseSensitiv, BM_SETCHECK, values_.CaseSensitive ? BST_CHECKED : BST_UNCHECKED, 0);
  ::EnableWindow(cbDelay, values_.ImmedSearch);
  background_ = static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), L"CHECKLISTBKG", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  CreateGridCells();
  SizeHeaderSections();
  ApplyDialogCaptions();
  ScanLanguageFiles();
  FillLanguageCombo();
  SelectCurrentLanguage();
  ::SetFocus(lvCheckPar);
}

SIZE TOptionsForm::Layout() {
  // The designed layout in 96-dpi units.
  PlaceUnits(stParam, 0, 0, kClientWidth, kHeadingHeight);
  PlaceUnits(HeaderControl, 0, kBackTop, kClientWidth, kHeaderHeight);
  for (int row = 0; row < 3; ++row) {
    PlaceUnits(RowPanels[row], 2, kBackTop + kGridTop + (kGridHeight / 3) * row, kGridLeft - 2, kGridHeight / 3);
  }
  PlaceUnits(lvCheckPar, kGridLeft, kBackTop + kGridTop, kGridWidth, kGridHeight);
  PlaceGridCells();
  SizeHeaderSections();
  int y = kBackTop + kBackHeight;
  PlaceUnits(RegStrips[0], 0, y + 1, kClientWidth, 2);
  PlaceUnits(cbCaseSensitiv, 20, y + 8, 440, 20);
  PlaceUnits(RegStrips[1], 0, y + 33, kClientWidth, 2);
  y += 36;
  PlaceUnits(cbImmedSearch, 20, y + 10, 440, 20);
  PlaceUnits(cbDelay, 44, y + 38, 416, 20);
  y += 70;
  PlaceUnits(stLang, 0, y, kClientWidth, kHeadingHeight);
  y += kHeadingHeight;
  PlaceUnits(cmbLanguage, (kClientWidth - 145) / 2, y + 6, 145, 200);
  y += 50;
  // OK keeps its right edge, Cancel its left, however wide they grow.
  const SIZE ok = ButtonSize(btnOk), cancel = ButtonSize(btnCancel);
  Place(btnOk, Scale(334 + 75) - ok.cx, Scale(y), ok.cx, ok.cy);
  Place(btnCancel, Scale(80), Scale(y), cancel.cx, cancel.cy);
  return {Scale(kClientWidth), Scale(kClientHeight)};
}

void TOptionsForm::CreateGridCells() {
  ListView_SetExtendedListViewStyle(lvCheckPar, LVS_EX_DOUBLEBUFFER);
  imgCheck = ::ImageList_Create(32, 32, ILC_COLOR32, 4, 0);
  if (HBITMAP pictures = static_cast<HBITMAP>(
          ::LoadImageW(::GetModuleHandleW(nullptr), L"CHECKS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
    ::ImageList_Add(imgCheck, pictures, nullptr);
    ::DeleteObject(pictures);
  }
  ListView_SetImageList(lvCheckPar, imgCheck, LVSIL_NORMAL);
  // The tiled background shows through.
  ListView_SetBkColor(lvCheckPar, CLR_NONE);
  ListView_SetTextBkColor(lvCheckPar, CLR_NONE);
  for (int cell = 0; cell < kGridRows * kGridColumns; ++cell) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_TEXT;
    item.iItem = cell;
    item.iImage = I_IMAGECALLBACK;
    item.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertItem(lvCheckPar, &item);
  }
  PlaceGridCells();
}

void TOptionsForm::PlaceGridCells() {
  ListView_SetIconSpacing(lvCheckPar, Scale(kCellStep), Scale(kCellStep));
  for (int cell = 0; cell < kGridRows * kGridColumns; ++cell) {
    ListView_SetItemPosition32(lvCheckPar, cell, Scale(kCellStep * (cell % kGridColumns)),
                               Scale(kCellStep * (cell / kGridColumns)));
  }
}

void TOptionsForm::SizeHeaderSections() {
  for (int section = 0; section <= kGridColumns; ++section) {
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_FORMAT;
    item.cxy = Scale(section == 0 ? kGridLeft : kGridWidth / kGridColumns - 3);
    item.fmt = HDF_CENTER | HDF_STRING;
    if (Header_GetItemCount(HeaderControl) > section) {
      Header_SetItem(HeaderControl, section, &item);
    } else {
      item.mask |= HDI_TEXT;
      item.pszText = const_cast<wchar_t*>(L"");
      Header_InsertItem(HeaderControl, section, &item);
    }
  }
}

void TOptionsForm::ApplyDialogCaptions() {
  const TOptionsTexts texts = options_host_.OptionsTexts();
  win32::SetWindowText1251(window_, texts.Caption);
  const HWND captioned[otxCount] = {cbCaseSensitiv, cbImmedSearch, cbDelay, stParam, stLang};
  for (int i = 0; i < otxCount; ++i) {
    if (!texts.Captions[i].empty()) win32::SetWindowText1251(captioned[i], texts.Captions[i]);
  }
  for (int row = 0; row < 3; ++row) win32::SetWindowText1251(RowPanels[row], texts.ModeCaptions[row]);
  for (int column = 0; column < kGridColumns; ++column) {
    std::wstring caption = win32::Wide(texts.FieldCaptions[column]);
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = caption.data();
    Header_SetItem(HeaderControl, column + 1, &item);
  }
}

void TOptionsForm::ScanLanguageFiles() { languages_ = options_host_.LanguageChoices(); }

std::vector<std::string> TOptionsForm::LanguageFiles() const {
  std::vector<std::string> files;
  for (const TLanguageChoice& language : languages_) files.push_back(language.File);
  return files;
}

void TOptionsForm::FillLanguageCombo() {
  ::SendMessageW(cmbLanguage, CB_RESETCONTENT, 0, 0);
  for (const TLanguageChoice& language : languages_) {
    ::SendMessageW(cmbLanguage, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(language.Shown).c_str()));
  }
}

void TOptionsForm::SelectCurrentLanguage() {
  if (languages_.empty()) {
    ::EnableWindow(cmbLanguage, FALSE);
    win32::SetWindowText1251(cmbLanguage, W1251("українська"));
    return;
  }
  const std::string current = UpperCase1251(options_host_.LanguageName());
  std::size_t index = 0;
  for (std::size_t i = 0; i < languages_.size(); ++i) {
    if (UpperCase1251(languages_[i].File) == current) index = i;
  }
  ::SendMessageW(cmbLanguage, CB_SETCURSEL, index, 0);
}

void TOptionsForm::cmbLanguageChange() {
  const LRESULT index = ::SendMessageW(cmbLanguage, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= languages_.size()) return;
  if (!options_host_.LoadLanguage(languages_[static_cast<std::size_t>(index)].File)) return;
  ApplyDialogCaptions();
  // The languages' names as the new language shows them.
  ScanLanguageFiles();
  FillLanguageCombo();
  SelectCurrentLanguage();
}

void TOptionsForm::cbImmedSearchClick() {
  ::EnableWindow(cbDelay, ::SendMessageW(cbImmedSearch, BM_GETCHECK, 0, 0) == BST_CHECKED);
}

void TOptionsForm::lvCheckParSelectItem(int cell) {
  if (cell < 0) return;
  // No cell ever stays highlighted.
  ListView_SetItemState(lvCheckPar, cell, 0, LVIS_SELECTED);
  if (ChooseCell(cell, values_.Modes)) ::InvalidateRect(lvCheckPar, nullptr, TRUE);
}

void TOptionsForm::lvCheckParGetImageIndex(NMLVDISPINFOW& info) const {
  if (info.item.mask & LVIF_IMAGE) info.item.iImage = CellPicture(info.item.iItem, values_.Modes);
}

LRESULT TOptionsForm::lvCheckParCustomDraw(NMLVCUSTOMDRAW& draw) const {
  if (draw.nmcd.dwDrawStage != CDDS_PREPAINT || background_ == nullptr) return CDRF_DODEFAULT;
  BITMAP picture{};
  ::GetObjectW(background_, sizeof picture, &picture);
  if (picture.bmWidth <= 0 || picture.bmHeight <= 0) return CDRF_DODEFAULT;
  RECT dialog{};
  ::GetClientRect(window_, &dialog);
  const HDC tiles = ::CreateCompatibleDC(draw.nmcd.hdc);
  const HGDIOBJ previous = ::SelectObject(tiles, background_);
  for (int column = 0; column <= dialog.right / picture.bmWidth + 1; ++column) {
    for (int row = 0; row <= dialog.bottom / picture.bmHeight + 1; ++row) {
      ::BitBlt(draw.nmcd.hdc, column * picture.bmWidth, row * picture.bmHeight, picture.bmWidth, picture.bmHeight,
               tiles, 0, 0, SRCCOPY);
    }
  }
  ::SelectObject(tiles, previous);
  ::DeleteDC(tiles);
  return CDRF_DODEFAULT;
}

void TOptionsForm::btnOkClick() {
  values_.CaseSensitive = ::SendMessageW(cbCaseSensitiv, BM_GETCHECK, 0, 0) == BST_CHECKED;
  values_.ImmedSearch = ::SendMessageW(cbImmedSearch, BM_GETCHECK, 0, 0) == BST_CHECKED;
  // Also when the box is disabled.
  values_.Delay = ::SendMessageW(cbDelay, BM_GETCHECK, 0, 0) == BST_CHECKED;
  accepted_ = true;
  Close();
}

void TOptionsForm::ShowHelp() { host_.ShowHelpContext(window_, kOptionsHelpContext); }

LRESULT TOptionsForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kKeyPreviewMessage:
      if (wParam == VK_F1) {
        ShowHelp();
        return TRUE;
      }
      break;
    case WM_HELP:
      ShowHelp();
      return TRUE;
    case WM_SYSCOMMAND:
      // The title bar's help button: the topic at once, no what's-this mode.
      if ((wParam & 0xFFF0) == SC_CONTEXTHELP) {
        ShowHelp();
        return 0;
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          btnOkClick();
          return 0;
        case kImmedSearchId:
          if (HIWORD(wParam) == BN_CLICKED) cbImmedSearchClick();
          return 0;
        case kLanguageId:
          if (HIWORD(wParam) == CBN_SELCHANGE) cmbLanguageChange();
          return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom != lvCheckPar) break;
      switch (header->code) {
        case LVN_GETDISPINFOW:
          lvCheckParGetImageIndex(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
          return 0;
        case LVN_ITEMCHANGED: {
          const auto& change = *reinterpret_cast<NMLISTVIEW*>(lParam);
          if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED)) lvCheckParSelectItem(change.iItem);
          return 0;
        }
        case NM_CUSTOMDRAW:
          return lvCheckParCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      if (control == stParam || control == stLang) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
  }
  return TModalWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace olvendrix
