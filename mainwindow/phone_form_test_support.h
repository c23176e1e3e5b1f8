// The fixture of the window tests: the real TPhoneForm in a temporary
// program folder, its messages pumped, its controls read back, and message
// boxes answered.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cp1251.h"
#include "phone_form.h"
#include "program_process_test_support.h"
#include "win32_text.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {

using testing::TempFolder;
using Clock = std::chrono::steady_clock;

// Answers every message box of this thread with `answer` and keeps its text.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(int answer) {
    answer_ = answer;
    texts_.clear();
    icons_.clear();
    hook_ = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
  }
  ~MessageBoxAnswerer() { ::UnhookWindowsHookEx(hook_); }
  static const std::vector<std::string>& Texts() { return texts_; }
  // Whether each box showed a picture (an icon) beside its text.
  static const std::vector<bool>& Icons() { return icons_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      const HWND box = reinterpret_cast<HWND>(wParam);
      wchar_t window_class[32] = {};
      ::GetClassNameW(box, window_class, 32);
      if (std::wstring(window_class) == L"#32770") {
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
        texts_.push_back(win32::Narrow(text));
        icons_.push_back(ShowsIcon(box));
        ::PostMessageW(box, WM_COMMAND, answer_, 0);
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static bool ShowsIcon(HWND box) {
    bool shown = false;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM found) {
          // The box itself is not shown yet: the child's own style tells.
          const LONG style = ::GetWindowLongW(child, GWL_STYLE);
          if ((style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            *reinterpret_cast<bool*>(found) = true;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
  }
  static inline int answer_ = IDOK;
  static inline std::vector<std::string> texts_;
  static inline std::vector<bool> icons_;
  HHOOK hook_;
};

// Holds every job that reports progress through `text` at its first report
// until Open(), so that a test can act while the job surely runs, however
// fast the machine. Opens itself when it goes out of scope, so that a failed
// check never leaves a job waiting for ever.
class JobGate {
 public:
  explicit JobGate(TWaitText& text) : state_(std::make_shared<State>()) {
    text.OnChange = [state = state_](const std::string&) {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->opened.wait(lock, [&] { return state->open; });
    };
  }
  ~JobGate() { Open(); }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->open = true;
    }
    state_->opened.notify_all();
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  std::shared_ptr<State> state_;
};

// Runs `action` once from inside whatever message loop is running then (a
// modal dialog's), about `milliseconds` from now.
class LaterInLoop {
 public:
  LaterInLoop(int milliseconds, std::function<void()> action) {
    action_ = std::move(action);
    timer_ = ::SetTimer(nullptr, 0, milliseconds, Fire);
  }
  ~LaterInLoop() { ::KillTimer(nullptr, timer_); }

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (action_) {
      auto action = std::move(action_);
      action_ = nullptr;
      action();
    }
  }
  static inline std::function<void()> action_;
  UINT_PTR timer_;
};

class PhoneForm : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  void TearDown() override { Close(); }
  // Destroys the window and drops what it left in the queue, its quit
  // message included, so that the next window of the test starts clean.
  void Close() {
    form_.reset();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  }
  void WriteDemo(std::uint32_t records, int extra_columns = 0) {
    demo::TDemoOptions options;
    options.Records = records;
    options.ExtraColumns = extra_columns;
    demo::MakeDemoTable(options).SaveTo(folder_ / "Data.dbf");
  }
  // Pumps messages until `done` holds or the time runs out.
  bool PumpUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
      const bool alive = TPhoneForm::PumpPending();
      if (done()) return true;
      if (!alive) return false;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
  }
  void Pump(int milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
  }
  // No job runs, the warm-up that follows the results included: a request
  // then starts its search at once.
  bool Idle() const { return !form_->IsPreparing() && !form_->IsSearchRunning() && !form_->Session().WarmingUp(); }
  void Start() {
    Close();
    form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
    ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() > 0; }));
  }
  int RowCount() const { return ListView_GetItemCount(form_->ListView()); }
  std::string Cell(int row, int column) const {
    wchar_t text[256] = {};
    ListView_GetItemText(form_->ListView(), row, column, text, 256);
    return win32::Narrow(text);
  }
  std::string StatusText(int panel) const {
    wchar_t text[256] = {};
    ::SendMessageW(form_->StatusBarHandle(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text));
    return win32::Narrow(text);
  }
  void Type(int field, const std::string& utf8) {
    HWND box = form_->InputBox(field);
    ::SetWindowTextW(box, win32::Wide(W1251(utf8)).c_str());
    ::SendMessageW(form_->Handle(), WM_COMMAND,
                   MAKEWPARAM(kCmdInputFirst + field, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(box));
  }
  void RunSearchNow() {
    ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  }

  TempFolder folder_;
  std::unique_ptr<TPhoneForm> form_;
};

}  // namespace olvendrix
