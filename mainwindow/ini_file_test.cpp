#include "ini_file.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "file_helpers.h"
#include "platform/platform.h"
#include "program_settings.h"
#include "test_support.h"

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
  for (const char* count : {"-1", "0", "100"}) {
    demo::WriteBytes(folder / "counts.ini", std::string("[Directives]\nHistoryCount=") + count + "\n");
    TProgramSettings read;
    ReadDirectives(TIniFile(folder / "counts.ini"), read);
    EXPECT_EQ(read.HistoryCount, std::string(count) == "-1" ? 8 : std::stoi(count)) << count;
  }
  EXPECT_FALSE(settings.RegisterProgram);
  EXPECT_TRUE(settings.CreateShortCut);

  TSearchOptions search;
  ReadSearchOptions(ini, search);
  EXPECT_TRUE(search.CaseSensitive);
  EXPECT_EQ(search.SortOrder, 0);  // no fourth order
  EXPECT_EQ(search.Modes, (TMatchModes{mtBegins, mtContains, mtEquals, mtBegins, mtEquals}));

  demo::WriteBytes(folder / "options.ini", "[Options]\nSearchParam=01a02\n");
  TSearchOptions rejected;
  ReadSearchOptions(TIniFile(folder / "options.ini"), rejected);
  EXPECT_EQ(rejected.Modes, (TMatchModes{}));
}

TEST(ProgramSettings, TheRegistryMarkIsSetOnlyByANonZeroNumber) {
  for (const char* text : {"1", "-1", "0x10", "+7"}) EXPECT_TRUE(RegisterMarkSet(text)) << text;
  for (const char* text : {"", "0", "1abc", " 1", "1 ", "99999999999", "yes"}) EXPECT_FALSE(RegisterMarkSet(text)) << text;
}

TEST(IniFile, WritesKeepEveryOtherByteAndCreateWhatIsMissing) {
  TempFolder folder;
  const std::string original = "; admin's notes\r\n[Directives]\r\nBaseFileName=" + W1251("Абоненти.dbf") +
                               "\r\n\r\n[options]\r\n  sortmode = 2 ; kept\r\nUnknown=x\r\n\r\n[Position]\r\nWidth=900";
  demo::WriteBytes(folder / "options.ini", original);
  TIniFile ini(folder / "options.ini");
  ini.WriteInteger("Options", "SortMode", 1);  // replaced in place, names in any case
  ini.WriteBool("OPTIONS", "Delay", false);     // created at the end of its section
  ini.WriteInteger("Position", "height", 450);  // after a last line without its line end
  ini.WriteString("history0", "value0", W1251("Бойко"));  // a new section
  ini.UpdateFile();
  EXPECT_EQ(testing::ReadBytes(folder / "options.ini"),
            "; admin's notes\r\n[Directives]\r\nBaseFileName=" + W1251("Абоненти.dbf") +
                "\r\n\r\n[options]\r\n  sortmode =1\r\nUnknown=x\r\nDelay=0\r\n\r\n[Position]\r\nWidth=900\r\n"
                "height=450\r\n[history0]\r\nvalue0=" + W1251("Бойко") + "\r\n");
  const TIniFile again(folder / "options.ini");
  EXPECT_EQ(again.ReadInteger("Options", "SortMode", 0), 1);
  EXPECT_FALSE(again.ReadBool("Options", "Delay", true));
  EXPECT_EQ(again.ReadString("History0", "Value0", ""), W1251("Бойко"));
}

TEST(IniFile, AFailedWriteNamesTheFileAndLosesNothing) {
  TempFolder folder;
  demo::WriteBytes(folder / "options.ini", "[Directives]\r\nNoDeleteBase=1\r\n");
  TIniFile ini(folder / "options.ini");
  ini.WriteInteger("Position", "Width", 800);
  platform::testing::InjectFault(platform::testing::Fault::kReplace);
  EXPECT_EQ(testing::MessageOf<EPhoneFormError>([&] { ini.UpdateFile(); }),
            "Unable to write to " + PathText1251(folder / "options.ini"));
  platform::testing::ClearFaults();
  EXPECT_EQ(testing::ReadBytes(folder / "options.ini"), "[Directives]\r\nNoDeleteBase=1\r\n");
}

