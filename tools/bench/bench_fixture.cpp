#include "bench_fixture.h"

#include <cstdlib>
#include <exception>
#include <map>
#include <string>

#include "demo_table.h"

namespace olvendrix::bench {

namespace fs = std::filesystem;

const char* const kIndexNames[3] = {"index1.bin", "index2.bin", "index3.bin"};

const fs::path& PreparedFolder(std::uint32_t records) {
  static std::map<std::uint32_t, fs::path> folders;
  auto found = folders.find(records);
  if (found != folders.end()) return found->second;
  // Kept between runs where OLVENDRIX_BENCH_CACHE names a folder: a large
  // directory takes minutes to make. The marker file is written last.
  const char* cache = std::getenv("OLVENDRIX_BENCH_CACHE");
  const fs::path root = cache != nullptr ? fs::path(cache) : fs::temp_directory_path();
  const fs::path folder = root / ("olvendrix-bench-" + std::to_string(records));
  const fs::path complete = folder / "complete";
  if (!fs::exists(complete)) {
    fs::create_directories(folder);
    demo::TDemoOptions options;
    options.Records = records;
    demo::MakeDemoTable(options).SaveTo(folder / "Data.dbf");
    TDBFConverter store;
    store.LoadFromFile(folder / "Data.dbf");
    store.ConvertToBin();
    store.SaveToFile(folder / "data.bin");
    demo::WriteBytes(complete, "");
  }
  return folders.emplace(records, folder).first->second;
}

Orders::Orders(const TDBFConverter& store) {
  for (int i = 0; i < 3; ++i) {
    lists[i].ListIndex = static_cast<std::uint8_t>(i);
    lists[i].SetDBFReader(&store);
    lists[i].SortCompare = kSortCompares[i];
  }
}

void Orders::Build(const TDBFConverter& store, const fs::path& folder) {
  BuildSortOrders(store, {&lists[0], &lists[1], &lists[2]});
  if (folder.empty()) return;
  for (int i = 0; i < 3; ++i) lists[i].SaveToFile(folder / kIndexNames[i]);
}

void Orders::Load(const fs::path& folder) {
  LoadSortOrders({&lists[0], &lists[1], &lists[2]},
                 {folder / kIndexNames[0], folder / kIndexNames[1], folder / kIndexNames[2]});
}

void Orders::LoadOrBuild(const TDBFConverter& store, const fs::path& folder) {
  try {
    Load(folder);
  } catch (const std::exception&) {
    Build(store, folder);
  }
}

Directory::Directory(std::uint32_t records) {
  const fs::path& folder = PreparedFolder(records);
  store.LoadFromFile(folder / "data.bin");
  orders.LoadOrBuild(store, folder);
  search.Reader = &store;
  for (int i = 0; i < 3; ++i) search.IndexLists[i] = &orders.lists[i];
  search.Allocate(static_cast<std::int32_t>(store.RecordCount()));
}

}  // namespace olvendrix::bench
