// The main window's private messages, command identifiers and timers, and
// the shape of its table of commands: what the window, its tests and the
// tools that drive it share.
#pragma once

#include <windows.h>

#include "window_texts.h"

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

// A command's shortcut.
struct TShortcut {
  WORD key = 0;  // a virtual key, 0 for none
  BYTE modifiers = 0;  // FCONTROL
  bool by_key_filter = false;  // taken by the key filter instead of an accelerator
};

// One command of `Window`: its menu caption, picture and shortcut, when it
// is enabled and what it does.
template <typename Window>
struct TWindowCommand {
  UINT id;
  int tag;  // sort order or navigation tag, 0 otherwise
  TMenuText caption;
  int image;  // menu picture, -1 for none
  TShortcut shortcut;
  bool (*enabled)(const Window&);  // null: always
  void (*execute)(Window&, int tag);
};

}  // namespace olvendrix