// UTF-16LE bytes of UTF-8 text (the tests' texts are in the basic plane).
std::string Utf16(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<std::uint8_t>(utf8[i++]);
    const int extra = lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) cp = cp << 6 | (static_cast<std::uint8_t>(utf8[i++]) & 0x3F);
    out += static_cast<char>(cp & 0xFF);
    out += static_cast<char>(cp >> 8);
  }
  return out;
}

TEST(IniFile, FilesWithAByteOrderMarkAreReadAndWrittenInTheirEncoding) {
  TempFolder folder;
  const std::string before =
      "[Directives]\r\nRegisterProgram=0\r\nCaption=Довідник\r\n; 日本 stays\r\n[Options]\r\nLangName=english\r\n";
  const std::string after =
      "[Directives]\r\nRegisterProgram=0\r\nCaption=Довідник\r\n; 日本 stays\r\n[Options]\r\nLangName=ukrainian\r\n"
      "[history0]\r\nvalue0=Бойко\r\n";
  const struct {
    const char* name;
    std::string mark;
    std::string (*encode)(std::string_view);
  } encodings[] = {{"utf16", "\xFF\xFE", Utf16}, {"utf8", "\xEF\xBB\xBF", [](std::string_view s) { return std::string(s); }}};
  for (const auto& encoding : encodings) {
    const auto path = folder / (std::string(encoding.name) + ".ini");
    demo::WriteBytes(path, encoding.mark + encoding.encode(before));
    TIniFile ini(path);
    TProgramSettings settings;
    ReadDirectives(ini, settings);
    EXPECT_FALSE(settings.RegisterProgram) << encoding.name;
    EXPECT_EQ(ini.ReadString("Directives", "Caption", ""), W1251("Довідник")) << encoding.name;
    ini.WriteString("Options", "LangName", "ukrainian");
    ini.WriteString("history0", "value0", W1251("Бойко"));
    ini.UpdateFile();
    EXPECT_EQ(testing::ReadBytes(path), encoding.mark + encoding.encode(after)) << encoding.name;
  }
}

TEST(IniFile, TheWritesOfAnExitTakeOneWalkOverTheText) {
  TempFolder folder;
  std::string big = "[Directives]\r\nHistoryCount=100\r\n";
  while (big.size() < 2 * 1024 * 1024) big += "; " + std::string(60, 'x') + "\r\n";
  big += "[history0]\r\nvalue7=old\r\n";
  demo::WriteBytes(folder / "options.ini", big);
  TIniFile ini(folder / "options.ini");
  EXPECT_EQ(ini.TextWalks(), 1);
  for (int entry = 0; entry < 100; ++entry) {
    ini.WriteString("history0", "value" + std::to_string(entry), "text" + std::to_string(entry));
  }
  EXPECT_EQ(ini.TextWalks(), 1);
  ini.UpdateFile();
  EXPECT_EQ(ini.TextWalks(), 3);  // the writes applied, then the new text read
  const std::string written = testing::ReadBytes(folder / "options.ini");
  EXPECT_EQ(written.substr(0, big.size() - 12), big.substr(0, big.size() - 12));
  const TIniFile again(folder / "options.ini");
  EXPECT_EQ(again.ReadString("history0", "value7", ""), "text7");  // replaced in place
  EXPECT_EQ(again.ReadString("history0", "value99", ""), "text99");
  EXPECT_EQ(ini.ReadString("history0", "value0", ""), "text0");
}

TEST(ProgramSettings, OptionsAreWrittenInTheirForms) {
  TempFolder folder;
  TIniFile ini(folder / "options.ini");
  TProgramSettings settings;
  settings.Delay = false;
  settings.LangName = "english";
  WriteOptions(ini, settings, {true, TMatchModes{mtBegins, mtContains, mtEquals, mtBegins, mtEquals}, 2});
  ini.UpdateFile();
  EXPECT_EQ(testing::ReadBytes(folder / "options.ini"),
            "[Options]\r\nCaseSensitiv=1\r\nSearchParam=01202\r\nImmedSearch=1\r\nDelay=0\r\nSortMode=2\r\n"
            "LangName=english\r\n");
  TProgramSettings read;
  ReadOptions(TIniFile(folder / "options.ini"), read);
  EXPECT_FALSE(read.Delay);
  EXPECT_EQ(read.LangName, "english");
}

}  // namespace
}  // namespace olvendrix
