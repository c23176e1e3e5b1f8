// Tests of the real main window under a (virtual) display: they build
// TPhoneForm in a temporary program folder, pump its messages and look at
// its controls.
#include "phone_form.h"

#include <gtest/gtest.h>

#include "phone_form_test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "cp1251.h"
#include "platform/platform.h"
#include "win32_text.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {
namespace {

TEST_F(PhoneForm, FirstSearchListsTheWholeDirectoryInNumberOrder) {
  WriteDemo(2000);
  Start();
  EXPECT_EQ(RowCount(), 2000);
  EXPECT_LE(Cell(0, 0), Cell(1, 0));
  EXPECT_LE(Cell(1998, 0), Cell(1999, 0));
  EXPECT_EQ(StatusText(0), W1251(" Знайдено абонентів: 2000"));
  EXPECT_EQ(StatusText(1), W1251(" Відсортовано: по - телефону"));
  EXPECT_EQ(StatusText(2), W1251(" Всього: 2000 абоненти "));
  EXPECT_EQ(win32::WindowText1251(form_->Handle()), W1251(" Телефонний довідник [вер. 1.07.07]"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "index3.bin"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Data.dbf"));
}

// The delay tests read the clock around each change, so that a machine that
// stalls the test for a while cannot make a sound window look wrong.
TEST_F(PhoneForm, TypingWithDelayGivesOneSearchAboutASecondLater) {
  WriteDemo(2000);
  Start();
  int searches = 0;
  form_->Session().WaitText().OnChange = [&](const std::string&) { ++searches; };
  const std::uint32_t first_change = ::GetTickCount();
  Type(1, "Ш");
  // No message is served between the changes, so the delay's timer cannot
  // fire between them however slow the host.
  Type(1, "Шев");
  ASSERT_TRUE(PumpUntil([&] { return Idle() && Cell(0, 1).substr(0, 3) == W1251("Шев"); }, 5000));
  EXPECT_GE(form_->SearchStartTick() - first_change, 950u);
  EXPECT_EQ(searches, 1);
  const int found = RowCount();
  EXPECT_GT(found, 0);
  for (int row = 0; row < found; row += 7) EXPECT_EQ(Cell(row, 1).substr(0, 3), W1251("Шев"));
  form_->Session().WaitText().OnChange = nullptr;
}

TEST_F(PhoneForm, EnterForcesASearchAndFillsTheHistory) {
  WriteDemo(2000);
  Start();
  ::SetWindowTextW(form_->InputBox(2), win32::Wide(W1251("вул. Садова")).c_str());
  ::SetFocus(form_->InputBox(2));
  ::PostMessageW(form_->InputBox(2), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(PumpUntil([&] { return RowCount() < 2000 && Idle(); }, 3000));
  EXPECT_EQ(Cell(0, 2).substr(0, 11), W1251("вул. Садова"));
  EXPECT_EQ(::SendMessageW(form_->InputBox(2), CB_GETCOUNT, 0, 0), 1);
}

TEST_F(PhoneForm, RequestsDuringASearchCollapseIntoOne) {
  WriteDemo(2000);
  Start();
  int started = 0;
  form_->Session().WaitText().OnChange = [&](const std::string&) { ++started; };
  // Sent, not posted: the first search cannot end before the other requests.
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(form_->IsSearchRunning());
  Type(1, "Б");
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  Type(1, "Бойко");
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() < 2000; }));
  Pump(200);
  EXPECT_EQ(started, 2);
  for (int row = 0; row < RowCount(); ++row) EXPECT_EQ(Cell(row, 1).substr(0, 5), W1251("Бойко"));
  form_->Session().WaitText().OnChange = nullptr;
}

TEST_F(PhoneForm, ResortKeepsTheSelectedSubscriberSelected) {
  WriteDemo(2000);
  Start();
  ListView_SetItemState(form_->ListView(), 700, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_EQ(form_->SelectedRow(), 700);
  const std::string number = Cell(700, 0);
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSortFirst + 1, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && form_->Session().ReadEngine().SearchList->SortOrder() == 1 && Cell(0, 0) != ""; }));
  Pump(100);
  const int row = form_->SelectedRow();
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, 0), number);
  EXPECT_EQ(ListView_GetNextItem(form_->ListView(), -1, LVNI_SELECTED), row);
  EXPECT_EQ(StatusText(1), W1251(" Відсортовано: по - прізвищу"));
  const int top = ListView_GetTopIndex(form_->ListView());
  EXPECT_TRUE(row >= top && row <= top + ListView_GetCountPerPage(form_->ListView()));
}

