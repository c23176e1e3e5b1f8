// Window tests of the menus and commands, the wait indicator, the settings
// file, the first run and the interface language.
#include <gtest/gtest.h>

#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <thread>

#include "file_helpers.h"
#include "platform/platform.h"
#include "first_run_setup.h"
#include "phone_form_test_support.h"

namespace olvendrix {
namespace {

bool MenuEnabled(HMENU menu, UINT id) { return !(::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED); }

std::string MenuText(HMENU menu, UINT item, bool by_position = false) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, item, text, 128, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
  return win32::Narrow(text);
}

class Commands : public PhoneForm {
 protected:
  void OpenMenus() {
    for (int position = 0; position < 5; ++position) {
      ::SendMessageW(form_->Handle(), WM_INITMENUPOPUP,
                     reinterpret_cast<WPARAM>(::GetSubMenu(form_->MainMenu(), position)), position);
    }
  }
  HMENU Submenu(int position) const { return ::GetSubMenu(form_->MainMenu(), position); }
  void Select(int row) {
    ListView_SetItemState(form_->ListView(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::string Ini() const { return testing::ReadBytes(folder_ / "options.ini"); }
};

TEST_F(Commands, MenusHoldTheirEntriesAndFollowTheState) {
  WriteDemo(500);
  form_ = std::make_unique<TPhoneForm>(::GetModuleHandleW(nullptr), folder_.path());
  OpenMenus();
  EXPECT_FALSE(MenuEnabled(Submenu(0), kCmdSave));  // preparing
  ASSERT_TRUE(PumpUntil([&] { return Idle() && RowCount() > 0; }));

  EXPECT_EQ(::GetMenuItemCount(form_->MainMenu()), 5);
  EXPECT_EQ(MenuText(form_->MainMenu(), 0, true), W1251("Файл"));
  EXPECT_EQ(MenuText(Submenu(0), kCmdSave), W1251("Зберігти у файл") + "\tCtrl+S");
  EXPECT_EQ(MenuText(Submenu(0), kCmdExit), W1251("Вихід") + "\tCtrl+X");
  EXPECT_EQ(MenuText(Submenu(1), kCmdCopy), W1251("Скопіювати ") + "\tCtrl+C");
  EXPECT_EQ(MenuText(Submenu(4), kCmdHelp), W1251("Довідка") + "\tF1");
  EXPECT_EQ(MenuText(Submenu(4), kCmdGotoSite), "http://www.brisvalde.example/olvendrix/index.html");
  EXPECT_EQ(::GetMenuItemCount(Submenu(4)), 7);
  EXPECT_EQ(MenuText(Submenu(4), kCmdAbout), W1251("Про програму..."));
  EXPECT_EQ(MenuText(Submenu(1), kCmdOptions), W1251("Опції...") + "\tCtrl+O");

  OpenMenus();
  EXPECT_TRUE(MenuEnabled(Submenu(0), kCmdSave));
  EXPECT_FALSE(MenuEnabled(Submenu(1), kCmdCopy));  // no row selected
  Select(3);
  OpenMenus();
  EXPECT_TRUE(MenuEnabled(Submenu(1), kCmdCopy));
  // While a search runs neither copies nor saves.
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  OpenMenus();
  EXPECT_FALSE(MenuEnabled(Submenu(1), kCmdCopy));
  EXPECT_FALSE(MenuEnabled(Submenu(0), kCmdSave));
  EXPECT_FALSE(MenuEnabled(Submenu(1), kCmdOptions));
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  OpenMenus();
  EXPECT_TRUE(MenuEnabled(Submenu(1), kCmdOptions));
  Type(1, "Ы");
  RunSearchNow();
  OpenMenus();
  EXPECT_FALSE(MenuEnabled(Submenu(0), kCmdSave));  // nothing to save
}

std::wstring ClipboardUnicodeText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

TEST_F(Commands, CopyPutsTheSelectedRowOnTheClipboardFromAnInputBox) {
  WriteDemo(500, 1);
  Start();
  Select(7);
  const std::string expected = form_->Session().ReadEngine().SearchList->GetLine(7);
  ::SetFocus(form_->InputBox(1));
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, 'C', 0);  // without Ctrl: typed into the box
  Pump(50);
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  // Ctrl+C through the accelerators, with the focus in an input box.
  ::SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(kCmdCopy, 1), 0);
  EXPECT_EQ(ClipboardUnicodeText(), win32::Wide(expected));
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE text = ::GetClipboardData(CF_TEXT);
  ASSERT_NE(text, nullptr);
  EXPECT_GE(::GlobalSize(text), 257u);
  HANDLE locale = ::GetClipboardData(CF_LOCALE);
  ASSERT_NE(locale, nullptr);
  EXPECT_EQ(*static_cast<const LCID*>(::GlobalLock(locale)), 0x0422u);
  ::GlobalUnlock(locale);
  ::CloseClipboard();
}

TEST_F(Commands, SaveWritesTheResultAndReportsAFailureLeavingTheOldFile) {
  WriteDemo(500);
  Start();
  {
    // A cancelled dialog starts nothing.
    MessageBoxAnswerer cancel(IDCANCEL);
    ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSave, 0);
    Pump(200);
    EXPECT_FALSE(form_->IsSaveRunning());
  }
  const auto saved = folder_ / "Phone.txt";
  form_->Session().RequestSave(saved);
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(saved) && !form_->IsSaveRunning() && Idle(); }));
  const std::string content = testing::ReadBytes(saved);
  EXPECT_EQ(content.substr(0, 22), "Olvendrix v.1.07.07   ");
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 501);

  MessageBoxAnswerer answer(IDOK);
  platform::testing::InjectFault(platform::testing::Fault::kShortWrite);
  form_->Session().RequestSave(saved);
  ASSERT_TRUE(PumpUntil([&] { return MessageBoxAnswerer::Texts().size() == 1 && !form_->IsSaveRunning(); }));
  platform::testing::ClearFaults();
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0],
            W1251("Помилка запису даних у файл: ") + "Error in thread:\n\r Error save data to file! .\n\r");
  EXPECT_EQ(testing::ReadBytes(saved), content);
  Pump(100);
  EXPECT_EQ(StatusText(0), W1251(" Знайдено абонентів: 500"));
}

