// Menus, accelerators, command handling and the command state brought up to
// date on idle and when a menu opens, all read from one table of commands.
#include <cstdint>
#include <string>
#include <vector>

#include "maker_links.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

// "Ctrl+S", "F9", "Enter": the shortcut as a menu shows it, from its key.
std::wstring ShortcutText(const TShortcut& shortcut) {
  if (shortcut.key == 0) return {};
  std::wstring text = (shortcut.modifiers & FCONTROL) ? L"Ctrl+" : L"";
  if (shortcut.key == VK_RETURN) return text + L"Enter";
  if (shortcut.key >= VK_F1 && shortcut.key <= VK_F12) return text + L"F" + std::to_wstring(shortcut.key - VK_F1 + 1);
  return text + static_cast<wchar_t>(shortcut.key);
}

void SetItemCaption(HMENU menu, UINT item, bool by_position, const std::string& caption1251,
                    const std::wstring& shortcut = {}) {
  std::wstring caption = win32::Wide(caption1251);
  if (!shortcut.empty()) caption += L"\t" + shortcut;
  MENUITEMINFOW info{sizeof info};
  info.fMask = MIIM_STRING;
  info.dwTypeData = caption.data();
  ::SetMenuItemInfoW(menu, item, by_position ? TRUE : FALSE, &info);
}

}  // namespace

void TPhoneForm::SetMenuImage(HMENU menu, UINT id, int image) {
  MENUITEMINFOW item{sizeof item};
  item.fMask = MIIM_BITMAP;
  item.hbmpItem = images_[image];
  ::SetMenuItemInfoW(menu, id, FALSE, &item);
}

const std::vector<TPhoneForm::TCommand>& TPhoneForm::Commands() {
  using Form = TPhoneForm;
  constexpr int kNoImage = -1;
  constexpr TShortcut kNone{};
  // A shortcut the key filter takes before the controls do, where an
  // accelerator would come too late (the input boxes use Enter themselves).
  const auto by_filter = [](WORD key) { return TShortcut{key, 0, true}; };
  const auto key = [](WORD key, BYTE modifiers = 0) { return TShortcut{key, modifiers, false}; };
  const auto can_copy = [](const Form& form) { return form.CanCopy(); };
  const auto can_save = [](const Form& form) { return form.CanSave(); };
  const auto not_preparing = [](const Form& form) { return !form.IsPreparing(); };
  static const std::vector<TCommand> commands = [&] {
    std::vector<TCommand> table = {
        {kCmdSave, 0, mtxSave, 0, key('S', FCONTROL), can_save, [](Form& f, int) { f.actSaveExecute(); }},
        {kCmdExit, 0, mtxExit, 1, key('X', FCONTROL), nullptr, [](Form& f, int) { f.miExitClick(); }},
        {kCmdSearch, 0, mtxSearch, 2, by_filter(VK_RETURN), nullptr, [](Form& f, int) { f.actSearchExecute(); }},
        {kCmdCopy, 0, mtxCopy, kNoImage, key('C', FCONTROL), can_copy, [](Form& f, int) { f.actCopyExecute(); }},
        {kCmdClearInputs, 0, mtxClearAll, 3, by_filter(VK_F8), nullptr, [](Form& f, int) { f.ClearInputs(); }},
        {kCmdClearHistory, 0, mtxClearHistory, kNoImage, key(VK_F9), nullptr,
         [](Form& f, int) {
           f.ClearHistory();
           ::PostMessageW(f.window_, MM_STARTSEARCH, 0, 1);
         }},
        {kCmdOptions, 0, mtxOptions, 4, key('O', FCONTROL), [](const Form& f) { return f.CanOpenOptions(); },
         [](Form& f, int) { f.miOptionsClick(); }},
        {kCmdHelp, 0, mtxHelpContents, 11, key(VK_F1), nullptr, [](Form& f, int) { f.miHelpClick(); }},
        // Its caption is the web address itself.
        {kCmdGotoSite, 0, mtxCount, 12, kNone, nullptr, [](Form& f, int) { f.GotoSiteClick(); }},
        {kCmdMail, 0, mtxMail, 15, kNone, nullptr, [](Form& f, int) { f.SendMailToMaker(false); }},
        {kCmdError, 0, mtxError, kNoImage, kNone, nullptr, [](Form& f, int) { f.SendMailToMaker(true); }},
        {kCmdAbout, 0, mtxAbout, 13, kNone, nullptr, [](Form& f, int) { f.miAboutClick(); }},
    };
    for (int order = 0; order < 3; ++order) {
      // Their pictures are the mark of the current order (UpdateSortMarks).
      table.push_back({kCmdSortFirst + order, order, kSortTexts[order], kNoImage, kNone, not_preparing,
                       [](Form& f, int tag) { f.actByNumtelExecute(tag); }});
    }
    for (int tag = 0; tag < 6; ++tag) {
      // Enabled when the menu opens (mmNavigateClick).
      table.push_back({kCmdNavigateFirst + tag, tag, kNavigationTexts[tag], 5 + tag, kNone, nullptr,
                       [](Form& f, int t) { f.miFirstClick(t); }});
    }
    return table;
  }();
  return commands;
}