TEST_F(PhoneForm, NavigationFollowsTheTopRow) {
  WriteDemo(2000);
  Start();
  HMENU navigation = ::GetSubMenu(form_->MainMenu(), 3);
  const auto enabled = [&](int tag) {
    ::SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(navigation), 3);
    return !(::GetMenuState(navigation, kCmdNavigateFirst + tag, MF_BYCOMMAND) & MF_GRAYED);
  };
  EXPECT_FALSE(enabled(0));
  EXPECT_TRUE(enabled(5));
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdNavigateFirst + 5, 0);  // "кінець"
  Pump(100);
  EXPECT_TRUE(enabled(0));
  EXPECT_FALSE(enabled(4));
  Type(1, "Ы");
  ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() == 0; }));
  EXPECT_EQ(StatusText(0), W1251(" Знайдено абонентів: 0"));
  EXPECT_FALSE(enabled(1));
  EXPECT_TRUE(enabled(3));
}

// The column header costs more to draw than the rows: a search redraws it
// only when the list's scroll bar comes or goes, which changes its width.
TEST_F(PhoneForm, ASearchDrawsTheHeaderAgainOnlyWhenTheScrollBarComesOrGoes) {
  WriteDemo(2000);
  Start();
  const HWND header = ListView_GetHeader(form_->ListView());
  // Serves everything but the paint, so that what a search left to be drawn
  // can be seen.
  const auto search_unpainted = [&](const char* name) {
    Type(1, name);
    ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
    const auto end = Clock::now() + std::chrono::seconds(20);
    for (MSG msg; Clock::now() < end;) {
      if (::PeekMessageW(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
          ::PeekMessageW(&msg, nullptr, WM_PAINT + 1, 0xFFFF, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
      } else if (Idle()) {
        return true;
      } else {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE | QS_SENDMESSAGE);
      }
    }
    return false;
  };
  ::UpdateWindow(form_->ListView());
  ASSERT_TRUE(search_unpainted("Ш"));
  ASSERT_GT(RowCount(), ListView_GetCountPerPage(form_->ListView()));
  EXPECT_TRUE(::GetUpdateRect(form_->ListView(), nullptr, FALSE));
  EXPECT_FALSE(::GetUpdateRect(header, nullptr, FALSE));
  ASSERT_TRUE(search_unpainted("Ы"));
  ASSERT_EQ(RowCount(), 0);
  EXPECT_TRUE(::GetUpdateRect(header, nullptr, FALSE));
}

TEST_F(PhoneForm, ColumnsTakeTheirSharesAndExtraFieldsGetColumns) {
  int widths[5];
  TPhoneForm::ColumnWidths(742, widths);
  EXPECT_EQ(std::vector<int>(widths, widths + 5), (std::vector<int>{64, 394, 143, 57, 57}));

  WriteDemo(300, 2);
  Start();
  ::SetWindowPos(form_->Handle(), nullptr, 0, 0, 750, 400, SWP_NOMOVE | SWP_NOZORDER);
  Pump(50);
  RECT list{};
  ::GetWindowRect(form_->ListView(), &list);
  TPhoneForm::ColumnWidths(list.right - list.left, widths);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ListView_GetColumnWidth(form_->ListView(), i), widths[i]);
  HWND header = ListView_GetHeader(form_->ListView());
  ASSERT_EQ(Header_GetItemCount(header), 7);
  EXPECT_EQ(ListView_GetColumnWidth(form_->ListView(), 6), 100);
  EXPECT_FALSE(Cell(0, 6).empty());
}

TEST_F(PhoneForm, AMissingTableEndsTheProgramWithTheFatalBox) {
  MessageBoxAnswerer answer(IDOK);
  form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
  PumpUntil([] { return false; }, 5000);
  ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  const auto path = (folder_ / "Data.dbf").u8string();
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0],
            " FATAL ERROR :\n\r Error in thread:\n\r " + W1251("Не знайдено файл бази даних: ") +
                Utf8ToCp1251(std::string(path.begin(), path.end())) + " . ");
}

