// Where a saved window position may be used: the rule that keeps the main
// window reachable when the monitor it was saved on is gone, or the saved
// values are absurd. Portable (plain rectangles in screen coordinates), so
// that it is tested on made-up monitors.
#pragma once

#include <vector>

namespace olvendrix {

// A rectangle in screen coordinates; Right and Bottom lie just outside it.
struct TScreenRect {
  long long Left = 0, Top = 0, Right = 0, Bottom = 0;
  long long Width() const { return Right - Left; }
  long long Height() const { return Bottom - Top; }
  bool operator==(const TScreenRect& other) const {
    return Left == other.Left && Top == other.Top && Right == other.Right && Bottom == other.Bottom;
  }
};

// True when a strip along the top of `window`, `caption_height` high and at
// least a third of the window's width wide, lies on one of `work_areas`:
// there the user can take the caption and move the window.
bool CanBeReached(const TScreenRect& window, const std::vector<TScreenRect>& work_areas, long long caption_height);

// `window` when it can be reached; otherwise the window moved onto
// `nearest_work_area` (the work area of the monitor nearest to it), its width
// and height no larger than that work area.
TScreenRect ReachableBounds(const TScreenRect& window, const std::vector<TScreenRect>& work_areas,
                            const TScreenRect& nearest_work_area, long long caption_height);

}  // namespace olvendrix
