// TDebugForm: the modal timing window "Відладка": how long the preparation,
// the loading, the sorting, the last search and the last save took, as the
// main window measured them when the window opened.
//
// Main thread only; created when shown and destroyed when closed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "modal_host.h"
#include "win32_window.h"

namespace olvendrix {

// Milliseconds, in the order of the window's rows.
struct TTimings {
  std::uint32_t InitTime = 0, LoadBaseTime = 0, SortTime = 0, SearchTime = 0, SaveFileTime = 0;
};

class TDebugForm {
 public:
  TDebugForm(TModalHost& host, HWND owner, const TTimings& timings);
  TDebugForm(const TDebugForm&) = delete;
  TDebugForm& operator=(const TDebugForm&) = delete;
  ~TDebugForm();

  // Shows the window modally until OK or Esc.
  void ShowModal();
  // Creates the window without running it (tests).
  void Create();
  HWND Handle() const { return window_; }
  // The value label of row 0..4.
  HWND ValueLabel(int row) const { return values_[row]; }
  bool Closed() const { return closed_; }

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  TModalHost& host_;
  HWND owner_;
  TTimings timings_;
  HWND window_ = nullptr;
  HWND values_[5] = {};
  HFONT font_ = nullptr;
  bool closed_ = false;
};

}  // namespace olvendrix
