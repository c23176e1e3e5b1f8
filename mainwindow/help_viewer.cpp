#include "help_viewer.h"

#include "win32_text.h"

namespace olvendrix {
namespace {

constexpr wchar_t kViewerClass[] = L"OlvendrixHelp";
constexpr int kTopicListId = 1;

}  // namespace


THelpViewer::~THelpViewer() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  if (font_ != nullptr) ::DeleteObject(font_);
}

void THelpViewer::Create(HWND owner) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win32::RegisterObjectClass<THelpViewer>(kViewerClass, ::LoadIconW(instance, L"MAINICON"));
  if (font_ == nullptr) font_ = win32::CreateMessageFont();
  RECT owner_bounds{};
  ::GetWindowRect(owner, &owner_bounds);
  ::CreateWindowExW(0, kViewerClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, owner_bounds.left + 40,
                    owner_bounds.top + 40, 640, 460, owner, nullptr, instance, this);
  if (window_ == nullptr) return;
  const auto child = [&](const wchar_t* window_class_name, DWORD style, int id) {
    HWND control = ::CreateWindowExW(WS_EX_CLIENTEDGE, window_class_name, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                     0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
  };
  topic_list_ = child(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, kTopicListId);
  text_ = child(L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, 0);
  Layout();
}

void THelpViewer::Layout() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int list_width = client.right / 3;
  ::MoveWindow(topic_list_, 4, 4, list_width - 6, client.bottom - 8, TRUE);
  ::MoveWindow(text_, list_width + 2, 4, client.right - list_width - 6, client.bottom - 8, TRUE);
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
  win32::SetWindowText1251(text_, topics_[index].Text);
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
    case WM_COMMAND:
      if (LOWORD(wParam) == kTopicListId && HIWORD(wParam) == LBN_SELCHANGE) {
        ShowTopic(static_cast<std::size_t>(::SendMessageW(topic_list_, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    case WM_DESTROY:
      topic_list_ = text_ = nullptr;
      return 0;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace olvendrix
