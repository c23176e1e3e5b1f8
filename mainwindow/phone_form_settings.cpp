// The settings file options.ini: read once while the window is created,
// written once when it is destroyed.
#include <algorithm>

#include "format.h"
#include "phone_form.h"
#include "win32_text.h"

namespace olvendrix {
namespace {

std::string HistorySection(int box) { return Format("history%d", {box}); }
std::string HistoryKey(int entry) { return Format("value%d", {entry}); }

// GetWindowPlacement gives workspace coordinates; Top and Left are screen
// coordinates.
POINT WorkspaceOffset(HWND window) {
  MONITORINFO monitor{sizeof monitor};
  if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return {0, 0};
  return {monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top};
}

}  // namespace

void TPhoneForm::ApplyWindowBounds(const TIniFile& ini) {
  RECT bounds{};
  ::GetWindowRect(window_, &bounds);
  // Each value applies at once, in the file's order; the minimum size holds.
  const int height = std::max(ini.ReadInteger("Position", "height", bounds.bottom - bounds.top), Scale(250));
  const int width = std::max(ini.ReadInteger("Position", "Width", bounds.right - bounds.left), Scale(750));
  const int top = ini.ReadInteger("Position", "Top", bounds.top);
  const int left = ini.ReadInteger("Position", "Left", bounds.left);
  ::MoveWindow(window_, left, top, width, height, FALSE);
}

void TPhoneForm::WriteWindowBounds(TIniFile& ini) const {
  // A maximised or minimised window keeps its restored bounds.
  WINDOWPLACEMENT placement{sizeof placement};
  ::GetWindowPlacement(window_, &placement);
  RECT bounds = placement.rcNormalPosition;
  const POINT offset = WorkspaceOffset(window_);
  ::OffsetRect(&bounds, offset.x, offset.y);
  ini.WriteInteger("Position", "height", bounds.bottom - bounds.top);
  ini.WriteInteger("Position", "Width", bounds.right - bounds.left);
  ini.WriteInteger("Position", "Top", bounds.top);
  ini.WriteInteger("Position", "Left", bounds.left);
}

void TPhoneForm::LoadSettings() {
  const TIniFile ini(folder_ / "options.ini");
  ApplyWindowBounds(ini);
  session_->ReadSettings(ini);
  const std::string caption = ini.ReadString("Directives", "Caption", texts_.Caption);
  win32::SetWindowText1251(window_, Format(texts_.CaptionFormat, {caption, kProgramVersion}));
  for (int box = 0; box < 5; ++box) {
    for (int entry = 0; entry < Settings().HistoryCount; ++entry) {
      const std::string value = ini.ReadString(HistorySection(box), HistoryKey(entry), "");
      if (value.empty()) continue;
      ::SendMessageW(InputBoxes[box], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(value).c_str()));
    }
  }
}

void TPhoneForm::SaveSettings() {
  TIniFile ini(folder_ / "options.ini");
  ini.WriteString("Program", "Version", kProgramVersion);
  WriteWindowBounds(ini);
  session_->WriteSettings(ini);
  for (int box = 0; box < 5; ++box) {
    const int count = static_cast<int>(::SendMessageW(InputBoxes[box], CB_GETCOUNT, 0, 0));
    for (int entry = 0; entry < Settings().HistoryCount; ++entry) {
      std::wstring text;
      if (entry < count) {
        text.resize(static_cast<std::size_t>(::SendMessageW(InputBoxes[box], CB_GETLBTEXTLEN, entry, 0)) + 1);
        ::SendMessageW(InputBoxes[box], CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
      }
      ini.WriteString(HistorySection(box), HistoryKey(entry), win32::Narrow(text));
    }
  }
  ini.UpdateFile();
}

}  // namespace olvendrix
