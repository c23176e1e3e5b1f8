// outside-timing: times the real program from another process, as the
// operator feels it: from the process's start to all rows listed, then five
// names of five first letters, each set into the name box and sent with
// Enter, timed until the list holds its new count; then the same five again,
// warm. Nothing of the program's own is asked. Usage: outside-timing FOLDER
// [PAUSE_MS] (Windows program); FOLDER holds Olvendrix.exe and a prepared
// directory. PAUSE_MS (default 1000) is waited after the first rows, so that
// the program's warm-up may end, and 100 ms between searches.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

#include "cp1251.h"
#include "program_process_test_support.h"
#include "timed_names.h"
#include "win32_text.h"
#include "window_commands.h"

namespace {

using Clock = std::chrono::steady_clock;

using olvendrix::timing::kTimedNames;
constexpr int kSearchLimitMs = 30000;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The list's row count, or -1 when the program does not answer in time.
long RowCount(HWND list) {
  DWORD_PTR count = 0;
  if (!::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, kSearchLimitMs, &count)) return -1;
  return static_cast<long>(count);
}

// Polls every millisecond until the list's count is no longer `previous`;
// the milliseconds from `since`, or -1 past the limit.
double WaitForNewCount(HWND list, long previous, Clock::time_point since, long& count) {
  while ((count = RowCount(list)) == previous) {
    if (Milliseconds(since) > kSearchLimitMs) return -1;
    ::Sleep(1);
  }
  return Milliseconds(since);
}

// Sets the name box and presses Enter in it; the milliseconds until the list
// shows a new count.
double TimeSearch(HWND name_box, HWND list, const char* name, long& count) {
  const long previous = RowCount(list);
  const HWND edit = ::FindWindowExW(name_box, nullptr, L"Edit", nullptr);
  const std::wstring text = olvendrix::win32::Wide(olvendrix::W1251(name));
  const auto asked = Clock::now();
  ::SendMessageW(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  ::PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC01C0001);
  return WaitForNewCount(list, previous, asked, count);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: outside-timing FOLDER [PAUSE_MS]\n");
    return 2;
  }
  const int pause_ms = argc == 3 ? std::wcstol(argv[2], nullptr, 10) : 1000;
  const auto start = Clock::now();
  olvendrix::ProgramProcess program(argv[1]);
  if (!program.Started()) {
    std::fprintf(stderr, "outside-timing: the program did not start\n");
    return 1;
  }
  HWND form = nullptr;
  HWND list = nullptr;
  while (list == nullptr && Milliseconds(start) < kSearchLimitMs) {
    ::Sleep(1);
    form = program.FindWindowOfClass(L"TPhoneForm");
    if (form != nullptr) list = ::FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
  }
  long rows = 0;
  const double started_ms = list == nullptr ? -1 : WaitForNewCount(list, 0, start, rows);
  if (started_ms < 0) {
    std::fprintf(stderr, "outside-timing: no rows within %d ms\n", kSearchLimitMs);
    return 1;
  }
  std::printf("start to all %ld rows listed: %.1f ms\n", rows, started_ms);
  const HWND name_box = ::GetDlgItem(form, olvendrix::kCmdInputFirst + 1);
  double first[std::size(kTimedNames)];
  for (int round = 0; round < 2; ++round) {
    ::Sleep(pause_ms);
    for (std::size_t i = 0; i < std::size(kTimedNames); ++i) {
      const double ms = TimeSearch(name_box, list, kTimedNames[i], rows);
      if (round == 0) {
        first[i] = ms;
      } else {
        std::printf("search %-16s rows %7ld: first %.1f ms, warm %.1f ms, first / warm %.2f\n", kTimedNames[i], rows,
                    first[i], ms, first[i] / ms);
      }
      ::Sleep(100);
    }
  }
  ::PostMessageW(form, WM_CLOSE, 0, 0);
  return program.WaitForExit(10000) == 0 ? 0 : 1;
}
