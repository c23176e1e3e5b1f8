// The results list: columns, row texts straight from the store, selection,
// status texts, sort orders and navigation.
#include <algorithm>

#include "engine/format.h"
#include "mainwindow/phone_form.h"
#include "mainwindow/win32_text.h"

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
  for (int i = 0; i < 5; ++i) widths[i] = static_cast<int>((list_width - 25) * (kColumnShare[i] / 100));
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
  const TFieldsList& fields = db_.Engine.Converter->Fields();
  for (std::size_t c = 5; c < fields.size(); ++c) {
    InsertColumn(lvMain, static_cast<int>(c), fields[c].Name, Scale(kExtraColumnWidth));
  }
}

void TPhoneForm::lvMainData(NMLVDISPINFOW& item) {
  // While a search runs, the job is rewriting the result array.
  if (SearchRunning || !(item.item.mask & LVIF_TEXT) || item.item.cchTextMax <= 0) return;
  const TDBFConverter& store = *db_.Engine.Converter;
  const TSearchList& search = Search();
  if (item.item.iItem < 0 || item.item.iItem >= search.Count() ||
      item.item.iSubItem >= store.FieldCount()) {
    return;
  }
  const std::uint8_t* record = store.RecordAddr(static_cast<std::uint32_t>(search.GetItem(item.item.iItem)));
  const std::string_view text = store.FieldText(record, static_cast<std::uint16_t>(item.item.iSubItem));
  const int length = ::MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()),
                                           item.item.pszText, item.item.cchTextMax - 1);
  item.item.pszText[std::max(length, 0)] = L'\0';
}

void TPhoneForm::TrackSelection(const NMHDR& header) {
  // Asking a large owner-data list for its selection is slow under some
  // hosts: the notifications tell it instead.
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE)) return;
    const auto follow = [&](UINT mark, int& row) {
      const bool was = change.uOldState & mark;
      const bool is = change.uNewState & mark;
      if (is && !was) row = change.iItem;
      else if (was && !is && (change.iItem == -1 || change.iItem == row)) row = -1;
    };
    follow(LVIS_SELECTED, selected_row_);
    follow(LVIS_FOCUSED, focused_row_);
  } else {
    const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) {
      selected_row_ = change.iFrom;
    }
  }
}

void TPhoneForm::UpdateResultList() {
  const TSearchList& search = Search();
  // One call sets the count; a redraw bracket here would repaint the list
  // synchronously on some hosts, costing more than the search.
  ListView_SetItemCountEx(lvMain, search.Count(), LVSICF_NOSCROLL);
  if (search.KeepSelection && search.SelIndex >= 0 && search.SelIndex < search.Count()) {
    const int row = search.SelIndex;
    if (selected_row_ >= 0) ListView_SetItemState(lvMain, selected_row_, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (focused_row_ >= 0) ListView_SetItemState(lvMain, focused_row_, 0, LVIS_FOCUSED);
    ListView_SetItemState(lvMain, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    selected_row_ = row;
    focused_row_ = row;
    ListView_EnsureVisible(lvMain, row, TRUE);
  } else {
    // Clearing "all rows" makes some list views visit every row: clear the
    // rows known to carry a mark instead.
    if (selected_row_ >= 0) ListView_SetItemState(lvMain, selected_row_, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (focused_row_ >= 0) ListView_SetItemState(lvMain, focused_row_, 0, LVIS_FOCUSED);
    selected_row_ = -1;
    focused_row_ = -1;
  }
  ::InvalidateRect(lvMain, nullptr, TRUE);
}

void TPhoneForm::UpdateStatusTexts() {
  if (!db_.Engine.SearchList) return;
  const TSearchList& search = Search();
  const std::string texts[3] = {
      " " + Format(texts_.StatusFormats[0], {search.Count()}),
      " " + Format(texts_.StatusFormats[1],
                   {search.SortOrder() == 0 ? texts_.SortMenuFirst : texts_.SortCommands[search.SortOrder()]}),
      " " + Format(texts_.StatusFormats[2], {search.Capacity()}),
  };
  for (int panel = 0; panel < 3; ++panel) {
    ::SendMessageW(StatusBar, SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(win32::Wide(texts[panel]).c_str()));
  }
}

void TPhoneForm::lvMainColumnClick(int column) {
  if (column >= 0 && column <= 2) ChangeSortOrder(column);
}

void TPhoneForm::actByNumtelExecute(int order) { ChangeSortOrder(order); }

void TPhoneForm::ChangeSortOrder(int order) {
  TSearchList& search = Search();
  if (order != search.SortOrder()) {
    if (selected_row_ >= 0) {
      search.SelIndex = selected_row_;
      search.KeepSelection = true;
    } else {
      search.KeepSelection = false;
    }
    search.SetSortOrder(static_cast<std::uint8_t>(order));
    ResortMark = true;
  }
  ::PostMessageW(window_, MM_STARTSEARCH, 0, 1);
}

void TPhoneForm::mmNavigateClick() {
  const bool idle = !Preparing && !SaveRunning;
  const int top = idle ? ListView_GetTopIndex(lvMain) : 0;
  const int visible = idle ? ListView_GetCountPerPage(lvMain) : 0;
  const bool back = idle && top != 0;
  const bool forward = idle && top + visible != Search().Count();
  for (int tag = 0; tag < 6; ++tag) {
    ::EnableMenuItem(navigation_menu_, kCmdNavigateFirst + tag,
                     MF_BYCOMMAND | ((tag < 3 ? back : forward) ? MF_ENABLED : MF_GRAYED));
  }
}

void TPhoneForm::miFirstClick(int tag) {
  ::SendMessageW(lvMain, WM_KEYDOWN, kNavigationKeys[tag], 0);
}

}  // namespace olvendrix
