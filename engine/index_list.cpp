#include "index_list.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "errors.h"
#include "file_helpers.h"
#include "helper_thread.h"

namespace olvendrix {
namespace {

constexpr int kFirstChars = 256;
constexpr std::uint64_t kFstBytes = 4 * kFirstChars;
// Below this, a second thread costs more than it saves.
constexpr std::uint32_t kParallelInvertRecords = 1u << 18;

// part(begin, end) over the records [0, records): the two halves on two
// threads when there are many.
void OverRecords(std::uint32_t records, const std::function<void(std::uint32_t, std::uint32_t)>& part) {
  if (records < kParallelInvertRecords) return part(0, records);
  RunBeside([&] { part(records / 2, records); }, [&] { part(0, records / 2); });
}

// at[rank[r]] := r for the records [begin, end). Only a damaged order makes
// two threads write one entry: relaxed stores keep even that defined, at the
// cost of plain ones.
void InvertRanks(const std::uint32_t* rank, std::uint32_t begin, std::uint32_t end, std::uint32_t* at) {
  for (std::uint32_t r = begin; r < end; ++r) __atomic_store_n(&at[rank[r]], r, __ATOMIC_RELAXED);
}

// at[p] := r for each record r in [begin, end) whose rank p lies in one of
// the two runs [first[i], first[i] + span[i]]. Four ranks are tested at once,
// the few in the runs then stored one by one (relaxed: only a damaged order
// makes two threads store one entry).
void FillRunPositions(const std::uint32_t* rank, std::uint32_t begin, std::uint32_t end,
                      std::array<std::uint32_t, 2> first, std::array<std::uint32_t, 2> span,
                      std::uint32_t* at) {
  // Unsigned compares, as signed ones of the values with the top bit flipped.
  const __m128i top = _mm_set1_epi32(static_cast<int>(0x80000000u));
  const auto lane = [](std::uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); };
  const __m128i first0 = lane(first[0]), first1 = lane(first[1]);
  const __m128i span0 = lane(span[0] ^ 0x80000000u), span1 = lane(span[1] ^ 0x80000000u);
  const auto store = [&](std::uint32_t r) {
    const std::uint32_t p = rank[r];
    if (p - first[0] <= span[0] || p - first[1] <= span[1]) __atomic_store_n(&at[p], r, __ATOMIC_RELAXED);
  };
  std::uint32_t r = begin;
  for (; r + 4 <= end; r += 4) {
    const __m128i ranks = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rank + r));
    const __m128i beyond0 = _mm_cmpgt_epi32(_mm_xor_si128(_mm_sub_epi32(ranks, first0), top), span0);
    const __m128i beyond1 = _mm_cmpgt_epi32(_mm_xor_si128(_mm_sub_epi32(ranks, first1), top), span1);
    if (_mm_movemask_epi8(_mm_and_si128(beyond0, beyond1)) == 0xFFFF) continue;
    for (std::uint32_t k = r; k < r + 4; ++k) store(k);
  }
  for (; r < end; ++r) store(r);
}

// A record with one word of its order's key.
struct KeyedRecord {
  std::uint64_t word;
  std::uint32_t record;
};

// Orders `run` (equal in the key's words before `word`) by the key's words
// from `word` on, one word at a time: only records that tie on a word are
// looked at again, so most comparisons are of integers, not texts. Records
// equal in the whole key are ordered by `compare`.
void SortByKeyFrom(KeyedRecord* begin, KeyedRecord* end, int order, int word, int words,
                   const TDBFConverter& reader, TSortCompare compare) {
  if (word == words) {
    std::sort(begin, end, [&](const KeyedRecord& a, const KeyedRecord& b) {
      return compare(reader.RecordAddr(a.record), reader.RecordAddr(b.record)) < 0;
    });
    return;
  }
  if (word > 0) {
    // The records of a run lie anywhere in the store: fetch ahead.
    constexpr std::ptrdiff_t kAhead = 16;
    for (KeyedRecord* r = begin; r != end; ++r) {
      if (end - r > kAhead) __builtin_prefetch(reader.RecordAddr(r[kAhead].record));
      r->word = KeyWord(order, reader.RecordAddr(r->record), word);
    }
  }
  std::sort(begin, end, [](const KeyedRecord& a, const KeyedRecord& b) { return a.word < b.word; });
  for (KeyedRecord* run = begin; run != end;) {
    KeyedRecord* run_end = run + 1;
    while (run_end != end && run_end->word == run->word) ++run_end;
    if (run_end - run > 1) SortByKeyFrom(run, run_end, order, word + 1, words, reader, compare);
    run = run_end;
  }
}

