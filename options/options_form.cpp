#include "options_form.h"

#include <algorithm>

#include "cp1251.h"
#include "language_file.h"
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

}  // namespace


TOptionsForm::TOptionsForm(TOptionsHost& host, HWND owner, const TOptionsValues& values)
    : host_(host), owner_(owner), values_(values) {}

TOptionsForm::~TOptionsForm() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (imgCheck != nullptr) ::ImageList_Destroy(imgCheck);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(bold_font_),
                         static_cast<HGDIOBJ>(background_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
}

int TOptionsForm::Scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

bool TOptionsForm::ShowModal() {
  Create();
  if (window_ == nullptr) return false;
  host_.RunModal(window_, owner_, closed_);
  ::DestroyWindow(window_);
  return accepted_;
}

void TOptionsForm::Create() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<TOptionsForm>(kDialogClass);
  const HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const POINT at = win32::CentredOver(owner_, width, height);
  ::CreateWindowExW(ex_style, kDialogClass, L"", style, at.x, at.y, width, height, owner_, nullptr, instance, this);
  if (window_ == nullptr) return;
  FormCreate();
}

void TOptionsForm::FormCreate() {
  CreateControls();
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

void TOptionsForm::CreateControls() {
  font_ = win32::CreateMessageFont();
  bold_font_ = win32::CreateMessageFont(true);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const auto child = [&](DWORD ex_style, const wchar_t* window_class, DWORD style, int id, int x, int y, int w,
                         int h, HFONT font) {
    HWND control = ::CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y),
                                     Scale(w), Scale(h), window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  // Created in Tab order: grid, switches, language, OK, Cancel.
  stParam = child(0, L"STATIC", SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, kClientWidth, kHeadingHeight, bold_font_);
  HeaderControl = child(0, WC_HEADERW, HDS_FLAT | HDS_HORZ, 0, 0, kBackTop, kClientWidth, kHeaderHeight, font_);
  for (int row = 0; row < 3; ++row) {
    // Raised inside, lowered outside: a bevelled panel.
    RowPanels[row] = child(WS_EX_STATICEDGE, L"STATIC", SS_CENTER | SS_CENTERIMAGE | WS_BORDER, 0, 2,
                           kBackTop + kGridTop + (kGridHeight / 3) * row, kGridLeft - 2, kGridHeight / 3, font_);
  }
  lvCheckPar = child(0, WC_LISTVIEWW,
                     LVS_ICON | LVS_SINGLESEL | LVS_NOLABELWRAP | LVS_NOSCROLL | LVS_SHAREIMAGELISTS | WS_TABSTOP,
                     kGridId, kGridLeft, kBackTop + kGridTop, kGridWidth, kGridHeight, font_);
  int y = kBackTop + kBackHeight;
  cbCaseSensitiv = child(0, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kCaseSensitivId, 20, y + 8, 440, 20, font_);
  y += 36;
  cbImmedSearch = child(0, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kImmedSearchId, 20, y + 10, 440, 20, font_);
  cbDelay = child(0, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, kDelayId, 44, y + 38, 416, 20, font_);
  y += 70;
  stLang = child(0, L"STATIC", SS_CENTER | SS_CENTERIMAGE, 0, 0, y, kClientWidth, kHeadingHeight, bold_font_);
  y += kHeadingHeight;
  cmbLanguage = child(0, WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, kLanguageId,
                      (kClientWidth - 145) / 2, y + 6, 145, 200, font_);
  y += 50;
  btnOk = child(0, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 334, y, 75, 25, font_);
  btnCancel = child(0, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 80, y, 75, 25, font_);
  ::SetWindowTextW(btnOk, L"OK");
  win32::SetWindowText1251(btnCancel, W1251("Скасувати"));
  win32::SetWindowText1251(stParam, W1251(" Параметри пошуку "));
  win32::SetWindowText1251(stLang, W1251(" Мова Інтерфейсу"));
  win32::SetWindowText1251(cbCaseSensitiv, W1251("Враховувати регістр символів"));
  win32::SetWindowText1251(cbImmedSearch, W1251("Пошук після введення нового символу"));
  win32::SetWindowText1251(cbDelay, W1251("Використовувати невеличку затримку"));
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
  ListView_SetIconSpacing(lvCheckPar, Scale(kCellStep), Scale(kCellStep));
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      LVITEMW item{};
      item.mask = LVIF_IMAGE | LVIF_TEXT;
      item.iItem = row * kGridColumns + column;
      item.iImage = I_IMAGECALLBACK;
      item.pszText = const_cast<wchar_t*>(L"");
      ListView_InsertItem(lvCheckPar, &item);
      ListView_SetItemPosition32(lvCheckPar, item.iItem, Scale(kCellStep * column), Scale(kCellStep * row));
    }
  }
}

