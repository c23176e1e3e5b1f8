#include "search_list.h"

#include <algorithm>
#include <cstring>

#include "cp1251.h"
#include "errors.h"
#include "file_helpers.h"
#include "field_match.h"
#include "format.h"
#include "rank_ranges.h"

namespace olvendrix {
namespace {

constexpr int kSearchedFields = 5;
constexpr int kIndexedFields = 3;

bool IsBlank(char c) { return static_cast<std::uint8_t>(c) <= 0x20; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return TrimTrailingBlanks(text);
}

// The positions of one range-constrained field's order that may match.
struct RankFilter {
  const TSortList* list = nullptr;
  int count = 0;
  std::uint32_t first[TRankRanges::kMaxRanges] = {};
  std::uint32_t span[TRankRanges::kMaxRanges] = {};
  std::uint64_t positions = 0;  // in all ranges
  std::uint8_t first_bytes[2] = {};  // whose runs hold the ranges
  int first_byte_count = 0;

  RankFilter() = default;
  // The runs are kept in position order, so that walking them in turn walks
  // the order itself.
  RankFilter(const TSortList& order, const TRankRanges& ranks)
      : list(&order), count(ranks.Count), first_byte_count(ranks.FirstByteCount) {
    std::copy(ranks.FirstBytes, ranks.FirstBytes + first_byte_count, first_bytes);
    TRankRange sorted[TRankRanges::kMaxRanges];
    for (int i = 0; i < count; ++i) {  // a handful: insertion
      int j = i;
      for (; j > 0 && sorted[j - 1].First > ranks.Ranges[i].First; --j) sorted[j] = sorted[j - 1];
      sorted[j] = ranks.Ranges[i];
    }
    for (int i = 0; i < count; ++i) {
      first[i] = static_cast<std::uint32_t>(sorted[i].First);
      span[i] = static_cast<std::uint32_t>(sorted[i].Last - sorted[i].First);
      positions += span[i] + 1u;
    }
  }
  // The records at the positions of the ranges (and others). Not on two
  // threads at once: the first call may make them.
  const std::uint32_t* Positions() const {
    return list->PositionsStartingWith(first_bytes, first_byte_count);
  }
  bool Passes(std::uint32_t record) const {
    const std::uint32_t r = list->Items()[record];
    for (int i = 0; i < count; ++i) {
      if (r - first[i] <= span[i]) return true;
    }
    return false;
  }
};

// A filter this narrow is walked by its positions instead of scanning every
// record, when a record must still be read for another condition.
constexpr std::uint32_t kNarrowFilterShare = 8;
// With this share of the records matching, walking the sort order's
// positions costs less than putting each match into the buckets. A filter
// that decides alone is walked below this share: its walk reads no record.
constexpr std::uint32_t kDenseShare = 4;

// Below this, a second thread costs more than it saves.
constexpr std::uint32_t kParallelScanRecords = 65536;

bool TwoParts(std::uint64_t items) { return items >= kParallelScanRecords; }

const TCaseTable& IdentityTable() {
  static const TCaseTable table = [] {
    TCaseTable t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<std::uint8_t>(c);
    return t;
  }();
  return table;
}

}  // namespace

// One search's conditions, prepared once.
struct TSearchPlan {
  const TCaseTable* fold = nullptr;
  const std::uint8_t* store_end = nullptr;
  const TSortList* sort_list = nullptr;
  RankFilter filters[kIndexedFields];
  int filter_count = 0;
  const RankFilter* narrowest = nullptr;
  TFieldTest tests[kSearchedFields];
  int test_count = 0;
  // Every record, in the order's own sequence; only the narrowest filter's
  // runs; or one scan of the store.
  enum { kWholeOrder, kNarrow, kScan } way = kScan;
  // Whether record r passes every condition; `passed` (when given) is a
  // filter r is known to pass, not looked at again.
  bool Accepts(std::uint32_t r, const std::uint8_t* record, const RankFilter* passed = nullptr) const;
  // The narrowest filter is the only condition: its runs decide, and no
  // record needs to be read.
  bool NarrowestAlone() const { return filter_count == 1 && test_count == 0; }
  // Accepts for `count` (1 to 64) records in a row from r at `record`: bit i
  // for record r + i.
  std::uint64_t AcceptedInRow(std::uint32_t r, const std::uint8_t* record, std::size_t record_length,
                              unsigned count) const;
};

void TShortText::Assign(std::string_view text) {
  Length = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), sizeof Chars));
  std::memcpy(Chars, text.data(), Length);
}

