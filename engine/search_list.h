// TSearchList: the search engine and the holder of the current result.
//
// A search rejects records of the range-constrained fields by their rank in
// that field's order: the first-character table, narrowed by the rest of a
// begins-with text (TRankRanges). When one such field leaves few positions,
// only the records there are visited; otherwise every record of the store is
// scanned once and the matches are marked. The other fields are tested by
// their match modes. Many matches are then read off in the sort order's own
// sequence; few are put by their ranks (TRankBuckets). Either way the results
// come out sorted with no comparison sort.
//
// Threads: Search and SaveToFile run on a job thread, everything else on the
// main thread; the owner never lets both touch the list at once. The reader
// and the index lists are not owned. Errors raise ESearchListError (or the
// general Exception for storage and file failures).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dbf_converter.h"
#include "helper_thread.h"
#include "index_list.h"
#include "match_mode.h"
#include "olvendrix_version.h"
#include "platform/platform.h"
#include "rank_buckets.h"

namespace olvendrix {

// A length-prefixed text of at most 255 Windows-1251 bytes.
struct TShortText {
  std::uint8_t Length = 0;
  char Chars[255] = {};

  // Keeps the first 255 bytes of `text`.
  void Assign(std::string_view text);
  std::string_view View() const { return std::string_view(Chars, Length); }
};

// The five input texts of one search, untrimmed, in field order.
struct TSearchParams {
  TShortText Texts[5];
};
bool operator==(const TSearchParams& a, const TSearchParams& b);
inline bool operator!=(const TSearchParams& a, const TSearchParams& b) { return !(a == b); }

// The program's version, shown in the heading of saved results.
constexpr const char* kProgramVersion = OLVENDRIX_VERSION;

struct TSearchPlan;

class TSearchList {
 public:
  TSearchList() = default;
  TSearchList(const TSearchList&) = delete;
  TSearchList& operator=(const TSearchList&) = delete;

  bool CaseSensitive = false;
  const TDBFConverter* Reader = nullptr;
  TMatchModes Modes{};
  const TIndexList* IndexLists[3] = {};
  // Result position of the row to keep selected, and its record.
  std::int32_t SelIndex = 0;
  std::int32_t SelRecord = 0;
  // When set, searches move SelIndex to SelRecord's new position.
  bool KeepSelection = false;

  // Storage for n results (zero-filled, outside the heap); n = 0 frees it.
  // Raises "Error map file in SWAP in allocate procedure!".
  void Allocate(std::int32_t n);
  // Takes effect at the next Search.
  void SetSortOrder(std::uint8_t order) { sort_order_ = order; }
  std::uint8_t SortOrder() const { return sort_order_; }

  // One search; results are Count() record numbers in Items() in sort order.
  // Raises "%d list is not assigned" for a sort order without its list and
  // "Error DBF Reader Count %d" when the storage does not fit the store or
  // the reader holds no store, leaving the previous results; "Error check size in Expand procedure"
  // when two records share a rank, Count() then holding the number of
  // matches counted and Items() only part of them.
  void Search(const TSearchParams& params);
  // How many records Search would find, without listing them: the results,
  // Count and the selection stay as they were. Raises as Search does, but
  // never for shared ranks, which only the listing meets.
  std::int64_t CountMatches(const TSearchParams& params);

  std::int32_t Count() const { return count_; }
  std::int32_t Capacity() const { return capacity_; }
  const std::int32_t* Items() const { return items(); }
  // Items[position]; raises "index out of bound: %i" at or past Capacity.
  std::int32_t GetItem(std::int32_t position) const;
  // The record of a result; raises "Index value^ %d is out of bound in
  // GetREcAddr FUnc!" outside 0..Count-1.
  const std::uint8_t* GetRecAddr(std::int32_t position) const;

  // The work regions a search writes besides the results shown: the
  // buckets, then the result storage past Count(). FaultInWork maps the
  // pages of bytes [from, to) of them, in that order, without changing what
  // they hold, so that no search meets their first faults, on the search's
  // two threads. Only while no search runs; the results may be read
  // meanwhile.
  std::uint64_t WorkBytes() const;
  void FaultInWork(std::uint64_t from, std::uint64_t to);

  // One result as a text line: every field trimmed of trailing bytes
  // 0x00..0x20, each followed by one space, then CR LF.
  std::string GetLine(std::int32_t position) const;
  // Writes a heading line and every result line to `path`, through a ".tmp"
  // file replaced in one step. Raises the file helpers' errors.
  void SaveToFile(const std::filesystem::path& path) const;

 private:
  std::int32_t* items() const { return reinterpret_cast<std::int32_t*>(storage_.Data()); }
  // The bytes of the storage that hold the results shown.
  std::uint64_t ShownBytes() const;
  // Fills `plan` from the conditions; false when nothing can match. Raises
  // as Search does.
  bool PlanSearch(const TSearchParams& params, TSearchPlan& plan) const;
  // The ways of one search, by how many records its conditions leave.
  void ListWholeOrder(const TSearchPlan& plan);
  void VisitNarrow(const TSearchPlan& plan);
  void ScanEvery(const TSearchPlan& plan);
  // Hands each accepted record of positions [skip, skip + take) of the
  // narrowest filter's runs, in turn, to `keep`, fetching `ranks_ahead` (when
  // given) at each record ahead. `at` holds the records at those positions.
  template <typename Keep>
  void WalkNarrowest(const TSearchPlan& plan, const std::uint32_t* at, std::uint64_t skip,
                     std::uint64_t take, const std::uint32_t* ranks_ahead, const Keep& keep) const;
  // Marks every record that passes the plan in matched_; returns how many.
  std::uint64_t MarkMatches(const TSearchPlan& plan);
  // Where a two-part scan splits: at a word of marks.
  std::uint32_t ScanMiddle() const;
  // part(begin, end, part) over [0, total): when `two`, [split, total) as
  // part 0 on the helper thread beside [0, split) as part 1 here; else the
  // whole as part 0. Part 0 fills the buckets' front side, part 1 their back.
  void InTwoParts(std::uint64_t total, std::uint64_t split, bool two,
                  const std::function<void(std::uint64_t, std::uint64_t, int)>& part);
  void EmitMarkedInOrder(const TSearchPlan& plan, std::uint64_t found);
  // Writes what the scan put into the buckets to the results, in order.
  void Expand();
  // Appends a result line to `out` and returns the end of what it wrote.
  char* WriteLine(const std::uint8_t* record, char* out) const;

  std::uint8_t sort_order_ = 0;
  std::int32_t count_ = 0;
  std::int32_t capacity_ = 0;
  platform::MappedMemory storage_;
  TRankBuckets buckets_;
  std::vector<std::uint64_t> matched_;  // a bit per record, made and written by full scans
  THelperThread helper_;  // the second half of each scan and placing
};

// The heading of a saved result file, CR LF included.
std::string ResultHeading();

}  // namespace olvendrix
