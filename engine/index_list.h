// TSortList / TIndexList: one sort order of the store as a rank table and a
// first-character table, built once and saved, or loaded from its index file.
//
// Index file (no header, little-endian): Rank[r] for every record r as
// unsigned 32-bit, then FSTIndex[0..255] as signed 32-bit, the first position
// whose leading field starts with that byte or -1. Exactly 4 × R + 1024 bytes.
//
// The list does not own its reader. Built (Allocate, FillAddresses, Sort,
// InitFST, MakeRanks, SaveToFile) or loaded (LoadFromFile) on the preparation
// job's thread; afterwards only read, by the search job. No locking.
#pragma once

#include <cstdint>
#include <array>
#include <bitset>
#include <filesystem>
#include <functional>

#include "dbf_converter.h"
#include "platform/platform.h"
#include "sort_orders.h"

namespace olvendrix {

// A range of positions [First, Last]; empty as (0, -1).
struct TRankRange {
  std::int32_t First = 0;
  std::int32_t Last = -1;
  bool Usable() const { return Last != -1; }
};

class TSortList {
 public:
  TSortList() = default;
  TSortList(const TSortList&) = delete;
  TSortList& operator=(const TSortList&) = delete;
  virtual ~TSortList() = default;

  // Attaches the store whose records are ordered; null is ignored.
  void SetDBFReader(const TDBFConverter* reader);
  const TDBFConverter* DBFReader() const { return reader_; }

  // The order 0..2: selects the leading field.
  std::uint8_t ListIndex = 0;
  // The order's compare function, set by the owner.
  TSortCompare SortCompare = nullptr;

  // A zero-filled work region of 4 × R + 1024 bytes for the reader's R
  // records. Raises EIndexListError "DBFReader not assigned!" or the general
  // "Error map file in SWAP in allocate procedure!".
  void Allocate();
  // Entry i := record i (record numbers stand for record addresses).
  void FillAddresses();
  // Sorts the entries by the order's key words (KeyWord of ListIndex), which
  // agree with SortCompare; records equal in the whole key are ordered by
  // SortCompare. The same entries give the same order on every run. Raises
  // "SortCompare function not assigned!".
  void Sort();
  // Fills the first-character table from the sorted entries.
  // Raises "error init FST" or "FSTIndex count more than 255!".
  void InitFST();
  // Turns the sorted record numbers into Rank (the position of each record)
  // and keeps them as Positions().
  void MakeRanks();
  // Writes the table through a temporary file replaced in one step
  // (SaveThroughTempFile). Raises "not allocate memory" with no table.
  void SaveToFile(const std::filesystem::path& path) const;
  // The same, but returns false when another process keeps the old file
  // (TrySaveThroughTempFile): the table stays in memory only.
  bool TrySaveToFile(const std::filesystem::path& path) const;
  // Maps an index file in place of the region, after the store is loaded.
  // Raises EIndexListError "corrupt index file" when its size differs from
  // 4 × R + 1024, when Rank holds an entry not below R or differs from a
  // permutation of 0..R-1 in its sum or sum of squares, or when FSTIndex
  // holds an entry that is not -1 or a position below R rising with the byte.
  // One sequential pass: any changed entry or lost run shows in the sums.
  // Ranks made to agree in both without being a permutation still stay
  // below R, and every search over them stays within its arrays.
  void LoadFromFile(const std::filesystem::path& path);
  // A cheap test that the loaded order is the order of its store, not one
  // of another table that passes every check of LoadFromFile: for up to
  // 4096 records, in runs of 16 spread evenly over the store, the record's
  // rank must lie in the run of its leading byte. Orders of another table
  // fail it with overwhelming probability; it reads a few thousand records
  // on a few hundred pages of the store, at any size. True for an empty
  // order.
  bool BelongsToStore() const;

  // Positions of this order whose leading field starts with byte c.
  TRankRange FirstCharRange(std::uint8_t c) const;

