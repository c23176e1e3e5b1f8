#include "mainwindow/database_preparation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/cp1251.h"
#include "engine/exec_thread.h"
#include "engine/main_thread_queue.h"
#include "tests/test_support.h"
#include "tools/demo/demo_table.h"

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
  std::string Prepare(const TProgramSettings& settings = {}) {
    db_ = std::make_unique<TPhoneDatabase>();
    CreateEngine(db_->Engine);
    db_->Settings = settings;
    db_->Paths = BuildFilePaths(folder_.path(), settings.BaseFileName);
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
  CreateEngine(db_->Engine);
  db_->Paths = BuildFilePaths(folder_.path(), "Data.dbf");
  db_->CloseRequested = true;
  EXPECT_NO_THROW(PrepareDatabase(db_.get()));

  WriteTable();
  db_->StopRequested = true;
  EXPECT_NO_THROW(PrepareDatabase(db_.get()));
  EXPECT_FALSE(Exists("index1.bin"));  // stopped before the orders
}

TEST(FilePaths, AreBuiltInTheProgramFolder) {
  const TDataFilePaths paths = BuildFilePaths("dir", W1251("Абоненти.dbf"));
  EXPECT_EQ(paths.DbfPath, std::filesystem::path("dir") / std::filesystem::u8path("Абоненти.dbf"));
  EXPECT_EQ(paths.DataBinPath, std::filesystem::path("dir") / "data.bin");
  EXPECT_EQ(paths.IndexPaths[2], std::filesystem::path("dir") / "index3.bin");
}

}  // namespace
}  // namespace olvendrix
