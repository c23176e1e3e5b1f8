// Window tests of the about box and the timing window.
#include <gtest/gtest.h>

#include "about_form.h"
#include "debug_form.h"
#include "phone_form_test_support.h"

namespace olvendrix {
namespace {

class AuxWindows : public PhoneForm {};

TEST_F(AuxWindows, TheAboutBoxScrollsTheFileInALoop) {
  WriteDemo(300);
  demo::WriteBytes(folder_ / "about.dat", W1251("Olvendrix 1.07.07\r\nтелефонний довідник\r\nкінець\r\n"));
  Start();
  TAboutForm about(*form_, form_->Handle(), folder_.path(), W1251("Про програму..."));
  ASSERT_TRUE(about.Create());
  EXPECT_EQ(win32::WindowText1251(about.Handle()), W1251("Про програму..."));
  TddgMarquee& marquee = *about.Marquee();
  EXPECT_EQ(marquee.Items.size(), 3u);
  EXPECT_EQ(marquee.Items[1], W1251("телефонний довідник"));
  ASSERT_TRUE(marquee.Active());
  EXPECT_EQ(marquee.Geometry()->Position(), 0);
  marquee.Tick();
  EXPECT_EQ(marquee.Geometry()->Position(), 3);
  // Run to the end: the run ends and the next one starts from the top.
  for (int i = 0; i < 1000 && marquee.Geometry()->Position() != 0; ++i) marquee.Tick();
  EXPECT_TRUE(marquee.Active());
  EXPECT_EQ(marquee.Geometry()->Position(), 0);
  ::PostMessageW(about.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(50);
  EXPECT_TRUE(about.Closed());
}

TEST_F(AuxWindows, WithoutAboutDatTheBuiltInLinesShowAndOkCloses) {
  WriteDemo(300);
  Start();
  TAboutForm about(*form_, form_->Handle(), folder_.path(), "About");
  ASSERT_TRUE(about.Create());
  ASSERT_EQ(about.Marquee()->Items.size(), 9u);
  EXPECT_EQ(about.Marquee()->Items[0], W1251("Для виведення інформації"));
  ::SendMessageW(about.Handle(), WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(about.Closed());
}

TEST_F(AuxWindows, TheTimingWindowShowsWhatTheWindowMeasured) {
  WriteDemo(300);
  Start();
  const TTimings timings{120, 15, 0, 7, 0};
  TDebugForm timing(*form_, form_->Handle(), timings);
  timing.Create();
  EXPECT_EQ(win32::WindowText1251(timing.Handle()), W1251("Відладка"));
  ::ShowWindow(timing.Handle(), SW_SHOW);
  ::UpdateWindow(timing.Handle());
  {
    const HDC dc = ::GetDC(timing.Handle());
    fprintf(stderr, "DEBUG pixel %06lx btnface %06lx\n", (unsigned long)::GetPixel(dc, 10, 160), (unsigned long)::GetSysColor(COLOR_BTNFACE));
    ::ReleaseDC(timing.Handle(), dc);
  }
  const char* const expected[5] = {"120", "15", "0", "7", "0"};
  for (int row = 0; row < 5; ++row) EXPECT_EQ(win32::WindowText1251(timing.ValueLabel(row)), expected[row]);
  ::PostMessageW(timing.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(50);
  EXPECT_TRUE(timing.Closed());
}

}  // namespace
}  // namespace olvendrix