// The byte whose run of positions holds the record; 0 for an empty field.
std::uint8_t LeadingByte(const TDBFConverter& reader, std::uint32_t record, std::uint8_t field) {
  const std::string_view text = reader.FieldText(reader.RecordAddr(record), field);
  return text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
}

[[noreturn]] void RaiseCorrupt() { throw EIndexListError("corrupt index file"); }

// The sum and the sum of squares of 0..n-1, modulo 2^64 as the sums of the
// ranks wrap: n(n-1)/2 and (n-1)n(2n-1)/6, divided before multiplying.
std::pair<std::uint64_t, std::uint64_t> PermutationSums(std::uint64_t n) {
  if (n == 0) return {0, 0};
  std::uint64_t factors[3] = {n - 1, n, 2 * n - 1};
  const std::uint64_t sum = n % 2 == 0 ? n / 2 * (n - 1) : (n - 1) / 2 * n;
  for (const std::uint64_t divisor : {2, 3}) {
    for (std::uint64_t& factor : factors) {
      if (factor % divisor == 0) {
        factor /= divisor;
        break;
      }
    }
  }
  return {sum, factors[0] * factors[1] * factors[2]};
}

// One sequential pass instead of a bitmap walked at random: every rank below
// `count`, and their sum and sum of squares those of a permutation. Any one
// changed entry, and any lost, zeroed or copied run of them, shows in the
// sums; a file made to agree in both can still only hold ranks below
// `count`, which every reader of the ranks stays safe with.
void CheckIndexContent(const std::uint32_t* rank, std::uint32_t count) {
  std::uint32_t beyond = 0;
  std::uint64_t sum = 0;
  std::uint64_t squares = 0;
  for (std::uint32_t r = 0; r < count; ++r) {
    const std::uint32_t position = rank[r];
    beyond |= static_cast<std::uint32_t>(position >= count);
    sum += position;
    squares += static_cast<std::uint64_t>(position) * position;
  }
  if (beyond != 0 || std::make_pair(sum, squares) != PermutationSums(count)) RaiseCorrupt();
  const auto* fst = reinterpret_cast<const std::int32_t*>(rank + count);
  if (fst[0] != -1) RaiseCorrupt();
  std::int64_t previous = -1;
  for (int c = 1; c < kFirstChars; ++c) {
    if (fst[c] == -1) continue;
    if (fst[c] < 0 || static_cast<std::uint32_t>(fst[c]) >= count || fst[c] <= previous) {
      RaiseCorrupt();
    }
    previous = fst[c];
  }
}

}  // namespace

void TSortList::SetDBFReader(const TDBFConverter* reader) {
  if (reader != nullptr) reader_ = reader;
}

const TDBFConverter& TSortList::RequireReader(const char* message) const {
  if (reader_ == nullptr) throw EIndexListError(message);
  return *reader_;
}

std::uint32_t* TSortList::WritableItems() const {
  if (!items_ || !items_.Writable()) throw ESortListError("not allocate memory");
  return reinterpret_cast<std::uint32_t*>(items_.Data());
}

std::uint64_t TSortList::TableBytes() const {
  return 4 * static_cast<std::uint64_t>(count_) + kFstBytes;
}

void TSortList::Allocate() {
  const TDBFConverter& reader = RequireReader("DBFReader not assigned!");
  items_.Reset();
  ForgetPositions();
  count_ = 0;
  const std::uint32_t records = reader.RecordCount();
  items_ = AllocateWorkRegion(4 * static_cast<std::uint64_t>(records) + kFstBytes);
  count_ = static_cast<std::int32_t>(records);
}

