// TRankBuckets: puts the records a search accepts into the order of their
// ranks without writing at random over the whole result array, which on a
// large directory is far bigger than the cache.
//
// Ranks are below R and, unless the order is damaged, a permutation of
// 0..R-1. Each accepted record goes into the bucket of its rank
// (kBucketRanks consecutive ranks), so the scan writes a few hundred
// sequential streams; Place then orders every bucket within the cache and
// writes it to the results. A bucket never holds more records than it has
// ranks, so the two sides of a two-part scan share its room: side 0 fills it
// from the front, side 1 from the back. Shared ranks never write outside the
// room; Place reports them.
//
// Threads: while a scan runs, each side is fed by one thread (the two may be
// different); Place runs when no scan does. Owned by its search
// list.
#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

#include "helper_thread.h"
#include "platform/platform.h"

namespace olvendrix {

class TRankBuckets {
 public:
  static constexpr std::uint32_t kBucketBits = 16;
  static constexpr std::uint32_t kBucketRanks = 1u << kBucketBits;

  // One producer side of a scan.
  class Side {
   public:
    void Add(std::uint32_t rank, std::uint32_t record) {
      assert(rank < records_);
      const std::uint32_t bucket = rank >> kBucketBits;
      const std::uint64_t base = static_cast<std::uint64_t>(bucket) << kBucketBits;
      const std::uint32_t filled = filled_[bucket]++;
      const std::uint32_t room = RoomOf(bucket);
      // More than its room only from ranks that are shared: counted, for
      // Place to refuse, but not written.
      if (filled >= room) return;
      const std::uint64_t at = from_back_ ? base + room - 1 - filled : base + filled;
      entries_[at] = (static_cast<std::uint64_t>(rank & (kBucketRanks - 1)) << 32) | record;
    }

   private:
    friend class TRankBuckets;
    std::uint32_t RoomOf(std::uint32_t bucket) const {
      const std::uint64_t end = (static_cast<std::uint64_t>(bucket) + 1) << kBucketBits;
      return end <= records_ ? kBucketRanks : records_ - (bucket << kBucketBits);
    }
    std::uint64_t* entries_ = nullptr;
    std::uint32_t* filled_ = nullptr;
    std::uint32_t records_ = 0;
    bool from_back_ = false;
  };

  // Room for the records of a store of `records` (0 frees it). Raises the
  // general "Error map file in SWAP in allocate procedure!".
  void Allocate(std::uint32_t records);
  // Side 0 or 1, valid until the next Allocate.
  Side& SideOf(int side) { return sides_[side]; }

  // The entries' region: what a scan writes first, its pages ahead of the
  // scan's (FaultInForWriting while no scan runs).
  const platform::MappedMemory& Room() const { return entries_; }
  // Writes the records of every bucket to `out` in rank order and returns
  // how many were added, leaving every bucket empty for the next scan;
  // `selected` becomes the position of `select_record`, or stays.
  // `whole` becomes false when two records share a rank (a damaged order):
  // `out` then holds only part of them. Many entries are placed in two
  // halves, one on `helper`.
  std::uint64_t Place(std::int32_t* out, std::int32_t select_record, std::int32_t& selected,
                      THelperThread& helper, bool& whole);

 private:
  std::uint32_t BucketCount() const {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(records_) + kBucketRanks - 1) >>
                                      kBucketBits);
  }
  // Places buckets [first, last) from position `at` on; false on a shared rank.
  bool PlaceBuckets(std::uint32_t first, std::uint32_t last, std::int64_t at, std::int32_t* out,
                    std::vector<std::uint32_t>& scratch, std::int32_t select_record,
                    std::int32_t& selected);

  std::uint32_t records_ = 0;
  platform::MappedMemory entries_;
  std::vector<std::uint32_t> filled_[2];
  // Per placing thread, one bucket's slots, kept empty between buckets;
  // made on first need.
  std::vector<std::uint32_t> scratch_[2];
  Side sides_[2];
};

}  // namespace olvendrix
