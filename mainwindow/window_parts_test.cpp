// The window-free parts of the window's commands: the wait indicator's
// animation, the maker's links and the help file.
#include <gtest/gtest.h>

#include "cp1251.h"
#include "file_helpers.h"
#include "format.h"
#include "platform/platform.h"
#include "help_file.h"
#include "maker_links.h"
#include "wait_indicator.h"
#include "test_support.h"

namespace olvendrix {
namespace {

TEST(WaitIndicator, ColoursSwingAndTheStarSteps) {
  TWaitAnimation animation;
  std::vector<int> phases, stars;
  for (int i = 0; i < 10; ++i) {
    const TWaitFrame frame = animation.NextFrame();
    EXPECT_EQ(frame.Red, 170);
    EXPECT_EQ(frame.Green + frame.Blue, 424);
    phases.push_back((frame.Blue - 180) / 8);
    stars.push_back(frame.StarX);
  }
  EXPECT_EQ(phases, (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1, 0, 1}));
  EXPECT_EQ(stars, (std::vector<int>{5, 15, 25, 35, 45, 5, 15, 25, 35, 45}));
  // The star counter wraps at 256: 255 and 0 both stand at 5.
  for (int i = 10; i < 255; ++i) animation.NextFrame();
  EXPECT_EQ(animation.NextFrame().StarX, 5);  // counter 255
  EXPECT_EQ(animation.NextFrame().StarX, 5);  // counter 0
  EXPECT_EQ(animation.NextFrame().StarX, 15);
}

TEST(WaitIndicator, TextAndElapsedTime) {
  const TElapsed hour = SplitElapsed(3600u * 1000u);
  EXPECT_EQ(hour.Hours, 1);
  EXPECT_EQ(hour.Minutes, 0);
  EXPECT_EQ(hour.Seconds, 0);
  const TElapsed short_job = SplitElapsed(62999);
  EXPECT_EQ(short_job.Minutes, 1);
  EXPECT_EQ(short_job.Seconds, 2);
  EXPECT_EQ(WaitPanelText(W1251("Пошук! "), "0:00:05"), W1251(" Пошук!  0:00:05 c "));
}

TEST(MakerLinks, AreBuiltByteForByte) {
  EXPECT_EQ(SiteAddress("www.example.org"), "http://www.example.org/olvendrix/index.html");
  EXPECT_EQ(MailLink("help@example.org", false), "mailto:help@example.org?subject=\"Olvendrix 1.07.07\"");
  EXPECT_EQ(MailLink("help@example.org", true),
            "mailto:help@example.org?subject=\"Error in Olvendrix 1.07.07\"&body=\"" +
                W1251("   Здраствуйте Quermatic.%0D%0A%0D%0A В программе Olvendrix вер. 1.07.07 обнаружена "
                      "ошибка.%0D%0A Описание ошибки:%0D%0A%0D%0A%0D%0A%0D%0A%0D%0A Автор") +
                "\"");
}

TEST(HelpFile, TopicsByContext) {
  const auto topics = ParseHelpFile("; not shown\r\n@topic 1 Contents\r\nline one\r\nline two\r\n\r\n"
                                    "@topic 10 Options\nmodes\n");
  ASSERT_EQ(topics.size(), 2u);
  EXPECT_EQ(topics[0].Context, 1);
  EXPECT_EQ(topics[0].Title, "Contents");
  EXPECT_EQ(topics[0].Text, "line one\r\nline two");
  EXPECT_EQ(topics[1].Text, "modes");
  EXPECT_EQ(TopicIndex(topics, 10), 1u);
  EXPECT_EQ(TopicIndex(topics, 99), 0u);
}

TEST(HelpFile, AFileThatCannotBeShownSaysWhy) {
  testing::TempFolder folder;
  const TMessageTexts& messages = DefaultMessageTexts();
  const auto shown = [&](const char* name) {
    const std::vector<THelpTopic> topics = ReadHelpFile(folder / name, messages);
    EXPECT_EQ(topics.size(), 1u) << name;
    return topics.empty() ? std::string() : topics[0].Text.substr(0, 300);  // a short report on failure
  };
  const auto says = [&](const std::string& message, const char* name) {
    return Format(message, {PathText1251(folder / name)});
  };
  EXPECT_EQ(shown("missing.hlp"), says(messages.HelpMissing, "missing.hlp"));
  demo::WriteBytes(folder / "plain.hlp", "no topics here\r\n");
  EXPECT_EQ(shown("plain.hlp"), says(messages.HelpMissing, "plain.hlp"));
  demo::WriteBytes(folder / "binary.hlp", std::string("@topic 1 MZ\r\n\x90\0\x03\0", 16));
  EXPECT_EQ(shown("binary.hlp"), says(messages.HelpNotText, "binary.hlp"));
  // A sparse file: its size alone refuses it, unread.
  demo::WriteBytes(folder / "huge.hlp", "@topic 1 Huge\r\n");
  std::filesystem::resize_file(folder / "huge.hlp", kMaxHelpFileSize + 1);
  EXPECT_EQ(shown("huge.hlp"), says(messages.HelpTooLarge, "huge.hlp"));
  std::filesystem::resize_file(folder / "huge.hlp", 15);
  EXPECT_EQ(shown("huge.hlp"), "");  // the topic itself, under the limit
}

TEST(HelpFile, TheShippedHelpHasTheOptionsTopic) {
  const auto topics = ReadHelpFile(platform::ExecutableFolder() / "resources" / "help.hlp", DefaultMessageTexts());
  ASSERT_GE(topics.size(), 5u);
  EXPECT_EQ(topics[0].Context, 1);
  EXPECT_EQ(topics[TopicIndex(topics, 10)].Title, W1251("Опції"));
}

}  // namespace
}  // namespace olvendrix
