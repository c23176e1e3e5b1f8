// Text at the window boundary: the program's Windows-1251 bytes to and from
// the UTF-16 of the W functions, with code page 1251 named explicitly so that
// Cyrillic shows correctly whatever the system's code page; and the font and
// placement every window of the program shares.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace olvendrix::win32 {

std::wstring Wide(std::string_view text1251);
std::string Narrow(std::wstring_view text);
// The window's text as Windows-1251 bytes.
std::string WindowText1251(HWND window);
void SetWindowText1251(HWND window, std::string_view text1251);

// The system's message font, bold when asked, for a window at `dpi` (0: the
// screen's); the caller deletes it.
HFONT CreateMessageFont(bool bold = false, int dpi = 0);
// The top-left corner that centres a window `width` x `height` over `owner`.
POINT CentredOver(HWND owner, int width, int height);

}  // namespace olvendrix::win32
