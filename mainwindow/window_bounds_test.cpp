// The saved window position on made-up monitors: used when its caption can
// be reached, otherwise moved onto the nearest work area.
#include "window_bounds.h"

#include <gtest/gtest.h>

namespace olvendrix {
namespace {

constexpr long long kCaption = 20;
// Two monitors side by side; the left one has a taskbar of 40 at its bottom.
const TScreenRect kLeftWork{0, 0, 1920, 1040}, kRightWork{1920, 0, 3200, 1024};
const std::vector<TScreenRect> kTwoMonitors{kLeftWork, kRightWork};

TScreenRect Window(long long left, long long top, long long width, long long height) {
  return {left, top, left + width, top + height};
}

TEST(WindowBounds, AWindowWhoseCaptionCanBeTakenStaysWhereItWas) {
  for (const TScreenRect& window : {Window(50, 50, 750, 450), Window(2000, 100, 750, 450),
                                    // Across both monitors, and mostly off the right edge.
                                    Window(1500, 10, 750, 450), Window(2900, 10, 750, 450),
                                    // Its caption just above the taskbar.
                                    Window(100, 1040 - kCaption, 750, 450)}) {
    EXPECT_TRUE(CanBeReached(window, kTwoMonitors, kCaption)) << window.Left << "," << window.Top;
    EXPECT_EQ(ReachableBounds(window, kTwoMonitors, kLeftWork, kCaption), window);
  }
}

TEST(WindowBounds, AWindowOutOfReachMovesOntoTheNearestWorkArea) {
  // Saved on a third monitor that is gone: onto the right one, same size.
  EXPECT_EQ(ReachableBounds(Window(3500, 200, 750, 450), kTwoMonitors, kRightWork, kCaption),
            Window(3200 - 750, 200, 750, 450));
  // Less than a third of it on screen.
  EXPECT_FALSE(CanBeReached(Window(3000, 10, 750, 450), kTwoMonitors, kCaption));
  // Its caption above the screen, or behind the taskbar.
  EXPECT_EQ(ReachableBounds(Window(100, -5, 750, 450), kTwoMonitors, kLeftWork, kCaption), Window(100, 0, 750, 450));
  EXPECT_EQ(ReachableBounds(Window(100, 1030, 750, 450), kTwoMonitors, kLeftWork, kCaption),
            Window(100, 1040 - 450, 750, 450));
  // Absurd values: larger than the work area, or far away.
  EXPECT_EQ(ReachableBounds(Window(-5, 0, 100000, 100000), kTwoMonitors, kLeftWork, kCaption), kLeftWork);
  EXPECT_EQ(ReachableBounds(Window(-2000000000, 2000000000, 750, 450), kTwoMonitors, kLeftWork, kCaption),
            Window(0, 1040 - 450, 750, 450));
}

TEST(WindowBounds, WorkAreasAreNotScreens) {
  // A taskbar on the left: the screen starts at 0, the work area at 60.
  const TScreenRect work{60, 0, 1920, 1080};
  EXPECT_TRUE(CanBeReached(Window(0, 0, 750, 450), {work}, kCaption));  // most of the caption is free
  EXPECT_FALSE(CanBeReached(Window(-600, 0, 750, 450), {work}, kCaption));
  EXPECT_EQ(ReachableBounds(Window(-600, 0, 750, 450), {work}, work, kCaption), Window(60, 0, 750, 450));
}

}  // namespace
}  // namespace olvendrix