void TSortList::FillAddresses() {
  std::uint32_t* items = WritableItems();
  RequireReader("DBFReader not assigned!");
  for (std::int32_t i = 0; i < count_; ++i) items[i] = static_cast<std::uint32_t>(i);
}

void TSortList::Sort() {
  if (SortCompare == nullptr) throw EIndexListError("SortCompare function not assigned!");
  std::uint32_t* items = WritableItems();
  const TDBFConverter& reader = RequireReader("DBFReader not assigned!");
  if (count_ < 2) return;
  platform::MappedMemory work = AllocateWorkRegion(sizeof(KeyedRecord) * static_cast<std::uint64_t>(count_));
  auto* keyed = reinterpret_cast<KeyedRecord*>(work.Data());
  // An order without a key of its own is sorted by its compare function alone.
  const int words = ListIndex < 3 ? KeyWordCount(ListIndex) : 0;
  for (std::int32_t j = 0; j < count_; ++j) {
    keyed[j] = {words > 0 ? KeyWord(ListIndex, reader.RecordAddr(items[j]), 0) : 0, items[j]};
  }
  SortByKeyFrom(keyed, keyed + count_, ListIndex, 0, words, reader, SortCompare);
  for (std::int32_t j = 0; j < count_; ++j) items[j] = keyed[j].record;
}

void TSortList::InitFST() {
  const TDBFConverter& reader = RequireReader("error init FST");
  std::uint32_t* items = WritableItems();
  auto* fst = reinterpret_cast<std::int32_t*>(items + count_);
  std::fill(fst, fst + kFirstChars, -1);
  std::uint8_t previous = 0;
  int distinct = 0;
  for (std::int32_t j = 0; j < count_; ++j) {
    const std::uint8_t c = LeadingByte(reader, items[j], ListIndex);
    if (c != previous) {
      fst[c] = j;
      ++distinct;
      previous = c;
    }
  }
  if (distinct > 255) throw EIndexListError("FSTIndex count more than 255!");
}

void TSortList::MakeRanks() {
  RequireReader("DBFReader not assigned!");
  std::uint32_t* items = WritableItems();
  if (count_ == 0) return;
  // The sorted record numbers are the order's positions: they stay, as
  // Positions(), and the ranks and the first-character table get a table
  // of their own.
  platform::MappedMemory table = AllocateWorkRegion(TableBytes());
  auto* rank = reinterpret_cast<std::uint32_t*>(table.Data());
  for (std::int32_t j = 0; j < count_; ++j) rank[items[j]] = static_cast<std::uint32_t>(j);
  std::memcpy(rank + count_, items + count_, kFstBytes);
  ForgetPositions();
  positions_ = std::move(items_);
  items_ = std::move(table);
}

void TSortList::ForgetPositions() {
  positions_.Reset();
  building_.Reset();
  mapped_ = 0;
  built_ = 0;
  some_positions_.Reset();
  filled_.reset();
  passes_ = 0;
  listed_straight_ = false;
}