  std::int32_t Count() const { return count_; }
  // Rank[r] once built or loaded; record numbers while building.
  const std::uint32_t* Items() const { return reinterpret_cast<const std::uint32_t*>(items_.Data()); }
  const std::int32_t* FSTIndex() const {
    return items_ ? reinterpret_cast<const std::int32_t*>(Items() + count_) : nullptr;
  }
  std::uint32_t Rank(std::uint32_t record) const { return Items()[record]; }
  // The record at each position (the inverse of Rank), made on first call
  // and kept until the table changes; each below R whatever the ranks.
  // Called by the search job only, once the table is built or loaded.
  // Raises the general allocation error.
  const std::uint32_t* Positions() const;
  // Writes the record at every position into `out` (Count() entries), as a
  // copy of Positions(). The first call on a fresh order, with nothing of
  // Positions() made yet, inverts the ranks straight into `out` instead: a
  // fresh process's first list of everybody comes sooner, and Positions()
  // is left to BuildPositionsStep or to the next call. A position no rank
  // names then keeps what `out` held. Search job only, like Positions().
  void CopyPositions(std::uint32_t* out) const;
  // The same for the positions whose leading field starts with one of the
  // `count` bytes (at most 2): entries at other positions are unspecified.
  // Until Positions() is made, one pass over the ranks fills the runs of
  // bytes not filled before, so that a single search in a fresh process
  // need not invert the whole order; the third such pass makes Positions()
  // instead. Search job only, like Positions().
  const std::uint32_t* PositionsStartingWith(const std::uint8_t* bytes, int count) const;
  // Makes Positions() in steps, while nobody waits for it: each call maps
  // the next pages of a region kept between calls (32 × `records` bytes:
  // the ranks land all over it, so the first step would otherwise meet every
  // page's first fault), and once all are in, inverts the ranks of up to
  // `records` more records into it, on this thread alone. Positions()
  // finishes from there instead of starting over. The call that completes it frees the runs made by
  // PositionsStartingWith. True once Positions() exists. A refused region
  // raises the general allocation error and changes nothing. Only while no
  // search uses the order (it may hold the runs).
  bool BuildPositionsStep(std::uint32_t records) const;

 private:
  std::uint32_t* WritableItems() const;
  const TDBFConverter& RequireReader(const char* message) const;
  std::uint64_t TableBytes() const;
  // Resets what Positions(), PositionsStartingWith() and
  // BuildPositionsStep() made.
  void ForgetPositions();
  // The whole positions' region, with the ranks of records below `built_`
  // inverted into it; made on first need.
  std::uint32_t* PositionsUnderWay() const;

  platform::MappedMemory items_;
  mutable platform::MappedMemory positions_;
  // Positions() while they are made in steps: records [0, built_) are in.
  mutable platform::MappedMemory building_;
  mutable std::uint64_t mapped_ = 0;  // bytes of building_ whose pages are in
  mutable std::uint32_t built_ = 0;
  // Positions of the runs of the first bytes in `filled_` only.
  mutable platform::MappedMemory some_positions_;
  mutable std::bitset<256> filled_;
  mutable int passes_ = 0;
  mutable bool listed_straight_ = false;  // by CopyPositions
  std::int32_t count_ = 0;
  const TDBFConverter* reader_ = nullptr;
};

class TIndexList : public TSortList {};

// Makes `list` the order `order` (0 by number, 1 by name, 2 by street) of
// `store`: its index, its reader and its compare function.
void BindSortOrder(TIndexList& list, std::uint8_t order, const TDBFConverter& store);

// Loads the three orders from their index files (LoadFromFile), the last on
// a second thread. Raises as LoadFromFile does: the first order's failure
// when several fail.
void LoadSortOrders(const std::array<TIndexList*, 3>& lists,
                    const std::array<std::filesystem::path, 3>& paths);

// The steps of building the orders that take time.
enum class TBuildStep { kSort, kInitFST, kMakeRanks };

// Builds the three orders of a loaded store: Allocate and FillAddresses for
// each, FieldOffsets, then Sort, InitFST and MakeRanks, each step for all
// three orders before the next. The sort step uses a second thread for the
// street order. `before_step` (when given) runs before each of those three
// steps, on the calling thread: progress texts, timing, stop requests.
// Raises as the steps do. Saving is the caller's.
void BuildSortOrders(const TDBFConverter& store, const std::array<TIndexList*, 3>& lists,
                     const std::function<void(TBuildStep)>& before_step = {});

}  // namespace olvendrix
