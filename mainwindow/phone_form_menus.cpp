// Menus, accelerators, command handling and the command state brought up to
// date on idle and when a menu opens.
#include <cstdint>

#include "mainwindow/phone_form.h"
#include "mainwindow/win32_text.h"

namespace olvendrix {
namespace {

void Append(HMENU menu, UINT id, const std::string& caption1251, const wchar_t* shortcut = nullptr) {
  std::wstring caption = win32::Wide(caption1251);
  if (shortcut != nullptr) caption += std::wstring(L"\t") + shortcut;
  ::AppendMenuW(menu, MF_STRING, id, caption.c_str());
}

void AppendSubmenu(HMENU bar, HMENU submenu, const std::string& caption1251) {
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), win32::Wide(caption1251).c_str());
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

void TPhoneForm::CreateMenus() {
  LoadImages();
  main_menu_ = ::CreateMenu();
  HMENU edit = ::CreatePopupMenu();
  Append(edit, kCmdSearch, texts_.SearchItem, L"Enter");
  Append(edit, kCmdClearInputs, texts_.ClearInputsItem, L"F8");
  Append(edit, kCmdClearHistory, texts_.ClearHistoryItem, L"F9");
  SetMenuImage(edit, kCmdSearch, 2);
  SetMenuImage(edit, kCmdClearInputs, 3);
  AppendSubmenu(main_menu_, edit, texts_.EditMenu);

  sort_menu_ = ::CreatePopupMenu();
  Append(sort_menu_, kCmdSortFirst + 0, texts_.SortMenuFirst);
  Append(sort_menu_, kCmdSortFirst + 1, texts_.SortCommands[1]);
  Append(sort_menu_, kCmdSortFirst + 2, texts_.SortCommands[2]);
  AppendSubmenu(main_menu_, sort_menu_, texts_.SortMenu);

  navigation_menu_ = ::CreatePopupMenu();
  for (int tag = 0; tag < 6; ++tag) {
    Append(navigation_menu_, kCmdNavigateFirst + tag, texts_.NavigationItems[tag]);
    SetMenuImage(navigation_menu_, kCmdNavigateFirst + tag, 5 + tag);
  }
  AppendSubmenu(main_menu_, navigation_menu_, texts_.NavigationMenu);
  ::SetMenu(window_, main_menu_);

  PopupMenu = ::CreatePopupMenu();
  for (int order = 0; order < 3; ++order) Append(PopupMenu, kCmdSortFirst + order, texts_.SortCommands[order]);

  ACCEL keys[] = {{FVIRTKEY, VK_F9, static_cast<WORD>(kCmdClearHistory)}};
  accelerators_ = ::CreateAcceleratorTableW(keys, 1);
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
  for (HMENU menu : {sort_menu_, PopupMenu}) {
    for (int order = 0; order < 3; ++order) {
      ::EnableMenuItem(menu, kCmdSortFirst + order, MF_BYCOMMAND | (Preparing ? MF_GRAYED : MF_ENABLED));
    }
  }
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
  }
  return false;
}

}  // namespace olvendrix
