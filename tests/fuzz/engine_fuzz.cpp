// libFuzzer target: arbitrary bytes as a table, as a store and as an index
// file, through loading, validation, conversion, sorting and index loading.
// Every bad input must end in one of the program's own exceptions.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/dbf_converter.h"
#include "engine/errors.h"
#include "engine/index_list.h"
#include "tools/demo/demo_table.h"

namespace {

using namespace olvendrix;
namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path f = fs::temp_directory_path() / ("olvendrix-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

// Builds, saves and reloads the three orders of a loaded store.
void ExerciseOrders(const TDBFConverter& store) {
  TIndexList lists[3];
  for (int i = 0; i < 3; ++i) {
    lists[i].ListIndex = static_cast<std::uint8_t>(i);
    lists[i].SetDBFReader(&store);
    lists[i].SortCompare = kSortCompares[i];
  }
  BuildSortOrders(store, {&lists[0], &lists[1], &lists[2]});
  for (int i = 0; i < 3; ++i) {
    lists[i].SaveToFile(Folder() / "index.bin");
    TIndexList loaded;
    loaded.SetDBFReader(&store);
    loaded.LoadFromFile(Folder() / "index.bin");
    for (int c = 0; c < 256; ++c) loaded.FirstCharRange(static_cast<std::uint8_t>(c));
  }
}

void AsTable(const fs::path& file) {
  TDBFConverter table;
  table.LoadFromFile(file);
  table.ConvertToBin();
  for (std::uint32_t r = 0; r < table.RecordCount(); ++r) {
    for (std::uint16_t f = 0; f < table.FieldCount(); ++f) {
      table.FieldText(table.RecordAddr(r), static_cast<std::uint16_t>(f));
    }
  }
  ExerciseOrders(table);
}

void AsStore(const fs::path& file) {
  TDBFConverter store;
  store.LoadFromFile(file);
  if (store.FormatVersion() == 0) return;  // a table, not a store
  ExerciseOrders(store);
}

void AsIndex(const fs::path& file) {
  static TDBFConverter* store = [] {
    demo::TDemoOptions options;
    options.Records = 3;
    demo::MakeDemoTable(options).SaveTo(Folder() / "seed.dbf");
    auto* s = new TDBFConverter;
    s->LoadFromFile(Folder() / "seed.dbf");
    s->ConvertToBin();
    return s;
  }();
  TIndexList list;
  list.SetDBFReader(store);
  list.LoadFromFile(file);
  for (int c = 0; c < 256; ++c) {
    const TRankRange range = list.FirstCharRange(static_cast<std::uint8_t>(c));
    for (std::int32_t p = range.First; p <= range.Last; ++p) {
      if (p < 0 || p >= list.Count()) __builtin_trap();
    }
  }
  for (std::uint32_t r = 0; r < store->RecordCount(); ++r) {
    if (list.Rank(r) >= store->RecordCount()) __builtin_trap();
  }
}

template <typename F>
void Expecting(F&& step, const fs::path& file) {
  try {
    step(file);
  } catch (const olvendrix::Exception&) {
    // a refusal with the program's message is the expected outcome
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path file = Folder() / "input.bin";
  demo::WriteBytes(file, std::string(reinterpret_cast<const char*>(data), size));
  Expecting(AsTable, file);
  Expecting(AsStore, file);
  Expecting(AsIndex, file);
  return 0;
}
