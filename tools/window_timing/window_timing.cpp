// window-timing: measures the main window on a prepared directory: the time
// from creating the window to the first search's results on screen, and the
// time of searches from their request to their end, beside the engine's own
// time for the same query. Usage: window-timing FOLDER (Windows program).
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "cp1251.h"
#include "platform/platform.h"
#include "phone_form.h"
#include "win32_text.h"

namespace {

using Clock = std::chrono::steady_clock;
using olvendrix::TPhoneForm;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void PumpUntil(const std::function<bool()>& done) {
  while (!done() && TPhoneForm::PumpPending()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window-timing FOLDER\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  const auto start = Clock::now();
  TPhoneForm form(::GetModuleHandleW(nullptr), argv[1]);
  const double created_ms = Milliseconds(start);
  const auto idle = [&] { return !form.IsPreparing() && !form.IsSearchRunning(); };
  PumpUntil([&] { return idle() && ListView_GetItemCount(form.ListView()) > 0; });
  ::UpdateWindow(form.ListView());  // the rows painted
  std::printf("start to first results: %.1f ms (window created after %.1f ms, preparation %u ms)\n",
              Milliseconds(start), created_ms, form.Session().Durations().InitTime.load());

  const char* const names[] = {"Шевч", "Ковал", "Бойко", "Я", "Мельник"};
  for (const char* name : names) {
    ::SetWindowTextW(form.InputBox(1), olvendrix::win32::Wide(olvendrix::W1251(name)).c_str());
    const auto asked = Clock::now();
    ::PostMessageW(form.Handle(), olvendrix::MM_STARTSEARCH, 0, 1);
    TPhoneForm::PumpPending();  // takes the request (the search may end in the same pump)
    PumpUntil(idle);
    ::UpdateWindow(form.ListView());
    const double window_ms = Milliseconds(asked);
    olvendrix::TSearchParams params;
    params.Texts[1].Assign(olvendrix::W1251(name));
    const auto engine_start = Clock::now();
    olvendrix::TSearchList& search = *form.Session().Engine().SearchList;
    search.Search(params);
    std::printf("search %-8s rows %7d: request to painted %.2f ms, MMSTARTSearch to MMEndSearch %u ms, "
                "engine %.2f ms\n",
                olvendrix::Cp1251ToUtf8(olvendrix::W1251(name)).c_str(), search.Count(), window_ms,
                form.Session().Durations().SearchTime.load(), Milliseconds(engine_start));
  }
  ::DestroyWindow(form.Handle());
  return 0;
}
