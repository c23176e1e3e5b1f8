// The positions of a sort order whose leading field begins with a text.
//
// An order is sorted by the bytes of its leading field, so the records that
// begin with a text lie in a few runs of positions: one per spelling where
// letter case does not count. Starting from the first-character table, each
// further byte of the text narrows every run by binary search over the
// order's positions. Search job only (it reads the order's positions).
#pragma once

#include <cstdint>
#include <string_view>

#include "cp1251.h"
#include "index_list.h"

namespace olvendrix {

struct TRankRanges {
  static constexpr int kMaxRanges = 8;
  TRankRange Ranges[kMaxRanges];
  int Count = 0;
  // The ranges hold exactly the records that begin with the text; when
  // false they also hold others (narrowing stopped at kMaxRanges runs).
  bool Exact = false;
  // The spellings of the text's first byte, whose runs hold the ranges:
  // what TSortList::PositionsStartingWith needs to walk them.
  std::uint8_t FirstBytes[2] = {};
  int FirstByteCount = 0;
};

// The runs of `list` whose leading field begins with `text` (not empty);
// `lower` gives each letter's other case, or is null for a case-sensitive
// search. `store` is the list's store.
TRankRanges BeginningRanks(const TSortList& list, const TDBFConverter& store, std::string_view text,
                           const TCaseTable* lower, const TCaseTable* upper);

}  // namespace olvendrix
