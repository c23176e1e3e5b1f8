// Benchmarks of preparing and loading the directory: conversion, the three
// sort orders, and loading the prepared files. Run through
// tools/run-benchmarks (native Release); figures are medians of repetitions.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "dbf_converter.h"
#include "index_list.h"
#include "bench_fixture.h"

namespace olvendrix::bench {
namespace {

namespace fs = std::filesystem;

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
    orders.Build(store, folder);
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
  const auto records = static_cast<std::uint32_t>(state.range(0));
  Directory{records};  // the index files exist from here on
  const fs::path& folder = PreparedFolder(records);
  for (auto _ : state) {
    TDBFConverter store;
    store.LoadFromFile(folder / "data.bin");
    Orders orders(store);
    orders.Load(folder);
    benchmark::DoNotOptimize(orders.lists[2].FirstCharRange(0xC2));
  }
}

// The engine's share of the window's start: the prepared files loaded and
// every subscriber listed in number order, from a fresh state each time.
void BM_LoadAndListAll(benchmark::State& state) {
  const auto records = static_cast<std::uint32_t>(state.range(0));
  Directory{records};  // the index files exist from here on
  for (auto _ : state) {
    Directory directory(records);
    directory.search.Search(TSearchParams{});
    benchmark::DoNotOptimize(directory.search.GetItem(directory.search.Count() - 1));
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
BENCHMARK(BM_LoadPrepared)->Apply(Sizes)->Arg(10000000);
BENCHMARK(BM_LoadAndListAll)->Apply(Sizes)->Arg(10000000);

}  // namespace
}  // namespace olvendrix::bench

BENCHMARK_MAIN();
