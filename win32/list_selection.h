// The selected and the focused row of a single-selection owner-data list
// view, kept from its notifications: asking a large list for them is slow
// under some hosts, which visit every row.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace olvendrix::win32 {

class TListSelection {
 public:
  int Selected() const { return selected_; }
  int Focused() const { return focused_; }
  // Follows LVN_ITEMCHANGED and LVN_ODSTATECHANGED of the list.
  void Follow(const NMHDR& header);
  // Selects and focuses `row` of `list` and scrolls it into view, or, with
  // -1, leaves no row marked. Only the rows known to carry a mark are
  // cleared: clearing "all rows" makes some list views visit every row.
  void Select(HWND list, int row);

 private:
  int selected_ = -1;
  int focused_ = -1;
};

}  // namespace olvendrix::win32
