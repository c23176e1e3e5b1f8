#include "format.h"

#include <gtest/gtest.h>

namespace olvendrix {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Format("%d list is not assigned", {3}), "3 list is not assigned");
  EXPECT_EQ(Format(" :%x ", {500}), " :1F4 ");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("index out of bound: %i", {-5}), "index out of bound: -5");
  EXPECT_EQ(Format("Olvendrix v.%s   %s", {"1.07.07", "08.12.2026"}),
            "Olvendrix v.1.07.07   08.12.2026");
  EXPECT_EQ(Format("100%% of %s", {"x"}), "100% of x");
  EXPECT_EQ(Format("%%d", {}), "%d");
}

TEST(Format, RefusesPlaceholdersThatDoNotFitTheArguments) {
  EXPECT_THROW(Format("%s", {5}), EFormatError);
  EXPECT_THROW(Format("%d", {"text"}), EFormatError);
  EXPECT_THROW(Format("%s %s", {"one"}), EFormatError);
  EXPECT_THROW(Format("no placeholder", {"one"}), EFormatError);
  EXPECT_THROW(Format("%5d", {1}), EFormatError);
  EXPECT_THROW(Format("trailing %", {}), EFormatError);
}

TEST(Format, FitsChecksPatternsWithoutArguments) {
  EXPECT_TRUE(FormatFits("Знайдено: %d", "d"));
  EXPECT_TRUE(FormatFits("%s [%s]", "ss"));
  EXPECT_TRUE(FormatFits("%x%%", "d"));
  EXPECT_FALSE(FormatFits("%s", "d"));
  EXPECT_FALSE(FormatFits("%d %d", "d"));
  EXPECT_FALSE(FormatFits("%q", "s"));
}

}  // namespace
}  // namespace olvendrix
