#include "window_bounds.h"

#include <algorithm>

namespace olvendrix {

bool CanBeReached(const TScreenRect& window, const std::vector<TScreenRect>& work_areas, long long caption_height) {
  if (window.Width() <= 0 || window.Height() <= 0) return false;
  const long long strip_bottom = window.Top + std::min(caption_height, window.Height());
  const long long least_width = (window.Width() + 2) / 3;
  return std::any_of(work_areas.begin(), work_areas.end(), [&](const TScreenRect& area) {
    const long long width = std::min(window.Right, area.Right) - std::max(window.Left, area.Left);
    return width >= least_width && window.Top >= area.Top && strip_bottom <= area.Bottom;
  });
}

TScreenRect ReachableBounds(const TScreenRect& window, const std::vector<TScreenRect>& work_areas,
                            const TScreenRect& nearest_work_area, long long caption_height) {
  if (CanBeReached(window, work_areas, caption_height)) return window;
  const TScreenRect& area = nearest_work_area;
  const long long width = std::clamp(window.Width(), 1LL, std::max(1LL, area.Width()));
  const long long height = std::clamp(window.Height(), 1LL, std::max(1LL, area.Height()));
  const long long left = std::clamp(window.Left, area.Left, area.Right - width);
  const long long top = std::clamp(window.Top, area.Top, area.Bottom - height);
  return {left, top, left + width, top + height};
}

}  // namespace olvendrix
