// TFieldTest: one field's condition of a search, prepared once per search,
// and the test of a store record against it.
//
// Texts are Windows-1251 bytes folded by the search's case table. The test
// reads only the field's own bytes up to its zero byte or its width; the
// caller names where the store ends so that the vector loads of "contains"
// never read past it. Pure functions over the store; safe on any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "cp1251.h"
#include "match_mode.h"

namespace olvendrix {

struct TFieldTest {
  TMatchMode Mode = mtBegins;
  std::uint16_t Offset = 0;     // of the compared bytes within the record
  std::uint16_t MaxLength = 0;  // of the value from Offset on
  std::uint8_t Length = 0;
  char Text[256] = {};          // folded
  // The two raw bytes that fold to each of the first kRawBytes text bytes
  // (the same byte twice where case does not matter), each repeated over a
  // vector's width.
  static constexpr int kRawBytes = 4;
  alignas(16) std::uint8_t Raw[kRawBytes][2][16] = {};

  // `text` (at most 255 bytes, not empty) folded by `fold`; `lower` gives the
  // other case of a letter (the only other byte `fold` maps to it) unless
  // the search is case-sensitive.
  void SetText(std::string_view text, const TCaseTable& fold, const TCaseTable* lower);
};

// The record's field passes the test. `store_end` is the end of the mapped
// store holding `record`.
bool Matches(const TFieldTest& test, const std::uint8_t* record, const std::uint8_t* store_end,
             const TCaseTable& fold);

// Matches for `count` (1 to 64) records in a row from `first`, each
// `record_length` bytes on: bit i is the answer for record i. Chooses the
// test's way once for all of them, so a scan pays no choice per record.
std::uint64_t MatchesInRow(const TFieldTest& test, const std::uint8_t* first, std::size_t record_length,
                           unsigned count, const std::uint8_t* store_end, const TCaseTable& fold);

}  // namespace olvendrix
