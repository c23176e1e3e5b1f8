// Benchmarks of single searches over a prepared 1 000 000-record directory,
// and of what the window does with their results: saving and copying.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "engine/cp1251.h"
#include "engine/search_list.h"
#include "tools/bench/bench_fixture.h"

namespace olvendrix::bench {
namespace {

struct Directory {
  TDBFConverter store;
  Orders orders{store};
  TSearchList search;
  Directory() {
    store.LoadFromFile(PreparedFolder(1000000) / "data.bin");
    orders.Build(store);
    search.Reader = &store;
    for (int i = 0; i < 3; ++i) search.IndexLists[i] = &orders.lists[i];
    search.Allocate(static_cast<std::int32_t>(store.RecordCount()));
  }
};

Directory& TheDirectory() {
  static Directory directory;
  return directory;
}

// One search: field texts in UTF-8 and the mode of each field.
void RunSearch(benchmark::State& state, std::vector<std::string> texts, TMatchModes modes) {
  Directory& directory = TheDirectory();
  TSearchParams params;
  for (std::size_t i = 0; i < texts.size(); ++i) params.Texts[i].Assign(W1251(texts[i]));
  directory.search.Modes = modes;
  directory.search.CaseSensitive = false;
  for (auto _ : state) directory.search.Search(params);
  state.counters["results"] = directory.search.Count();
}

constexpr TMatchModes kBegins{};

void Repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

const TMatchModes kNameContains{mtBegins, mtContains, mtBegins, mtBegins, mtBegins};
const TMatchModes kStreetContainsHouseEquals{mtBegins, mtBegins, mtContains, mtEquals, mtBegins};

BENCHMARK_CAPTURE(RunSearch, all_empty, {}, kBegins)->Apply(Repeated);
BENCHMARK_CAPTURE(RunSearch, name_begins_Shevch, {"", "Шевч"}, kBegins)->Apply(Repeated);
BENCHMARK_CAPTURE(RunSearch, name_contains_enko, {"", "енко"}, kNameContains)->Apply(Repeated);
BENCHMARK_CAPTURE(RunSearch, street_contains_Shev_house_12, {"", "", "Шев", "12"},
                  kStreetContainsHouseEquals)
    ->Apply(Repeated);
BENCHMARK_CAPTURE(RunSearch, number_begins_2, {"2"}, kBegins)->Apply(Repeated);
BENCHMARK_CAPTURE(RunSearch, name_first_letter_none, {"", "Ы"}, kBegins)->Apply(Repeated);

// The whole save job of the window: every result line into a file, written
// through a ".tmp" file and flushed to disk.
void SaveAllResults(benchmark::State& state) {
  Directory& directory = TheDirectory();
  directory.search.Modes = kBegins;
  directory.search.Search(TSearchParams{});
  const std::filesystem::path file = PreparedFolder(1000000) / "Phone.txt";
  for (auto _ : state) directory.search.SaveToFile(file);
  state.counters["results"] = directory.search.Count();
  std::filesystem::remove(file);
}
BENCHMARK(SaveAllResults)->Apply(Repeated);

// Copy: one result line (the clipboard itself is the system's).
void CopyOneLine(benchmark::State& state) {
  Directory& directory = TheDirectory();
  directory.search.Search(TSearchParams{});
  for (auto _ : state) benchmark::DoNotOptimize(directory.search.GetLine(500000));
}
BENCHMARK(CopyOneLine)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace olvendrix::bench