TEST_F(Commands, ASaveAskedForDuringASearchStartsAfterIt) {
  WriteDemo(50000);
  Start();
  ::SendMessageW(form_->Handle(), MM_STARTSEARCH, 0, 1);
  form_->Session().RequestSave(folder_ / "Phone.txt");
  ::SendMessageW(form_->Handle(), MM_STARTSAVETOFILE, 0, 0);
  Type(1, "Б");  // a search asked for during the save waits for it
  ::PostMessageW(form_->Handle(), MM_STARTSEARCH, 0, 0);
  bool both = false;
  ASSERT_TRUE(PumpUntil([&] {
    both = both || (form_->IsSaveRunning() && form_->IsSearchRunning());
    return std::filesystem::exists(folder_ / "Phone.txt") && Idle() && !form_->IsSaveRunning() && RowCount() < 50000;
  }));
  EXPECT_FALSE(both);
  const std::string content = testing::ReadBytes(folder_ / "Phone.txt");
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 50001);  // the whole list, not the later search
}

TEST_F(Commands, TheWaitIndicatorPaintsTheFirstPanel) {
  WriteDemo(500);
  Start();
  form_->Session().WaitText().Set(W1251("Пошук! "));
  ::SendMessageW(form_->Handle(), MM_SHOWWAITMESS, 0, 0);
  ::InvalidateRect(form_->StatusBarHandle(), nullptr, TRUE);
  ::UpdateWindow(form_->StatusBarHandle());
  const HDC dc = ::GetDC(form_->StatusBarHandle());
  const COLORREF colour = ::GetPixel(dc, 60, 2);
  ::ReleaseDC(form_->StatusBarHandle(), dc);
  EXPECT_EQ(GetRValue(colour), 170);
  EXPECT_EQ(GetGValue(colour) + GetBValue(colour), 424);
  EXPECT_EQ((GetBValue(colour) - 180) % 8, 0);
  ::SendMessageW(form_->Handle(), MM_CLOSEWAITMESS, 0, 0);
  EXPECT_EQ(StatusText(0), W1251(" Знайдено абонентів: 500"));
}

