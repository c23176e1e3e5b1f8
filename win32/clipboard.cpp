#include "clipboard.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "win32_text.h"

namespace olvendrix::win32 {
namespace {

constexpr LCID kUkrainian = 0x0422;

// The clipboard, open for the window until the end of the scope.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Hands a copy of the bytes to the clipboard under `format`; the block is
// freed again when the clipboard does not take it.
bool PutClipboardData(UINT format, const void* data, std::size_t size) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (block == nullptr) return false;
  void* target = ::GlobalLock(block);
  if (target == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  std::memcpy(target, data, size);
  ::GlobalUnlock(block);
  if (::SetClipboardData(format, block) == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace

bool CopyText1251(HWND owner, std::string_view text1251, std::size_t block_bytes) {
  std::vector<char> block(block_bytes, '\0');
  std::copy_n(text1251.data(), std::min(text1251.size(), block_bytes - 1), block.data());
  const ClipboardSession clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  ::EmptyClipboard();
  const LCID locale = kUkrainian;
  return PutClipboardData(CF_LOCALE, &locale, sizeof locale) &&
         PutClipboardData(CF_TEXT, block.data(), block.size());
}

bool CopyUnicodeText(HWND owner, std::string_view text1251) {
  const std::wstring wide = Wide(text1251);
  const ClipboardSession clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  ::EmptyClipboard();
  return PutClipboardData(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

}  // namespace olvendrix::win32
