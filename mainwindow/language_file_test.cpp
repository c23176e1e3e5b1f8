#include "language_file.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "platform/platform.h"
#include "format.h"
#include "test_support.h"

namespace olvendrix {
namespace {

using testing::TempFolder;

class LanguageFile : public ::testing::Test {
 protected:
  void Read(const std::string& utf8_content) {
    demo::WriteBytes(folder_ / "x.lng", W1251(utf8_content));
    ReadLanguageTexts(TIniFile(folder_ / "x.lng"), messages_, window_);
  }
  TempFolder folder_;
  TMessageTexts messages_ = DefaultMessageTexts();
  TWindowTexts window_ = DefaultWindowTexts();
};

TEST_F(LanguageFile, MissingKeysFallBackByTheirRules) {
  Read("[MENU]\r\nfile=File\r\n");
  EXPECT_EQ(window_.Menu[mtxFile], "File");
  EXPECT_EQ(window_.Menu[mtxExit], W1251("Вихід"));  // a missing menu key keeps its caption
  EXPECT_EQ(window_.FieldCaptions[1], W1251("Прізвище, Ім'я, по-батькові"));
  EXPECT_EQ(messages_.MessOnClose, DefaultMessageTexts().MessOnClose);
  EXPECT_EQ(window_.InputsCaption, W1251(" Вхідні дані "));
  EXPECT_TRUE(window_.LanguageNames.empty());

  // A later file without Exit keeps the earlier language's caption, while a
  // [Strings] text it lacks returns to the built-in one.
  Read("[menu]\r\nExit=Quit\r\n[strings]\r\nMessSearching=Looking\r\n");
  Read("[menu]\r\nEdit=Edit\r\n");
  EXPECT_EQ(window_.Menu[mtxExit], "Quit");
  EXPECT_EQ(window_.Menu[mtxFile], "File");
  EXPECT_EQ(messages_.MessSearching, W1251("Пошук! "));
}

TEST_F(LanguageFile, NamesInAnyLetterCaseAndEveryPart) {
  Read("[STRINGS]\r\nfieldcaption0=Phone\r\nStatusBarNames0=Found: %d\r\nErrorVersion=Old: %d\r\n"
       "[optionsform]\r\nDelay=\r\nParam=\" Modes \"\r\nSCCaptions1=Contains\r\n"
       "[MainForm]\r\ninputs=Input\r\n[Languages]\r\nenglish=English\r\nukrainian=Ukrainian\r\n");
  EXPECT_EQ(window_.FieldCaptions[0], "Phone");
  EXPECT_EQ(" " + Format(window_.StatusFormats[0], {12}), " Found: 12");
  EXPECT_EQ(messages_.ErrorVersion, "Old: %d");
  EXPECT_EQ(window_.OptionsCaptions[otxDelay], "");  // empty keeps the designed caption
  EXPECT_EQ(window_.OptionsCaptions[otxParam], " Modes ");
  EXPECT_EQ(window_.ModeCaptions[1], "Contains");
  EXPECT_EQ(window_.ModeCaptions[2], W1251("Відповідність"));
  EXPECT_EQ(window_.InputsCaption, " Input ");
  EXPECT_EQ(window_.LanguageNames, (std::vector<std::string>{"english=English", "ukrainian=Ukrainian"}));
}

TEST_F(LanguageFile, ValuesWithOtherPlaceholdersAreRefused) {
  Read("[Strings]\r\nStatusBarNames0=Found: %s\r\nStatusBarNames1=Sorted\r\nErrorFIndBase=%s and %s\r\n"
       "ErrorSaveToFile=%d\r\nErrorVersion=Version %d!\r\nMessSaveToFile=100% done\r\n");
  EXPECT_EQ(window_.StatusFormats[0], DefaultWindowTexts().StatusFormats[0]);
  EXPECT_EQ(window_.StatusFormats[1], DefaultWindowTexts().StatusFormats[1]);
  EXPECT_EQ(messages_.ErrorFIndBase, DefaultMessageTexts().ErrorFIndBase);
  EXPECT_EQ(messages_.ErrorSaveToFile, DefaultMessageTexts().ErrorSaveToFile);
  EXPECT_EQ(messages_.ErrorVersion, "Version %d!");
  EXPECT_EQ(messages_.MessSaveToFile, "100% done");  // shown as it is, never formatted
}

TEST(LanguageNames, BlanksAroundTheNameAndTheTextDoNotCount) {
  const std::vector<std::string> names = {"english = English", "ukrainian =", "german\t= \"Deutsch\" ",
                                          "english=Second"};
  EXPECT_EQ(LanguageDisplayName(names, "ENGLISH"), "English");
  EXPECT_EQ(LanguageDisplayName(names, "ukrainian"), "ukrainian");  // an empty text shows the name
  EXPECT_EQ(LanguageDisplayName(names, "german"), "\"Deutsch\"");   // quotes as the section holds them
  EXPECT_EQ(LanguageDisplayName(names, "french"), "french");
}

TEST(LanguageNames, OnlyAPlainFileNameNamesALanguage) {
  for (const char* name : {"english", "console", "com10", " spaced ", "x.old"}) EXPECT_TRUE(IsPlainLanguageName(name)) << name;
  for (const char* name : {"", "*", "en?lish", "..", "..\\..\\x", "C:\\temp\\x", "\\Windows\\x", "a/b", "a:stream",
                           "con", "CON", "nul.txt", "com1", "Lpt9 ", "conin$", "a<b", "a|b", "a\"b", "tab\t"}) {
    EXPECT_FALSE(IsPlainLanguageName(name)) << name;
  }
}

class LanguageFolder : public ::testing::Test {
 protected:
  LanguageFolder() { std::filesystem::create_directories(folder_ / "LANGUAGES" / "dir.lng"); }
  void Put(const std::filesystem::path& path, const std::string& file_caption) {
    demo::WriteBytes(path, "[menu]\r\nFile=" + file_caption + "\r\n");
  }
  // The File caption after reading `name`, and whether it was found.
  std::pair<bool, std::string> Load(const std::string& name) {
    TMessageTexts messages = DefaultMessageTexts();
    TWindowTexts window = DefaultWindowTexts();
    const bool found = ReadLanguageFile(folder_.path(), name, messages, window);
    return {found, window.Menu[mtxFile]};
  }
  TempFolder folder_;
};

TEST_F(LanguageFolder, OnlyOrdinaryFilesOfPlainNamesAreFoundAndListed) {
  const std::filesystem::path languages = folder_ / "LANGUAGES";
  Put(languages / "english.lng", "File");
#ifndef _WIN32
  // Files whose names Windows refuses or takes for a device.
  Put(languages / "*.lng", "Star");
  Put(languages / "con.lng", "Device");
#endif
  Put(languages / "x.lngold", "Old");
  Put(languages / std::filesystem::u8path("日本.lng"), "Japanese");
  Put(folder_ / "outside.lng", "Outside");
  const std::string builtin = DefaultWindowTexts().Menu[mtxFile];
  EXPECT_EQ(Load("english"), std::make_pair(true, std::string("File")));
  for (const char* name : {"*", "con", "dir", "../outside", "english:x", "x", "??"}) {
    EXPECT_EQ(Load(name), std::make_pair(false, builtin)) << name;  // nothing read
  }
  EXPECT_EQ(FindLanguageFiles(folder_.path()), (std::vector<std::string>{"english"}));
  EXPECT_TRUE(FindLanguageFiles(folder_ / "none").empty());
}

TEST(ShippedLanguages, AreCompleteAndNameEachOther) {
  const std::filesystem::path folder = platform::ExecutableFolder() / "resources";
  for (const char* name : {"ukrainian", "english"}) {
    const TIniFile file(LanguageFilePath(folder, name));
    for (const TMessageKey& key : kMessageKeys) EXPECT_TRUE(file.HasKey("Strings", key.Key)) << name << key.Key;
    for (const char* key : kMenuKeys) EXPECT_TRUE(file.HasKey("menu", key)) << name << key;
    for (const char* key : kOptionsKeys) EXPECT_TRUE(file.HasKey("OptionsForm", key)) << name << key;
    EXPECT_EQ(file.ReadSectionLines("languages").size(), 2u) << name;
    TMessageTexts messages = DefaultMessageTexts();
    TWindowTexts window = DefaultWindowTexts();
    ReadLanguageTexts(file, messages, window);
    // Nothing was refused: every formatted text is the file's own.
    for (const TMessageKey& key : kMessageKeys) {
      EXPECT_EQ(messages.*key.Text, file.ReadString("Strings", key.Key, "")) << name << key.Key;
    }
  }
  // The Ukrainian file holds exactly the built-in texts.
  TMessageTexts messages = DefaultMessageTexts();
  TWindowTexts window = DefaultWindowTexts();
  ReadLanguageTexts(TIniFile(LanguageFilePath(folder, "ukrainian")), messages, window);
  for (const TMessageKey& key : kMessageKeys) EXPECT_EQ(messages.*key.Text, DefaultMessageTexts().*key.Text);
  for (int m = 0; m < mtxCount; ++m) EXPECT_EQ(window.Menu[m], DefaultWindowTexts().Menu[m]) << kMenuKeys[m];
  for (int k = 0; k < 3; ++k) EXPECT_EQ(window.StatusFormats[k], DefaultWindowTexts().StatusFormats[k]);
}

}  // namespace
}  // namespace olvendrix
