// The window's private messages from elsewhere, and the ways it ends: a
// close with a job running and the settings file unwritable, a Windows
// log-off, inside a dialog too.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "phone_form.h"
#include "phone_form_test_support.h"
#include "options_form.h"

namespace olvendrix {
namespace {

using Ending = PhoneForm;

TEST_F(Ending, PrivateMessagesFromElsewhereActOnlyWhenTheirJobAllows) {
  WriteDemo(20000);
  form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
  {
    JobGate gate(form_->Session().WaitText());
    ASSERT_TRUE(PumpUntil([&] { return form_->IsPreparing(); }));
    // The preparation runs: its end message, a second start, the other
    // ends and a save nobody asked for do nothing.
    for (UINT message : {MM_ENDINITDATA, MM_STARTINITDATA, MM_ENDSEARCH, MM_ENDSAVETOFILE, MM_STARTSAVETOFILE,
                         MM_TERMINATEPROGRAM}) {
      ::SendMessageW(form_->Handle(), message, 0, 0);
    }
    EXPECT_TRUE(form_->IsPreparing());
    EXPECT_FALSE(form_->IsSaveRunning());
  }
  ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() == 20000; }));

  // A save start message without the save command writes nothing.
  const auto saved = folder_ / "Phone.txt";
  ::SendMessageW(form_->Handle(), MM_STARTSAVETOFILE, 0, 0);
  EXPECT_FALSE(form_->IsSaveRunning());
  form_->Session().RequestSave(saved);
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(saved) && !form_->IsSaveRunning(); }));
  // Nor after a real save: the last file is not written again.
  std::filesystem::remove(saved);
  ::SendMessageW(form_->Handle(), MM_STARTSAVETOFILE, 0, 0);
  Pump(200);
  EXPECT_FALSE(std::filesystem::exists(saved));
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
  EXPECT_EQ(RowCount(), 20000);
}

// The settings cannot be written (the file's name is taken by a folder)
// while a search runs: the box says so, and nothing runs after the engine
// is gone.
TEST_F(Ending, ClosingDuringASearchWithAnUnwritableSettingsFileShowsTheBoxAndEnds) {
  WriteDemo(50000);
  Start();
  std::filesystem::create_directory(folder_ / "options.ini");
  MessageBoxAnswerer answer(IDOK);
  // Sent, not posted: the search job runs when the window is closed.
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  ASSERT_TRUE(form_->IsSearchRunning());
  ::SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(form_->Handle()));
  ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0].rfind(" FATAL ERROR :\n\r Unable to write to ", 0), 0u);
  Pump(300);  // whatever was still queued for the window
  EXPECT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
}

std::string Ini(const TempFolder& folder) { return testing::ReadBytes(folder / "options.ini"); }

TEST_F(Ending, ALogOffSavesEverythingAtOnceAndALaterDestroyChangesNothing) {
  WriteDemo(2000);
  Start();
  ::SetWindowTextW(form_->InputBox(1), win32::Wide(W1251("Бойко")).c_str());
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSearch, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  EXPECT_EQ(::SendMessageW(form_->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "options.ini"));
  ::SendMessageW(form_->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  const std::string saved = Ini(folder_);
  EXPECT_NE(saved.find("[history1]\r\nvalue0=" + W1251("Бойко") + "\r\n"), std::string::npos);
  EXPECT_NE(saved.find("[Position]"), std::string::npos);
  // The window may still be destroyed afterwards: that neither undoes nor
  // repeats the log-off's work.
  ::SetWindowTextW(form_->InputBox(1), win32::Wide(W1251("Ковальчук")).c_str());
  form_.reset();
  EXPECT_EQ(Ini(folder_), saved);
}

TEST_F(Ending, ALogOffInsideADialogSavesTheSettings) {
  WriteDemo(2000);
  Start();
  bool written_in_dialog = false;
  {
    // Sent while the Options dialog runs its own loop.
    LaterInLoop later(300, [&] {
      ::SendMessageW(form_->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
      written_in_dialog = std::filesystem::exists(folder_ / "options.ini");
      ::PostMessageW(::FindWindowW(L"TOptionsForm", nullptr), WM_COMMAND, IDCANCEL, 0);
    });
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdOptions, 0);
  }
  EXPECT_TRUE(written_in_dialog);
  EXPECT_NE(Ini(folder_).find("[Options]"), std::string::npos);
}

// The real program in a folder whose settings file cannot be written ends
// with status 0 after the box, also when a search runs at the close.
TEST(ProgramEnding, AnUnwritableSettingsFileStillEndsTheProgramNormally) {
  TempFolder folder;
  std::filesystem::copy_file(platform::ExecutableFolder() / OLVENDRIX_EXE, folder / "Olvendrix.exe");
  demo::TDemoOptions options;
  options.Records = 100000;
  demo::MakeDemoTable(options).SaveTo(folder / "Data.dbf");
  std::filesystem::create_directory(folder / "options.ini");
  const ProgramProcess program(folder.path());
  ASSERT_TRUE(program.Started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    window = program.FindWindowOfClass(L"TPhoneForm");
    return window != nullptr && std::filesystem::exists(folder / "index3.bin");
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  // A search of every subscriber, then the close at once.
  ::PostMessageW(window, MM_STARTSEARCH, 0, 1);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = program.FindWindowOfClass(L"#32770")) != nullptr; }));
  wchar_t text[512] = {};
  ::GetDlgItemTextW(box, 0xFFFF, text, 512);
  EXPECT_NE(win32::Narrow(text).find("Unable to write to "), std::string::npos);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.WaitForExit(20000), 0);
}

}  // namespace
}  // namespace olvendrix
