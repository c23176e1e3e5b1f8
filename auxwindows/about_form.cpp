#include "about_form.h"

#include <algorithm>

#include "about_text.h"
#include "picture_checksum.h"
#include "cp1251.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

// The picture resource, when it is the one the program was built with.
bool PictureIsWhole() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  HRSRC resource = ::FindResourceW(instance, L"ABOUTPICTURE", reinterpret_cast<LPCWSTR>(RT_BITMAP));
  if (resource == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(instance, resource);
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  return bytes != nullptr && PictureChecksum(bytes, ::SizeofResource(instance, resource)) == kAboutPictureChecksum;
}

}  // namespace


TAboutForm::TAboutForm(TModalHost& host, HWND owner, const std::filesystem::path& folder,
                       const std::string& caption1251)
    : TModalWindow(host, owner, L"TAboutForm"), folder_(folder), caption_(caption1251) {}

TAboutForm::~TAboutForm() {
  marquee_.reset();
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(marquee_font_), static_cast<HGDIOBJ>(picture_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
}

void TAboutForm::ShowModal() {
  RunModal();
  marquee_.reset();
}

bool TAboutForm::CreateControls() {
  if (!PictureIsWhole()) return false;
  win32::SetWindowText1251(window_, caption_);
  if (picture_ == nullptr) {
    picture_ = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), L"ABOUTPICTURE", IMAGE_BITMAP, 0, 0, 0));
    BITMAP bitmap{};
    ::GetObjectW(picture_, sizeof bitmap, &bitmap);
    picture_size_ = {bitmap.bmWidth, bitmap.bmHeight};
  }
  image_ = CreateControl(L"STATIC", SS_BITMAP);
  ::SendMessageW(image_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
  pnlMarc = CreateControl(L"STATIC", 0);
  ok_ = CreateControl(L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  ::SetWindowTextW(ok_, L"OK");
  marquee_ = std::make_unique<TddgMarquee>(pnlMarc);
  // An endless loop: every run that ends starts the next.
  marquee_->OnDone = [](TddgMarquee& sender) { sender.SetActive(true); };
  marquee_->SetTextColor(RGB(0, 0, 128));
  marquee_->Items = ReadAboutLines(folder_ / "about.dat");
  ::SetFocus(ok_);
  return true;
}

SIZE TAboutForm::Layout() {
  // The picture keeps the size it was drawn in; the rest follows the DPI
  // and the texts.
  Place(image_, 0, 0, picture_size_.cx, picture_size_.cy);
  const int panel_width = Scale(250), panel_height = Scale(224);
  Place(pnlMarc, picture_size_.cx, -Scale(3), panel_width, panel_height);
  if (marquee_font_dpi_ != Dpi()) {
    if (marquee_font_ != nullptr) ::DeleteObject(marquee_font_);
    LOGFONTW arial{};
    arial.lfHeight = -::MulDiv(10, Dpi(), 72);
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = RUSSIAN_CHARSET;
    wcscpy(arial.lfFaceName, L"Arial");
    marquee_font_ = ::CreateFontIndirectW(&arial);
    marquee_font_dpi_ = Dpi();
    marquee_->SetFont(marquee_font_);
  }
  ::MoveWindow(marquee_->Handle(), 0, 0, panel_width, panel_height, FALSE);
  // A new size or font needs a new run, which the loop starts at once.
  if (marquee_->Active()) {
    marquee_->SetActive(false);
  } else {
    marquee_->SetActive(true);
  }
  const SIZE ok = ButtonSize(ok_);
  const int ok_top = panel_height - Scale(3) + Scale(19);
  Place(ok_, picture_size_.cx + (panel_width - ok.cx) / 2, ok_top, ok.cx, ok.cy);
  return {picture_size_.cx + panel_width + Scale(2),
          std::max(static_cast<int>(picture_size_.cy), ok_top + static_cast<int>(ok.cy) + Scale(23))};
}

}  // namespace olvendrix