TEST_F(Commands, SettingsCarryOverToTheNextStart) {
  WriteDemo(500);
  demo::WriteBytes(folder_ / "options.ini", "; kept\r\n[Directives]\r\nHistoryCount=3\r\nCaption=" +
                                                W1251("Довідник") + "\r\n[Position]\r\nWidth=500\r\n");
  Start();
  EXPECT_EQ(win32::WindowText1251(form_->Handle()), W1251(" Довідник [вер. 1.07.07]"));
  RECT bounds{};
  ::GetWindowRect(form_->Handle(), &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 750);  // the minimum
  ::SetWindowTextW(form_->InputBox(2), win32::Wide(W1251("вул. Садова")).c_str());
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSearch, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
  ::SendMessageW(form_->Handle(), WM_COMMAND, kCmdSortFirst + 2, 0);
  ASSERT_TRUE(PumpUntil([&] { return Idle() && form_->Session().ReadEngine().SearchList->SortOrder() == 2; }));
  ::MoveWindow(form_->Handle(), 30, 40, 800, 500, TRUE);
  ::ShowWindow(form_->Handle(), SW_MAXIMIZE);  // the restored bounds are kept
  Pump(100);
  form_.reset();

  const std::string ini = Ini();
  EXPECT_EQ(ini.substr(0, 8), "; kept\r\n");
  EXPECT_NE(ini.find("Caption=" + W1251("Довідник")), std::string::npos);
  EXPECT_NE(ini.find("[Program]\r\nVersion=1.07.07\r\n"), std::string::npos);
  EXPECT_NE(ini.find("SortMode=2\r\n"), std::string::npos);
  EXPECT_NE(ini.find("[history2]\r\nvalue0=" + W1251("вул. Садова") + "\r\nvalue1=\r\nvalue2=\r\n"), std::string::npos);
  EXPECT_EQ(ini.find("value3"), std::string::npos);

  Start();
  EXPECT_EQ(form_->Session().ReadEngine().SearchList->SortOrder(), 2);
  EXPECT_EQ(::SendMessageW(form_->InputBox(2), CB_GETCOUNT, 0, 0), 1);
  ::GetWindowRect(form_->Handle(), &bounds);
  EXPECT_EQ(bounds.left, 30);
  EXPECT_EQ(bounds.top, 40);
  EXPECT_EQ(bounds.right - bounds.left, 800);
  EXPECT_EQ(bounds.bottom - bounds.top, 500);
}

TEST_F(Commands, AnEmptySettingsFileGivesTheDefaultsAndIsFilledAtExit) {
  WriteDemo(500);
  demo::WriteBytes(folder_ / "options.ini", "");
  Start();
  RECT bounds{};
  ::GetWindowRect(form_->Handle(), &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 750);
  EXPECT_EQ(bounds.bottom - bounds.top, 450);
  EXPECT_TRUE(form_->Settings().ImmedSearch);
  EXPECT_TRUE(form_->Settings().Delay);
  EXPECT_EQ(form_->Settings().LangName, "ukrainian");
  form_.reset();
  const std::string ini = Ini();
  for (const char* part : {"[Program]", "[Position]", "[Options]", "LangName=ukrainian", "SearchParam=00000",
                           "[history0]", "[history4]\r\nvalue0=\r\nvalue1=\r\nvalue2=\r\nvalue3=\r\nvalue4=\r\n"
                                         "value5=\r\nvalue6=\r\nvalue7=\r\n"}) {
    EXPECT_NE(ini.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(ini.find("[Directives]"), std::string::npos);
}

TEST_F(Commands, AnUnwritableSettingsFileEndsInTheFatalBox) {
  WriteDemo(500);
  Start();
  MessageBoxAnswerer answer(IDOK);
  platform::testing::InjectFault(platform::testing::Fault::kCreate, 100);
  form_.reset();
  platform::testing::ClearFaults();
  ASSERT_EQ(MessageBoxAnswerer::Texts().size(), 1u);
  EXPECT_EQ(MessageBoxAnswerer::Texts()[0],
            " FATAL ERROR :\n\r Unable to write to " + PathText1251(folder_ / "options.ini"));
  EXPECT_FALSE(MessageBoxAnswerer::Icons()[0]);  // a plain box
}

std::wstring RegistryValue(const wchar_t* name) {
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, kRegistryKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"(none)";
  }
  return value;
}

std::filesystem::path DesktopShortcut() {
  wchar_t desktop[MAX_PATH] = {};
  DWORD size = sizeof desktop;
  ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 L"Desktop", RRF_RT_REG_SZ, nullptr, desktop, &size);
  return std::filesystem::path(desktop) / kShortcutName;
}