const std::uint32_t* TSortList::PositionsStartingWith(const std::uint8_t* bytes, int count) const {
  constexpr int kPassesBeforeWhole = 2;
  if (positions_ || count_ == 0) return Positions();
  TRankRange runs[2];
  int missing = 0;
  for (int i = 0; i < count; ++i) {
    const TRankRange run = FirstCharRange(bytes[i]);
    if (!filled_[bytes[i]] && run.Usable()) runs[missing++] = run;
  }
  if (missing == 0) return reinterpret_cast<const std::uint32_t*>(some_positions_.Data());
  if (passes_ == kPassesBeforeWhole) {
    // The runs and their marks go together, and only once the whole
    // positions exist: a refused region leaves the runs filled so far usable.
    const std::uint32_t* whole = Positions();
    some_positions_.Reset();
    filled_.reset();
    return whole;
  }
  // Only the runs' pages are ever touched.
  if (!some_positions_) {
    some_positions_ =
        AllocateWorkRegion(4 * static_cast<std::uint64_t>(count_), platform::RegionUse::kSparse);
  }
  auto* at = reinterpret_cast<std::uint32_t*>(some_positions_.Data());
  const std::uint32_t* rank = Items();
  // With one run missing, it stands for both.
  const TRankRange& run0 = runs[0];
  const TRankRange& run1 = runs[missing - 1];
  const auto first0 = static_cast<std::uint32_t>(run0.First);
  const auto span0 = static_cast<std::uint32_t>(run0.Last - run0.First);
  const auto first1 = static_cast<std::uint32_t>(run1.First);
  const auto span1 = static_cast<std::uint32_t>(run1.Last - run1.First);
  OverRecords(static_cast<std::uint32_t>(count_), [=](std::uint32_t begin, std::uint32_t end) {
    FillRunPositions(rank, begin, end, {first0, first1}, {span0, span1}, at);
  });
  for (int i = 0; i < count; ++i) filled_[bytes[i]] = true;
  ++passes_;
  return at;
}

std::uint32_t* TSortList::PositionsUnderWay() const {
  // The region starts zero-filled, so a position no rank names still holds
  // a record.
  if (!building_) building_ = AllocateWorkRegion(4 * static_cast<std::uint64_t>(count_));
  return reinterpret_cast<std::uint32_t*>(building_.Data());
}

const std::uint32_t* TSortList::Positions() const {
  if (!positions_ && count_ > 0) {
    std::uint32_t* at = PositionsUnderWay();
    const std::uint32_t* rank = Items();
    const std::uint32_t from = built_;
    OverRecords(static_cast<std::uint32_t>(count_) - from, [=](std::uint32_t begin, std::uint32_t end) {
      InvertRanks(rank, from + begin, from + end, at);
    });
    positions_ = std::move(building_);
    built_ = 0;
    mapped_ = 0;
  }
  return reinterpret_cast<const std::uint32_t*>(positions_.Data());
}

void TSortList::CopyPositions(std::uint32_t* out) const {
  if (count_ == 0) return;
  if (positions_ || building_ || listed_straight_) {
    std::memcpy(out, Positions(), 4 * static_cast<std::size_t>(count_));
    return;
  }
  listed_straight_ = true;
  const std::uint32_t* rank = Items();
  OverRecords(static_cast<std::uint32_t>(count_),
              [=](std::uint32_t begin, std::uint32_t end) { InvertRanks(rank, begin, end, out); });
}

bool TSortList::BuildPositionsStep(std::uint32_t records) const {
  if (positions_ || count_ == 0) return true;
  std::uint32_t* at = PositionsUnderWay();
  if (mapped_ < building_.Size()) {
    const std::uint64_t end = std::min(mapped_ + 32 * static_cast<std::uint64_t>(records), building_.Size());
    FaultInForWriting(building_.Data() + mapped_, end - mapped_);
    mapped_ = end;
    return false;
  }
  const auto end = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(built_) + records, static_cast<std::uint64_t>(count_)));
  InvertRanks(Items(), built_, end, at);
  built_ = end;
  if (built_ < static_cast<std::uint32_t>(count_)) return false;
  positions_ = std::move(building_);
  built_ = 0;
  mapped_ = 0;
  // No search holds the runs now, and the whole positions serve them all.
  some_positions_.Reset();
  filled_.reset();
  return true;
}

void TSortList::SaveToFile(const std::filesystem::path& path) const {
  if (!items_) throw ESortListError("not allocate memory");
  SaveThroughTempFile(path, items_.Data(), TableBytes());
}

bool TSortList::TrySaveToFile(const std::filesystem::path& path) const {
  if (!items_) throw ESortListError("not allocate memory");
  return TrySaveThroughTempFile(path, items_.Data(), TableBytes());
}

