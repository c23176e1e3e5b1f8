#include "win32_text.h"

namespace olvendrix::win32 {

constexpr UINT kCodePage = 1251;

std::wstring Wide(std::string_view text1251) {
  if (text1251.empty()) return {};
  const int size = ::MultiByteToWideChar(kCodePage, 0, text1251.data(),
                                         static_cast<int>(text1251.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(kCodePage, 0, text1251.data(), static_cast<int>(text1251.size()),
                        wide.data(), size);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, "?", nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        size, "?", nullptr);
  return narrow;
}

std::string WindowText1251(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

void SetWindowText1251(HWND window, std::string_view text1251) {
  ::SetWindowTextW(window, Wide(text1251).c_str());
}

HFONT CreateMessageFont(bool bold) {
  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (bold) metrics.lfMessageFont.lfWeight = FW_BOLD;
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

POINT CentredOver(HWND owner, int width, int height) {
  RECT bounds{};
  ::GetWindowRect(owner, &bounds);
  return {bounds.left + ((bounds.right - bounds.left) - width) / 2,
          bounds.top + ((bounds.bottom - bounds.top) - height) / 2};
}

}  // namespace olvendrix::win32