TEST_F(PhoneForm, ClosingDuringPreparationAsks) {
  // Every start converts and sorts the table.
  WriteDemo(20000);
  demo::WriteBytes(folder_ / "options.ini", "[Directives]\r\nAlwaysPrepareBase=1\r\n");
  {
    MessageBoxAnswerer answer(IDCANCEL);
    form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
    // The job cannot end, and its end cannot be handled, before the close.
    JobGate gate(form_->Session().WaitText());
    ASSERT_TRUE(PumpUntil([&] { return form_->IsPreparing(); }));
    gate.Open();
    ::SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
    EXPECT_EQ(MessageBoxAnswerer::Texts()[0],
              W1251("Попередня підготовка бази даних не завершена!  Ви дійсно хочете завершити "
                    "роботу програми? "));
    ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() == 20000; }));
  }
  form_.reset();
  MessageBoxAnswerer answer(IDOK);
  form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
  JobGate gate(form_->Session().WaitText());
  ASSERT_TRUE(PumpUntil([&] { return form_->IsPreparing(); }));
  gate.Open();
  ::SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  EXPECT_FALSE(::IsWindow(form_->Handle()));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Data.dbf"));  // never deleted with that directive
}

TEST_F(PhoneForm, ASortChangeDuringASearchEndsInTheNewOrderWithTheSameSubscriber) {
  WriteDemo(50000);
  Start();
  ListView_SetItemState(form_->ListView(), 700, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const std::string number = Cell(700, 0);
  const std::string name = Cell(700, 1);
  // Sent, not posted: the sort command arrives while the search job runs.
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(form_->IsSearchRunning());
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSortFirst + 1, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && form_->Session().ReadEngine().SearchList->SortOrder() == 1; }));
  Pump(100);
  const int row = form_->SelectedRow();
  ASSERT_GE(row, 0);
  EXPECT_EQ(Cell(row, 0), number);
  EXPECT_EQ(Cell(row, 1), name);
  EXPECT_LE(Cell(0, 1), Cell(1, 1));
  EXPECT_EQ(StatusText(1), W1251(" Відсортовано: по - прізвищу"));
}

TEST_F(PhoneForm, ARequestBetweenTheJobsEndAndItsEndMessageIsNotLost) {
  WriteDemo(2000);
  Start();
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(form_->IsSearchRunning());
  // Let the job end and only its completion run: the end message is queued.
  MSG msg;
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (!::PeekMessageW(&msg, form_->Handle(), MM_RUNONMAINTHREAD, MM_RUNONMAINTHREAD, PM_REMOVE) &&
         Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::DispatchMessageW(&msg);
  ASSERT_TRUE(form_->IsSearchRunning());
  Type(1, "Бойко");
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() < 2000; }, 5000));
  EXPECT_EQ(Cell(0, 1).substr(0, 5), W1251("Бойко"));
}

TEST_F(PhoneForm, MinimisingAndRestoringKeepsTheColumnsAndAnswers) {
  WriteDemo(100000);
  Start();
  HWND list = form_->ListView();
  int before[5];
  for (int i = 0; i < 5; ++i) before[i] = ListView_GetColumnWidth(list, i);
  ::ShowWindow(form_->Handle(), SW_MINIMIZE);
  Pump(200);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ListView_GetColumnWidth(list, i), before[i]) << i;
  ::ShowWindow(form_->Handle(), SW_RESTORE);
  Pump(200);
  RECT bounds{};
  ::GetWindowRect(list, &bounds);
  int widths[5];
  TPhoneForm::ColumnWidths(bounds.right - bounds.left, widths);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ListView_GetColumnWidth(list, i), widths[i]) << i;
  // A zero or tiny list never asks for a negative (self-measuring) width.
  TPhoneForm::ColumnWidths(0, widths);
  for (int width : widths) EXPECT_EQ(width, 0);
  EXPECT_EQ(RowCount(), 100000);
}

// The combo box that holds the focused edit control, or the focused control.
HWND FocusedControl() {
  HWND focus = ::GetFocus();
  wchar_t window_class[32] = {};
  ::GetClassNameW(focus, window_class, 32);
  return std::wstring(window_class) == L"Edit" ? ::GetParent(focus) : focus;
}

TEST_F(PhoneForm, TabWalksTheControlsAndTheFocusSurvivesASwitchOfWindows) {
  WriteDemo(2000);
  Start();
  EXPECT_EQ(FocusedControl(), form_->InputBox(0));
  const auto tab = [&] {
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump(50);
    return FocusedControl();
  };
  for (int field = 1; field < 5; ++field) EXPECT_EQ(tab(), form_->InputBox(field));
  EXPECT_EQ(tab(), ::GetDlgItem(form_->Handle(), kCmdSearchButton));
  EXPECT_EQ(tab(), form_->ListView());
  EXPECT_EQ(tab(), form_->InputBox(0));

  ::SetFocus(form_->InputBox(2));
  HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
  ::SetActiveWindow(other);
  Pump(100);
  EXPECT_NE(::GetActiveWindow(), form_->Handle());
  ::SetActiveWindow(form_->Handle());
  Pump(100);
  EXPECT_EQ(FocusedControl(), form_->InputBox(2));
  ::DestroyWindow(other);
}

