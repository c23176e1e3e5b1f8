#include "mainwindow/ini_file.h"

#include <gtest/gtest.h>

#include "engine/cp1251.h"
#include "mainwindow/program_settings.h"
#include "tests/test_support.h"

namespace olvendrix {
namespace {

using testing::TempFolder;

TEST(IniFile, ReadsTypedValuesLikeTheProfileFunctions) {
  TempFolder folder;
  demo::WriteBytes(folder / "options.ini",
                   "; comment\r\n[Directives]\r\n  basefilename = " + W1251("Абоненти.dbf") +
                       " \r\nHistoryCount=0x10\r\nAlwaysPrepareBase=true\r\nNoDeleteBase=-1\r\n"
                       "Caption=\"quoted\"\r\n[options]\r\nSortMode=2\r\nSortMode=1\r\n");
  const TIniFile ini(folder / "options.ini");
  EXPECT_EQ(ini.ReadString("DIRECTIVES", "BaseFileName", ""), W1251("Абоненти.dbf"));
  EXPECT_EQ(ini.ReadInteger("Directives", "HistoryCount", 8), 16);
  EXPECT_FALSE(ini.ReadBool("Directives", "AlwaysPrepareBase", false));  // a word is no number
  EXPECT_TRUE(ini.ReadBool("Directives", "NoDeleteBase", false));
  EXPECT_EQ(ini.ReadString("Directives", "Caption", ""), "quoted");
  EXPECT_EQ(ini.ReadInteger("Options", "SortMode", 0), 2);  // the first occurrence
  EXPECT_EQ(ini.ReadString("Options", "Missing", "fallback"), "fallback");

  const TIniFile missing(folder / "none.ini");
  EXPECT_EQ(missing.ReadInteger("Position", "Width", 750), 750);
}

TEST(IniFile, IntegersFollowTheDecimalAndHexRules) {
  std::int32_t value = 0;
  EXPECT_TRUE(ParseProfileInteger("-12", value));
  EXPECT_EQ(value, -12);
  EXPECT_TRUE(ParseProfileInteger("0xFFFFFFFF", value));
  EXPECT_EQ(value, -1);
  EXPECT_FALSE(ParseProfileInteger("12abc", value));
  EXPECT_FALSE(ParseProfileInteger("", value));
  EXPECT_FALSE(ParseProfileInteger("99999999999", value));
}

TEST(ProgramSettings, DirectivesAndSearchOptionsHaveTheirDefaultsAndLimits) {
  TempFolder folder;
  demo::WriteBytes(folder / "options.ini",
                   "[Directives]\nHistoryCount=101\nRegisterProgram=0\n"
                   "[Options]\nCaseSensitiv=1\nSortMode=5\nSearchParam=01202xyz\n");
  const TIniFile ini(folder / "options.ini");
  TProgramSettings settings;
  ReadDirectives(ini, settings);
  EXPECT_EQ(settings.BaseFileName, "Data.dbf");
  EXPECT_EQ(settings.HistoryCount, 8);
  EXPECT_FALSE(settings.RegisterProgram);
  EXPECT_TRUE(settings.CreateShortCut);

  TSearchList search;
  ReadSearchOptions(ini, search);
  EXPECT_TRUE(search.CaseSensitive);
  EXPECT_EQ(search.SortOrder(), 0);  // no fourth order
  EXPECT_EQ(search.Modes, (TMatchModes{mtBegins, mtContains, mtEquals, mtBegins, mtEquals}));

  demo::WriteBytes(folder / "options.ini", "[Options]\nSearchParam=01a02\n");
  TSearchList rejected;
  ReadSearchOptions(TIniFile(folder / "options.ini"), rejected);
  EXPECT_EQ(rejected.Modes, (TMatchModes{}));
}

}  // namespace
}  // namespace olvendrix
