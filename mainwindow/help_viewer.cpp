#include "help_viewer.h"

#include "cp1251.h"
#include "file_helpers.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kViewerClass[] = L"OlvendrixHelp";
constexpr int kTopicListId = 1;
constexpr int kTextId = 2;

}  // namespace


int THelpViewer::Scale(int units) const { return ::MulDiv(units, dpi_, 96); }

THelpViewer::~THelpViewer() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
}

void THelpViewer::Create(HWND owner) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<THelpViewer>(kViewerClass, ::LoadIconW(instance, L"MAINICON"));
  RECT owner_bounds{};
  ::GetWindowRect(owner, &owner_bounds);
  dpi_ = win32::ScreenDpi();
  if (font_ != nullptr) ::DeleteObject(font_);
  font_ = win32::CreateMessageFont(false, dpi_);
  ::CreateWindowExW(0, kViewerClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, owner_bounds.left + Scale(40),
                    owner_bounds.top + Scale(40), Scale(640), Scale(460), owner, nullptr, instance, this);
  if (window_ == nullptr) return;
  topic_list_ = win32::CreateChild(window_, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                   kTopicListId, WS_EX_CLIENTEDGE, font_);
  text_.Create(window_, kTextId, font_);
  Layout();
}

void THelpViewer::Layout() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int list_width = client.right / 3, gap = Scale(4);
  ::MoveWindow(topic_list_, gap, gap, list_width - gap - gap / 2, client.bottom - 2 * gap, TRUE);
  ::MoveWindow(text_.Handle(), list_width + gap / 2, gap, client.right - list_width - gap - gap / 2,
               client.bottom - 2 * gap, TRUE);
}

void THelpViewer::Request(HWND owner, UINT command, int data, const std::string& title1251) {
  if (command == kHelpQuit) {
    if (window_ != nullptr) ::DestroyWindow(window_);
    return;
  }
  topics_ = ReadHelpFile(path_, *messages_);
  if (window_ == nullptr) Create(owner);
  if (window_ == nullptr) return;
  win32::SetWindowText1251(window_, title1251);
  ::SendMessageW(topic_list_, LB_RESETCONTENT, 0, 0);
  for (const THelpTopic& topic : topics_) {
    ::SendMessageW(topic_list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(topic.Title).c_str()));
  }
  ShowTopic(command == kHelpContext ? TopicIndex(topics_, data) : 0);
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::SetForegroundWindow(window_);
  ::SetFocus(topic_list_);
}

void THelpViewer::ShowTopic(std::size_t index) {
  if (index >= topics_.size()) return;
  shown_ = index;
  ::SendMessageW(topic_list_, LB_SETCURSEL, index, 0);
  text_.SetText(topics_[index].Text);
}

int THelpViewer::ShownContext() const {
  return window_ != nullptr && shown_ < topics_.size() ? topics_[shown_].Context : -1;
}

bool THelpViewer::TakeDialogMessage(MSG& msg) {
  if (window_ == nullptr || (msg.hwnd != window_ && !::IsChild(window_, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    ::DestroyWindow(window_);
    return true;
  }
  return ::IsDialogMessageW(window_, &msg) != FALSE;
}

LRESULT THelpViewer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (topic_list_ != nullptr) Layout();
      return 0;
    case WM_DPICHANGED: {
      // Another screen: the font and the gaps of its scale, at the offered
      // place and size (WM_SIZE lays the window out again).
      dpi_ = HIWORD(wParam);
      const HFONT old_font = font_;
      font_ = win32::CreateMessageFont(false, dpi_);
      ::SendMessageW(topic_list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
      text_.SetFont(font_);
      ::DeleteObject(old_font);
      win32::MoveToOfferedBounds(window_, lParam);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kTopicListId && HIWORD(wParam) == LBN_SELCHANGE) {
        ShowTopic(static_cast<std::size_t>(::SendMessageW(topic_list_, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    case WM_DESTROY:
      topic_list_ = nullptr;
      return 0;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
