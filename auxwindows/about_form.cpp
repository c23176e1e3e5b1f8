#include "about_form.h"

#include "about_text.h"
#include "picture_checksum.h"
#include "cp1251.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kAboutClass[] = L"TAboutForm";

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
    : host_(host), owner_(owner), folder_(folder), caption_(caption1251) {}

TAboutForm::~TAboutForm() {
  marquee_.reset();
  if (window_ != nullptr) ::DestroyWindow(window_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(marquee_font_),
                         static_cast<HGDIOBJ>(picture_)}) {
    if (object != nullptr) ::DeleteObject(object);
  }
}

bool TAboutForm::Create() {
  if (!PictureIsWhole()) return false;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<TAboutForm>(kAboutClass);
  constexpr int kWidth = 343, kHeight = 317;
  const POINT at = win32::CentredOver(owner_, kWidth, kHeight);
  ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kAboutClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                    at.x, at.y, kWidth, kHeight, owner_, nullptr, instance, this);
  if (window_ == nullptr) return false;
  win32::SetWindowText1251(window_, caption_);
  picture_ = static_cast<HBITMAP>(::LoadImageW(instance, L"ABOUTPICTURE", IMAGE_BITMAP, 0, 0, 0));
  HWND image = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 85, 283, window_,
                                 nullptr, instance, nullptr);
  ::SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
  pnlMarc = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 85, -3, 250, 224, window_, nullptr,
                              instance, nullptr);
  HWND ok = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 175, 240,
                              75, 25, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  font_ = win32::CreateMessageFont();
  ::SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  marquee_ = std::make_unique<TddgMarquee>(pnlMarc);
  RECT frame{};
  ::GetClientRect(pnlMarc, &frame);
  ::MoveWindow(marquee_->Handle(), 0, 0, frame.right, frame.bottom, FALSE);
  // An endless loop: every run that ends starts the next.
  marquee_->OnDone = [](TddgMarquee& sender) { sender.SetActive(true); };
  LOGFONTW arial{};
  const HDC screen = ::GetDC(nullptr);
  arial.lfHeight = -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
  ::ReleaseDC(nullptr, screen);
  arial.lfWeight = FW_BOLD;
  arial.lfCharSet = RUSSIAN_CHARSET;
  wcscpy(arial.lfFaceName, L"Arial");
  marquee_font_ = ::CreateFontIndirectW(&arial);
  marquee_->SetFont(marquee_font_);
  marquee_->SetTextColor(RGB(0, 0, 128));
  marquee_->Items = ReadAboutLines(folder_ / "about.dat");
  marquee_->SetActive(true);
  ::SetFocus(ok);
  return true;
}

void TAboutForm::ShowModal() {
  if (!Create()) return;
  host_.RunModal(window_, owner_, closed_);
  marquee_.reset();
  ::DestroyWindow(window_);
}

LRESULT TAboutForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleModalClose(message, wParam, closed_, result)) return result;
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
