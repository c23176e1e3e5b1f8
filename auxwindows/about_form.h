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
#include "modal_window.h"

namespace olvendrix {

class TAboutForm : public win32::TModalWindow {
 public:
  TAboutForm(TModalHost& host, HWND owner, const std::filesystem::path& folder, const std::string& caption1251);
  ~TAboutForm() override;

  // Shows the box modally until OK or Esc. Does not open when the picture
  // is not the one the program was built with.
  void ShowModal();
  TddgMarquee* Marquee() const { return marquee_.get(); }

 private:
  bool CreateControls() override;
  SIZE Layout() override;

  std::filesystem::path folder_;
  std::string caption_;
  HWND image_ = nullptr;
  HWND pnlMarc = nullptr;
  HWND ok_ = nullptr;
  HBITMAP picture_ = nullptr;
  SIZE picture_size_{};
  HFONT marquee_font_ = nullptr;
  int marquee_font_dpi_ = 0;
  std::unique_ptr<TddgMarquee> marquee_;
};

}  // namespace olvendrix
