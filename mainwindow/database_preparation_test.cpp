#include "database_preparation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "cp1251.h"
#include "exec_thread.h"
#include "file_helpers.h"
#include "main_thread_queue.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

class Preparation : public ::testing::Test {
 protected:
  Preparation() {
    demo::TDemoOptions options;
    options.Records = 500;
    table_ = demo::MakeDemoTable(options).Image();
  }
  void WriteTable() { demo::WriteBytes(folder_ / "Data.dbf", table_); }
  bool Exists(const char* name) const { return std::filesystem::exists(folder_ / name); }

  // Prepares the folder on a job thread as the program does; returns the
  // failure message and records every progress text in `stages_`.
  std::string Prepare(const TProgramSettings& settings = {}) { return PrepareIn(folder_.path(), settings); }
  std::string PrepareIn(const std::filesystem::path& folder, const TProgramSettings& settings = {}) {
    db_ = std::make_unique<TPhoneDatabase>();
    db_->Settings = settings;
    OpenDatabase(*db_, folder);
    stages_.clear();
    db_->WaitText.OnChange = [this](const std::string& text) { stages_.push_back(Cp1251ToUtf8(text)); };
    TMainThreadQueue main_thread;
    return main_thread.RunJob(PrepareDatabase, db_.get());
  }

  TempFolder folder_;
  std::string table_;
  std::unique_ptr<TPhoneDatabase> db_;
  std::vector<std::string> stages_;
};

TEST_F(Preparation, FirstStartConvertsBuildsAndDeletesTheTable) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  EXPECT_TRUE(Exists("data.bin"));
  EXPECT_TRUE(Exists("index1.bin"));
  EXPECT_TRUE(Exists("index2.bin"));
  EXPECT_TRUE(Exists("index3.bin"));
  EXPECT_FALSE(Exists("Data.dbf"));
  EXPECT_EQ(stages_, (std::vector<std::string>{
                         "Завантаження DBF - даних", "Конвертація бази даних",
                         "Сортування бази даних", "Індексація бази даних",
                         "Збереження індексних файлів", "Збереження BIN - даних"}));
  EXPECT_EQ(ReadBytes(folder_ / "index2.bin").size(), 4u * 500 + 1024);
  EXPECT_EQ(db_->Engine.Converter->FormatVersion(), 2);

  // Second start: everything is loaded; the table is not needed.
  ASSERT_EQ(Prepare(), "");
  EXPECT_EQ(stages_, (std::vector<std::string>{"Завантаження BIN - даних",
                                               "Завантаження індексних файлів"}));
  TSearchList& search = *db_->Engine.SearchList;
  search.Allocate(static_cast<std::int32_t>(db_->Engine.Converter->RecordCount()));
  search.Search(TSearchParams{});
  EXPECT_EQ(search.Count(), 500);
}

TEST_F(Preparation, AMissingIndexFileRebuildsAllThree) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  const std::string old_index1 = ReadBytes(folder_ / "index1.bin");
  demo::WriteBytes(folder_ / "index1.bin", std::string(old_index1.size(), '\x01'));
  std::filesystem::remove(folder_ / "index2.bin");
  ASSERT_EQ(Prepare(), "");
  EXPECT_EQ(ReadBytes(folder_ / "index1.bin"), old_index1);  // rewritten
  EXPECT_TRUE(Exists("index2.bin"));
}

TEST_F(Preparation, NoTableAndNoStoreNamesTheFullPath) {
  const std::string failure = Prepare();
  const auto expected_path = (folder_ / "Data.dbf").u8string();
  EXPECT_EQ(failure, "Error in thread:\n\r " +
                         W1251("Не знайдено файл бази даних: ") +
                         Utf8ToCp1251(std::string(expected_path.begin(), expected_path.end())) +
                         " . ");
  // The lock went before the failure reached the owner, who shows it.
  platform::FileLock lock;
  EXPECT_EQ(platform::TryLockFile(db_->Paths.LockPath, lock), platform::LockResult::kLocked);
}

