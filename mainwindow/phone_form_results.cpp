// The results list: columns, row texts straight from the store, selection,
// status texts, sort orders and navigation.
#include <algorithm>

#include "format.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr double kColumnShare[5] = {9, 55, 20, 8, 8};
constexpr int kExtraColumnWidth = 100;
// Keys sent to the list by the six Navigation entries.
constexpr WPARAM kNavigationKeys[6] = {VK_HOME, VK_PRIOR, VK_UP, VK_DOWN, VK_NEXT, VK_END};

void InsertColumn(HWND list, int index, const std::string& caption1251, int width) {
  const std::wstring caption = win32::Wide(caption1251);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(caption.c_str());
  column.cx = width;
  column.iSubItem = index;
  ListView_InsertColumn(list, index, &column);
}

}  // namespace

void TPhoneForm::ColumnWidths(int list_width, int widths[5]) {
  // Never negative: -1 and -2 ask the list to measure every row.
  for (int i = 0; i < 5; ++i) {
    widths[i] = std::max(0, static_cast<int>((list_width - 25) * (kColumnShare[i] / 100)));
  }
}

void TPhoneForm::CreateListColumns() {
  for (int i = 0; i < 5; ++i) InsertColumn(lvMain, i, texts_.FieldCaptions[i], 0);
}

void TPhoneForm::ResizeListColumns() {
  RECT list{};
  ::GetWindowRect(lvMain, &list);
  int widths[5];
  ColumnWidths(list.right - list.left, widths);
  ::SendMessageW(lvMain, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 5; ++i) ListView_SetColumnWidth(lvMain, i, widths[i]);
  ::SendMessageW(lvMain, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(lvMain, nullptr, TRUE);
}

void TPhoneForm::AddExtraColumns() {
  const TFieldsList& fields = session_->ReadEngine().Converter->Fields();
  for (std::size_t c = 5; c < fields.size(); ++c) {
    InsertColumn(lvMain, static_cast<int>(c), fields[c].Name, Scale(kExtraColumnWidth));
  }
}

void TPhoneForm::lvMainData(NMLVDISPINFOW& item) {
  if (!(item.item.mask & LVIF_TEXT) || item.item.pszText == nullptr || item.item.cchTextMax <= 0) return;
  item.item.pszText[0] = L'\0';
  // While a search runs it owns the result array; after the shutdown (a late
  // request during destruction) there is nothing to show.
  if (!session_->CanReadEngine()) return;
  const TEngine& engine = session_->ReadEngine();
  const TDBFConverter& store = *engine.Converter;
  const TSearchList& search = *engine.SearchList;
  if (item.item.iItem < 0 || item.item.iItem >= search.Count() || item.item.iSubItem < 0 ||
      item.item.iSubItem >= store.FieldCount()) {
    return;
  }
  const std::uint8_t* record = store.RecordAddr(static_cast<std::uint32_t>(search.GetItem(item.item.iItem)));
  const std::wstring text = win32::Wide(store.FieldText(record, static_cast<std::uint16_t>(item.item.iSubItem)));
  // A text longer than the list's buffer is cut, not dropped.
  const std::size_t length = std::min<std::size_t>(text.size(), static_cast<std::size_t>(item.item.cchTextMax - 1));
  std::copy_n(text.data(), length, item.item.pszText);
  item.item.pszText[length] = L'\0';
}

void TPhoneForm::TrackSelection(const NMHDR& header) {
  selection_.Follow(header);
  const int row = selection_.Selected();
  const TSearchList* search = session_->CanReadEngine() ? session_->ReadEngine().SearchList.get() : nullptr;
  selected_record_ = row >= 0 && search != nullptr && row < search->Count() ? search->GetItem(row) : -1;
}

void TPhoneForm::UpdateResultList() {
  const TSearchList& search = *session_->ReadEngine().SearchList;
  // Setting the count redraws the scroll bars at once, several times over
  // on some hosts, which costs more than the search. The list is hidden from
  // drawing while it is set (the default bracket, not the list's own, which
  // would repaint it then and there) and repainted whole, frame included,
  // at the next paint. Its column header is drawn again only when a scroll
  // bar came or went: unchanged, it costs more to draw than the rows.
  RECT client_before{};
  ::GetClientRect(lvMain, &client_before);
  ::DefWindowProcW(lvMain, WM_SETREDRAW, FALSE, 0);
  ListView_SetItemCountEx(lvMain, search.Count(), LVSICF_NOSCROLL);
  ::DefWindowProcW(lvMain, WM_SETREDRAW, TRUE, 0);
  RECT client_after{};
  ::GetClientRect(lvMain, &client_after);
  const UINT header = ::EqualRect(&client_before, &client_after) ? RDW_NOCHILDREN : 0;
  ::RedrawWindow(lvMain, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | header);
  const bool keep = search.KeepSelection && search.SelIndex >= 0 && search.SelIndex < search.Count();
  selection_.Select(lvMain, keep ? search.SelIndex : -1);
}

void TPhoneForm::UpdateStatusTexts() {
  // From the window's own state: a search may be running now.
  const int found = ListView_GetItemCount(lvMain);
  const std::uint8_t shown_order = session_->ShownSortOrder();
  const std::string texts[3] = {
      " " + Format(texts_.StatusFormats[0], {found}),
      " " + Format(texts_.StatusFormats[1], {shown_order == 0 ? texts_.SortMenuFirst : texts_.Menu[kSortTexts[shown_order]]}),
      " " + Format(texts_.StatusFormats[2], {session_->RecordCount()}),
  };
  // While the wait indicator is shown it keeps the first panel.
  for (int panel = wait_shown_ ? 1 : 0; panel < 3; ++panel) {
    ::SendMessageW(StatusBar, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(win32::Wide(texts[panel]).c_str()));
  }
}

void TPhoneForm::lvMainColumnClick(int column) {
  if (column >= 0 && column <= 2) ChangeSortOrder(column);
}

void TPhoneForm::actByNumtelExecute(int order) { ChangeSortOrder(order); }

void TPhoneForm::ChangeSortOrder(int order) {
  // Only the session's choice changes here: a search may be running.
  session_->ChooseSortOrder(static_cast<std::uint8_t>(order), selection_.Selected() >= 0 ? selected_record_ : -1);
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
}

void TPhoneForm::mmNavigateClick() {
  const bool idle = !IsPreparing() && !IsSaveRunning();
  const int top = idle ? ListView_GetTopIndex(lvMain) : 0;
  const int visible = idle ? ListView_GetCountPerPage(lvMain) : 0;
  const bool back = idle && top != 0;
  const bool forward = idle && top + visible != ListView_GetItemCount(lvMain);
  for (int tag = 0; tag < 6; ++tag) {
    ::EnableMenuItem(navigation_menu_, kCmdNavigateFirst + tag,
                     MF_BYCOMMAND | ((tag < 3 ? back : forward) ? MF_ENABLED : MF_GRAYED));
  }
}

void TPhoneForm::miFirstClick(int tag) {
  ::SendMessageW(lvMain, WM_KEYDOWN, kNavigationKeys[tag], 0);
}

}  // namespace olvendrix
