// Tests that start the real program: its process and its windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace olvendrix {

// The top-level windows of class `window_class` that process `process_id` shows.
inline std::vector<HWND> WindowsOfProcess(DWORD process_id, const wchar_t* window_class) {
  struct Search {
    DWORD process_id;
    const wchar_t* window_class;
    std::vector<HWND> found;
  } search{process_id, window_class, {}};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (owner == search.process_id && std::wstring(name) == search.window_class) search.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The real program, started in a folder of its own; ended if still running
// when the object goes.
class ProgramProcess {
 public:
  explicit ProgramProcess(const std::filesystem::path& folder) {
    const auto exe = folder / "Olvendrix.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    started_ = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                &startup, &process_) != FALSE;
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  ~ProgramProcess() {
    if (!started_) return;
    if (::WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) ::TerminateProcess(process_.hProcess, 1);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
  bool Started() const { return started_; }
  // A top-level window of the program of class `window_class`, or null.
  HWND FindWindowOfClass(const wchar_t* window_class) const {
    const std::vector<HWND> found = WindowsOfProcess(process_.dwProcessId, window_class);
    return found.empty() ? nullptr : found.front();
  }
  // The exit code once the program has ended within `milliseconds`, or -1.
  long WaitForExit(int milliseconds) const {
    if (::WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD exit_code = 1;
    ::GetExitCodeProcess(process_.hProcess, &exit_code);
    return static_cast<long>(exit_code);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// Waits up to 30 s, without serving messages, until `done` holds.
inline bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < end && !done()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return done();
}

}  // namespace olvendrix