bool operator==(const TSearchParams& a, const TSearchParams& b) {
  for (int i = 0; i < kSearchedFields; ++i) {
    if (a.Texts[i].View() != b.Texts[i].View()) return false;
  }
  return true;
}

void TSearchList::Allocate(std::int32_t n) {
  storage_.Reset();
  buckets_.Allocate(0);
  matched_.clear();
  capacity_ = 0;
  if (n <= 0) return;
  platform::MappedMemory storage = AllocateWorkRegion(4 * static_cast<std::uint64_t>(n));
  buckets_.Allocate(static_cast<std::uint32_t>(n));
  storage_ = std::move(storage);
  capacity_ = n;
}

bool TSearchList::PlanSearch(const TSearchParams& params, TSearchPlan& plan) const {
  const TSearchParams texts = params;
  const std::uint8_t order = sort_order_;
  if (order >= kIndexedFields || IndexLists[order] == nullptr) {
    throw ESearchListError(Format("%d list is not assigned", {order}));
  }
  const bool loaded = Reader != nullptr && Reader->Loaded();
  const std::uint32_t records = loaded ? Reader->RecordCount() : 0;
  if (!loaded || capacity_ < 0 || static_cast<std::uint32_t>(capacity_) != records) {
    throw ESearchListError(Format("Error DBF Reader Count %d", {records}));
  }
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  const TCaseTable& fold = CaseSensitive ? IdentityTable() : upper;

  bool any_usable_everywhere = true;
  for (int i = 0; i < kSearchedFields; ++i) {
    const TFieldDesc& field = Reader->Fields()[i];
    std::uint16_t offset = field.Offset;
    std::uint16_t max_length = field.Width > 0 ? field.Width - 1 : 0;
    std::string_view text = Trim(texts.Texts[i].View());
    const TMatchMode mode = Modes[i];
    if (i < kIndexedFields && (mode == mtBegins || mode == mtEquals) && !text.empty()) {
      if (IndexLists[i] == nullptr || IndexLists[i]->Count() != static_cast<std::int32_t>(records)) {
        throw ESearchListError(Format("%d list is not assigned", {i}));
      }
      const TRankRanges ranks = BeginningRanks(*IndexLists[i], *Reader, text,
                                               CaseSensitive ? nullptr : &lower, &upper);
      if (ranks.Count == 0) {
        any_usable_everywhere = false;
      } else {
        plan.filters[plan.filter_count++] = RankFilter(*IndexLists[i], ranks);
      }
      // Where the ranks hold exactly the records that begin with the text,
      // they decide the field alone.
      if (mode == mtBegins && ranks.Exact) continue;
      if (mode == mtBegins) {
        // The first byte is decided by the rank; compare from the second on.
        text.remove_prefix(1);
        ++offset;
        max_length = max_length > 0 ? max_length - 1 : 0;
      }
    }
    text = TrimTrailingBlanks(text);
    // A mode outside the three places no condition on its field.
    if (text.empty() || mode > mtEquals) continue;
    TFieldTest& test = plan.tests[plan.test_count++];
    test.Mode = mode;
    test.Offset = offset;
    test.MaxLength = max_length;
    test.SetText(text, fold, CaseSensitive ? nullptr : &lower);
  }
  if (IndexLists[order]->Count() != static_cast<std::int32_t>(records)) {
    throw ESearchListError(Format("%d list is not assigned", {order}));
  }

  if (!any_usable_everywhere || records == 0) return false;

  plan.fold = &fold;
  plan.store_end = Reader->Data() + Reader->Size();
  plan.sort_list = IndexLists[order];
  for (int f = 0; f < plan.filter_count; ++f) {
    const RankFilter& filter = plan.filters[f];
    if (plan.narrowest == nullptr || filter.positions < plan.narrowest->positions) plan.narrowest = &filter;
  }
  const std::uint64_t narrowest = plan.narrowest != nullptr ? plan.narrowest->positions : records;
  const bool alone = plan.NarrowestAlone();
  if (plan.filter_count == 0 && plan.test_count == 0) {
    plan.way = TSearchPlan::kWholeOrder;
  } else if ((alone && (plan.narrowest->list == plan.sort_list ||  // the runs are the results
                         narrowest < records / kDenseShare)) ||
             narrowest <= records / kNarrowFilterShare) {
    plan.way = TSearchPlan::kNarrow;
  } else {
    plan.way = TSearchPlan::kScan;
  }
  return true;
}

