// Several copies of the real program started together in one folder that
// holds only a fresh table: one prepares, the others wait and load what it
// made, and all of them work and close cleanly.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "database_preparation.h"
#include "test_support.h"
#include "demo_table.h"
#include "program_process_test_support.h"

namespace olvendrix {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRecords = 300000;

// The row count of the main window's result list; -1 while there is none.
LRESULT ListCount(DWORD process_id) {
  const std::vector<HWND> forms = WindowsOfProcess(process_id, L"TPhoneForm");
  if (forms.empty()) return -1;
  const HWND list = ::FindWindowExW(forms[0], nullptr, WC_LISTVIEWW, nullptr);
  return list == nullptr ? -1 : ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
}

// The text of a message box, as UTF-8 for the test's report.
std::string BoxText(HWND box) {
  wchar_t text[1024] = {};
  ::GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the box's static text
  char utf8[4096] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

struct TCopy {
  PROCESS_INFORMATION Process{};
  ~TCopy() {
    if (Process.hProcess == nullptr) return;
    ::TerminateProcess(Process.hProcess, 3);  // a copy the test gave up on
    ::CloseHandle(Process.hThread);
    ::CloseHandle(Process.hProcess);
  }
};

TEST(SeveralCopies, StartedTogetherOnAFreshTableAllShowItAndCloseCleanly) {
  demo::TDemoOptions options;
  options.Records = kRecords;
  const demo::TDbfTableWriter table = demo::MakeDemoTable(options);
  TempFolder single;
  table.SaveTo(single / "Data.dbf");
  {
    TPhoneDatabase db;
    OpenDatabase(db, single.path());
    PrepareDatabase(&db);
  }

  TempFolder folder;
  std::filesystem::copy_file(platform::ExecutableFolder() / OLVENDRIX_EXE, folder / "Olvendrix.exe");
  table.SaveTo(folder / "Data.dbf");
  const auto exe = folder / "Olvendrix.exe";
  TCopy copies[3];
  const auto started = Clock::now();
  for (TCopy& copy : copies) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.path().c_str(), &startup, &copy.Process));
  }
  ASSERT_LT(Clock::now() - started, std::chrono::milliseconds(500));

  // Each shows every subscriber; none shows a message box.
  const auto deadline = Clock::now() + std::chrono::seconds(150);
  bool all_shown = false;
  while (!all_shown && Clock::now() < deadline) {
    all_shown = true;
    for (const TCopy& copy : copies) {
      const std::vector<HWND> boxes = WindowsOfProcess(copy.Process.dwProcessId, L"#32770");
      ASSERT_TRUE(boxes.empty()) << "a message box: " << BoxText(boxes[0]);
      ASSERT_NE(::WaitForSingleObject(copy.Process.hProcess, 0), WAIT_OBJECT_0) << "a copy ended";
      all_shown = all_shown && ListCount(copy.Process.dwProcessId) == kRecords;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  ASSERT_TRUE(all_shown);

  for (const TCopy& copy : copies) {
    ::PostMessageW(WindowsOfProcess(copy.Process.dwProcessId, L"TPhoneForm")[0], WM_CLOSE, 0, 0);
  }
  for (TCopy& copy : copies) {
    ASSERT_EQ(::WaitForSingleObject(copy.Process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    ::GetExitCodeProcess(copy.Process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    ::CloseHandle(copy.Process.hThread);
    ::CloseHandle(copy.Process.hProcess);
    copy.Process = {};
  }
  for (const char* name : {"data.bin", "index1.bin", "index2.bin", "index3.bin"}) {
    EXPECT_TRUE(ReadBytes(folder / name) == ReadBytes(single / name)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "Data.dbf"));
  EXPECT_TRUE(std::filesystem::exists(folder / "options.ini"));
}

}  // namespace
}  // namespace olvendrix
