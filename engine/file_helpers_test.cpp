#include "file_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cp1251.h"
#include "test_support.h"
#include "dbf_writer.h"

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
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(folder_ / "no" / "x.bin", "a", 1); }),
            "Error create file in save proc!");
  platform::testing::InjectFault(Fault::kShortWrite);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(folder_ / "x.bin", "a", 1); }),
            "Error save data to file!");
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FileHelpers, SavingThroughATempFileReplacesTheTargetAndLeavesNothingElse) {
  const auto target = folder_ / "Phone.txt";
  demo::WriteBytes(target, "old content");
  // A user's own file of the name a plain ".tmp" scheme would take.
  demo::WriteBytes(folder_ / "Phone.txt.tmp", "the user's notes");
  SaveThroughTempFile(target, "new", 3);
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(ReadBytes(folder_ / "Phone.txt.tmp"), "the user's notes");
  EXPECT_EQ(FolderNames(folder_.path()), (std::vector<std::string>{"Phone.txt", "Phone.txt.tmp"}));
#ifdef _WIN32
  EXPECT_EQ(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);  // hidden was the temp file only
#endif
}

TEST_F(FileHelpers, ATempFileIsNeverWrittenOverAnExistingFileAndIsHidden) {
  const auto taken = folder_ / ".notes.txt.1-0.tmp";
  demo::WriteBytes(taken, "the user's");
  EXPECT_EQ(platform::WriteTempFile(taken, "new", 3), platform::WriteResult::kNameTaken);
  EXPECT_EQ(ReadBytes(taken), "the user's");
  const auto temp = folder_ / ".notes.txt.1-1.tmp";
  ASSERT_EQ(platform::WriteTempFile(temp, "new", 3), platform::WriteResult::kOk);
#ifdef _WIN32
  EXPECT_NE(::GetFileAttributesW(temp.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#endif
  EXPECT_EQ(ReadBytes(temp), "new");
}

TEST_F(FileHelpers, AFailedSaveKeepsTheOldFileAndRemovesItsTempFile) {
  const auto target = folder_ / "index1.bin";
  demo::WriteBytes(target, "old");
  platform::testing::InjectFault(Fault::kReplace);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(target, "new", 3); }),
            "Error replace file: " + PathMessageText(target) + " in save procedure!");
  platform::testing::InjectFault(Fault::kShortWrite);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(target, "new", 3); }), "Error save data to file!");
  platform::testing::InjectFault(Fault::kCreate);
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(target, "new", 3); }),
            "Error create file in save proc!");
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(FolderNames(folder_.path()), std::vector<std::string>{"index1.bin"});
}

TEST_F(FileHelpers, AReplaceRefusedWhileAnotherProcessHoldsTheFileIsRetriedBriefly) {
  const auto target = folder_ / "options.ini";
  demo::WriteBytes(target, "old");
  // Another copy reads the file for a moment.
  platform::testing::InjectFault(Fault::kHeld, 3);
  SaveThroughTempFile(target, "new", 3);
  EXPECT_EQ(ReadBytes(target), "new");

  // Another copy maps it for good: the save gives up, losing nothing.
  platform::testing::InjectFault(Fault::kHeld, 1000);
  EXPECT_FALSE(TrySaveThroughTempFile(target, "newer", 5));
  EXPECT_EQ(MessageOf<Exception>([&] { SaveThroughTempFile(target, "newer", 5); }),
            "Error replace file: " + PathMessageText(target) + " in save procedure!");
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(FolderNames(folder_.path()), std::vector<std::string>{"options.ini"});
}

TEST_F(FileHelpers, WritersOfOneFileNeverMeetOnATempFile) {
  const auto target = folder_ / "options.ini";
  const auto write_many = [&](char fill) {
    const std::string content(100000, fill);
    for (int i = 0; i < 100; ++i) SaveThroughTempFile(target, content.data(), content.size());
  };
  std::thread other([&] { EXPECT_NO_THROW(write_many('a')); });
  EXPECT_NO_THROW(write_many('b'));
  other.join();
  const std::string last = ReadBytes(target);
  EXPECT_TRUE(last == std::string(100000, 'a') || last == std::string(100000, 'b'));
  EXPECT_EQ(FolderNames(folder_.path()), std::vector<std::string>{"options.ini"});
}

TEST_F(FileHelpers, TempFilesLeftByAKilledWriterAreRemovedAndNothingElse) {
  const auto target = folder_ / "data.bin";
  for (const char* name : {".data.bin.4242-0.tmp", ".data.bin.17-3.tmp", "data.bin", "data.bin.tmp",
                           ".index1.bin.4242-0.tmp", ".data.bin.tmp.txt"}) {
    demo::WriteBytes(folder_ / name, "x");
  }
  RemoveLeftTempFiles({target});
  EXPECT_EQ(FolderNames(folder_.path()), (std::vector<std::string>{".data.bin.tmp.txt", ".index1.bin.4242-0.tmp",
                                                                    "data.bin", "data.bin.tmp"}));
}

TEST_F(FileHelpers, AFileLockHasOneHolderAtATime) {
  const auto path = folder_ / "data.lock";
  platform::FileLock first, second;
  ASSERT_EQ(platform::TryLockFile(path, first), platform::LockResult::kLocked);
  EXPECT_TRUE(first);
  EXPECT_EQ(platform::TryLockFile(path, second), platform::LockResult::kBusy);
  EXPECT_FALSE(second);
  first.Release();
  EXPECT_EQ(platform::TryLockFile(path, second), platform::LockResult::kLocked);
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(platform::TryLockFile(folder_ / "no" / "data.lock", first), platform::LockResult::kUnavailable);
}

#ifndef _WIN32
TEST_F(FileHelpers, TheSystemDropsTheLockOfAProcessThatDies) {
  const auto path = folder_ / "data.lock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::FileLock held;
    const char locked = platform::TryLockFile(path, held) == platform::LockResult::kLocked ? 'y' : 'n';
    ::write(ready[1], &locked, 1);
    ::pause();
    ::_exit(0);
  }
  char locked = 0;
  ASSERT_EQ(::read(ready[0], &locked, 1), 1);
  ASSERT_EQ(locked, 'y');
  platform::FileLock lock;
  EXPECT_EQ(platform::TryLockFile(path, lock), platform::LockResult::kBusy);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(platform::TryLockFile(path, lock), platform::LockResult::kLocked);
  ::close(ready[0]);
  ::close(ready[1]);
}
#endif

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