void TSearchList::Search(const TSearchParams& params) {
  TSearchPlan plan;
  const bool any = PlanSearch(params, plan);
  if (KeepSelection && SelIndex >= 0 && SelIndex < count_) SelRecord = items()[SelIndex];
  count_ = 0;
  if (!any) return;
  switch (plan.way) {
    case TSearchPlan::kWholeOrder: ListWholeOrder(plan); break;
    case TSearchPlan::kNarrow: VisitNarrow(plan); break;
    case TSearchPlan::kScan: ScanEvery(plan); break;
  }
}

std::int64_t TSearchList::CountMatches(const TSearchParams& params) {
  TSearchPlan plan;
  if (!PlanSearch(params, plan)) return 0;
  switch (plan.way) {
    case TSearchPlan::kWholeOrder: return capacity_;
    case TSearchPlan::kNarrow: {
      const std::uint64_t total = plan.narrowest->positions;
      const std::uint32_t* at = plan.narrowest->Positions();
      std::uint64_t found[2] = {0, 0};
      InTwoParts(total, total / 2, TwoParts(total), [&](std::uint64_t begin, std::uint64_t end, int part) {
        std::uint64_t count = 0;  // its own, never a cache line the other part writes
        WalkNarrowest(plan, at, begin, end - begin, nullptr, [&count](std::uint32_t) { ++count; });
        found[part] = count;
      });
      return static_cast<std::int64_t>(found[0] + found[1]);
    }
    case TSearchPlan::kScan: return static_cast<std::int64_t>(MarkMatches(plan));
  }
  return 0;
}

bool TSearchPlan::Accepts(std::uint32_t r, const std::uint8_t* record,
                          const RankFilter* passed) const {
  for (int f = 0; f < filter_count; ++f) {
    if (&filters[f] != passed && !filters[f].Passes(r)) return false;
  }
  for (int t = 0; t < test_count; ++t) {
    if (!Matches(tests[t], record, store_end, *fold)) return false;
  }
  return true;
}

std::uint64_t TSearchPlan::AcceptedInRow(std::uint32_t r, const std::uint8_t* record, std::size_t record_length,
                                         unsigned count) const {
  if (filter_count > 0) {
    // The filters are cheap and decide first; a test runs where they pass.
    std::uint64_t word = 0;
    for (unsigned i = 0; i < count; ++i, record += record_length) {
      word |= static_cast<std::uint64_t>(Accepts(r + i, record)) << i;
    }
    return word;
  }
  std::uint64_t word = ~std::uint64_t{0} >> (64 - count);
  for (int t = 0; t < test_count && word != 0; ++t) {
    word &= MatchesInRow(tests[t], record, record_length, count, store_end, *fold);
  }
  return word;
}