TEST_F(Preparation, AnOutdatedStoreIsReportedAndKept) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  db_.reset();
  std::string store = ReadBytes(folder_ / "data.bin");
  store[12] = 1;
  demo::WriteBytes(folder_ / "data.bin", store);
  const std::string expected =
      "Error in thread:\n\r " + W1251("Файл даних Data.bin має заcтарілу версію формату: 1!") + " ";
  EXPECT_EQ(Prepare(), expected);
  EXPECT_EQ(Prepare(), expected);
  EXPECT_TRUE(Exists("data.bin"));
}

TEST_F(Preparation, DirectivesKeepTheTable) {
  WriteTable();
  TProgramSettings keep;
  keep.NoDeleteBase = true;
  ASSERT_EQ(Prepare(keep), "");
  EXPECT_TRUE(Exists("Data.dbf"));

  TProgramSettings always;
  always.AlwaysPrepareBase = true;
  demo::WriteBytes(folder_ / "data.bin", "not a store, rebuilt anyway");
  ASSERT_EQ(Prepare(always), "");
  EXPECT_TRUE(Exists("Data.dbf"));
  EXPECT_EQ(ReadBytes(folder_ / "data.bin").size(), 193u + 500u * 96);
}

TEST_F(Preparation, IndexFilesOfAnotherRecordCountAreRefused) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  demo::WriteBytes(folder_ / "index3.bin", std::string(4 * 499 + 1024, '\xFF'));
  EXPECT_EQ(Prepare(), "Error in thread:\n\r corrupt index file ");
}

TEST_F(Preparation, FailuresAfterACloseRequestAreDropped) {
  db_ = std::make_unique<TPhoneDatabase>();
  OpenDatabase(*db_, folder_.path());
  db_->CloseRequested = true;
  EXPECT_NO_THROW(PrepareDatabase(db_.get()));

  WriteTable();
  db_->StopRequested = true;
  EXPECT_NO_THROW(PrepareDatabase(db_.get()));
  EXPECT_FALSE(Exists("index1.bin"));  // stopped before the orders
}

TEST_F(Preparation, ANewTableOfTheSameSizeNeverUsesTheOldOrders) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  // The administrator delivers another table of as many records and deletes
  // data.bin; the old index files would pass every check.
  demo::TDemoOptions other;
  other.Records = 500;
  other.Seed = 99;
  demo::MakeDemoTable(other).SaveTo(folder_ / "Data.dbf");
  std::filesystem::remove(folder_ / "data.bin");
  ASSERT_EQ(Prepare(), "");
  const auto results = [&](std::uint8_t order, const char* name) {
    TSearchList& search = *db_->Engine.SearchList;
    search.Allocate(static_cast<std::int32_t>(db_->Engine.Converter->RecordCount()));
    search.SetSortOrder(order);
    TSearchParams params;
    params.Texts[1].Assign(W1251(name));
    search.Search(params);
    return std::vector<std::int32_t>(search.Items(), search.Items() + search.Count());
  };
  const auto after_new_delivery = results(1, "Ко");
  const auto by_street = results(2, "");
  const std::string index2 = ReadBytes(folder_ / "index2.bin");

  // A fresh preparation of the same table in an empty folder.
  TempFolder fresh;
  demo::MakeDemoTable(other).SaveTo(fresh / "Data.dbf");
  ASSERT_EQ(PrepareIn(fresh.path()), "");
  EXPECT_FALSE(after_new_delivery.empty());
  EXPECT_EQ(results(1, "Ко"), after_new_delivery);
  EXPECT_EQ(results(2, ""), by_street);
  EXPECT_EQ(ReadBytes(fresh / "index2.bin"), index2);
}

// The search results of every order for a first letter, and the files.
struct TPrepared {
  std::vector<std::vector<std::int32_t>> Results;
  std::vector<std::string> Files;
  bool operator==(const TPrepared& other) const { return Results == other.Results && Files == other.Files; }
};

TPrepared Snapshot(TPhoneDatabase& db, const std::filesystem::path& folder) {
  TPrepared prepared;
  TSearchList& search = *db.Engine.SearchList;
  search.Allocate(static_cast<std::int32_t>(db.Engine.Converter->RecordCount()));
  for (std::uint8_t order = 0; order < 3; ++order) {
    search.SetSortOrder(order);
    TSearchParams params;
    params.Texts[1].Assign(W1251("Ко"));
    search.Search(params);
    prepared.Results.emplace_back(search.Items(), search.Items() + search.Count());
  }
  for (const char* name : {"data.bin", "index1.bin", "index2.bin", "index3.bin"}) {
    prepared.Files.push_back(std::filesystem::exists(folder / name) ? ReadBytes(folder / name) : "(none)");
  }
  return prepared;
}

