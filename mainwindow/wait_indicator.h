// The wait indicator's animation: a star that steps through five places and
// a background that swings from light green to greyish cyan and back, one
// frame per repaint. Portable: the window paints the frames.
#pragma once

#include <cstdint>
#include <string>

namespace olvendrix {

struct TWaitFrame {
  int StarX;  // in status bar coordinates
  std::uint8_t Red, Green, Blue;
};

class TWaitAnimation {
 public:
  // The frame of this repaint; the next call gives the next one. The
  // animation is never reset, so a new indicator goes on where the last one
  // stopped.
  TWaitFrame NextFrame();

 private:
  std::uint8_t star_ = 0;   // wraps from 255 to 0
  std::uint8_t phase_ = 0;  // 0..4
  bool rising_ = false;
};

// Hours, minutes and seconds of a duration in milliseconds.
struct TElapsed {
  int Hours, Minutes, Seconds;
};
TElapsed SplitElapsed(std::uint32_t milliseconds);

// The panel's text: a blank, the wait text, a blank, the elapsed time, " c ".
std::string WaitPanelText(const std::string& wait_text, const std::string& elapsed);

}  // namespace olvendrix