void TSearchList::ListWholeOrder(const TSearchPlan& plan) {
  // Every record, in the order's own sequence.
  // The result array only ever holds record numbers, so a position that a
  // damaged order leaves unnamed still lists a record.
  plan.sort_list->CopyPositions(reinterpret_cast<std::uint32_t*>(items()));
  count_ = capacity_;
  if (KeepSelection && SelRecord >= 0 && SelRecord < capacity_) {
    SelIndex = static_cast<std::int32_t>(plan.sort_list->Rank(static_cast<std::uint32_t>(SelRecord)));
  }
}

template <typename Keep>
void TSearchList::WalkNarrowest(const TSearchPlan& plan, const std::uint32_t* at, std::uint64_t skip,
                                std::uint64_t take, const std::uint32_t* ranks_ahead,
                                const Keep& keep) const {
  const RankFilter& narrowest = *plan.narrowest;
  const bool alone = plan.NarrowestAlone();
  for (int i = 0; i < narrowest.count && take > 0; ++i) {
    const std::uint64_t size = narrowest.span[i] + 1u;
    if (skip >= size) {
      skip -= size;
      continue;
    }
    const std::uint32_t begin = narrowest.first[i] + static_cast<std::uint32_t>(skip);
    const std::uint32_t end = begin + static_cast<std::uint32_t>(std::min(size - skip, take));
    take -= end - begin;
    skip = 0;
    for (std::uint32_t position = begin; position < end; ++position) {
      constexpr std::uint32_t kAhead = 16;  // the records lie anywhere in the store
      if (position + kAhead < end) {
        if (plan.test_count > 0) __builtin_prefetch(Reader->RecordAddr(at[position + kAhead]));
        if (ranks_ahead != nullptr) __builtin_prefetch(ranks_ahead + at[position + kAhead]);
      }
      const std::uint32_t r = at[position];
      if (alone || plan.Accepts(r, Reader->RecordAddr(r), &narrowest)) keep(r);
    }
  }
}

void TSearchList::VisitNarrow(const TSearchPlan& plan) {
  // Only the records at the filter's positions can match: visit those.
  const RankFilter& narrowest = *plan.narrowest;
  const std::uint64_t total = narrowest.positions;
  const std::uint32_t* at = narrowest.Positions();
  if (narrowest.list == plan.sort_list) {
    // The runs are of the sort order itself: their records, in turn, are
    // already sorted.
    std::int32_t* out = items();
    std::int32_t written = 0;
    WalkNarrowest(plan, at, 0, total, nullptr, [&](std::uint32_t r) {
      if (KeepSelection && static_cast<std::int32_t>(r) == SelRecord) SelIndex = written;
      out[written++] = static_cast<std::int32_t>(r);
    });
    count_ = written;
    return;
  }
  // Placed by rank; the first and second half at once when there are many.
  const std::uint32_t* sort_rank = plan.sort_list->Items();
  InTwoParts(total, total / 2, TwoParts(total), [&](std::uint64_t begin, std::uint64_t end, int part) {
    TRankBuckets::Side& side = buckets_.SideOf(part);
    WalkNarrowest(plan, at, begin, end - begin, sort_rank,
                  [&](std::uint32_t r) { side.Add(sort_rank[r], r); });
  });
  Expand();
}

