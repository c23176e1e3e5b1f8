// What the program's own dialogs ask of the main window: to be run modally
// through the program's message loop (so that its key filter sees their
// keys), and to show help.
#pragma once

#include <windows.h>

namespace olvendrix {

// Sent to a dialog of the program for every key that goes down in it, before
// its controls see the key (wParam: the key code); a dialog that returns
// TRUE has taken the key.
constexpr UINT kKeyPreviewMessage = WM_APP + 2;

class TModalHost {
 public:
  virtual ~TModalHost() = default;
  // Disables `owner`, shows `window` and serves the program's message loop
  // until `closed` is set; then enables and activates `owner` again.
  virtual void RunModal(HWND window, HWND owner, const bool& closed) = 0;
  // The help viewer with the topic of `context`.
  virtual void ShowHelpContext(HWND owner, int context) = 0;
};

}  // namespace olvendrix
