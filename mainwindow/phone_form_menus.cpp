// Menus, accelerators, command handling and the command state brought up to
// date on idle and when a menu opens.
#include <cstdint>
#include <iterator>

#include "mainwindow/maker_links.h"
#include "mainwindow/phone_form.h"
#include "win32/win32_text.h"

namespace olvendrix {
namespace {

void SetItemCaption(HMENU menu, UINT item, bool by_position, const std::string& caption1251,
                    const wchar_t* shortcut) {
  std::wstring caption = win32::Wide(caption1251);
  if (shortcut != nullptr) caption += std::wstring(L"\t") + shortcut;
  MENUITEMINFOW info{sizeof info};
  info.fMask = MIIM_STRING;
  info.dwTypeData = caption.data();
  ::SetMenuItemInfoW(menu, item, by_position ? TRUE : FALSE, &info);
}

void Append(HMENU menu, UINT id) { ::AppendMenuW(menu, MF_STRING, id, L""); }
void AppendSeparator(HMENU menu) { ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }

void Enable(HMENU menu, UINT id, bool enabled) {
  ::EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void TPhoneForm::LoadImages() {
  HBITMAP strip = static_cast<HBITMAP>(
      ::LoadImageW(instance_, L"IMAGES", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION section{};
  if (strip == nullptr || ::GetObjectW(strip, sizeof section, &section) != sizeof section ||
      section.dsBm.bmBitsPixel != 32) {
    if (strip != nullptr) ::DeleteObject(strip);
    return;
  }
  const auto* source = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
  const int stride = section.dsBm.bmWidthBytes;
  for (int image = 0; image < 16; ++image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    images_[image] = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (images_[image] == nullptr) continue;
    auto* target = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < 16; ++y) {
      // The resource is stored bottom row first; menus want premultiplied alpha.
      const std::uint8_t* row = source + (15 - y) * stride + image * 16 * 4;
      for (int x = 0; x < 16; ++x) {
        const std::uint8_t alpha = row[4 * x + 3];
        for (int c = 0; c < 3; ++c) target[(y * 16 + x) * 4 + c] = static_cast<std::uint8_t>(row[4 * x + c] * alpha / 255);
        target[(y * 16 + x) * 4 + 3] = alpha;
      }
    }
  }
  ::DeleteObject(strip);
}

void TPhoneForm::SetMenuImage(HMENU menu, UINT id, int image) {
  MENUITEMINFOW item{sizeof item};
  item.fMask = MIIM_BITMAP;
  item.hbmpItem = image >= 0 ? images_[image] : nullptr;
  ::SetMenuItemInfoW(menu, id, FALSE, &item);
}

// Every item is created with an empty caption: ApplyCaptions writes them,
// at creation and whenever a language is applied.
void TPhoneForm::CreateMenus() {
  LoadImages();
  main_menu_ = ::CreateMenu();
  file_menu_ = ::CreatePopupMenu();
  Append(file_menu_, kCmdSave);
  AppendSeparator(file_menu_);
  Append(file_menu_, kCmdExit);
  SetMenuImage(file_menu_, kCmdSave, 0);
  SetMenuImage(file_menu_, kCmdExit, 1);

  edit_menu_ = ::CreatePopupMenu();
  for (UINT id : {kCmdSearch, kCmdCopy, kCmdClearInputs, kCmdClearHistory}) Append(edit_menu_, id);
  AppendSeparator(edit_menu_);
  Append(edit_menu_, kCmdOptions);
  SetMenuImage(edit_menu_, kCmdSearch, 2);
  SetMenuImage(edit_menu_, kCmdClearInputs, 3);
  SetMenuImage(edit_menu_, kCmdOptions, 4);

  sort_menu_ = ::CreatePopupMenu();
  for (int order = 0; order < 3; ++order) Append(sort_menu_, kCmdSortFirst + order);

  navigation_menu_ = ::CreatePopupMenu();
  for (int tag = 0; tag < 6; ++tag) {
    Append(navigation_menu_, kCmdNavigateFirst + tag);
    SetMenuImage(navigation_menu_, kCmdNavigateFirst + tag, 5 + tag);
  }

  help_menu_ = ::CreatePopupMenu();
  Append(help_menu_, kCmdHelp);
  AppendSeparator(help_menu_);
  for (UINT id : {kCmdGotoSite, kCmdMail, kCmdError}) Append(help_menu_, id);
  AppendSeparator(help_menu_);
  Append(help_menu_, kCmdAbout);
  SetMenuImage(help_menu_, kCmdAbout, 13);
  SetMenuImage(help_menu_, kCmdHelp, 11);
  SetMenuImage(help_menu_, kCmdGotoSite, 12);
  SetMenuImage(help_menu_, kCmdMail, 15);

  for (HMENU submenu : {file_menu_, edit_menu_, sort_menu_, navigation_menu_, help_menu_}) {
    ::AppendMenuW(main_menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), L"");
  }
  ::SetMenu(window_, main_menu_);

  PopupMenu = ::CreatePopupMenu();
  for (int order = 0; order < 3; ++order) Append(PopupMenu, kCmdSortFirst + order);
  AppendSeparator(PopupMenu);
  Append(PopupMenu, kCmdCopy);
  Append(PopupMenu, kCmdSave);
  SetMenuImage(PopupMenu, kCmdSave, 0);

  ACCEL keys[] = {{FVIRTKEY, VK_F9, static_cast<WORD>(kCmdClearHistory)},
                  {FVIRTKEY | FCONTROL, 'C', static_cast<WORD>(kCmdCopy)},
                  {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(kCmdSave)},
                  {FVIRTKEY | FCONTROL, 'X', static_cast<WORD>(kCmdExit)},
                  {FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(kCmdOptions)},
                  {FVIRTKEY, VK_F1, static_cast<WORD>(kCmdHelp)}};
  accelerators_ = ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

void TPhoneForm::ApplyMenuCaptions() {
  const auto& menu = texts_.Menu;
  const TMenuText headings[5] = {mtxFile, mtxEdit, mtxSort, mtxNavigate, mtxHelp};
  for (UINT position = 0; position < 5; ++position) {
    SetItemCaption(main_menu_, position, true, menu[headings[position]], nullptr);
  }
  SetItemCaption(file_menu_, kCmdExit, false, menu[mtxExit], L"Ctrl+X");
  SetItemCaption(edit_menu_, kCmdSearch, false, menu[mtxSearch], L"Enter");
  SetItemCaption(edit_menu_, kCmdClearInputs, false, menu[mtxClearAll], L"F8");
  SetItemCaption(edit_menu_, kCmdClearHistory, false, menu[mtxClearHistory], L"F9");
  SetItemCaption(edit_menu_, kCmdOptions, false, menu[mtxOptions], L"Ctrl+O");
  // The main Sort menu's first item keeps its own caption.
  SetItemCaption(sort_menu_, kCmdSortFirst + 0, false, texts_.SortMenuFirst, nullptr);
  for (int order = 1; order < 3; ++order) {
    SetItemCaption(sort_menu_, kCmdSortFirst + order, false, menu[kSortTexts[order]], nullptr);
  }
  for (int tag = 0; tag < 6; ++tag) {
    SetItemCaption(navigation_menu_, kCmdNavigateFirst + tag, false, menu[kNavigationTexts[tag]], nullptr);
  }
  SetItemCaption(help_menu_, kCmdHelp, false, menu[mtxHelpContents], L"F1");
  SetItemCaption(help_menu_, kCmdGotoSite, false, SiteAddress(db_.Settings.MakerHost), nullptr);
  SetItemCaption(help_menu_, kCmdMail, false, menu[mtxMail], nullptr);
  SetItemCaption(help_menu_, kCmdError, false, menu[mtxError], nullptr);
  SetItemCaption(help_menu_, kCmdAbout, false, menu[mtxAbout], nullptr);
  for (int order = 0; order < 3; ++order) {
    SetItemCaption(PopupMenu, kCmdSortFirst + order, false, menu[kSortTexts[order]], nullptr);
  }
  for (HMENU with_commands : {edit_menu_, PopupMenu}) {
    SetItemCaption(with_commands, kCmdCopy, false, menu[mtxCopy], L"Ctrl+C");
  }
  for (HMENU with_commands : {file_menu_, PopupMenu}) {
    SetItemCaption(with_commands, kCmdSave, false, menu[mtxSave], L"Ctrl+S");
  }
  ::DrawMenuBar(window_);
}

void TPhoneForm::UpdateSortMarks() {
  constexpr int kSortMark = 14;  // green tick
  if (marked_sort_order_ == sort_order_) return;
  marked_sort_order_ = sort_order_;
  for (HMENU menu : {sort_menu_, PopupMenu}) {
    for (int order = 0; order < 3; ++order) {
      SetMenuImage(menu, kCmdSortFirst + order, order == sort_order_ ? kSortMark : -1);
    }
  }
}

void TPhoneForm::UpdateCommandState() {
  if (destroyed_) return;
  UpdateSortMarks();
  const bool copy = CanCopy();
  const bool save = CanSave();
  for (HMENU menu : {sort_menu_, PopupMenu}) {
    for (int order = 0; order < 3; ++order) Enable(menu, kCmdSortFirst + order, !Preparing);
  }
  for (HMENU menu : {edit_menu_, PopupMenu}) Enable(menu, kCmdCopy, copy);
  for (HMENU menu : {file_menu_, PopupMenu}) Enable(menu, kCmdSave, save);
  Enable(edit_menu_, kCmdOptions, CanOpenOptions());
}

bool TPhoneForm::Command(UINT id, UINT code, HWND control) {
  if (id >= kCmdInputFirst && id < kCmdInputFirst + 5 && control != nullptr) {
    if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) InputChanged();
    if (code == CBN_KILLFOCUS) AddToHistory(static_cast<int>(id - kCmdInputFirst));
    return true;
  }
  if (id >= kCmdSortFirst && id < kCmdSortFirst + 3) {
    if (!Preparing) actByNumtelExecute(static_cast<int>(id - kCmdSortFirst));
    return true;
  }
  if (id >= kCmdNavigateFirst && id < kCmdNavigateFirst + 6) {
    miFirstClick(static_cast<int>(id - kCmdNavigateFirst));
    return true;
  }
  switch (id) {
    case kCmdSearch:
    case kCmdSearchButton:
      actSearchExecute();
      return true;
    case kCmdClearInputs:
      ClearInputs();
      return true;
    case kCmdClearHistory:
      ClearHistory();
      ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
      return true;
    // A shortcut may arrive while its command is disabled: the command
    // checks again.
    case kCmdCopy:
      if (CanCopy()) actCopyExecute();
      return true;
    case kCmdSave:
      if (CanSave()) actSaveExecute();
      return true;
    case kCmdExit:
      miExitClick();
      return true;
    case kCmdHelp:
      miHelpClick();
      return true;
    case kCmdGotoSite:
      GotoSiteClick();
      return true;
    case kCmdMail:
    case kCmdError:
      SendMailToMaker(id == kCmdError);
      return true;
    case kCmdOptions:
      miOptionsClick();
      return true;
    case kCmdAbout:
      miAboutClick();
      return true;
  }
  return false;
}

}  // namespace olvendrix