void TSortList::LoadFromFile(const std::filesystem::path& path) {
  const TDBFConverter& reader = RequireReader("DBFReader not assigned!");
  platform::MappedMemory view = MapFileToMemory(path);
  items_.Reset();
  ForgetPositions();
  count_ = static_cast<std::int32_t>(reader.RecordCount());
  if (view.Size() != TableBytes()) RaiseCorrupt();
  CheckIndexContent(reinterpret_cast<const std::uint32_t*>(view.Data()), reader.RecordCount());
  items_ = std::move(view);
}

bool TSortList::BelongsToStore() const {
  constexpr std::uint64_t kSamples = 4096;
  const TDBFConverter& reader = RequireReader("DBFReader not assigned!");
  const std::int32_t* fst = FSTIndex();
  if (fst == nullptr || count_ == 0) return count_ == 0;
  // run_end[c]: where the run of byte c ends, the next used byte's first
  // position. Empty fields sort first, before every used byte (fst[0] is -1).
  std::array<std::int32_t, kFirstChars> run_end;
  std::int32_t next = count_;
  for (int c = kFirstChars - 1; c >= 0; --c) {
    run_end[c] = next;
    if (fst[c] != -1) next = fst[c];
  }
  const std::int32_t first_used = next;
  const std::uint32_t* rank = Items();
  const std::uint64_t records = static_cast<std::uint64_t>(count_);
  // The samples come in runs of consecutive records spread evenly, so that
  // a fresh process faults in few of the store's pages for them.
  constexpr std::uint64_t kRunLength = 16;
  const std::uint64_t samples = std::min(records, kSamples);
  const std::uint64_t runs = (samples + kRunLength - 1) / kRunLength;
  for (std::uint64_t i = 0; i < samples; ++i) {
    const auto record =
        static_cast<std::uint32_t>(std::min(records - 1, i / kRunLength * records / runs + i % kRunLength));
    const std::uint8_t c = LeadingByte(reader, record, ListIndex);
    const std::int64_t begin = c == 0 ? 0 : fst[c];
    const std::int64_t end = c == 0 ? first_used : run_end[c];
    const std::int64_t position = rank[record];
    if (begin == -1 || position < begin || position >= end) return false;
  }
  return true;
}

TRankRange TSortList::FirstCharRange(std::uint8_t c) const {
  const std::int32_t* fst = FSTIndex();
  if (fst == nullptr || fst[c] == -1) return {};
  TRankRange range{fst[c], count_ - 1};
  for (int next = c + 1; next < kFirstChars; ++next) {
    if (fst[next] != -1) {
      range.Last = fst[next] - 1;
      break;
    }
  }
  return range;
}

void BindSortOrder(TIndexList& list, std::uint8_t order, const TDBFConverter& store) {
  list.ListIndex = order;
  list.SetDBFReader(&store);
  list.SortCompare = kSortCompares[order];
}

void LoadSortOrders(const std::array<TIndexList*, 3>& lists,
                    const std::array<std::filesystem::path, 3>& paths) {
  RunBeside([&] { lists[0]->LoadFromFile(paths[0]); lists[1]->LoadFromFile(paths[1]); },
            [&] { lists[2]->LoadFromFile(paths[2]); });
}

void BuildSortOrders(const TDBFConverter& store, const std::array<TIndexList*, 3>& lists,
                     const std::function<void(TBuildStep)>& before_step) {
  for (TIndexList* list : lists) {
    list->Allocate();
    list->FillAddresses();
  }
  FillFieldOffsets(store);
  const auto step = [&](TBuildStep next, void (TSortList::*operation)()) {
    if (before_step) before_step(next);
    for (TIndexList* list : lists) (list->*operation)();
  };
  // The orders sort independently, each the same on every run: the last
  // (the street order, the longest) on a second core, the other two here.
  if (before_step) before_step(TBuildStep::kSort);
  RunBeside([&] { lists[0]->Sort(); lists[1]->Sort(); }, [&] { lists[2]->Sort(); });
  // InitFST reads the sorted record numbers, so it must come before MakeRanks.
  step(TBuildStep::kInitFST, &TSortList::InitFST);
  step(TBuildStep::kMakeRanks, &TSortList::MakeRanks);
}

}  // namespace olvendrix
