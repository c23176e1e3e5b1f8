// Shared set-up of the benchmarks: demo directories prepared once per run.
#pragma once

#include <cstdint>
#include <filesystem>

#include "dbf_converter.h"
#include "index_list.h"
#include "search_list.h"

namespace olvendrix::bench {

// A folder holding Data.dbf and data.bin of `records` demo subscribers,
// made on first use and kept for the whole run, and for later runs too under
// the folder that OLVENDRIX_BENCH_CACHE names.
const std::filesystem::path& PreparedFolder(std::uint32_t records);

// The three orders of a store, wired but not built.
struct Orders {
  TIndexList lists[3];
  explicit Orders(const TDBFConverter& store);
  // Builds all three as preparation does, saving them into `folder` when given.
  void Build(const TDBFConverter& store, const std::filesystem::path& folder = {});
  // Loads the saved orders of `folder` as preparation does; raises as it does.
  void Load(const std::filesystem::path& folder);
  // Loads the saved orders of `folder`, or builds and saves them.
  void LoadOrBuild(const TDBFConverter& store, const std::filesystem::path& folder);
};

// A prepared directory loaded as the program loads it: the store, its three
// orders (built and saved first where their files are missing) and a search
// list over them with room for every record.
struct Directory {
  TDBFConverter store;
  Orders orders{store};
  TSearchList search;
  explicit Directory(std::uint32_t records);
};

extern const char* const kIndexNames[3];

}  // namespace olvendrix::bench