TEST_F(PhoneForm, TheKeyFilterMovesTheListAndShortcutsWorkInAnInputBox) {
  WriteDemo(2000);
  Start();
  int searches = 0;
  form_->Session().WaitText().OnChange = [&](const std::string&) { ++searches; };
  HWND box = form_->InputBox(1);
  ::SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(L"Бойко"));
  ::SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(L"Коваль"));
  ::SetFocus(box);
  ListView_SetItemState(form_->ListView(), 5, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const auto key = [&](WPARAM code) {
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, code, 0);
    Pump(50);
  };
  key(VK_DOWN);
  EXPECT_EQ(form_->SelectedRow(), 6);
  key(VK_UP);
  EXPECT_EQ(form_->SelectedRow(), 5);
  key(VK_NEXT);
  EXPECT_GT(form_->SelectedRow(), 6);
  // The box never saw the keys: its text and history are untouched.
  EXPECT_EQ(win32::WindowText1251(box), "");
  EXPECT_EQ(searches, 0);

  // An unchanged Enter searches again; an unchanged plain request does not;
  // a trailing blank is a change.
  Type(1, "Бойко");
  key(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 1; }));
  key(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 2; }));
  ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  Pump(300);
  EXPECT_EQ(searches, 2);
  ::SetWindowTextW(box, win32::Wide(W1251("Бойко ")).c_str());
  ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 3; }));
  const int found = RowCount();
  EXPECT_LT(found, 2000);

  // F9 (an accelerator) with the focus in a box clears the histories and
  // searches again; F8 clears the boxes and searches.
  ::SetFocus(box);
  key(VK_F9);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 4; }));
  EXPECT_EQ(::SendMessageW(box, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(win32::WindowText1251(box), W1251("Бойко "));
  key(VK_F8);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 5 && RowCount() == 2000; }));
  EXPECT_EQ(win32::WindowText1251(box), "");
  form_->Session().WaitText().OnChange = nullptr;
}

TEST_F(PhoneForm, HistoryKeepsTrimmedTextsNewestFirstWithinItsLength) {
  WriteDemo(500);
  Start();
  HWND box = form_->InputBox(1);
  const auto entries = [&] {
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[256] = {};
      ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      texts.push_back(Cp1251ToUtf8(win32::Narrow(text)));
    }
    return texts;
  };
  const auto search_with = [&](const std::string& utf8) {
    ::SetWindowTextW(box, win32::Wide(W1251(utf8)).c_str());
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSearch, 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  };
  form_->Session().Settings().HistoryCount = 3;
  search_with("Бойко  ");
  EXPECT_EQ(win32::WindowText1251(box), W1251("Бойко  "));  // the box keeps what was typed
  search_with("БОЙКО");                                        // the top entry in other case
  search_with("Коваль");
  search_with("Бойко");  // equal to a lower entry: added at the top again
  EXPECT_EQ(entries(), (std::vector<std::string>{"Бойко", "Коваль", "Бойко"}));
  search_with("Шевченко");
  EXPECT_EQ(entries(), (std::vector<std::string>{"Шевченко", "Бойко", "Коваль"}));
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdClearHistory, 0);
  form_->Session().Settings().HistoryCount = 0;
  search_with("Мельник");
  EXPECT_TRUE(entries().empty());
}

TEST_F(PhoneForm, LaterTypingDoesNotPushTheDelayedSearchBack) {
  WriteDemo(2000);
  Start();
  const std::uint32_t first_change = ::GetTickCount();
  Type(1, "Ш");
  Pump(400);
  Type(1, "Ше");
  Pump(400);
  const std::uint32_t last_change = ::GetTickCount();
  Type(1, "Шев");
  ASSERT_TRUE(PumpUntil([&] { return RowCount() < 2000 && Idle(); }, 5000));
  const std::uint32_t start = form_->SearchStartTick();
  EXPECT_GE(start - first_change, 950u);
  // Pushed back, it would start 1000 ms after the last change.
  EXPECT_LT(start - first_change, last_change - first_change + 1000);
}