class HeldFiles : public Preparation {
 protected:
  // Prepares the folder's table (its set in `old_set`), then delivers a
  // table of another size beside it; `new_set` is what a fresh preparation
  // of that table gives.
  void PrepareAndDeliverAnother(TPrepared& old_set, TPrepared& new_set) {
    WriteTable();
    ASSERT_EQ(Prepare(), "");
    old_set = Snapshot(*db_, folder_.path());
    demo::TDemoOptions options;
    options.Records = 700;
    options.Seed = 99;
    TempFolder fresh;
    demo::MakeDemoTable(options).SaveTo(fresh / "Data.dbf");
    ASSERT_EQ(PrepareIn(fresh.path()), "");
    new_set = Snapshot(*db_, fresh.path());
    demo::MakeDemoTable(options).SaveTo(folder_ / "Data.dbf");
  }
};

TEST_F(Preparation, LoadedOrdersOfAnotherTableAreBuiltAfresh) {
  WriteTable();
  ASSERT_EQ(Prepare(), "");
  // A store of another table with as many records beside the old orders.
  TempFolder other;
  demo::TDemoOptions options;
  options.Records = 500;
  options.Seed = 99;
  demo::MakeDemoTable(options).SaveTo(other / "Data.dbf");
  ASSERT_EQ(PrepareIn(other.path()), "");
  const TPrepared expected = Snapshot(*db_, other.path());
  db_.reset();  // the store is mapped until then
  demo::WriteBytes(folder_ / "data.bin", ReadBytes(other / "data.bin"));
  ASSERT_EQ(Prepare(), "");
  EXPECT_EQ(stages_, (std::vector<std::string>{
                         "Завантаження BIN - даних", "Завантаження індексних файлів",
                         "Сортування бази даних", "Індексація бази даних",
                         "Збереження індексних файлів", "Збереження BIN - даних"}));
  EXPECT_TRUE(Snapshot(*db_, folder_.path()) == expected);
}

// Another copy maps the old files. On Windows their deletion is refused; under
// Wine it seems to succeed, and the move onto data.bin is refused. Either way
// the new table serves this run from memory, the files on disk stay a set that
// belongs together, the table stays, and nothing fails.
TEST_F(HeldFiles, FilesHeldByAnotherCopyLeaveAMatchingSetAndTheRunWorksFromMemory) {
  TPrepared old_set, new_set;
  ASSERT_NO_FATAL_FAILURE(PrepareAndDeliverAnother(old_set, new_set));

  TProgramSettings always;
  always.AlwaysPrepareBase = true;
  platform::testing::InjectFault(platform::testing::Fault::kRemove, 1000);
  ASSERT_EQ(Prepare(always), "");
  platform::testing::ClearFaults();
  TPrepared this_run = Snapshot(*db_, folder_.path());
  EXPECT_EQ(this_run.Results, new_set.Results);
  EXPECT_EQ(this_run.Files, old_set.Files);  // untouched

  // The Wine way, on a fresh delivery whose data.bin was deleted.
  std::filesystem::remove(folder_ / "data.bin");
  platform::testing::InjectFault(platform::testing::Fault::kHeld, 1000);
  ASSERT_EQ(Prepare(), "");
  platform::testing::ClearFaults();
  this_run = Snapshot(*db_, folder_.path());
  EXPECT_EQ(this_run.Results, new_set.Results);
  EXPECT_EQ(this_run.Files, std::vector<std::string>(4, "(none)"));
  EXPECT_TRUE(Exists("Data.dbf"));

  // Once the other copy has closed, the next start prepares the new table.
  ASSERT_EQ(Prepare(), "");
  EXPECT_TRUE(Snapshot(*db_, folder_.path()) == new_set);
  EXPECT_FALSE(Exists("Data.dbf"));
}

