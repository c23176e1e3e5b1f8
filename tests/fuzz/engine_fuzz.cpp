// libFuzzer target: arbitrary bytes as a table, as a store and as an index
// file, through loading, validation, conversion, sorting, index loading,
// searching and every result line. Every bad input must end in one of the
// program's own exceptions.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "dbf_converter.h"
#include "errors.h"
#include "index_list.h"
#include "search_list.h"
#include "demo_table.h"

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

// A few searches in every mode, with and without letter case, on texts cut
// from the input, then every result line and the saved file.
void ExerciseSearch(const TDBFConverter& store, TIndexList (&lists)[3], const std::string& input) {
  TSearchList search;
  search.Reader = &store;
  for (int i = 0; i < 3; ++i) search.IndexLists[i] = &lists[i];
  search.Allocate(static_cast<std::int32_t>(store.RecordCount()));
  for (int round = 0; round < 6; ++round) {
    search.CaseSensitive = round % 2 == 1;
    search.SetSortOrder(static_cast<std::uint8_t>(round % 3));
    TSearchParams params;
    for (int f = 0; f < 5; ++f) {
      search.Modes[f] = static_cast<TMatchMode>((round / 2 + f) % 4);  // 3: no condition
      const std::size_t start = (input.size() * (f + 1) * 7 / 41 + round) % (input.size() + 1);
      params.Texts[f].Assign(std::string_view(input).substr(start, (round + f) % 9));
    }
    search.Search(params);
    for (std::int32_t position = 0; position < search.Count(); ++position) search.GetLine(position);
  }
  search.SaveToFile(Folder() / "Phone.txt");
}

// Builds, saves and reloads the three orders of a loaded store, then searches.
void ExerciseOrders(const TDBFConverter& store, const std::string& input) {
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
  ExerciseSearch(store, lists, input);
}

void AsTable(const fs::path& file, const std::string& input) {
  TDBFConverter table;
  table.LoadFromFile(file);
  table.ConvertToBin();
  for (std::uint32_t r = 0; r < table.RecordCount(); ++r) {
    for (std::uint16_t f = 0; f < table.FieldCount(); ++f) {
      table.FieldText(table.RecordAddr(r), static_cast<std::uint16_t>(f));
    }
  }
  ExerciseOrders(table, input);
}

void AsStore(const fs::path& file, const std::string& input) {
  TDBFConverter store;
  store.LoadFromFile(file);
  if (store.FormatVersion() == 0) return;  // a table, not a store
  ExerciseOrders(store, input);
}

void AsIndex(const fs::path& file, const std::string&) {
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
void Expecting(F&& step, const fs::path& file, const std::string& input) {
  try {
    step(file, input);
  } catch (const olvendrix::Exception&) {
    // a refusal with the program's message is the expected outcome
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path file = Folder() / "input.bin";
  const std::string input(reinterpret_cast<const char*>(data), size);
  demo::WriteBytes(file, input);
  Expecting(AsTable, file, input);
  Expecting(AsStore, file, input);
  Expecting(AsIndex, file, input);
  return 0;
}