std::uint64_t TSearchList::MarkMatches(const TSearchPlan& plan) {
  // One pass over the records marks the matches, the two halves at once on
  // a large store (split at a word of marks, so each writes its own).
  const std::uint32_t records = static_cast<std::uint32_t>(capacity_);
  // Made on first need: searches by runs alone never mark.
  if (matched_.empty()) matched_.resize((static_cast<std::size_t>(records) + 63) / 64);
  std::uint64_t* marks = matched_.data();
  const auto scan = [&](std::uint32_t begin, std::uint32_t end) {
    const std::uint16_t record_length = Reader->RecordLength();
    const std::uint8_t* record = Reader->RecordAddr(begin);
    std::uint64_t found = 0;
    for (std::uint32_t word_start = begin; word_start < end; word_start += 64) {
      const auto count = static_cast<unsigned>(std::min(end - word_start, 64u));
      const std::uint64_t word = plan.AcceptedInRow(word_start, record, record_length, count);
      record += static_cast<std::size_t>(count) * record_length;
      marks[word_start / 64] = word;
      found += static_cast<std::uint64_t>(__builtin_popcountll(word));
    }
    return found;
  };
  std::uint64_t found[2] = {0, 0};
  InTwoParts(records, ScanMiddle(), TwoParts(records), [&](std::uint64_t begin, std::uint64_t end, int part) {
    found[part] = scan(static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end));
  });
  return found[0] + found[1];
}

std::uint32_t TSearchList::ScanMiddle() const {
  return static_cast<std::uint32_t>(capacity_) / 2 / 64 * 64;
}

void TSearchList::InTwoParts(std::uint64_t total, std::uint64_t split, bool two,
                             const std::function<void(std::uint64_t, std::uint64_t, int)>& part) {
  if (!two) return part(0, total, 0);
  helper_.RunBeside([&] { part(split, total, 0); }, [&] { part(0, split, 1); });
}

void TSearchList::ScanEvery(const TSearchPlan& plan) {
  const std::uint32_t records = static_cast<std::uint32_t>(capacity_);
  const std::uint64_t found = MarkMatches(plan);
  if (found > 0 && found >= records / kDenseShare) {
    EmitMarkedInOrder(plan, found);
    return;
  }
  // Few matches: into the buckets by their ranks.
  const std::uint64_t* marks = matched_.data();
  const std::uint32_t* sort_rank = plan.sort_list->Items();
  const bool two = TwoParts(records) && found >= kParallelScanRecords;
  InTwoParts(records, ScanMiddle(), two, [&](std::uint64_t begin, std::uint64_t end, int part) {
    TRankBuckets::Side& side = buckets_.SideOf(part);
    for (std::uint64_t w = begin / 64; w < (end + 63) / 64; ++w) {
      for (std::uint64_t word = marks[w]; word != 0; word &= word - 1) {
        const auto r = static_cast<std::uint32_t>(w * 64 + static_cast<std::uint64_t>(__builtin_ctzll(word)));
        side.Add(sort_rank[r], r);
      }
    }
  });
  Expand();
}

void TSearchList::EmitMarkedInOrder(const TSearchPlan& plan, std::uint64_t found) {
  // Many matches: walk the order's positions and keep the marked records.
  // The first half is written forward from the start, the second backward
  // from the end, then moved up to follow the first.
  const std::uint32_t records = static_cast<std::uint32_t>(capacity_);
  const std::uint32_t* at = plan.sort_list->Positions();
  const std::uint64_t* marks = matched_.data();
  std::int32_t* out = items();
  const std::int32_t select = KeepSelection ? SelRecord : -1;
  std::int64_t selected[2] = {-1, -1};
  const auto marked = [&](std::uint32_t r) { return (marks[r / 64] >> (r % 64)) & 1; };
  const auto forward = [&](std::uint32_t begin, std::uint32_t end) {
    std::int64_t written = 0;
    for (std::uint32_t position = begin; position < end; ++position) {
      const std::uint32_t r = at[position];
      if (static_cast<std::int32_t>(r) == select && marked(r)) selected[0] = written;
      out[written] = static_cast<std::int32_t>(r);
      written += static_cast<std::int64_t>(marked(r));
    }
    return written;
  };
  const auto backward = [&](std::uint32_t begin, std::uint32_t end) {
    std::int64_t at_end = records;  // one past the next slot, from the back
    for (std::uint32_t position = end; position-- > begin;) {
      const std::uint32_t r = at[position];
      if (!marked(r)) continue;
      out[--at_end] = static_cast<std::int32_t>(r);
      if (static_cast<std::int32_t>(r) == select) selected[1] = at_end;
    }
    return static_cast<std::int64_t>(records) - at_end;
  };
  std::int64_t first = 0;
  std::int64_t second = 0;
  if (TwoParts(records)) {
    const std::uint32_t middle = records / 2;
    helper_.RunBeside([&] { first = forward(0, middle); }, [&] { second = backward(middle, records); });
    std::memmove(out + first, out + (records - second), 4 * static_cast<std::size_t>(second));
    if (selected[1] >= 0) selected[1] -= static_cast<std::int64_t>(records) - second - first;
  } else {
    first = forward(0, records);
  }
  count_ = static_cast<std::int32_t>(found);  // as counted, also when the order fails the check
  if (static_cast<std::uint64_t>(first + second) != found) {
    throw ESearchListError("Error check size in Expand procedure");
  }
  for (const std::int64_t position : selected) {
    if (position >= 0) SelIndex = static_cast<std::int32_t>(position);
  }
}

