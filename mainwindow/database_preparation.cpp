#include "database_preparation.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "format.h"
#include "platform/platform.h"

namespace olvendrix {
namespace {

// The name appended to the folder as text: a rooted or absolute name names
// something inside the folder (or nothing), never a file elsewhere.
std::filesystem::path InsideFolder(const std::filesystem::path& folder, const std::string& name1251) {
  std::string name = Cp1251ToUtf8(name1251);
  std::replace(name.begin(), name.end(), '\\', '/');
  const std::size_t start = name.find_first_not_of('/');
  std::filesystem::path path = folder;
  path /= "";
  path += std::filesystem::u8path(start == std::string::npos ? std::string() : name.substr(start));
  return path.make_preferred();
}

class Stopwatch {
 public:
  Stopwatch() : start_(platform::TickCount()) {}
  std::uint32_t Elapsed() const { return platform::TickCount() - start_; }

 private:
  std::uint32_t start_;
};

// Thrown between steps when the owner asked the job to stop, and while
// waiting for another copy when the user chose to leave.
struct StopRequestedSignal {};

void CheckStop(const TPhoneDatabase& db) {
  if (db.StopRequested) throw StopRequestedSignal{};
}

// Waits, polling, until no other copy prepares in the folder, then holds
// the lock until the job ends. A folder where the lock file can be neither
// made nor opened is one nobody can write: there is nothing to exclude.
platform::FileLock TakePreparationLock(TPhoneDatabase& db) {
  constexpr auto kPoll = std::chrono::milliseconds(100);
  platform::FileLock lock;
  bool waiting = false;
  while (platform::TryLockFile(db.Paths.LockPath, lock) == platform::LockResult::kBusy) {
    // What this copy does next is load what the other one makes.
    if (!waiting) db.WaitText.Set(db.Texts.MessLoadBIN);
    waiting = true;
    CheckStop(db);
    if (db.CloseRequested) throw StopRequestedSignal{};
    std::this_thread::sleep_for(kPoll);
  }
  return lock;
}

// Deletes the index files that exist; false when one of them stays (another
// process maps it, on Windows).
bool RemoveOrders(const TPhoneDatabase& db) {
  bool removed = true;
  for (const auto& path : db.Paths.IndexPaths) {
    removed = (!FileFound(path) || platform::RemoveFile(path)) && removed;
  }
  return removed;
}

// Converts the table; true when the new store took the place of data.bin.
// When the old files are held by another copy, the store stays in memory
// for this run and the files on disk stay as they were.
bool ConvertDbf(TPhoneDatabase& db) {
  TDBFConverter& converter = *db.Engine.Converter;
  if (!FileFound(db.Paths.DbfPath)) {
    throw EPhoneFormError(Format(db.Texts.ErrorFIndBase, {PathText1251(db.Paths.DbfPath)}));
  }
  db.WaitText.Set(db.Texts.MessLoadDBF);
  const Stopwatch load;
  converter.LoadFromFile(db.Paths.DbfPath);
  db.Durations.LoadBaseTime = load.Elapsed();
  CheckStop(db);
  db.WaitText.Set(db.Texts.MessConvertData);
  converter.ConvertToBin();
  // The old orders go before the new store arrives: beside it they would be
  // taken for its own. Until it arrives, the old store (or none) has no
  // orders, and the next start builds them.
  const bool stored = RemoveOrders(db) &&
                      TrySaveThroughTempFile(db.Paths.DataBinPath, converter.Data(), converter.Size());
  // data.bin is in place and flushed: from now on it is the only copy.
  // The table's view was released by the conversion, so it can be deleted.
  if (stored && !db.Settings.NoDeleteBase && !db.Settings.AlwaysPrepareBase) {
    platform::RemoveFile(db.Paths.DbfPath);
  }
  return stored;
}

void LoadBinaryStore(TPhoneDatabase& db) {
  TDBFConverter& converter = *db.Engine.Converter;
  db.WaitText.Set(db.Texts.MessLoadBIN);
  const Stopwatch load;
  converter.LoadFromFile(db.Paths.DataBinPath);
  db.Durations.LoadBaseTime = load.Elapsed();
  if (converter.FormatVersion() != kStoreFormatVersion) {
    throw EPhoneFormError(Format(db.Texts.ErrorVersion, {converter.FormatVersion()}));
  }
}

// Builds the three orders; saves them when `save`, unless another copy
// keeps the old files, when they stay in memory for this run.
void BuildIndexes(TPhoneDatabase& db, bool save) {
  auto& lists = db.Engine.IndexLists;
  std::uint32_t sort_start = 0;
  BuildSortOrders(*db.Engine.Converter, {lists[0].get(), lists[1].get(), lists[2].get()},
                  [&](TBuildStep step) {
                    CheckStop(db);
                    switch (step) {
                      case TBuildStep::kSort:
                        db.WaitText.Set(db.Texts.MessSortData);
                        sort_start = platform::TickCount();
                        break;
                      case TBuildStep::kInitFST:
                        db.Durations.SortTime = platform::TickCount() - sort_start;
                        db.WaitText.Set(db.Texts.MessMakeIndex);
                        break;
                      case TBuildStep::kMakeRanks:
                        db.WaitText.Set(db.Texts.MessSaveIndex);
                        break;
                    }
                  });
  CheckStop(db);
  db.WaitText.Set(db.Texts.MessSaveBIN);
  // Old orders that do not belong to the store go first, so that it is
  // never paired with a mix of its own orders and others.
  if (!save || !RemoveOrders(db)) return;
  for (int i = 0; i < 3; ++i) lists[i]->TrySaveToFile(db.Paths.IndexPaths[i]);
}

// Loads the three orders; false when they are not the store's own.
bool LoadIndexes(TPhoneDatabase& db) {
  db.WaitText.Set(db.Texts.MessLoadINDEX);
  auto& lists = db.Engine.IndexLists;
  const auto& paths = db.Paths.IndexPaths;
  LoadSortOrders({lists[0].get(), lists[1].get(), lists[2].get()}, {paths[0], paths[1], paths[2]});
  return std::all_of(lists.begin(), lists.end(), [](const auto& list) { return list->BelongsToStore(); });
}

// False when the stage failed after the user chose to leave: the failure is
// dropped and the job ends.
// Any standard failure counts, out of memory and thread errors included.
template <typename Stage>
bool RunStage(TPhoneDatabase& db, Stage&& stage) {
  try {
    stage();
    return true;
  } catch (const std::exception&) {
    if (!db.CloseRequested) throw;
    return false;
  }
}

// The converter, the three orders bound to it with their compare functions,
// and the search list given all four.
void CreateEngine(TEngine& engine) {
  engine.Converter = std::make_unique<TDBFConverter>();
  for (int i = 0; i < 3; ++i) {
    engine.IndexLists[i] = std::make_unique<TIndexList>();
    BindSortOrder(*engine.IndexLists[i], static_cast<std::uint8_t>(i), *engine.Converter);
  }
  engine.SearchList = std::make_unique<TSearchList>();
  engine.SearchList->Reader = engine.Converter.get();
  for (int i = 0; i < 3; ++i) engine.SearchList->IndexLists[i] = engine.IndexLists[i].get();
}

}  // namespace

TDataFilePaths BuildFilePaths(const std::filesystem::path& folder, const std::string& BaseFileName) {
  TDataFilePaths paths;
  paths.DbfPath = InsideFolder(folder, BaseFileName);
  paths.DataBinPath = folder / "data.bin";
  paths.LockPath = folder / "data.lock";
  paths.IndexPaths[0] = folder / "index1.bin";
  paths.IndexPaths[1] = folder / "index2.bin";
  paths.IndexPaths[2] = folder / "index3.bin";
  return paths;
}

void OpenDatabase(TPhoneDatabase& db, const std::filesystem::path& folder) {
  CreateEngine(db.Engine);
  db.Paths = BuildFilePaths(folder, db.Settings.BaseFileName);
}

void FreeEngine(TEngine& engine) {
  engine.Converter.reset();
  for (auto& list : engine.IndexLists) list.reset();
  engine.SearchList.reset();
}

void PrepareDatabase(void* database) {
  TPhoneDatabase& db = *static_cast<TPhoneDatabase*>(database);
  const bool always = db.Settings.AlwaysPrepareBase;
  try {
    // Released when the job ends, before any failure reaches the owner.
    const platform::FileLock lock = TakePreparationLock(db);
    // A copy killed while writing left them; no other copy writes now.
    const auto& orders = db.Paths.IndexPaths;
    RemoveLeftTempFiles({db.Paths.DataBinPath, orders[0], orders[1], orders[2]});
    bool converted = false;
    // False when the store of this run could not take the place of
    // data.bin: its orders then stay in memory too.
    bool store_on_disk = true;
    const bool data_ready = RunStage(db, [&] {
      converted = always || !FileFound(db.Paths.DataBinPath);
      if (converted) store_on_disk = ConvertDbf(db);
      else LoadBinaryStore(db);
    });
    // Orders over a store that failed to load would read nothing sound.
    if (!data_ready) return;
    CheckStop(db);
    RunStage(db, [&] {
      bool all_indexes = true;
      for (const auto& path : db.Paths.IndexPaths) all_indexes = all_indexes && FileFound(path);
      // Index files beside a freshly converted store belong to an earlier
      // table (the record count may agree while the orders do not), and so
      // do loaded ones that fail the store's check.
      if (converted || !all_indexes || !LoadIndexes(db)) BuildIndexes(db, store_on_disk);
    });
  } catch (const StopRequestedSignal&) {
    // The owner is leaving; what is written stays written.
  }
}

}  // namespace olvendrix
