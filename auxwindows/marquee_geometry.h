// The geometry of the scrolling text: the off-screen bitmap that holds all
// lines between two blank bands of the control's height, the inside of the
// frame it is copied to, and the scroll position of each tick. Pure.
#pragma once

namespace olvendrix {

struct TMarqueeRect {
  int Left, Top, Width, Height;
};

class TMarqueeGeometry {
 public:
  // For a control `width` x `height` with a bevel of `bevel`, `lines` lines
  // of `line_height` pixels each.
  TMarqueeGeometry(int width, int height, int bevel, int lines, int line_height, bool scroll_down);

  // The whole bitmap: the lines start `height` pixels below its top and are
  // followed by as many blank pixels.
  TMarqueeRect Bitmap() const { return {0, 0, width_, lines_ * line_height_ + 2 * height_}; }
  // Where the bitmap is copied: inside twice the bevel.
  TMarqueeRect Inside() const { return {2 * bevel_, 2 * bevel_, width_ - 4 * bevel_, height_ - 4 * bevel_}; }
  // The top of line i in the bitmap.
  int LineTop(int line) const { return height_ + line * line_height_; }

  // The bitmap row shown at the top of the inside rectangle.
  int Position() const { return position_; }
  // One tick: three pixels on; false (position unchanged) when the run is
  // over, the last line having left the frame.
  bool Step();

 private:
  int width_, height_, bevel_, lines_, line_height_;
  bool scroll_down_;
  int position_;
};

}  // namespace olvendrix
