#include "list_selection.h"

namespace olvendrix::win32 {

void TListSelection::Follow(const NMHDR& header) {
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE)) return;
    const auto follow = [&](UINT mark, int& row) {
      const bool was = change.uOldState & mark;
      const bool is = change.uNewState & mark;
      if (is && !was) row = change.iItem;
      else if (was && !is && (change.iItem == -1 || change.iItem == row)) row = -1;
    };
    follow(LVIS_SELECTED, selected_);
    follow(LVIS_FOCUSED, focused_);
  } else if (header.code == LVN_ODSTATECHANGED) {
    const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) selected_ = change.iFrom;
  }
}

void TListSelection::Select(HWND list, int row) {
  if (selected_ >= 0) ListView_SetItemState(list, selected_, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (focused_ >= 0) ListView_SetItemState(list, focused_, 0, LVIS_FOCUSED);
  selected_ = focused_ = row;
  if (row < 0) return;
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, TRUE);
}

}  // namespace olvendrix::win32
