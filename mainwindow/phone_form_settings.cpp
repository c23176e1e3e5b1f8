// The settings file options.ini: read once while the window is created,
// written once when it is destroyed.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "format.h"
#include "phone_form.h"
#include "window_bounds.h"
#include "combo_history.h"
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

TScreenRect ScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Beyond the 32-bit screen, saved values stand for its edge.
RECT ClampedRect(const TScreenRect& rect) {
  const auto clamp = [](long long value) { return static_cast<LONG>(std::clamp<long long>(value, INT32_MIN, INT32_MAX)); };
  return {clamp(rect.Left), clamp(rect.Top), clamp(rect.Right), clamp(rect.Bottom)};
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
  // A window saved on a monitor that is gone, or with absurd values, comes
  // back where the user can take its caption.
  const TScreenRect saved{left, top, static_cast<long long>(left) + width, static_cast<long long>(top) + height};
  std::vector<TScreenRect> work_areas;
  for (const RECT& area : win32::MonitorWorkAreas()) work_areas.push_back(ScreenRect(area));
  const TScreenRect shown = ReachableBounds(saved, work_areas, ScreenRect(win32::NearestWorkArea(ClampedRect(saved))),
                                            ::GetSystemMetrics(SM_CYCAPTION));
  ::MoveWindow(window_, static_cast<int>(shown.Left), static_cast<int>(shown.Top), static_cast<int>(shown.Width()),
               static_cast<int>(shown.Height()), FALSE);
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
      if (!value.empty()) win32::AppendHistory(InputBoxes[box], value);
    }
  }
}

void TPhoneForm::SaveSettings() {
  TIniFile ini(folder_ / "options.ini");
  ini.WriteString("Program", "Version", kProgramVersion);
  WriteWindowBounds(ini);
  session_->WriteSettings(ini);
  for (int box = 0; box < 5; ++box) {
    const std::vector<std::string> texts = win32::HistoryTexts(InputBoxes[box]);
    for (int entry = 0; entry < Settings().HistoryCount; ++entry) {
      const bool kept = entry < static_cast<int>(texts.size());
      ini.WriteString(HistorySection(box), HistoryKey(entry), kept ? texts[entry] : std::string());
    }
  }
  ini.UpdateFile();
}

}  // namespace olvendrix