TEST_F(PhoneForm, StrayMessagesAndLateRequestsCannotHarmTheWindow) {
  WriteDemo(500);
  Start();
  // Another process may post the private messages with any parameters.
  ::PostMessageW(form_->Handle(), MM_TERMINATEPROGRAM, 0x1234, 0x5678);
  ::PostMessageW(form_->Handle(), MM_RUNONMAINTHREAD, 0x1234, 0x5678);
  Pump(200);
  ASSERT_TRUE(::IsWindow(form_->Handle()));

  // A cell longer than the list's buffer is cut to it.
  const auto cell = [&](int buffer_size) {
    wchar_t text[64] = {L'x'};
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = form_->ListView();
    info.hdr.idFrom = 0;
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = 0;
    info.item.iSubItem = 1;
    info.item.pszText = text;
    info.item.cchTextMax = buffer_size;
    ::SendMessageW(form_->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return win32::Narrow(text);
  };
  EXPECT_EQ(cell(5), Cell(0, 1).substr(0, 4));
  // After the engine is gone a late request gets an empty cell.
  form_->Session().Shutdown({});
  EXPECT_EQ(cell(64), "");
}

TEST_F(PhoneForm, AHandlerThatKeepsFailingShowsOneFatalBox) {
  WriteDemo(500);
  Start();
  MessageBoxAnswerer answer(IDOK);
  for (int i = 0; i < 3; ++i) form_->RunOnMainThread([] { throw Exception("broken handler"); });
  PumpUntil([&] { return !::IsWindow(form_->Handle()); }, 5000);
  EXPECT_FALSE(::IsWindow(form_->Handle()));
  ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0], " FATAL ERROR :\n\r broken handler");
}

// Makes every creation of a main window on this thread fail.
class MainWindowCreationBlocker {
 public:
  MainWindowCreationBlocker() : hook_(::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())) {}
  ~MainWindowCreationBlocker() { ::UnhookWindowsHookEx(hook_); }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      wchar_t window_class[32] = {};
      ::GetClassNameW(reinterpret_cast<HWND>(wParam), window_class, 32);
      if (std::wstring(window_class) == L"TPhoneForm") return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

TEST_F(PhoneForm, AWindowThatCannotBeCreatedEndsInTheFatalBox) {
  MessageBoxAnswerer answer(IDOK);
  int exit_code = 0;
  {
    MainWindowCreationBlocker blocker;
    exit_code = TPhoneForm::Run(::GetModuleHandleW(nullptr), folder_.path());
  }
  EXPECT_EQ(exit_code, 1);
  ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0], " FATAL ERROR :\n\r Error create main window!");
}

// Starts the program in `folder` on a generated table, waits for its window
// over the prepared directory, closes it and checks it ended cleanly.
void StartPrepareAndClose(const std::filesystem::path& folder) {
  demo::TDemoOptions options;
  options.Records = 1000;
  demo::MakeDemoTable(options).SaveTo(folder / "Data.dbf");
  const ProgramProcess program(folder);
  ASSERT_TRUE(program.Started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    window = program.FindWindowOfClass(L"TPhoneForm");
    return window != nullptr && std::filesystem::exists(folder / "index3.bin") &&
           win32::WindowText1251(window) == W1251(" Телефонний довідник [вер. 1.07.07]");
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "Data.dbf"));  // converted and deleted
  EXPECT_TRUE(std::filesystem::exists(folder / "options.ini"));
}

TEST(Program, StartsPreparesAndClosesCleanly) {
  TempFolder folder;
  std::filesystem::copy_file(platform::ExecutableFolder() / OLVENDRIX_EXE, folder / "Olvendrix.exe");
  StartPrepareAndClose(folder.path());
}

// The release archive as a user unpacks it (the folder comes from the
// release_archive test, which unpacks it).
TEST(Release, TheUnpackedFolderHoldsTheProgramAndItsFilesAndRuns) {
  const char* unpacked = std::getenv("OLVENDRIX_RELEASE_FOLDER");
  if (unpacked == nullptr) GTEST_SKIP() << "run by the release_archive test";
  const std::filesystem::path folder = std::filesystem::u8path(unpacked);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(std::filesystem::relative(entry.path(), folder).generic_u8string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"LANGUAGES/english.lng", "LANGUAGES/ukrainian.lng", "Olvendrix.exe",
                                             "about.dat", "help.hlp"}));
  StartPrepareAndClose(folder);
}

}  // namespace
}  // namespace olvendrix
