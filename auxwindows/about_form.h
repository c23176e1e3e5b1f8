// TAboutForm: the modal about box: a fixed picture beside a framed marquee
// that scrolls the lines of about.dat (beside the program) in an endless
// loop, or built-in lines that tell how to write that file.
//
// Main thread only; created when shown and destroyed when closed.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "marquee.h"
#include "modal_host.h"
#include "win32_window.h"

namespace olvendrix {

class TAboutForm {
 public:
  TAboutForm(TModalHost& host, HWND owner, const std::filesystem::path& folder, const std::string& caption1251);
  TAboutForm(const TAboutForm&) = delete;
  TAboutForm& operator=(const TAboutForm&) = delete;
  ~TAboutForm();

  // Shows the box modally until OK or Esc. Does not open when the picture
  // is not the one the program was built with.
  void ShowModal();
  // Creates the box without running it (tests); false when it cannot open.
  bool Create();
  HWND Handle() const { return window_; }
  TddgMarquee* Marquee() const { return marquee_.get(); }
  bool Closed() const { return closed_; }

 private:
  template <typename> friend LRESULT CALLBACK win32::ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  TModalHost& host_;
  HWND owner_;
  std::filesystem::path folder_;
  std::string caption_;
  HWND window_ = nullptr;
  HWND pnlMarc = nullptr;
  HFONT font_ = nullptr;
  HFONT marquee_font_ = nullptr;
  HBITMAP picture_ = nullptr;
  std::unique_ptr<TddgMarquee> marquee_;
  bool closed_ = false;
};

}  // namespace olvendrix
