// Benchmarks of single searches over prepared directories of 1 000 000 and
// 10 000 000 records, and of what the window does with the results of the
// first: saving and copying.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "cp1251.h"
#include "search_list.h"
#include "bench_fixture.h"

namespace olvendrix::bench {
namespace {

// One directory at a time: a 10 000 000-record one needs its memory.
Directory& TheDirectory(std::uint32_t records = 1000000) {
  static std::unique_ptr<Directory> directory;
  if (!directory || directory->store.RecordCount() != records) {
    directory.reset();
    directory = std::make_unique<Directory>(records);
  }
  return *directory;
}

// One search: field texts in UTF-8 and the mode of each field.
void RunSearch(benchmark::State& state, std::uint32_t records, const std::vector<std::string>& texts,
               const TMatchModes& modes) {
  Directory& directory = TheDirectory(records);
  TSearchParams params;
  for (std::size_t i = 0; i < texts.size(); ++i) params.Texts[i].Assign(W1251(texts[i]));
  directory.search.Modes = modes;
  directory.search.CaseSensitive = false;
  for (auto _ : state) directory.search.Search(params);
  state.counters["results"] = directory.search.Count();
}

constexpr TMatchModes kBegins{};
const TMatchModes kNameContains{mtBegins, mtContains, mtBegins, mtBegins, mtBegins};
const TMatchModes kStreetContainsHouseEquals{mtBegins, mtBegins, mtContains, mtEquals, mtBegins};

void Repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

struct SearchCase {
  std::string name;
  std::vector<std::string> texts;
  TMatchModes modes;
};

// Every search over 1 000 000 records, then every one over 10 000 000, so
// that each directory is built once.
const bool kSearchesRegistered = [] {
  const SearchCase cases[] = {
      {"all_empty", {}, kBegins},
      {"name_begins_Shevch", {"", "Шевч"}, kBegins},
      {"name_contains_enko", {"", "енко"}, kNameContains},
      {"name_contains_none", {"", "жжжж"}, kNameContains},  // the scan alone
      {"street_contains_Shev_house_12", {"", "", "Шев", "12"}, kStreetContainsHouseEquals},
      {"number_begins_2", {"2"}, kBegins},
      {"name_first_letter_K", {"", "К"}, kBegins},  // a first-letter run in another order
      {"name_first_letter_none", {"", "Ы"}, kBegins},
  };
  for (const std::uint32_t records : {1000000u, 10000000u}) {
    for (const SearchCase& search : cases) {
      const std::string name = "RunSearch/" + search.name + "/" + std::to_string(records);
      Repeated(benchmark::RegisterBenchmark(name.c_str(), [records, search](benchmark::State& state) {
        RunSearch(state, records, search.texts, search.modes);
      }));
    }
  }
  return true;
}();

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
