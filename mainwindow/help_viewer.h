// THelpViewer: the program's own help viewer, a small modeless window with
// the topics of help.hlp on the left and the chosen topic's text on the
// right. It answers the three requests the program makes of a help system:
// the contents, one topic by its context number, and quit.
//
// Main thread only. The viewer is created on the first request and
// destroyed by the quit request or with its owner object.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "help_file.h"
#include "win32_window.h"

namespace olvendrix {

class THelpViewer {
 public:
  // The request numbers of the classic help system.
  enum : UINT { kHelpContext = 1, kHelpQuit = 2, kHelpContents = 3 };

  THelpViewer() = default;
  THelpViewer(const THelpViewer&) = delete;
  THelpViewer& operator=(const THelpViewer&) = delete;
  ~THelpViewer();

  // The file to show, and the texts that say why it cannot be shown; the
  // texts must outlive the viewer.
  void SetHelpFile(const std::filesystem::path& path, const TMessageTexts& messages) {
    path_ = path;
    messages_ = &messages;
  }
  // kHelpContents shows the first topic, kHelpContext the topic of `data`
  // (the first one when none has it), kHelpQuit closes the viewer. The file
  // is read anew at every request that shows it; a file that cannot be
  // shown gives a line that says why. `title1251` is the window's caption.
  void Request(HWND owner, UINT command, int data, const std::string& title1251);

  HWND Handle() const { return window_; }
  // The context number of the topic shown, or -1 when the viewer is closed.
  int ShownContext() const;
  // Tab and Esc for the viewer's controls; true when the message was taken.
  bool TakeDialogMessage(MSG& msg);

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Create(HWND owner);
  void ShowTopic(std::size_t index);
  void Layout();

  std::filesystem::path path_;
  const TMessageTexts* messages_ = &DefaultMessageTexts();
  std::vector<THelpTopic> topics_;
  HWND window_ = nullptr;
  HWND topic_list_ = nullptr;
  HWND text_ = nullptr;
  HFONT font_ = nullptr;
  std::size_t shown_ = 0;
};

}  // namespace olvendrix
