#include "combo_history.h"

#include "win32_text.h"

namespace olvendrix::win32 {

void PushHistory(HWND box, std::string_view text1251, int limit) {
  const std::wstring wide = Wide(text1251);
  if (::SendMessageW(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str())) != 0) {
    ::SendMessageW(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
  if (count > limit) ::SendMessageW(box, CB_DELETESTRING, count - 1, 0);
}

void AppendHistory(HWND box, std::string_view text1251) {
  ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text1251).c_str()));
}

std::vector<std::string> HistoryTexts(HWND box) {
  std::vector<std::string> texts;
  const LRESULT count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
  for (LRESULT entry = 0; entry < count; ++entry) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, entry, 0)) + 1, L'\0');
    ::SendMessageW(box, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text.data()));
    text.resize(text.size() - 1);
    texts.push_back(Narrow(text));
  }
  return texts;
}

void ClearHistoryList(HWND box) {
  // CB_RESETCONTENT would empty the edit text too.
  while (::SendMessageW(box, CB_GETCOUNT, 0, 0) > 0) ::SendMessageW(box, CB_DELETESTRING, 0, 0);
}

}  // namespace olvendrix::win32
