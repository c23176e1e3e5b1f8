// TPhoneForm: the main window. It owns the engine (through its
// TPhoneDatabase), runs the preparation, search and save jobs on
// TExecThread, and
// shows the results in an owner-data list.
//
// Everything here runs on the main thread. A job's completion reaches the
// window as a posted message. While a job runs, the window neither reads nor
// writes the engine objects: it keeps what it wants to change (sort order,
// selection to keep) and hands it over when the next search starts. Every
// engine access goes through SearchList() or Engine(), which assert this in
// debug builds and in the window tests.
//
// Split by concern: phone_form.cpp (window class, message dispatch, message
// loop, AOM and AOE), phone_form_startup.cpp (creation, preparation,
// shutdown), phone_form_settings.cpp (options.ini and first-run setup),
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

#include "engine/errors.h"
#include "engine/exec_thread.h"
#include "engine/main_thread_queue.h"
#include "engine/search_list.h"
#include "mainwindow/database_preparation.h"
#include "mainwindow/help_viewer.h"
#include "mainwindow/ini_file.h"
#include "mainwindow/wait_indicator.h"
#include "mainwindow/window_texts.h"
#include "options/options_form.h"

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

class TPhoneForm : public TOptionsHost {
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
  bool IsPreparing() const { return Preparing; }
  bool IsSearchRunning() const { return SearchRunning; }
  bool IsSaveRunning() const { return SaveRunning; }
  // The file the next save writes (the save dialog's choice).
  void SetSavePath(const std::filesystem::path& path) { save_path_ = path; }
  const THelpViewer& HelpViewer() const { return help_viewer_; }
  const TProgramSettings& Settings() const { return db_.Settings; }
  const TWindowTexts& Texts() const { return texts_; }
  TPhoneDatabase& Database() { return db_; }
  // The engine's search list; only while no job runs.
  TSearchList& Search() { return SearchList(); }
  int SelectedRow() const { return selected_row_; }
  // The order the next search uses, as chosen in the window.
  int ChosenSortOrder() const { return sort_order_; }
  // Tick count at which the last search job started.
  std::uint32_t SearchStartTick() const { return search_start_; }
  // Runs `task` on this window's thread later; callable from any thread.
  TMainThreadDispatcher Dispatcher();

  // Applies the language `name` (LoadLanguage): true when its file was
  // found. Only while no job runs.
  bool LoadLanguage(const std::string& name) override;

  // What the program's dialogs ask of the main window.
  void RunModal(HWND window, HWND owner, const bool& closed) override;
  void ShowHelpContext(HWND owner, int context) override;
  TOptionsTexts OptionsTexts() const override;
  const std::string& LanguageName() const override { return db_.Settings.LangName; }
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
  bool JobRunning() const { return PrepareJob != nullptr || search_job_ != nullptr || save_job_ != nullptr; }
  // The message is for the main window or one of its controls.
  bool IsOwnWindowMessage(const MSG& msg) const;
  // The engine objects; asserts that no job owns them now.
  TEngine& Engine();
  TSearchList& SearchList() { return *Engine().SearchList; }
  void SaveFocus();
  void RestoreFocus();

  // Start-up and shutdown.
  void FormCreate();
  void CreateControls();
  void FormClose();
  void FormDestroy();
  void FormResize();
  void MMStartInitData();
  void OnPrepareTerminate(TExecThread& job);
  void MMEndInitData();
  void MMTerminateProgram();
  void WaitForJobs();

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
  static void SaveJobProc(void* form);
  void SaveJobDone(TExecThread& job);
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
  static void SearchJob(void* form);
  void SearchDone(TExecThread& job);
  void MMEndSearch();
  void RepostPendingSearch();

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
  void HandOverSearchState();
  void mmNavigateClick();
  void miFirstClick(int tag);

  // Menus and commands.
  void CreateMenus();
  void UpdateCommandState();
  void UpdateSortMarks();
  void ApplyMenuCaptions();
  void LoadImages();
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
  // The window's sixteen 16 x 16 pictures, one menu bitmap each.
  HBITMAP images_[16] = {};
  int marked_sort_order_ = -1;
  int dpi_ = 96;

  TPhoneDatabase db_;
  TMainThreadQueue main_thread_tasks_;
  TWindowTexts texts_ = DefaultWindowTexts();
  std::unique_ptr<TExecThread> PrepareJob;
  std::unique_ptr<TExecThread> search_job_;
  std::unique_ptr<TExecThread> save_job_;
  std::filesystem::path save_path_;
  bool save_pending_ = false;  // a save asked for while a search ran
  std::uint32_t save_start_ = 0;
  THelpViewer help_viewer_;
  TWaitAnimation wait_animation_;
  std::uint32_t wait_start_ = 0;
  bool wait_shown_ = false;

  bool Preparing = false;
  bool Created = false;
  bool SearchRunning = false;
  bool SaveRunning = false;
  bool SearchPending = false;
  bool pending_forced_ = false;  // a forced request met a running job
  bool ResortMark = false;
  bool starter_armed_ = false;
  bool destroyed_ = false;
  bool fatal_box_shown_ = false;
  // Kept by the window, handed to the search list when a search starts.
  bool case_sensitive_ = false;
  TMatchModes modes_{};
  std::uint8_t sort_order_ = 0;
  bool keep_selection_ = false;
  // A sort change asks the next search to keep this subscriber selected; the
  // record, not the row, so a search ending meanwhile cannot shift it.
  bool take_selection_ = false;
  std::int32_t resort_record_ = -1;
  // What the list shows: the order of the last search started, the store's size.
  std::uint8_t shown_sort_order_ = 0;
  std::int32_t record_count_ = 0;
  HWND focused_control_ = nullptr;  // restored when the window is activated
  TSearchParams LastParams;
  std::uint32_t search_start_ = 0;
  std::uint32_t init_start_ = 0;
  int selected_row_ = -1;  // kept from the list's notifications
  int focused_row_ = -1;
  // The record of the selected row, -1 when none or not known (selected
  // while a job ran).
  std::int32_t selected_record_ = -1;
  std::string fatal_text_;
};

}  // namespace olvendrix
