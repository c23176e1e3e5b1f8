#include "rank_ranges.h"

#include <algorithm>

namespace olvendrix {
namespace {

// Byte `k` of the leading field of the record at `position`; 0 past its end.
struct LeadingBytes {
  const TSortList& list;
  const TDBFConverter& store;
  const std::uint32_t* positions;
  std::uint8_t At(std::int32_t position, std::size_t k) const {
    const std::string_view text = store.FieldText(store.RecordAddr(positions[position]), list.ListIndex);
    return k < text.size() ? static_cast<std::uint8_t>(text[k]) : 0;
  }
};

// The first position in [low, high) where `before` fails (it holds on a
// prefix of the range).
template <typename Before>
std::int32_t FirstNotBefore(std::int32_t low, std::int32_t high, const Before& before) {
  while (low < high) {
    const std::int32_t middle = low + (high - low) / 2;
    if (before(middle)) low = middle + 1; else high = middle;
  }
  return low;
}

// The part of `range` (equal in bytes before k, so ordered by byte k) whose
// byte k is c. Each look reads a record anywhere in the store, so the range
// is halved only until a position with byte c is met, as equal_range does;
// each end of the run is then sought between that position and what was
// seen beside it. A spelling that begins nothing costs one halving.
TRankRange Narrow(const LeadingBytes& bytes, TRankRange range, std::size_t k, std::uint8_t c) {
  std::int32_t low = range.First, high = range.Last + 1;
  while (low < high) {
    const std::int32_t middle = low + (high - low) / 2;
    const std::uint8_t byte = bytes.At(middle, k);
    if (byte < c) {
      low = middle + 1;
    } else if (byte > c) {
      high = middle;
    } else {
      const std::int32_t first = FirstNotBefore(low, middle, [&](std::int32_t p) { return bytes.At(p, k) < c; });
      const std::int32_t end = FirstNotBefore(middle + 1, high, [&](std::int32_t p) { return bytes.At(p, k) <= c; });
      return TRankRange{first, end - 1};
    }
  }
  return {};
}

// The raw bytes that count as `c`: one, or both cases of a letter.
int Spellings(std::uint8_t c, const TCaseTable* lower, const TCaseTable* upper, std::uint8_t (&out)[2]) {
  if (lower == nullptr) {
    out[0] = c;
    return 1;
  }
  out[0] = (*lower)[c];
  out[1] = (*upper)[c];
  return out[0] == out[1] ? 1 : 2;
}

}  // namespace

TRankRanges BeginningRanks(const TSortList& list, const TDBFConverter& store, std::string_view text,
                           const TCaseTable* lower, const TCaseTable* upper) {
  TRankRanges result;
  std::uint8_t spellings[2];
  const int first_count = Spellings(static_cast<std::uint8_t>(text[0]), lower, upper, spellings);
  std::copy(spellings, spellings + first_count, result.FirstBytes);
  result.FirstByteCount = first_count;
  for (int s = 0; s < first_count; ++s) {
    const TRankRange range = list.FirstCharRange(spellings[s]);
    if (range.Usable()) result.Ranges[result.Count++] = range;
  }
  if (result.Count == 0 || text.size() == 1) {
    result.Exact = true;
    return result;
  }
  const LeadingBytes bytes{list, store, list.PositionsStartingWith(spellings, first_count)};
  for (std::size_t k = 1; k < text.size(); ++k) {
    const int count = Spellings(static_cast<std::uint8_t>(text[k]), lower, upper, spellings);
    if (result.Count * count > TRankRanges::kMaxRanges) return result;
    TRankRanges narrower = result;  // the first bytes stay
    narrower.Count = 0;
    for (int r = 0; r < result.Count; ++r) {
      for (int s = 0; s < count; ++s) {
        const TRankRange range = Narrow(bytes, result.Ranges[r], k, spellings[s]);
        if (range.Usable()) narrower.Ranges[narrower.Count++] = range;
      }
    }
    result = narrower;
    if (result.Count == 0) break;
  }
  result.Exact = true;
  return result;
}

}  // namespace olvendrix
