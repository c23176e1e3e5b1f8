// Benchmarks of preparing and loading the directory: conversion, the three
// sort orders, and loading the prepared files. Run through
// tools/run-benchmarks (native Release); figures are medians of repetitions.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

#include "engine/dbf_converter.h"
#include "engine/index_list.h"
#include "tools/demo/demo_table.h"

namespace olvendrix {
namespace {

namespace fs = std::filesystem;

// A folder per record count holding Data.dbf and, once built, the prepared
// files; made on first use and kept for the whole run.
const fs::path& PreparedFolder(std::uint32_t records) {
  static std::map<std::uint32_t, fs::path> folders;
  auto found = folders.find(records);
  if (found != folders.end()) return found->second;
  const fs::path folder = fs::temp_directory_path() / ("olvendrix-bench-" + std::to_string(records));
  fs::create_directories(folder);
  demo::TDemoOptions options;
  options.Records = records;
  demo::MakeDemoTable(options).SaveTo(folder / "Data.dbf");
  TDBFConverter store;
  store.LoadFromFile(folder / "Data.dbf");
  store.ConvertToBin();
  store.SaveToFile(folder / "data.bin");
  return folders.emplace(records, folder).first->second;
}

struct Orders {
  TIndexList lists[3];
  explicit Orders(const TDBFConverter& store) {
    for (int i = 0; i < 3; ++i) {
      lists[i].ListIndex = static_cast<std::uint8_t>(i);
      lists[i].SetDBFReader(&store);
      lists[i].SortCompare = kSortCompares[i];
    }
  }
};

const char* const kIndexNames[3] = {"index1.bin", "index2.bin", "index3.bin"};

void BM_LoadConvertSave(benchmark::State& state) {
  const fs::path& folder = PreparedFolder(static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) {
    TDBFConverter store;
    store.LoadFromFile(folder / "Data.dbf");
    store.ConvertToBin();
    store.SaveToFile(folder / "data.bin");
  }
}

void BM_SortRanksSave(benchmark::State& state) {
  const fs::path& folder = PreparedFolder(static_cast<std::uint32_t>(state.range(0)));
  TDBFConverter store;
  store.LoadFromFile(folder / "data.bin");
  for (auto _ : state) {
    Orders orders(store);
    for (auto& list : orders.lists) {
      list.Allocate();
      list.FillAddresses();
    }
    FillFieldOffsets(store);
    for (auto& list : orders.lists) list.Sort();
    for (auto& list : orders.lists) list.InitFST();
    for (auto& list : orders.lists) list.MakeRanks();
    for (int i = 0; i < 3; ++i) orders.lists[i].SaveToFile(folder / kIndexNames[i]);
  }
}

void BM_SortOneOrder(benchmark::State& state) {
  const fs::path& folder = PreparedFolder(static_cast<std::uint32_t>(state.range(0)));
  const auto order = static_cast<int>(state.range(1));
  TDBFConverter store;
  store.LoadFromFile(folder / "data.bin");
  FillFieldOffsets(store);
  Orders orders(store);
  for (auto _ : state) {
    state.PauseTiming();
    orders.lists[order].Allocate();
    orders.lists[order].FillAddresses();
    state.ResumeTiming();
    orders.lists[order].Sort();
  }
}

void BM_LoadPrepared(benchmark::State& state) {
  const fs::path& folder = PreparedFolder(static_cast<std::uint32_t>(state.range(0)));
  {
    // Make sure the index files exist for this store.
    TDBFConverter store;
    store.LoadFromFile(folder / "data.bin");
    Orders orders(store);
    FillFieldOffsets(store);
    for (int i = 0; i < 3; ++i) {
      orders.lists[i].Allocate();
      orders.lists[i].FillAddresses();
      orders.lists[i].Sort();
      orders.lists[i].InitFST();
      orders.lists[i].MakeRanks();
      orders.lists[i].SaveToFile(folder / kIndexNames[i]);
    }
  }
  for (auto _ : state) {
    TDBFConverter store;
    store.LoadFromFile(folder / "data.bin");
    Orders orders(store);
    for (int i = 0; i < 3; ++i) orders.lists[i].LoadFromFile(folder / kIndexNames[i]);
    benchmark::DoNotOptimize(orders.lists[2].FirstCharRange(0xC2));
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_LoadConvertSave)->Apply(Sizes);
BENCHMARK(BM_SortRanksSave)->Apply(Sizes);
BENCHMARK(BM_SortOneOrder)
    ->ArgsProduct({{1000000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadPrepared)->Apply(Sizes);

}  // namespace
}  // namespace olvendrix

BENCHMARK_MAIN();