const TPhoneForm::TCommand* TPhoneForm::FindCommand(UINT id) {
  for (const TCommand& command : Commands()) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

namespace {

constexpr UINT kSeparator = 0;

// The items of each menu, by command; kSeparator draws a line.
const std::vector<UINT> kFileItems = {kCmdSave, kSeparator, kCmdExit};
const std::vector<UINT> kEditItems = {kCmdSearch, kCmdCopy, kCmdClearInputs, kCmdClearHistory, kSeparator,
                                      kCmdOptions};
const std::vector<UINT> kSortItems = {kCmdSortFirst, kCmdSortFirst + 1, kCmdSortFirst + 2};
const std::vector<UINT> kNavigateItems = {kCmdNavigateFirst,     kCmdNavigateFirst + 1, kCmdNavigateFirst + 2,
                                          kCmdNavigateFirst + 3, kCmdNavigateFirst + 4, kCmdNavigateFirst + 5};
const std::vector<UINT> kHelpItems = {kCmdHelp, kSeparator, kCmdGotoSite, kCmdMail, kCmdError, kSeparator, kCmdAbout};
const std::vector<UINT> kPopupItems = {kCmdSortFirst, kCmdSortFirst + 1, kCmdSortFirst + 2, kSeparator, kCmdCopy,
                                       kCmdSave};

}  // namespace

HMENU TPhoneForm::BuildMenu(const std::vector<UINT>& items) {
  HMENU menu = ::CreatePopupMenu();
  for (UINT id : items) {
    if (id == kSeparator) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    ::AppendMenuW(menu, MF_STRING, id, L"");
    const TCommand* command = FindCommand(id);
    if (command->image >= 0) SetMenuImage(menu, id, command->image);
  }
  return menu;
}

// Every item is created with an empty caption: ApplyCaptions writes them,
// at creation and whenever a language is applied.
void TPhoneForm::CreateMenus() {
  images_.Load(instance_, L"IMAGES", 16, 16);
  main_menu_ = ::CreateMenu();
  file_menu_ = BuildMenu(kFileItems);
  edit_menu_ = BuildMenu(kEditItems);
  sort_menu_ = BuildMenu(kSortItems);
  navigation_menu_ = BuildMenu(kNavigateItems);
  help_menu_ = BuildMenu(kHelpItems);
  for (HMENU submenu : {file_menu_, edit_menu_, sort_menu_, navigation_menu_, help_menu_}) {
    ::AppendMenuW(main_menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), L"");
  }
  ::SetMenu(window_, main_menu_);
  PopupMenu = BuildMenu(kPopupItems);

  std::vector<ACCEL> keys;
  for (const TCommand& command : Commands()) {
    if (command.shortcut.key == 0 || command.shortcut.by_key_filter) continue;
    keys.push_back({static_cast<BYTE>(FVIRTKEY | command.shortcut.modifiers), command.shortcut.key,
                    static_cast<WORD>(command.id)});
  }
  accelerators_ = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void TPhoneForm::ApplyMenuCaptions() {
  const auto& menu = texts_.Menu;
  const TMenuText headings[5] = {mtxFile, mtxEdit, mtxSort, mtxNavigate, mtxHelp};
  for (UINT position = 0; position < 5; ++position) {
    SetItemCaption(main_menu_, position, true, menu[headings[position]]);
  }
  for (HMENU with_commands : {file_menu_, edit_menu_, sort_menu_, navigation_menu_, help_menu_, PopupMenu}) {
    for (int position = 0, count = ::GetMenuItemCount(with_commands); position < count; ++position) {
      const TCommand* command = FindCommand(::GetMenuItemID(with_commands, position));
      if (command == nullptr) continue;
      const std::string caption =
          command->id == kCmdGotoSite ? SiteAddress(Settings().MakerHost) : menu[command->caption];
      SetItemCaption(with_commands, command->id, false, caption, ShortcutText(command->shortcut));
    }
  }
  // The main Sort menu's first item keeps its own caption.
  SetItemCaption(sort_menu_, kCmdSortFirst + 0, false, texts_.SortMenuFirst);
  ::DrawMenuBar(window_);
}

void TPhoneForm::UpdateSortMarks() {
  constexpr int kSortMark = 14;  // green tick
  const std::uint8_t order_now = session_->SearchOptions().SortOrder;
  if (marked_sort_order_ == order_now) return;
  marked_sort_order_ = order_now;
  for (HMENU menu : {sort_menu_, PopupMenu}) {
    for (int order = 0; order < 3; ++order) {
      SetMenuImage(menu, kCmdSortFirst + order, order == order_now ? kSortMark : -1);
    }
  }
}

void TPhoneForm::UpdateCommandState() {
  if (destroyed_) return;
  UpdateSortMarks();
  // Runs whenever the queue empties: each command's state is asked once, and
  // a menu without the command ignores it.
  for (const TCommand& command : Commands()) {
    if (command.enabled == nullptr) continue;
    const UINT state = MF_BYCOMMAND | (command.enabled(*this) ? MF_ENABLED : MF_GRAYED);
    for (HMENU menu : {file_menu_, edit_menu_, sort_menu_, help_menu_, PopupMenu}) {
      ::EnableMenuItem(menu, command.id, state);
    }
  }
}

bool TPhoneForm::RunKeyFilterShortcut(WPARAM key) {
  for (const TCommand& command : Commands()) {
    if (command.shortcut.by_key_filter && command.shortcut.key == key) return Command(command.id, 0, nullptr);
  }
  return false;
}

bool TPhoneForm::Command(UINT id, UINT code, HWND control) {
  if (id >= kCmdInputFirst && id < kCmdInputFirst + 5 && control != nullptr) {
    if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) InputChanged();
    if (code == CBN_KILLFOCUS) AddToHistory(static_cast<int>(id - kCmdInputFirst));
    return true;
  }
  if (id == kCmdSearchButton) id = kCmdSearch;
  const TCommand* command = FindCommand(id);
  if (command == nullptr) return false;
  // A shortcut may arrive while its command is disabled: the command checks
  // again.
  if (command->enabled == nullptr || command->enabled(*this)) command->execute(*this, command->tag);
  return true;
}

}  // namespace olvendrix
