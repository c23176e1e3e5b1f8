#include "engine/file_helpers.h"

#include <gtest/gtest.h>

#include "engine/cp1251.h"
#include "tests/test_support.h"
#include "tools/demo/dbf_writer.h"

namespace olvendrix {
namespace {

using platform::testing::Fault;
using testing::MessageOf;
using testing::ReadBytes;
using testing::TempFolder;

class FileHelpers : public ::testing::Test {
 protected:
  void TearDown() override { platform::testing::ClearFaults(); }
  TempFolder folder_;
};

TEST_F(FileHelpers, MapsAWholeFileReadOnly) {
  demo::WriteBytes(folder_ / "a.bin", "hello");
  const platform::MappedMemory view = MapFileToMemory(folder_ / "a.bin");
  ASSERT_EQ(view.Size(), 5u);
  EXPECT_FALSE(view.Writable());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.Data()), 5), "hello");
}

TEST_F(FileHelpers, MappingFailuresNameTheUpperCasedPath) {
  const auto missing = folder_ / "missing.dbf";
  EXPECT_EQ(MessageOf<Exception>([&] { MapFileToMemory(missing); }),
            "Error find file: " + PathMessageText(missing) + " in load procedure!");
  EXPECT_NE(PathMessageText(missing).find("MISSING.DBF"), std::string::npos);

  demo::WriteBytes(folder_ / "empty.dbf", "");
  EXPECT_EQ(MessageOf<Exception>([&] { MapFileToMemory(folder_ / "empty.dbf"); }),
            "Error map file: " + PathMessageText(folder_ / "empty.dbf") +
                " in memory in load procedure!");
}

TEST_F(FileHelpers, SavingReportsCreateAndShortWriteFailures) {
  EXPECT_EQ(MessageOf<Exception>([&] { SaveMemoryToFile(folder_ / "no" / "x.bin", "a", 1); }),
            "Error create file in save proc!");
  platform::testing::InjectFault(Fault::kShortWrite);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveMemoryToFile(folder_ / "x.bin", "a", 1); }),
            "Error save data to file!");
}

TEST_F(FileHelpers, SavingThroughATempFileReplacesTheTarget) {
  const auto target = folder_ / "data.bin";
  demo::WriteBytes(target, "old content");
  SaveThroughTempFile(target, "new", 3);
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_FALSE(FileFound(folder_ / "data.bin.tmp"));
}

TEST_F(FileHelpers, AFailedReplaceRaisesAndKeepsBothFiles) {
  const auto target = folder_ / "index1.bin";
  demo::WriteBytes(target, "old");
  platform::testing::InjectFault(Fault::kReplace);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(target, "new", 3); }),
            "Error replace file: " + PathMessageText(target) + " in save procedure!");
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(folder_ / "index1.bin.tmp"), "new");
}

TEST_F(FileHelpers, FileFoundSeesFilesAndFolders) {
  demo::WriteBytes(folder_ / "f", "x");
  EXPECT_TRUE(FileFound(folder_ / "f"));
  EXPECT_TRUE(FileFound(folder_.path()));
  EXPECT_FALSE(FileFound(folder_ / "g"));
}

TEST(TextHelpers, StripExtensionCutsAtTheLastDot) {
  EXPECT_EQ(StripExtension("ukrainian.lng"), "ukrainian");
  EXPECT_EQ(StripExtension("a.b.lng"), "a.b");
  EXPECT_EQ(StripExtension("plain"), "plain");
}

TEST(TextHelpers, MatchModesConvertToAndFromDigits) {
  EXPECT_EQ(BytesToDigits({mtBegins, mtContains, mtEquals, mtBegins, mtContains}), "01201");
  EXPECT_EQ(BytesToDigits({static_cast<TMatchMode>(12), mtBegins, mtBegins, mtBegins, mtBegins}),
            "10000");

  TMatchModes modes{mtEquals, mtEquals, mtEquals, mtEquals, mtEquals};
  EXPECT_FALSE(DigitsToBytes("01x01", modes));
  EXPECT_EQ(modes[0], mtBegins);
  EXPECT_EQ(modes[1], mtContains);
  EXPECT_EQ(modes[2], mtEquals);  // untouched after the failure

  TMatchModes short_modes{mtEquals, mtEquals, mtEquals, mtEquals, mtEquals};
  EXPECT_FALSE(DigitsToBytes("0120", short_modes));
  EXPECT_EQ(short_modes[3], mtBegins);
  EXPECT_EQ(short_modes[4], mtEquals);

  TMatchModes all{};
  EXPECT_TRUE(DigitsToBytes("70012", all));
  EXPECT_EQ(all[0], 7);
  EXPECT_EQ(all[4], mtEquals);
}

}  // namespace
}  // namespace olvendrix
