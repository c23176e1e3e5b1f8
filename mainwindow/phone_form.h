// TPhoneForm: the main window. Its TDirectorySession owns the engine and
// runs the preparation, search and save jobs with their rules; the window
// keeps the controls, the messages and the drawing, and turns each message
// into a call of the session.
//
// Everything here runs on the main thread. A job's end reaches the window as
// a posted message. While a preparation or a search runs, the window neither
// reads nor writes the engine; during a save it only reads. The session's
// engine accessors assert this in debug builds and in the window tests.
//
// Split by concern: phone_form.cpp (window class, message dispatch, message
// loop, AOM and AOE), phone_form_startup.cpp (creation, preparation,
// shutdown, log-off), phone_form_settings.cpp (options.ini),
// phone_form_language.cpp (interface language), phone_form_search.cpp
// (search panel and search flow), phone_form_results.cpp (list, status bar,
// sorting, navigation), phone_form_menus.cpp (menus, accelerators and
// command state), phone_form_commands.cpp (copy, save, help and the maker's
// links), phone_form_wait.cpp (the wait indicator).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "errors.h"
#include "main_thread_queue.h"
#include "directory_session.h"
#include "bitmap_strip.h"
#include "help_viewer.h"
#include "ini_file.h"
#include "wait_indicator.h"
#include "window_texts.h"
#include "options_form.h"

namespace olvendrix {

// Private window messages.
enum : UINT {
  MM_SHOWWAITMESS = WM_USER + 101,
  MM_CLOSEWAITMESS = WM_USER + 102,
  MM_STARTINITDATA = WM_USER + 103,
  MM_ENDINITDATA = WM_USER + 104,
  MM_TERMINATEPROGRAM = WM_USER + 105,
  MM_STARTSEARCH = WM_USER + 106,
  MM_ENDSEARCH = WM_USER + 107,
  MM_STARTSAVETOFILE = WM_USER + 108,
  MM_ENDSAVETOFILE = WM_USER + 109,
  // Run the tasks waiting in the window's own queue (parameters unused, so a
  // message from elsewhere can do no harm).
  MM_RUNONMAINTHREAD = WM_APP + 1,
};

// Command identifiers of menus and accelerators.
enum : UINT {
  kCmdSearch = 100,
  kCmdClearInputs,
  kCmdClearHistory,
  kCmdSortFirst = 110,  // + sort order 0..2
  kCmdNavigateFirst = 120,  // + navigation tag 0..5
  kCmdSearchButton = 130,
  kCmdInputFirst = 140,  // + field 0..4
  kCmdSave = 150,
  kCmdExit,
  kCmdCopy,
  kCmdHelp,
  kCmdGotoSite,
  kCmdMail,
  kCmdError,
  kCmdOptions,
  kCmdAbout,
};

// Window timers.
constexpr UINT_PTR kStarterTimer = 1;  // tmStarter: the delay of immediate search
constexpr UINT_PTR kWaitTimer = 2;     // tmWait: repaints the wait text

class TPhoneForm : public TOptionsHost, private TSessionHost {
 public:
  // Creates and shows the window for the directory in `folder` (FormCreate).
  TPhoneForm(HINSTANCE instance, std::filesystem::path folder);
  TPhoneForm(const TPhoneForm&) = delete;
  TPhoneForm& operator=(const TPhoneForm&) = delete;
  ~TPhoneForm() override;

  // The program: creates the window for `folder` and runs the message loop
  // until the window is gone. A failure to create the window ends in the
  // fatal-error box. Returns the exit code.
  static int Run(HINSTANCE instance, const std::filesystem::path& folder);
  // Runs the application's message loop until the window is gone; every
  // message passes AOM, then the accelerators, then the dialog keys (Tab).
  // Returns the exit code.
  static int RunMessageLoop();
  // Pumps the messages waiting now (tests); false once the window is gone.
  static bool PumpPending();

  HWND Handle() const { return window_; }
  HWND ListView() const { return lvMain; }
  HWND InputBox(int field) const { return InputBoxes[field]; }
  HWND StatusBarHandle() const { return StatusBar; }
  HMENU MainMenu() const { return main_menu_; }
  bool IsPreparing() const { return session_->Preparing(); }
  bool IsSearchRunning() const { return session_->SearchRunning(); }
  bool IsSaveRunning() const { return session_->SaveRunning(); }
  const THelpViewer& HelpViewer() const { return help_viewer_; }
  TDirectorySession& Session() { return *session_; }
  const TProgramSettings& Settings() const { return session_->Settings(); }
  int SelectedRow() const { return selected_row_; }
  // Tick count at which the last search job started.
  std::uint32_t SearchStartTick() const { return search_start_; }
  // Runs `task` on this window's thread later; callable from any thread.
  void RunOnMainThread(std::function<void()> task) override;

  // Applies the language `name` (LoadLanguage): true when its file was
  // found. Only while no job runs.
  bool LoadLanguage(const std::string& name) override;

  // What the program's dialogs ask of the main window.
  void RunModal(HWND window, HWND owner, const bool& closed) override;
  void ShowHelpContext(HWND owner, int context) override;
  const TWindowTexts& InterfaceTexts() const override { return texts_; }
  const std::string& LanguageName() const override { return session_->Settings().LangName; }
  std::filesystem::path ProgramFolder() const override { return folder_; }

  // The widths of the first five columns for a list `list_width` wide.
  static void ColumnWidths(int list_width, int widths[5]);

 private:
  friend LRESULT CALLBACK PhoneFormProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static void ProcessMessage(MSG& msg);
  static void Idle();
  // Serves the program's messages until `done` holds or the program ends;
  // the exit code when it ended.
  static std::optional<int> ServeMessages(const std::function<bool()>& done);
  bool AOM(MSG& msg);
  void AOE(const std::exception& error);
  void MMRunOnMainThread();
  // The message is for the main window or one of its controls.
  bool IsOwnWindowMessage(const MSG& msg) const;
  void SaveFocus();
  void RestoreFocus();

