// The clipboard for the program's Windows-1251 texts.
#pragma once

#include <windows.h>

#include <string_view>

namespace olvendrix::win32 {

// Puts `text1251` on the clipboard as CF_TEXT in a zero-filled block of
// `block_bytes` (the text is cut to fit, leaving its terminating zero),
// with CF_LOCALE Ukrainian, so that the system turns it into the right
// Unicode whatever its own code page. False when the clipboard could not be
// opened or took nothing.
bool CopyText1251(HWND owner, std::string_view text1251, std::size_t block_bytes);
// Puts `text1251` on the clipboard as Unicode text. False as above.
bool CopyUnicodeText(HWND owner, std::string_view text1251);

}  // namespace olvendrix::win32
