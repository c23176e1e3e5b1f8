// Several lookups started together in one fresh folder, as scripts do.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <chrono>
#include <thread>

#include "database_preparation.h"
#include "test_support.h"
#include "demo_table.h"

extern char** environ;

namespace olvendrix::find {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

// Starts olvendrix-find with `args`, its standard output and error to files.
pid_t StartLookup(std::vector<std::string> args, const std::filesystem::path& out,
                  const std::filesystem::path& err) {
  args.insert(args.begin(), OLVENDRIX_FIND_EXE);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = -1;
  const int started = ::posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  return started == 0 ? child : -1;
}

// A new table is delivered beside the files of an old one, and lookups start
// one after another while the first still prepares. They prepare one at a
// time: none pairs the new store with the old orders, every one finds the
// same, and the folder ends with exactly the files of a single preparation.
TEST(FindProcesses, LookupsStartedTogetherOnANewTableAllSucceedAlike) {
  demo::TDemoOptions options;
  options.Records = 90000;
  const demo::TDbfTableWriter old_table = demo::MakeDemoTable(options);
  options.Records = 100000;
  options.Seed = 7;
  const demo::TDbfTableWriter table = demo::MakeDemoTable(options);
  const auto prepare = [](const std::filesystem::path& folder) {
    TPhoneDatabase db;
    OpenDatabase(db, folder);
    PrepareDatabase(&db);
  };
  TempFolder single;
  table.SaveTo(single / "Data.dbf");
  const auto start = std::chrono::steady_clock::now();
  prepare(single.path());
  const auto duration = std::chrono::steady_clock::now() - start;

  TempFolder folder, outputs;
  old_table.SaveTo(folder / "Data.dbf");
  prepare(folder.path());
  table.SaveTo(folder / "Data.dbf");
  std::filesystem::remove(folder / "data.bin");
  constexpr int kLookups = 6;
  pid_t lookups[kLookups];
  for (int i = 0; i < kLookups; ++i) {
    const std::string n = std::to_string(i);
    lookups[i] = StartLookup({"--dir", folder.path().string(), "--name", "Ко", "--count"}, outputs / ("out" + n),
                             outputs / ("err" + n));
    ASSERT_GT(lookups[i], 0);
    std::this_thread::sleep_for(duration / 4);
  }
  for (int i = 0; i < kLookups; ++i) {
    int status = -1;
    ASSERT_EQ(::waitpid(lookups[i], &status, 0), lookups[i]);
    const std::string n = std::to_string(i);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(outputs / ("err" + n));
    EXPECT_EQ(ReadBytes(outputs / ("out" + n)), ReadBytes(outputs / "out0"));
  }
  EXPECT_GT(std::stoi(ReadBytes(outputs / "out0")), 0);
  for (const char* name : {"data.bin", "index1.bin", "index2.bin", "index3.bin"}) {
    EXPECT_TRUE(ReadBytes(folder / name) == ReadBytes(single / name)) << name;
  }
}

}  // namespace
}  // namespace olvendrix::find
