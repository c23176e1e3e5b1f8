#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "about_text.h"
#include "marquee_geometry.h"
#include "picture_checksum.h"
#include "cp1251.h"
#include "platform/platform.h"
#include "test_support.h"

namespace olvendrix {
namespace {

TEST(MarqueeGeometry, LinesSitBetweenTwoBlankBandsOfTheControlsHeight) {
  const TMarqueeGeometry geometry(250, 224, 3, 3, 19, false);
  EXPECT_EQ(geometry.Bitmap().Height, 3 * 19 + 2 * 224);
  EXPECT_EQ(geometry.Bitmap().Width, 250);
  EXPECT_EQ(geometry.LineTop(0), 224);
  EXPECT_EQ(geometry.LineTop(2), 224 + 38);
  const TMarqueeRect inside = geometry.Inside();
  EXPECT_EQ(inside.Left, 6);
  EXPECT_EQ(inside.Top, 6);
  EXPECT_EQ(inside.Width, 238);
  EXPECT_EQ(inside.Height, 212);
}

TEST(MarqueeGeometry, ARunMovesThreePixelsATickUntilTheLastLineHasLeft) {
  TMarqueeGeometry up(250, 224, 3, 3, 19, false);
  EXPECT_EQ(up.Position(), 0);
  int ticks = 0;
  while (up.Step()) ++ticks;
  // Stops once past H + N * L - 3: the last line is out of the frame.
  EXPECT_GT(up.Position(), 224 + 3 * 19 - 3);
  EXPECT_EQ(ticks, (224 + 3 * 19 - 3) / 3 + 1);
  const int end = up.Position();
  EXPECT_FALSE(up.Step());
  EXPECT_EQ(up.Position(), end);
  // A new run starts at the top again.
  EXPECT_EQ(TMarqueeGeometry(250, 224, 3, 3, 19, false).Position(), 0);

  TMarqueeGeometry down(250, 224, 3, 1, 19, true);
  EXPECT_EQ(down.Position(), 19 + 224);
  while (down.Step()) {}
  EXPECT_LE(down.Position(), 2);
}

TEST(AboutText, FileLinesOrTheBuiltInOnes) {
  testing::TempFolder folder;
  demo::WriteBytes(folder / "about.dat", W1251("Olvendrix\r\nверсія 1.07.07\nкінець"));
  EXPECT_EQ(ReadAboutLines(folder / "about.dat"),
            (std::vector<std::string>{"Olvendrix", W1251("версія 1.07.07"), W1251("кінець")}));
  demo::WriteBytes(folder / "empty.dat", "");
  EXPECT_TRUE(ReadAboutLines(folder / "empty.dat").empty());
  const auto builtin = ReadAboutLines(folder / "missing.dat");
  ASSERT_EQ(builtin.size(), 9u);
  EXPECT_EQ(builtin[0], W1251("Для виведення інформації"));
  EXPECT_EQ(builtin[1], " ");
  EXPECT_EQ(builtin[8], W1251("його в Блокноті"));
}

TEST(AboutPicture, TheChecksumIsTheCommittedPicturesOwn) {
  std::ifstream in(platform::ExecutableFolder() / "resources" / "about.bmp", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(file.size(), 14u);
  // The resource holds the bitmap without its file header.
  EXPECT_EQ(PictureChecksum(file.data() + 14, file.size() - 14), kAboutPictureChecksum);
  std::string altered = file;
  altered[500] ^= 1;
  EXPECT_NE(PictureChecksum(altered.data() + 14, altered.size() - 14), kAboutPictureChecksum);
}

}  // namespace
}  // namespace olvendrix