// The same with the files really mapped, as another copy maps them: each
// system refuses in its own way (or, on POSIX, not at all), and the run
// works all the same while the disk keeps a set that belongs together.
TEST_F(HeldFiles, FilesMappedByAnotherCopyNeverBreakAPreparation) {
  TPrepared old_set, new_set;
  ASSERT_NO_FATAL_FAILURE(PrepareAndDeliverAnother(old_set, new_set));

  {
    std::vector<platform::MappedMemory> other_copy;
    for (const char* name : {"data.bin", "index1.bin", "index2.bin", "index3.bin"}) {
      other_copy.push_back(MapFileToMemory(folder_ / name));
    }
    TProgramSettings always;
    always.AlwaysPrepareBase = true;
    ASSERT_EQ(Prepare(always), "");
    EXPECT_EQ(Snapshot(*db_, folder_.path()).Results, new_set.Results);
    db_.reset();
  }
  // The other copy has closed; the next start finds one set or the other.
  ASSERT_EQ(Prepare(), "");
  const TPrepared next = Snapshot(*db_, folder_.path());
  EXPECT_TRUE(next == old_set || next == new_set);
}

// Copies started together prepare one at a time: the later one waits,
// showing that it loads, and then loads what the first one made.
TEST_F(Preparation, ACopyWaitsWhileAnotherPreparesAndCanBeStoppedMeanwhile) {
  WriteTable();
  const auto lock_path = BuildFilePaths(folder_.path(), "Data.dbf").LockPath;
  platform::FileLock other_copy;
  ASSERT_EQ(platform::TryLockFile(lock_path, other_copy), platform::LockResult::kLocked);
  for (const bool close : {false, true}) {
    db_ = std::make_unique<TPhoneDatabase>();
    OpenDatabase(*db_, folder_.path());
    std::thread job([&] { PrepareDatabase(db_.get()); });
    while (db_->WaitText.Get().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(db_->WaitText.Get(), DefaultMessageTexts().MessLoadBIN);
    EXPECT_FALSE(Exists("data.bin"));
    (close ? db_->CloseRequested : db_->StopRequested) = true;
    job.join();  // ends quietly
  }
  EXPECT_FALSE(Exists("data.bin"));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other_copy.Release();
  });
  EXPECT_EQ(Prepare(), "");
  release.join();
  ASSERT_GE(stages_.size(), 2u);
  EXPECT_EQ(stages_[0], "Завантаження BIN - даних");
  EXPECT_EQ(stages_[1], "Завантаження DBF - даних");
  EXPECT_TRUE(Exists("index3.bin"));
}

TEST_F(Preparation, EveryStandardFailureFollowsTheCloseRequestRule) {
  WriteTable();
  const auto fail_at_sorting = [](TPhoneDatabase& db) {
    db.WaitText.OnChange = [](const std::string& text) {
      if (text == DefaultMessageTexts().MessSortData) throw std::bad_alloc();
    };
  };
  db_ = std::make_unique<TPhoneDatabase>();
  OpenDatabase(*db_, folder_.path());
  db_->Settings.NoDeleteBase = true;
  fail_at_sorting(*db_);
  TMainThreadQueue main_thread;
  EXPECT_EQ(main_thread.RunJob(PrepareDatabase, db_.get()),
            "Error in thread:\n\r " + std::string(std::bad_alloc().what()) + " ");
  // After the user chose to leave, the same failure ends the job quietly.
  db_->CloseRequested = true;
  EXPECT_EQ(main_thread.RunJob(PrepareDatabase, db_.get()), "");
  EXPECT_FALSE(Exists("index1.bin"));
}

TEST(FilePaths, AreBuiltInTheProgramFolder) {
  const TDataFilePaths paths = BuildFilePaths("dir", W1251("Абоненти.dbf"));
  EXPECT_EQ(paths.DbfPath, std::filesystem::path("dir") / std::filesystem::u8path("Абоненти.dbf"));
  EXPECT_EQ(paths.DataBinPath, std::filesystem::path("dir") / "data.bin");
  EXPECT_EQ(paths.IndexPaths[2], std::filesystem::path("dir") / "index3.bin");
  const std::filesystem::path in_folder = std::filesystem::path("dir") / "x.dbf";
  EXPECT_EQ(BuildFilePaths("dir", "\\x.dbf").DbfPath, in_folder);
  EXPECT_EQ(BuildFilePaths("dir", "/x.dbf").DbfPath, in_folder);
  EXPECT_EQ(BuildFilePaths("dir", "sub\\x.dbf").DbfPath, std::filesystem::path("dir") / "sub" / "x.dbf");
}

