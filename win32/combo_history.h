// The drop-down list of an editable combo box kept as a history of texts
// (Windows-1251), newest first. The edit text is never touched.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace olvendrix::win32 {

// Puts `text1251` first unless it is first already (the box's exact search
// ignores letter case), then drops the oldest entry beyond `limit`.
void PushHistory(HWND box, std::string_view text1251, int limit);
// Adds `text1251` as the oldest entry (a saved history read back).
void AppendHistory(HWND box, std::string_view text1251);
// The entries, newest first.
std::vector<std::string> HistoryTexts(HWND box);
void ClearHistoryList(HWND box);

}  // namespace olvendrix::win32
