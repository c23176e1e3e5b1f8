// The program's one message loop, for its main window and its modal
// windows alike: each message taken from the queue passes the program's
// filter first (its key filter, accelerators, dialog keys), and only what
// the filter leaves is translated and dispatched. Main thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace olvendrix::win32 {

class TMessageFilter {
 public:
  virtual ~TMessageFilter() = default;
  // True when the filter handled `msg` and it must not be dispatched.
  virtual bool FilterMessage(MSG& msg) = 0;
  // The queue is empty: bring state up to date.
  virtual void OnIdle() = 0;
};

// Serves messages until `done` holds (nothing) or the program's quit
// message arrives (its exit code). `filter` may be null.
std::optional<int> ServeMessages(TMessageFilter* filter, const std::function<bool()>& done);

// Serves the messages waiting now; false when the quit message came.
bool ServeWaitingMessages(TMessageFilter* filter);

// Disables `owner`, shows `window` and serves the loop until `closed` is set
// or the window is gone (destroyed with its owner); then enables and
// activates `owner` again. A quit message is passed on to the outer loop.
void RunModalLoop(TMessageFilter* filter, HWND window, HWND owner, const bool& closed);

// The keys of a window of the program that is not the main window: its key
// preview message first, then the dialog keys (Tab, Enter, Esc). True when
// taken.
bool TakeDialogKeys(MSG& msg, UINT key_preview_message);

}  // namespace olvendrix::win32
