#include "mainwindow/database_preparation.h"

#include <algorithm>

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/file_helpers.h"
#include "engine/format.h"
#include "engine/platform/platform.h"

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

// Thrown between steps when the owner asked the job to stop.
struct StopRequestedSignal {};

void CheckStop(const TPhoneDatabase& db) {
  if (db.StopRequested) throw StopRequestedSignal{};
}

void ConvertDbf(TPhoneDatabase& db) {
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
  converter.SaveToFile(db.Paths.DataBinPath);
  // data.bin is written and flushed: from now on it is the only copy.
  // The table's view was released by the conversion, so it can be deleted.
  if (!db.Settings.NoDeleteBase && !db.Settings.AlwaysPrepareBase) {
    platform::RemoveFile(db.Paths.DbfPath);
  }
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

void BuildIndexes(TPhoneDatabase& db) {
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
  for (int i = 0; i < 3; ++i) lists[i]->SaveToFile(db.Paths.IndexPaths[i]);
}

void LoadIndexes(TPhoneDatabase& db) {
  db.WaitText.Set(db.Texts.MessLoadINDEX);
  auto& lists = db.Engine.IndexLists;
  const auto& paths = db.Paths.IndexPaths;
  LoadSortOrders({lists[0].get(), lists[1].get(), lists[2].get()}, {paths[0], paths[1], paths[2]});
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

}  // namespace

TDataFilePaths BuildFilePaths(const std::filesystem::path& folder, const std::string& BaseFileName) {
  TDataFilePaths paths;
  paths.DbfPath = InsideFolder(folder, BaseFileName);
  paths.DataBinPath = folder / "data.bin";
  paths.IndexPaths[0] = folder / "index1.bin";
  paths.IndexPaths[1] = folder / "index2.bin";
  paths.IndexPaths[2] = folder / "index3.bin";
  return paths;
}

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

void FreeEngine(TEngine& engine) {
  engine.Converter.reset();
  for (auto& list : engine.IndexLists) list.reset();
  engine.SearchList.reset();
}

void PrepareDatabase(void* database) {
  TPhoneDatabase& db = *static_cast<TPhoneDatabase*>(database);
  const bool always = db.Settings.AlwaysPrepareBase;
  try {
    bool converted = false;
    const bool data_ready = RunStage(db, [&] {
      converted = always || !FileFound(db.Paths.DataBinPath);
      if (converted) ConvertDbf(db);
      else LoadBinaryStore(db);
    });
    // Orders over a store that failed to load would read nothing sound.
    if (!data_ready) return;
    CheckStop(db);
    RunStage(db, [&] {
      bool all_indexes = true;
      for (const auto& path : db.Paths.IndexPaths) all_indexes = all_indexes && FileFound(path);
      // Index files beside a freshly converted store belong to an earlier
      // table: the record count may agree while the orders do not.
      if (converted || !all_indexes) BuildIndexes(db);
      else LoadIndexes(db);
    });
  } catch (const StopRequestedSignal&) {
    // The owner is leaving; what is written stays written.
  }
}

}  // namespace olvendrix
