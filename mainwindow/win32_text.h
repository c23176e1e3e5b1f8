// Text at the window boundary: the program's Windows-1251 bytes to and from
// the UTF-16 of the W functions, with code page 1251 named explicitly so that
// Cyrillic shows correctly whatever the system's code page.
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

}  // namespace olvendrix::win32