TEST_F(Commands, TheFirstRunLeavesTheMarkAndAShortcutOnce) {
  WriteDemo(500);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);
  std::filesystem::remove(DesktopShortcut());
  demo::WriteBytes(folder_ / "options.ini", "[Directives]\r\nRegisterProgram=0\r\n");
  Start();
  form_.reset();
  EXPECT_EQ(RegistryValue(L"Register"), L"(none)");  // not touched at all

  demo::WriteBytes(folder_ / "options.ini", "");
  Start();
  EXPECT_EQ(RegistryValue(L"Register"), L"1");
  EXPECT_EQ(RegistryValue(L"Version"), L"1.07.07");
  ASSERT_TRUE(std::filesystem::exists(DesktopShortcut()));
  {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ASSERT_TRUE(SUCCEEDED(file->Load(DesktopShortcut().c_str(), STGM_READ)));
    wchar_t target[MAX_PATH] = {}, working[MAX_PATH] = {}, executable[MAX_PATH] = {};
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetWorkingDirectory(working, MAX_PATH);
    ::GetModuleFileNameW(nullptr, executable, MAX_PATH);
    EXPECT_EQ(std::filesystem::path(target), std::filesystem::path(executable));
    EXPECT_EQ(std::filesystem::path(working), folder_.path());
    file->Release();
    link->Release();
    ::CoUninitialize();
  }
  form_.reset();
  // The second start finds the mark: no new shortcut, even after a deletion.
  std::filesystem::remove(DesktopShortcut());
  Start();
  EXPECT_FALSE(std::filesystem::exists(DesktopShortcut()));
}

// The mark as a value of its own type, written straight to the registry.
void SetMark(DWORD type, const void* data, DWORD size) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kRegistryKey, L"Register", type, data, size);
}

TEST(FirstRunSetup, OnlyANonZeroNumberMarksTheSetupAsDone) {
  const auto ran = [] {
    RunFirstRunSetup(L"C:\\x.exe", L"C:\\", false);
    return RegistryValue(L"Version") == L"1.07.07";
  };
  for (const wchar_t* text : {L"1abc", L" 1", L"99999999999", L"0", L""}) {
    SetMark(REG_SZ, text, static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t)));
    EXPECT_TRUE(ran()) << win32::Narrow(text);
    EXPECT_EQ(RegistryValue(L"Register"), L"1");
  }
  SetMark(REG_SZ, L"2", 4);
  EXPECT_FALSE(ran());
  const DWORD one = 1, zero = 0;
  SetMark(REG_DWORD, &one, sizeof one);
  EXPECT_FALSE(ran());
  SetMark(REG_DWORD, &zero, sizeof zero);
  EXPECT_TRUE(ran());
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);
}

TEST(FirstRunSetup, AKeyTheUserMayOnlyReadStillHoldsTheMark) {
  SetMark(REG_SZ, L"1", 4);
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, WRITE_DAC, &key), ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR read_only = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                     &read_only, nullptr));
  ASSERT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, read_only), ERROR_SUCCESS);
  ::LocalFree(read_only);
  EXPECT_NO_THROW(RunFirstRunSetup(L"C:\\x.exe", L"C:\\", false));
  // Everyone again, so that the key can go.
  SECURITY_DESCRIPTOR open{};
  ::InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
  ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &open);
  ::RegCloseKey(key);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryKey);
}

