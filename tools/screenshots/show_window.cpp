// show-window: opens the main window on a prepared program folder and, once
// the first results are on screen, one of the program's windows over it,
// then keeps running until it is ended. The screenshot script photographs
// it. Usage: show-window FOLDER main|options|about|timing (Windows program).
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "cp1251.h"
#include "phone_form.h"
#include "win32_text.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring which = argc == 3 ? argv[2] : L"";
  if (which != L"main" && which != L"options" && which != L"about" && which != L"timing") {
    std::fprintf(stderr, "usage: show-window FOLDER main|options|about|timing\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  using olvendrix::TPhoneForm;
  TPhoneForm form(::GetModuleHandleW(nullptr), argv[1]);
  const auto ready = [&] {
    return !form.IsPreparing() && !form.IsSearchRunning() && ListView_GetItemCount(form.ListView()) > 0;
  };
  const auto pump_until_ready = [&] {
    while (!ready() && TPhoneForm::PumpPending()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  };
  pump_until_ready();
  // A search as an operator would have it, ended before any dialog opens.
  ::SetWindowTextW(form.InputBox(1), olvendrix::win32::Wide(olvendrix::W1251("Шевч")).c_str());
  ::SendMessageW(form.Handle(), olvendrix::MM_STARTSEARCH, 0, 1);
  pump_until_ready();
  if (which == L"options") ::PostMessageW(form.Handle(), WM_COMMAND, olvendrix::kCmdOptions, 0);
  if (which == L"about") ::PostMessageW(form.Handle(), WM_COMMAND, olvendrix::kCmdAbout, 0);
  if (which == L"timing") {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageW(form.InputBox(0), WM_KEYDOWN, VK_F5, 0);
  }
  // Wine on a display without a window manager leaves a popup unpainted
  // while it lies wholly inside another window: move the small windows so
  // that they stand out below the main window.
  ::SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    for (const wchar_t* window_class : {L"TAboutForm", L"TDebugForm"}) {
      HWND window = ::FindWindowW(window_class, nullptr);
      HWND owner = window != nullptr ? ::GetWindow(window, GW_OWNER) : nullptr;
      if (owner == nullptr) continue;
      RECT bounds{}, owner_bounds{};
      ::GetWindowRect(window, &bounds);
      ::GetWindowRect(owner, &owner_bounds);
      ::SetWindowPos(window, nullptr, owner_bounds.right - (bounds.right - bounds.left) - 40,
                     owner_bounds.bottom - (bounds.bottom - bounds.top) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
  });
  return TPhoneForm::RunMessageLoop();
}