void TOptionsForm::SizeHeaderSections() {
  for (int section = 0; section <= kGridColumns; ++section) {
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_FORMAT | HDI_TEXT;
    item.cxy = Scale(section == 0 ? kGridLeft : kGridWidth / kGridColumns - 3);
    item.fmt = HDF_CENTER | HDF_STRING;
    item.pszText = const_cast<wchar_t*>(L"");
    Header_InsertItem(HeaderControl, section, &item);
  }
}

void TOptionsForm::ApplyDialogCaptions() {
  const TWindowTexts& texts = host_.InterfaceTexts();
  win32::SetWindowText1251(window_, texts.Menu[mtxOptions]);
  const HWND captioned[otxCount] = {cbCaseSensitiv, cbImmedSearch, cbDelay, stParam, stLang};
  for (int i = 0; i < otxCount; ++i) {
    if (!texts.OptionsCaptions[i].empty()) win32::SetWindowText1251(captioned[i], texts.OptionsCaptions[i]);
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

void TOptionsForm::ScanLanguageFiles() { language_files_ = FindLanguageFiles(host_.ProgramFolder()); }

void TOptionsForm::FillLanguageCombo() {
  ::SendMessageW(cmbLanguage, CB_RESETCONTENT, 0, 0);
  const std::vector<std::string>& names = host_.InterfaceTexts().LanguageNames;
  for (const std::string& file : language_files_) {
    ::SendMessageW(cmbLanguage, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(win32::Wide(LanguageDisplayName(names, file)).c_str()));
  }
}

void TOptionsForm::SelectCurrentLanguage() {
  if (language_files_.empty()) {
    ::EnableWindow(cmbLanguage, FALSE);
    win32::SetWindowText1251(cmbLanguage, W1251("українська"));
    return;
  }
  const std::string current = UpperCase1251(host_.LanguageName());
  std::size_t index = 0;
  for (std::size_t i = 0; i < language_files_.size(); ++i) {
    if (UpperCase1251(language_files_[i]) == current) index = i;
  }
  ::SendMessageW(cmbLanguage, CB_SETCURSEL, index, 0);
}

void TOptionsForm::cmbLanguageChange() {
  const LRESULT index = ::SendMessageW(cmbLanguage, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<std::size_t>(index) >= language_files_.size()) return;
  if (!host_.LoadLanguage(language_files_[static_cast<std::size_t>(index)])) return;
  ApplyDialogCaptions();
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
  Close(true);
}

void TOptionsForm::Close(bool accepted) {
  accepted_ = accepted;
  closed_ = true;
}

void TOptionsForm::ShowHelp() { host_.ShowHelpContext(window_, kOptionsHelpContext); }

LRESULT TOptionsForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kKeyPreviewMessage:
      if (wParam == VK_F1) {
        ShowHelp();
        return TRUE;
      }
      return FALSE;
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
    case WM_CLOSE:
      Close(false);
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          btnOkClick();
          return 0;
        case IDCANCEL:
          Close(false);
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
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