class Languages : public Commands {
 protected:
  void InstallShippedLanguages() {
    std::filesystem::copy(platform::ExecutableFolder() / "resources" / "LANGUAGES", folder_ / "LANGUAGES");
  }
};

TEST_F(Languages, TheChosenLanguageSpeaksAndSwitchesBack) {
  WriteDemo(500);
  InstallShippedLanguages();
  demo::WriteBytes(folder_ / "options.ini", "[Options]\r\nLangName=English\r\n");  // any letter case
  Start();
  EXPECT_EQ(MenuText(form_->MainMenu(), 0, true), "File");
  EXPECT_EQ(MenuText(Submenu(1), kCmdCopy), "Copy \tCtrl+C");
  EXPECT_EQ(StatusText(0), " Subscribers found: 500");
  HDITEMW column{HDI_TEXT};
  wchar_t caption[64] = {};
  column.pszText = caption;
  column.cchTextMax = 64;
  Header_GetItem(ListView_GetHeader(form_->ListView()), 1, &column);
  EXPECT_EQ(win32::Narrow(caption), "Full name");

  // A second language without a menu key: that caption stays.
  std::string ukrainian = testing::ReadBytes(folder_ / "LANGUAGES" / "ukrainian.lng");
  const std::string exit_line = W1251("Exit=Вихід") + "\r\n";
  ukrainian.erase(ukrainian.find(exit_line), exit_line.size());
  demo::WriteBytes(folder_ / "LANGUAGES" / "ukrainian.lng", ukrainian);
  EXPECT_TRUE(form_->LoadLanguage("ukrainian"));
  EXPECT_EQ(MenuText(form_->MainMenu(), 0, true), W1251("Файл"));
  EXPECT_EQ(MenuText(Submenu(0), kCmdExit), "Exit\tCtrl+X");
  EXPECT_EQ(StatusText(0), W1251(" Знайдено абонентів: 500"));
  EXPECT_TRUE(::IsWindowEnabled(form_->Handle()));
  EXPECT_FALSE(form_->LoadLanguage("klingon"));
  EXPECT_EQ(form_->Settings().LangName, "ukrainian");
  form_.reset();
  EXPECT_NE(Ini().find("LangName=ukrainian\r\n"), std::string::npos);
}

TEST_F(Languages, WithoutLanguageFilesTheBuiltInTextsServe) {
  WriteDemo(500);
  demo::WriteBytes(folder_ / "options.ini", "[Options]\r\nLangName=english\r\n");
  Start();
  EXPECT_EQ(MenuText(form_->MainMenu(), 0, true), W1251("Файл"));
  EXPECT_EQ(win32::WindowText1251(::GetDlgItem(form_->Handle(), kCmdSearchButton)), W1251("Пошук"));
  EXPECT_EQ(form_->Settings().LangName, "ukrainian");
}

TEST_F(Commands, HelpOpensTheViewerAndClosesWithTheWindow) {
  WriteDemo(500);
  std::filesystem::copy_file(platform::ExecutableFolder() / "resources" / "help.hlp", folder_ / "help.hlp");
  Start();
  EXPECT_EQ(form_->HelpViewer().ShownContext(), -1);
  ::SetFocus(form_->InputBox(0));
  ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_F1, 0);
  Pump(200);
  ASSERT_NE(form_->HelpViewer().Handle(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(form_->HelpViewer().Handle()));
  EXPECT_EQ(form_->HelpViewer().ShownContext(), 1);
  const HWND viewer = form_->HelpViewer().Handle();
  form_.reset();
  EXPECT_FALSE(::IsWindow(viewer));

  // The options topic by its context number.
  THelpViewer direct;
  direct.SetHelpFile(folder_ / "help.hlp", DefaultMessageTexts());
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  direct.Request(owner, THelpViewer::kHelpContext, 10, "Help");
  EXPECT_EQ(direct.ShownContext(), 10);
  direct.Request(owner, THelpViewer::kHelpQuit, 0, "");
  EXPECT_EQ(direct.ShownContext(), -1);
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace olvendrix
