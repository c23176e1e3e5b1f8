// TDebugForm: the modal timing window "Відладка": how long the preparation,
// the loading, the sorting, the last search and the last save took, as the
// main window measured them when the window opened.
//
// Main thread only; created when shown and destroyed when closed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "modal_window.h"

namespace olvendrix {

// Milliseconds, in the order of the window's rows.
struct TTimings {
  std::uint32_t InitTime = 0, LoadBaseTime = 0, SortTime = 0, SearchTime = 0, SaveFileTime = 0;
};

class TDebugForm : public win32::TModalWindow {
 public:
  TDebugForm(TModalHost& host, HWND owner, const TTimings& timings);

  // Shows the window modally until OK or Esc.
  void ShowModal() { RunModal(); }
  // The value label of row 0..4.
  HWND ValueLabel(int row) const { return values_[row]; }

 private:
  bool CreateControls() override;
  SIZE Layout() override;

  TTimings timings_;
  HWND frame_ = nullptr;
  HWND captions_[5] = {};
  HWND values_[5] = {};
  HWND units_[5] = {};
  HWND ok_ = nullptr;
};

}  // namespace olvendrix
