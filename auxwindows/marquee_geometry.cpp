#include "marquee_geometry.h"

namespace olvendrix {

TMarqueeGeometry::TMarqueeGeometry(int width, int height, int bevel, int lines, int line_height, bool scroll_down)
    : width_(width),
      height_(height),
      bevel_(bevel),
      lines_(lines),
      line_height_(line_height),
      scroll_down_(scroll_down),
      position_(scroll_down ? lines * line_height + 2 * height - height : 0) {}

bool TMarqueeGeometry::Step() {
  if (!scroll_down_) {
    if (position_ > height_ + lines_ * line_height_ - 3) return false;
    position_ += 3;
  } else {
    if (position_ <= 2) return false;
    position_ -= 3;
  }
  return true;
}

}  // namespace olvendrix
