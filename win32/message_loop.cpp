#include "message_loop.h"

namespace olvendrix::win32 {
namespace {

void Handle(TMessageFilter* filter, MSG& msg) {
  if (filter != nullptr && filter->FilterMessage(msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace

std::optional<int> ServeMessages(TMessageFilter* filter, const std::function<bool()>& done) {
  while (!done()) {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (filter != nullptr) filter->OnIdle();
      // Not WaitMessage: under Wine only this wait also puts what was
      // painted on the screen, and a window that then gets no further
      // message would stay unpainted.
      ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      continue;
    }
    if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
    Handle(filter, msg);
  }
  return std::nullopt;
}

bool ServeWaitingMessages(TMessageFilter* filter) {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    Handle(filter, msg);
  }
  if (filter != nullptr) filter->OnIdle();
  return true;
}

void RunModalLoop(TMessageFilter* filter, HWND window, HWND owner, const bool& closed) {
  ::EnableWindow(owner, FALSE);
  ::ShowWindow(window, SW_SHOW);
  ::SetActiveWindow(window);
  if (const auto quit = ServeMessages(filter, [&] { return closed || !::IsWindow(window); })) {
    ::PostQuitMessage(*quit);
  }
  ::EnableWindow(owner, TRUE);
  ::SetActiveWindow(owner);
}

bool TakeDialogKeys(MSG& msg, UINT key_preview_message) {
  const HWND dialog = msg.hwnd != nullptr ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (dialog == nullptr) return false;
  // The program's dialogs see their keys before their controls do.
  if (msg.message == WM_KEYDOWN && ::SendMessageW(dialog, key_preview_message, msg.wParam, 0)) return true;
  return ::IsDialogMessageW(dialog, &msg) != FALSE;
}

}  // namespace olvendrix::win32