TEST_F(Preparation, ARootedOrAbsoluteTableNameNeverLeavesTheFolder) {
  // A table outside the program folder, named absolutely and from the root.
  TempFolder elsewhere;
  demo::WriteBytes(elsewhere / "x.dbf", table_);
  const std::string absolute = PathText1251(elsewhere / "x.dbf");
  std::string rooted = absolute;
  if (rooted.size() > 2 && rooted[1] == ':') rooted.erase(0, 2);  // "C:\..." to "\..."
  for (const std::string& name : {absolute, rooted}) {
    TProgramSettings settings;
    settings.BaseFileName = name;
    const std::string failure = Prepare(settings);
    EXPECT_NE(failure.find(W1251("Не знайдено файл бази даних: ")), std::string::npos) << failure;
    EXPECT_NE(failure.find(PathText1251(folder_.path())), std::string::npos) << failure;
  }
  EXPECT_TRUE(std::filesystem::exists(elsewhere / "x.dbf"));
  EXPECT_FALSE(Exists("data.bin"));
}

#ifndef _WIN32
// A table A is prepared; a table B is delivered and data.bin deleted. Whatever
// moment kills the preparation of B, the next start ends in exactly the files
// of an undisturbed preparation of B: never B's store with A's orders.
void CheckKillsAnywhereRecover(std::uint32_t records_of_b) {
  demo::TDemoOptions options;
  options.Records = 20000;
  const std::string table_a = demo::MakeDemoTable(options).Image();
  options.Records = records_of_b;
  options.Seed = 77;
  const std::string table_b = demo::MakeDemoTable(options).Image();
  const char* const kFiles[] = {"data.bin", "index1.bin", "index2.bin", "index3.bin"};
  const auto prepare = [](const std::filesystem::path& folder) {
    TPhoneDatabase db;
    OpenDatabase(db, folder);
    PrepareDatabase(&db);
  };

  TempFolder undisturbed;
  demo::WriteBytes(undisturbed / "Data.dbf", table_b);
  const auto start = std::chrono::steady_clock::now();
  prepare(undisturbed.path());
  const auto duration = std::chrono::steady_clock::now() - start;
  std::vector<std::string> expected;
  for (const char* name : kFiles) expected.push_back(ReadBytes(undisturbed / name));

  std::mt19937 random(2024);
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
  for (int kill_number = 0; kill_number < 16; ++kill_number) {
    TempFolder folder;
    demo::WriteBytes(folder / "Data.dbf", table_a);
    prepare(folder.path());
    demo::WriteBytes(folder / "Data.dbf", table_b);
    std::filesystem::remove(folder / "data.bin");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      prepare(folder.path());
      ::_exit(0);
    }
    // Moments spread over the whole run, a little past its end included.
    const auto moment = std::chrono::microseconds(random() % (span + span / 5 + 1));
    std::this_thread::sleep_for(moment);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);

    TPhoneDatabase next;
    OpenDatabase(next, folder.path());
    TMainThreadQueue main_thread;
    ASSERT_EQ(main_thread.RunJob(PrepareDatabase, &next), "") << "after a kill at " << moment.count() << " us";
    for (std::size_t f = 0; f < std::size(kFiles); ++f) {
      EXPECT_TRUE(ReadBytes(folder / kFiles[f]) == expected[f])
          << kFiles[f] << " differs after a kill at " << moment.count() << " us";
    }
    // Nothing the killed run was writing stays behind.
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "Data.dbf" || name == "data.lock" || name == "data.bin" || name.rfind("index", 0) == 0)
          << name << " left after a kill at " << moment.count() << " us";
    }
  }
}

TEST(CrashSafety, APreparationKilledAnywhereRecoversToTheNewTablesFiles) { CheckKillsAnywhereRecover(20000); }

TEST(CrashSafety, APreparationOfATableOfAnotherSizeKilledAnywhereRecovers) { CheckKillsAnywhereRecover(23000); }
#endif

}  // namespace
}  // namespace olvendrix