void TSearchList::Expand() {
  std::int32_t selected = SelIndex;
  bool whole = true;
  // As counted, also when two records share a rank.
  count_ = static_cast<std::int32_t>(
      buckets_.Place(items(), KeepSelection ? SelRecord : -1, selected, helper_, whole));
  if (!whole) throw ESearchListError("Error check size in Expand procedure");
  if (KeepSelection) SelIndex = selected;
}

namespace {
// Bytes [from, to) of a work region that starts at `offset` of the whole and
// holds `size` bytes.
void FaultInPart(std::uint8_t* data, std::uint64_t size, std::uint64_t offset, std::uint64_t from,
                 std::uint64_t to) {
  const std::uint64_t begin = std::max(from, offset);
  const std::uint64_t end = std::min(to, offset + size);
  if (begin < end) FaultInForWriting(data + (begin - offset), end - begin);
}
}  // namespace

std::uint64_t TSearchList::ShownBytes() const {
  return std::min(4 * static_cast<std::uint64_t>(count_), storage_.Size());
}

std::uint64_t TSearchList::WorkBytes() const {
  return buckets_.Room().Size() + (storage_.Size() - ShownBytes());
}

void TSearchList::FaultInWork(std::uint64_t from, std::uint64_t to) {
  // A search since the caller's last look may have shown more results and
  // left less work room than it asks for.
  if (to <= from) return;
  const platform::MappedMemory& room = buckets_.Room();
  const std::uint64_t shown = ShownBytes();
  const auto fault_in = [&](std::uint64_t begin, std::uint64_t end) {
    FaultInPart(room.Data(), room.Size(), 0, begin, end);
    FaultInPart(storage_.Data() + shown, storage_.Size() - shown, room.Size(), begin, end);
  };
  // On both threads: the second one's own first costs (its start, its stack)
  // are then met here too, not by the first search that places results.
  const std::uint64_t middle = from + (to - from) / 2;
  helper_.RunBeside([&] { fault_in(from, middle); }, [&] { fault_in(middle, to); });
}

std::int32_t TSearchList::GetItem(std::int32_t position) const {
  if (static_cast<std::uint32_t>(position) >= static_cast<std::uint32_t>(capacity_)) {
    throw ESearchListError(Format("index out of bound: %i", {position}));
  }
  return items()[position];
}

const std::uint8_t* TSearchList::GetRecAddr(std::int32_t position) const {
  if (position < 0 || position >= count_) {
    throw ESearchListError(Format("Index value^ %d is out of bound in GetREcAddr FUnc!", {position}));
  }
  return Reader->RecordAddr(static_cast<std::uint32_t>(GetItem(position)));
}

}  // namespace olvendrix
