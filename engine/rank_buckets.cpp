#include "rank_buckets.h"

#include <algorithm>
#include <cstring>

#include "errors.h"
#include "file_helpers.h"

namespace olvendrix {
namespace {

constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;     // never a record number
constexpr std::uint32_t kNoRecord = 0xFFFFFFFEu;  // neither a record number nor kEmpty
// A bucket with fewer entries than its room / kSparse is sorted, not spread.
constexpr std::uint32_t kSparse = 64;
// Below this many entries one thread places them all.
constexpr std::uint64_t kParallelPlaceEntries = 65536;
// Slots walked between two copies to the results.
constexpr std::uint32_t kWalkBatch = 32;

}  // namespace

void TRankBuckets::Allocate(std::uint32_t records) {
  entries_.Reset();
  records_ = 0;
  for (auto& filled : filled_) filled.clear();
  for (auto& scratch : scratch_) scratch.clear();
  if (records > 0) {
    // A search fills only the first and last slots of each bucket.
    entries_ = AllocateWorkRegion(8 * static_cast<std::uint64_t>(records), platform::RegionUse::kSparse);
    records_ = records;
    for (auto& filled : filled_) filled.assign(BucketCount(), 0);
  }
  for (int side = 0; side < 2; ++side) {
    sides_[side].entries_ = reinterpret_cast<std::uint64_t*>(entries_.Data());
    sides_[side].filled_ = filled_[side].data();
    sides_[side].records_ = records_;
    sides_[side].from_back_ = side == 1;
  }
}

std::uint64_t TRankBuckets::Place(std::int32_t* out, std::int32_t select_record,
                                  std::int32_t& selected, THelperThread& helper, bool& whole) {
  const std::uint32_t buckets = BucketCount();
  std::uint64_t total = 0;
  for (std::uint32_t b = 0; b < buckets; ++b) total += filled_[0][b] + filled_[1][b];
  std::int32_t found[2] = {-1, -1};
  bool placed[2] = {true, true};
  if (total < kParallelPlaceEntries) {
    placed[0] = PlaceBuckets(0, buckets, 0, out, scratch_[0], select_record, found[0]);
  } else {
    // Split where half the entries lie, so both threads place about as many.
    std::uint32_t split = 0;
    std::uint64_t before_split = 0;
    while (split < buckets && 2 * before_split < total) {
      before_split += filled_[0][split] + filled_[1][split];
      ++split;
    }
    helper.RunBeside(
        [&] {
          placed[0] = PlaceBuckets(split, buckets, static_cast<std::int64_t>(before_split), out,
                                   scratch_[0], select_record, found[0]);
        },
        [&] { placed[1] = PlaceBuckets(0, split, 0, out, scratch_[1], select_record, found[1]); });
  }
  for (auto& filled : filled_) std::fill(filled.begin(), filled.end(), 0);
  whole = placed[0] && placed[1];
  if (!whole) return total;
  for (const std::int32_t position : found) {
    if (position >= 0) selected = position;
  }
  return total;
}

bool TRankBuckets::PlaceBuckets(std::uint32_t first, std::uint32_t last, std::int64_t at,
                                std::int32_t* out, std::vector<std::uint32_t>& scratch,
                                std::int32_t select_record, std::int32_t& selected) {
  auto* entries = reinterpret_cast<std::uint64_t*>(entries_.Data());
  const auto put = [&](std::uint32_t record) {
    if (static_cast<std::int32_t>(record) == select_record) selected = static_cast<std::int32_t>(at);
    out[at++] = static_cast<std::int32_t>(record);
  };
  for (std::uint32_t b = first; b < last; ++b) {
    const std::uint32_t front = filled_[0][b];
    const std::uint32_t back = filled_[1][b];
    const std::uint32_t count = front + back;
    if (count == 0) continue;
    const std::uint32_t room = sides_[0].RoomOf(b);
    if (count > room) return false;
    std::uint64_t* bucket = entries + (static_cast<std::uint64_t>(b) << kBucketBits);
    if (count < room / kSparse) {
      // Few entries: sorting them is cheaper than walking the bucket.
      std::memmove(bucket + front, bucket + room - back, 8 * static_cast<std::size_t>(back));
      std::sort(bucket, bucket + count);
      for (std::uint32_t i = 0; i < count; ++i) {
        if (i > 0 && (bucket[i] >> 32) == (bucket[i - 1] >> 32)) return false;
        put(static_cast<std::uint32_t>(bucket[i]));
      }
      continue;
    }
    // Made on first need: most searches never spread a bucket.
    if (scratch.empty()) scratch.assign(std::min(records_, kBucketRanks), kEmpty);
    std::uint32_t* slots = scratch.data();
    bool shared = false;
    const auto spread = [&](const std::uint64_t* from, std::uint32_t n) {
      for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t& slot = slots[from[i] >> 32];
        shared |= slot != kEmpty;
        slot = static_cast<std::uint32_t>(from[i]);
      }
    };
    spread(bucket, front);
    spread(bucket + room - back, back);
    // Walk the slots without a branch on what they hold: each is copied to
    // the next free place of a small batch, which only a filled slot
    // advances, and left empty for the next bucket.
    std::uint32_t batch[kWalkBatch];
    const std::uint32_t wanted = select_record >= 0 ? static_cast<std::uint32_t>(select_record) : kNoRecord;
    std::int64_t selected_at = -1;
    for (std::uint32_t i = 0; i < room; i += kWalkBatch) {
      const std::uint32_t n = std::min(kWalkBatch, room - i);
      std::uint32_t kept = 0;
      for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t record = slots[i + k];
        slots[i + k] = kEmpty;
        batch[kept] = record;
        selected_at = record == wanted ? at + kept : selected_at;
        kept += record != kEmpty;
      }
      std::memcpy(out + at, batch, 4 * static_cast<std::size_t>(kept));
      at += kept;
    }
    if (selected_at >= 0) selected = static_cast<std::int32_t>(selected_at);
    if (shared) {
      // Leave no stale slot behind for the next search.
      std::fill(slots, slots + room, kEmpty);
      return false;
    }
  }
  return true;
}

}  // namespace olvendrix