  // Start-up and shutdown.
  void FormCreate();
  void CreateControls();
  void FormClose();
  void FormDestroy();
  // The session's shutdown with the settings saved; the failure to save them.
  std::exception_ptr EndSession();
  void FormEndSession();
  void FormResize();
  void MMStartInitData();
  void OnPrepareTerminate(const TJobFailure& failure);
  void MMEndInitData();
  void MMTerminateProgram();

  // What the session asks of the window.
  void JobEnded(TJobKind kind, const TJobFailure& failure) override;
  void PostSearchRequest(bool forced) override;
  void PostSaveRequest() override;

  // Settings file and first-run setup.
  void LoadSettings();
  void SaveSettings();
  void ApplyWindowBounds(const TIniFile& ini);
  void WriteWindowBounds(TIniFile& ini) const;

  // Interface language.
  bool ApplyLanguageFile(const std::string& name);
  void ApplyCaptions();

  // Copy, save, help and the maker's links.
  bool CanCopy() const;
  bool CanSave() const;
  void actCopyExecute();
  void actSaveExecute();
  void MMStartSAveToFile();
  void SaveJobDone(const TJobFailure& failure);
  void MMEndSAveToFile();
  void miHelpClick();
  void GotoSiteClick();
  void SendMailToMaker(bool error_report);
  void miExitClick();
  bool CanOpenOptions() const;
  void miOptionsClick();
  void miAboutClick();
  void ShowDebugWindow(HWND owner);

  // Wait indicator.
  void ShowWaitIndicator();
  void HideWaitIndicator();
  void tmWaitTimer();
  void DrawWaitPanel(const DRAWITEMSTRUCT& item);

  // Search panel and search flow.
  void CreateInputBoxes();
  void LayoutInputs();
  void SetInputLimits();
  void AddToHistory(int field);
  void ClearHistory();
  void ClearInputs();
  TSearchParams ReadInputs() const;
  void InputChanged();
  void actSearchExecute();
  void tmStarterTimer();
  void MMSTARTSearch(bool forced);
  void MMEndSearch();

  // Results list.
  void CreateListColumns();
  void ResizeListColumns();
  void AddExtraColumns();
  void lvMainData(NMLVDISPINFOW& item);
  void TrackSelection(const NMHDR& header);
  void UpdateResultList();
  void UpdateStatusTexts();
  void lvMainColumnClick(int column);
  void actByNumtelExecute(int order);
  void ChangeSortOrder(int order);
  void mmNavigateClick();
  void miFirstClick(int tag);

  // Menus and commands: one table says, for each command, its caption,
  // picture, shortcut, when it is enabled and what it does.
 public:
  struct TShortcut {
    WORD key = 0;  // a virtual key, 0 for none
    BYTE modifiers = 0;  // FCONTROL
    bool by_key_filter = false;  // taken by AOM instead of an accelerator
  };
  struct TCommand {
    UINT id;
    int tag;  // sort order or navigation tag, 0 otherwise
    TMenuText caption;
    int image;  // menu picture, -1 for none
    TShortcut shortcut;
    bool (*enabled)(const TPhoneForm&);  // null: always
    void (*execute)(TPhoneForm&, int tag);
  };
  static const std::vector<TCommand>& Commands();

 private:
  static const TCommand* FindCommand(UINT id);
  HMENU BuildMenu(const std::vector<UINT>& items);
  // Runs the command whose key-filter shortcut is `key`; false when none.
  bool RunKeyFilterShortcut(WPARAM key);
  void CreateMenus();
  void UpdateCommandState();
  void UpdateSortMarks();
  void ApplyMenuCaptions();
  void SetMenuImage(HMENU menu, UINT id, int image);
  bool Command(UINT id, UINT code, HWND control);

  int Scale(int pixels) const;

  HINSTANCE instance_;
  std::filesystem::path folder_;
  HWND window_ = nullptr;
  HWND lvMain = nullptr;
  HWND gbInputs = nullptr;
  HWND btnSearch = nullptr;
  HWND StatusBar = nullptr;
  HWND InputBoxes[5] = {};
  HMENU main_menu_ = nullptr;
  HMENU file_menu_ = nullptr;
  HMENU edit_menu_ = nullptr;
  HMENU sort_menu_ = nullptr;
  HMENU help_menu_ = nullptr;
  HMENU navigation_menu_ = nullptr;
  HMENU PopupMenu = nullptr;
  HFONT font_ = nullptr;
  HACCEL accelerators_ = nullptr;
  // The window's sixteen 16 x 16 menu pictures.
  win32::TBitmapStrip images_;
  int marked_sort_order_ = -1;
  int dpi_ = 96;

  TMainThreadQueue main_thread_tasks_;
  std::unique_ptr<TDirectorySession> session_;
  TWindowTexts texts_ = DefaultWindowTexts();
  THelpViewer help_viewer_;
  TWaitAnimation wait_animation_;
  std::uint32_t wait_start_ = 0;
  bool wait_shown_ = false;

  bool Created = false;
  bool starter_armed_ = false;
  bool destroyed_ = false;
  bool fatal_box_shown_ = false;
  HWND focused_control_ = nullptr;  // restored when the window is activated
  std::uint32_t search_start_ = 0;
  int selected_row_ = -1;  // kept from the list's notifications
  int focused_row_ = -1;
  // The record of the selected row, -1 when none or not known (selected
  // while a search ran).
  std::int32_t selected_record_ = -1;
};

}  // namespace olvendrix
