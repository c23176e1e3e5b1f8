// A realistic demo subscriber table: Ukrainian names, streets, houses and
// apartments, Windows-1251. Deterministic for a seed on every platform.
#pragma once

#include <cstdint>
#include <filesystem>

#include "dbf_writer.h"

namespace olvendrix::demo {

struct TDemoOptions {
  std::uint32_t Records = 100000;
  std::uint64_t Seed = 1;
  int ExtraColumns = 0;  // further character columns after the five
  std::uint8_t Widths[5] = {7, 40, 30, 7, 7};
};

TDbfTableWriter MakeDemoTable(const TDemoOptions& options);

}  // namespace olvendrix::demo
