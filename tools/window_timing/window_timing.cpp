// window-timing: measures the main window on a prepared directory: the time
// from creating the window to the first search's results on screen, the time
// of searches from their request to their rows painted, and the process's
// private commit. Usage: window-timing FOLDER [--first-letters] (Windows
// program).
//
// By default five searches follow the first results at once (they meet the
// warm-up, which gives way to them), then, once the warm-up has ended, the
// engine's own time for each. With --first-letters the five searches, each
// of a first letter not searched before, wait until the warm-up has ended,
// and are then repeated warm.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "cp1251.h"
#include "platform/platform.h"
#include "phone_form.h"
#include "timed_names.h"
#include "win32_text.h"

namespace {

using Clock = std::chrono::steady_clock;
using olvendrix::TPhoneForm;

using olvendrix::timing::kTimedNames;

// Milliseconds since this process was created, as the system recorded it:
// the start as the operator sees it, the loading of the program included.
double MillisecondsSinceProcessCreation() {
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  ::GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  };
  return (ticks(now) - ticks(created)) / 10000.0;
}

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Looks again after each pumping, so that a search ended (and painted) in it
// is not timed with the wait that follows.
void PumpUntil(const std::function<bool()>& done) {
  while (!done() && TPhoneForm::PumpPending() && !done()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

// The private commit (the mapped files are not in it), as PrivateUsage
// reports it, and as the sum of the committed private regions, which is what
// PrivateUsage counts on Windows; Wine leaves PrivateUsage at 0.
std::string PrivateCommit() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
  std::uint64_t regions = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) regions += region.RegionSize;
  }
  char text[128];
  std::snprintf(text, sizeof text, "private commit %.1f MB (PrivateUsage %.1f MB)", regions / 1048576.0,
                counters.PrivateUsage / 1048576.0);
  return text;
}

// Sets the name box and asks for the search as the window's own request
// does; the milliseconds until its rows are painted.
double TimeSearch(TPhoneForm& form, const char* name) {
  const std::uint32_t finished = form.Session().SearchesFinished();
  olvendrix::win32::SetWindowText1251(form.InputBox(1), olvendrix::W1251(name));
  const auto asked = Clock::now();
  ::PostMessageW(form.Handle(), olvendrix::MM_STARTSEARCH, 0, 1);
  PumpUntil([&] { return form.Session().SearchesFinished() != finished; });
  ::UpdateWindow(form.ListView());
  return Milliseconds(asked);
}

// Pumps until no job holds the slot: the warm-up has ended (or failed).
void WaitForTheWarmUp(TPhoneForm& form) {
  PumpUntil([&] { return form.Session().JobKind() == olvendrix::TJobKind::kNone; });
}

void ReportWarmUp(TPhoneForm& form, Clock::time_point since, const char* what) {
  WaitForTheWarmUp(form);
  std::printf("warm-up %s %.1f ms after %s; %s\n", form.Session().WarmedUp() ? "done" : "ended unfinished",
              Milliseconds(since), what, PrivateCommit().c_str());
}

void TimeFirstSearches(TPhoneForm& form) {
  for (const char* name : kTimedNames) {
    const double window_ms = TimeSearch(form, name);
    std::printf("search %-8s rows %7d: request to painted %.2f ms, MMSTARTSearch to MMEndSearch %u ms\n",
                name, ListView_GetItemCount(form.ListView()), window_ms,
                form.Session().Durations().SearchTime.load());
  }
  std::printf("after the searches: %s\n", PrivateCommit().c_str());
  ReportWarmUp(form, Clock::now(), "the last search");
  for (const char* name : kTimedNames) {
    olvendrix::TSearchParams params;
    params.Texts[1].Assign(olvendrix::W1251(name));
    olvendrix::TSearchList& search = *form.Session().Engine().SearchList;
    const auto engine_start = Clock::now();
    search.Search(params);
    std::printf("engine %-8s rows %7d: %.2f ms\n", name, search.Count(), Milliseconds(engine_start));
  }
}

void TimeFirstLettersAndWarm(TPhoneForm& form, Clock::time_point first_results) {
  ReportWarmUp(form, first_results, "the first results");
  std::vector<double> first;
  std::vector<std::uint32_t> first_job;
  for (const char* name : kTimedNames) {
    first.push_back(TimeSearch(form, name));
    first_job.push_back(form.Session().Durations().SearchTime);
  }
  std::printf("after the first searches: %s\n", PrivateCommit().c_str());
  for (std::size_t i = 0; i < std::size(kTimedNames); ++i) {
    const double warm = TimeSearch(form, kTimedNames[i]);
    std::printf("search %-8s rows %7d: first %.2f ms, warm %.2f ms, first / warm %.2f; "
                "MMSTARTSearch to MMEndSearch first %u ms, warm %u ms\n",
                kTimedNames[i], ListView_GetItemCount(form.ListView()), first[i], warm, first[i] / warm,
                first_job[i], form.Session().Durations().SearchTime.load());
  }
  WaitForTheWarmUp(form);
  std::printf("at the end: %s\n", PrivateCommit().c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool first_letters = argc == 3 && std::wcscmp(argv[2], L"--first-letters") == 0;
  if (argc != 2 && !first_letters) {
    std::fprintf(stderr, "usage: window-timing FOLDER [--first-letters]\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  const auto start = Clock::now();
  TPhoneForm form(::GetModuleHandleW(nullptr), argv[1]);
  const double created_ms = Milliseconds(start);
  PumpUntil([&] { return form.Session().SearchesFinished() > 0 && ListView_GetItemCount(form.ListView()) > 0; });
  ::UpdateWindow(form.ListView());  // the rows painted
  const auto first_results = Clock::now();
  std::printf(
      "start to first results: %.1f ms since the process was created, %.1f ms since the window's construction "
      "(window created after %.1f ms, preparation %u ms, first search %u ms); %s\n",
      MillisecondsSinceProcessCreation(), Milliseconds(start), created_ms, form.Session().Durations().InitTime.load(),
      form.Session().Durations().SearchTime.load(), PrivateCommit().c_str());
  if (first_letters) {
    TimeFirstLettersAndWarm(form, first_results);
  } else {
    TimeFirstSearches(form);
  }
  ::DestroyWindow(form.Handle());
  return 0;
}
