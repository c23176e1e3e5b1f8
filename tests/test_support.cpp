#include "test_support.h"

#include <array>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "cp1251.h"

namespace olvendrix::testing {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = std::filesystem::temp_directory_path() /
          ("olvendrix-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BuildOrders(const TDBFConverter& store, TIndexList (&lists)[3]) {
  for (int i = 0; i < 3; ++i) BindSortOrder(lists[i], static_cast<std::uint8_t>(i), store);
  BuildSortOrders(store, {&lists[0], &lists[1], &lists[2]});
}

TPreparedStore::TPreparedStore(const TempFolder& folder, const demo::TDbfTableWriter& table) {
  table.SaveTo(folder / "Data.dbf");
  Store.LoadFromFile(folder / "Data.dbf");
  Store.ConvertToBin();
  // As every later start has them: built once, saved, loaded back.
  TIndexList built[3];
  BuildOrders(Store, built);
  std::array<std::filesystem::path, 3> paths;
  for (int i = 0; i < 3; ++i) {
    paths[i] = folder / ("order" + std::to_string(i + 1) + ".bin");
    built[i].SaveToFile(paths[i]);
    BindSortOrder(Lists[i], static_cast<std::uint8_t>(i), Store);
  }
  LoadSortOrders({&Lists[0], &Lists[1], &Lists[2]}, paths);
  Search.Reader = &Store;
  for (int i = 0; i < 3; ++i) Search.IndexLists[i] = &Lists[i];
  Search.Allocate(static_cast<std::int32_t>(Store.RecordCount()));
}

demo::TDbfTableWriter StandardTable(const std::vector<std::vector<std::string>>& utf8_rows) {
  demo::TDbfTableWriter table(
      {{"NUMTEL", 7}, {"FIO", 40}, {"STREET", 30}, {"HOUSE", 7}, {"FLAT", 7}});
  for (const auto& row : utf8_rows) {
    std::vector<std::string> values;
    for (const auto& value : row) values.push_back(W1251(value));
    table.AddRecord(values);
  }
  return table;
}

}  // namespace olvendrix::testing
