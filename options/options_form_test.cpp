// Window tests of the Options dialog on the real main window.
#include "options_form.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/platform.h"
#include "phone_form_test_support.h"
#include "mode_grid.h"

namespace olvendrix {
namespace {

class OptionsDialog : public PhoneForm {
 protected:
  void SetUp() override {
    PhoneForm::SetUp();
    WriteDemo(500);
  }
  std::unique_ptr<TOptionsForm> Open(const TOptionsValues& values = {}) {
    auto dialog = std::make_unique<TOptionsForm>(*form_, form_->Handle(), values);
    dialog->Create();
    return dialog;
  }
  static int Picture(const TOptionsForm& dialog, int cell) {
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = dialog.Grid();
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_IMAGE;
    info.item.iItem = cell;
    ::SendMessageW(dialog.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.item.iImage;
  }
  static void Click(const TOptionsForm& dialog, int cell) {
    ListView_SetItemState(dialog.Grid(), cell, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  void Key(HWND control, WPARAM key) {
    ::PostMessageW(control, WM_KEYDOWN, key, 0);
    Pump(50);
  }
};

TEST_F(OptionsDialog, TheGridOffersEachFieldItsModes) {
  Start();
  auto dialog = Open();
  EXPECT_EQ(ListView_GetItemCount(dialog->Grid()), kGridCells);
  POINT second_row{};
  ListView_GetItemPosition(dialog->Grid(), 6, &second_row);
  POINT first{};
  ListView_GetItemPosition(dialog->Grid(), 0, &first);
  EXPECT_EQ(second_row.x - first.x, 73);
  EXPECT_EQ(second_row.y - first.y, 73);
  Click(*dialog, 10);  // equals under the telephone: nothing
  EXPECT_EQ(dialog->Values().Modes[0], mtBegins);
  EXPECT_EQ(Picture(*dialog, 10), 3);
  Click(*dialog, 13);  // equals under the house
  EXPECT_EQ(dialog->Values().Modes[3], mtEquals);
  EXPECT_EQ(Picture(*dialog, 13), 0);
  EXPECT_EQ(Picture(*dialog, 3), 2);
  EXPECT_EQ(ListView_GetSelectedCount(dialog->Grid()), 0u);  // no cell stays highlighted
  // By keyboard: from "contains" of the telephone one step right.
  ::SetFocus(dialog->Grid());
  ListView_SetItemState(dialog->Grid(), 5, LVIS_FOCUSED, LVIS_FOCUSED);
  Key(dialog->Grid(), VK_RIGHT);
  EXPECT_EQ(dialog->Values().Modes[1], mtContains);
}

TEST_F(OptionsDialog, AStoredModeThatIsNotOfferedShowsGrey) {
  Start();
  TOptionsValues values;
  values.Modes[2] = mtEquals;
  values.ImmedSearch = false;
  auto dialog = Open(values);
  EXPECT_EQ(Picture(*dialog, 12), 1);
  Click(*dialog, 7);
  EXPECT_EQ(Picture(*dialog, 12), 3);
  EXPECT_EQ(Picture(*dialog, 7), 0);
  // Immediate search off: the delay box waits until it is switched on.
  HWND immed = ::GetDlgItem(dialog->Handle(), 102);
  HWND delay = ::GetDlgItem(dialog->Handle(), 104);
  EXPECT_FALSE(::IsWindowEnabled(delay));
  ::SendMessageW(immed, BM_CLICK, 0, 0);
  EXPECT_TRUE(::IsWindowEnabled(delay));
}

TEST_F(OptionsDialog, EnterMeansOkEscCancelsAndTabWalks) {
  Start();
  auto dialog = Open();
  ::SetFocus(dialog->Grid());
  Key(dialog->Grid(), VK_TAB);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog->Handle(), 103));  // the case box
  ::SendMessageW(::GetDlgItem(dialog->Handle(), 103), BM_CLICK, 0, 0);
  Key(::GetFocus(), VK_ESCAPE);
  EXPECT_TRUE(dialog->Closed());
  EXPECT_FALSE(dialog->Accepted());

  dialog = Open();
  ::SendMessageW(::GetDlgItem(dialog->Handle(), 103), BM_CLICK, 0, 0);
  Key(dialog->Grid(), VK_RETURN);  // reaches the dialog, not the search
  EXPECT_TRUE(dialog->Closed());
  EXPECT_TRUE(dialog->Accepted());
  EXPECT_TRUE(dialog->Values().CaseSensitive);
  EXPECT_FALSE(form_->IsSearchRunning());
}

TEST_F(OptionsDialog, HelpShowsTheOptionsTopic) {
  std::filesystem::copy_file(platform::ExecutableFolder() / "resources" / "help.hlp", folder_ / "help.hlp");
  Start();
  auto dialog = Open();
  ::SendMessageW(dialog->Handle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
  EXPECT_EQ(form_->HelpViewer().ShownContext(), kOptionsHelpContext);
  form_->ShowHelpContext(form_->Handle(), 1);
  Key(dialog->Grid(), VK_F1);
  EXPECT_EQ(form_->HelpViewer().ShownContext(), kOptionsHelpContext);
}

TEST_F(OptionsDialog, ALanguagePickedAppliesAtOnceAndStaysAfterCancel) {
  std::filesystem::copy(platform::ExecutableFolder() / "resources" / "LANGUAGES", folder_ / "LANGUAGES");
  Start();
  auto dialog = Open();
  ASSERT_EQ(dialog->LanguageFiles().size(), 2u);
  const auto index = [&](const char* name) {
    for (std::size_t i = 0; i < dialog->LanguageFiles().size(); ++i) {
      if (dialog->LanguageFiles()[i] == name) return static_cast<int>(i);
    }
    return -1;
  };
  wchar_t text[64] = {};
  ::SendMessageW(dialog->LanguageCombo(), CB_GETLBTEXT, index("english"), reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(win32::Narrow(text), W1251("англійська"));
  EXPECT_EQ(::SendMessageW(dialog->LanguageCombo(), CB_GETCURSEL, 0, 0), index("ukrainian"));
  ::SendMessageW(dialog->LanguageCombo(), CB_SETCURSEL, index("english"), 0);
  ::SendMessageW(dialog->Handle(), WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dialog->LanguageCombo()));
  EXPECT_EQ(win32::WindowText1251(dialog->Handle()), "Options...");
  EXPECT_EQ(win32::WindowText1251(::GetDlgItem(dialog->Handle(), 104)), "Wait a moment before searching");
  ::SendMessageW(dialog->LanguageCombo(), CB_GETLBTEXT, index("english"), reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(win32::Narrow(text), "English");
  wchar_t menu[64] = {};
  ::GetMenuStringW(form_->MainMenu(), 0, menu, 64, MF_BYPOSITION);
  EXPECT_EQ(win32::Narrow(menu), "File");
  ::SendMessageW(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(form_->Settings().LangName, "english");
}

// A language picked in the dialog shown modally leaves the main window
// disabled until the dialog closes: no second dialog, no close beneath it.
TEST_F(OptionsDialog, ALanguagePickedInTheModalDialogKeepsTheMainWindowDisabled) {
  std::filesystem::copy(platform::ExecutableFolder() / "resources" / "LANGUAGES", folder_ / "LANGUAGES");
  Start();
  bool enabled_after_pick = true;
  {
    LaterInLoop later(300, [&] {
      HWND dialog = ::FindWindowW(L"TOptionsForm", nullptr);
      HWND combo = ::GetDlgItem(dialog, 101);
      const LRESULT current = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
      ::SendMessageW(combo, CB_SETCURSEL, current == 0 ? 1 : 0, 0);
      ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
      enabled_after_pick = ::IsWindowEnabled(form_->Handle()) != FALSE;
      ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdOptions, 0);
  }
  EXPECT_FALSE(enabled_after_pick);
  EXPECT_TRUE(::IsWindowEnabled(form_->Handle()));
}

TEST_F(OptionsDialog, WithoutLanguageFilesTheComboSaysUkrainian) {
  Start();
  auto dialog = Open();
  EXPECT_FALSE(::IsWindowEnabled(dialog->LanguageCombo()));
  EXPECT_EQ(win32::WindowText1251(dialog->LanguageCombo()), W1251("українська"));
}

TEST_F(OptionsDialog, FromTheMainWindowOkAppliesCancelKeepsAndASearchFollows) {
  Start();
  int searches = 0;
  form_->Session().WaitText().OnChange = [&](const std::string&) { ++searches; };
  const auto choose_contains_for_name_then = [&](UINT button) {
    return LaterInLoop(300, [button] {
      HWND dialog = ::FindWindowW(L"TOptionsForm", nullptr);
      HWND grid = ::GetDlgItem(dialog, 100);
      ListView_SetItemState(grid, 6, LVIS_SELECTED, LVIS_SELECTED);
      ::PostMessageW(dialog, WM_COMMAND, button, 0);
    });
  };
  {
    const auto later = choose_contains_for_name_then(IDCANCEL);
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdOptions, 0);  // runs the dialog till it closes
  }
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 1; }));
  EXPECT_EQ(form_->Session().ReadEngine().SearchList->Modes[1], mtBegins);
  {
    const auto later = choose_contains_for_name_then(IDOK);
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdOptions, 0);
  }
  ASSERT_TRUE(PumpUntil([&] { return Idle() && searches == 2; }));
  EXPECT_EQ(form_->Session().ReadEngine().SearchList->Modes[1], mtContains);
  EXPECT_TRUE(::IsWindowEnabled(form_->Handle()));
  // Not while a search runs.
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdOptions, 0);
  EXPECT_EQ(::FindWindowW(L"TOptionsForm", nullptr), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  form_->Session().WaitText().OnChange = nullptr;
}

// Presses Ctrl+F5 in `control`; returns the timing window's owner and its
// search time, read while it is open, and closes it. The window system's own
// events are handled first: one of them could reset the Ctrl key's state.
std::pair<HWND, std::string> CtrlF5In(HWND control, const std::function<bool(const std::function<bool()>&)>& pump) {
  pump([] { return false; });
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  HWND owner = nullptr;
  std::string search_time;
  {
    LaterInLoop later(300, [&] {
      HWND timing = ::FindWindowW(L"TDebugForm", nullptr);
      owner = ::GetWindow(timing, GW_OWNER);
      search_time = win32::WindowText1251(::GetDlgItem(timing, 103));
      ::PostMessageW(timing, WM_COMMAND, IDOK, 0);
    });
    ::PostMessageW(control, WM_KEYDOWN, VK_F5, 0);
    pump([&] { return owner != nullptr; });
  }
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  return {owner, search_time};
}

TEST_F(OptionsDialog, CtrlF5OpensTheTimingWindowOverTheActiveWindow) {
  Start();
  int wait = 300;
  const auto pump = [&](const std::function<bool()>& done) { return PumpUntil(done, std::exchange(wait, 5000)); };
  const std::string measured = std::to_string(form_->Session().Durations().SearchTime.load());
  EXPECT_EQ(CtrlF5In(form_->InputBox(0), pump), std::make_pair(form_->Handle(), measured));
  auto dialog = Open();
  ::SetActiveWindow(dialog->Handle());
  wait = 300;
  EXPECT_EQ(CtrlF5In(dialog->Grid(), pump), std::make_pair(dialog->Handle(), measured));
}

}  // namespace
}  // namespace olvendrix
