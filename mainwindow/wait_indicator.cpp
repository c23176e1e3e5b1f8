#include "wait_indicator.h"

namespace olvendrix {

TWaitFrame TWaitAnimation::NextFrame() {
  const std::uint8_t star = star_++;
  if (phase_ == 0 || phase_ == 4) rising_ = !rising_;
  const TWaitFrame frame{(star % 5) * 10 + 5, 170, static_cast<std::uint8_t>(244 - 8 * phase_),
                         static_cast<std::uint8_t>(180 + 8 * phase_)};
  phase_ = rising_ ? phase_ + 1 : phase_ - 1;
  return frame;
}

TElapsed SplitElapsed(std::uint32_t milliseconds) {
  const std::uint32_t seconds = milliseconds / 1000;
  return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

std::string WaitPanelText(const std::string& wait_text, const std::string& elapsed) {
  return " " + wait_text + " " + elapsed + " c ";
}

}  // namespace olvendrix
