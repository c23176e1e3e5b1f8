#include "rank_buckets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace olvendrix {
namespace {

// Feeds `accepted` records of a random order through both sides, as a
// two-part scan does, and returns how many Place writes, or -1 when it
// finds a shared rank.
struct Placement {
  std::vector<std::uint32_t> rank;
  TRankBuckets buckets;
  THelperThread helper;
  std::vector<std::int32_t> out;
  std::uint64_t counted = 0;  // by the last Place, whole or not

  explicit Placement(std::uint32_t records, unsigned seed) : rank(records), out(records, -7) {
    std::iota(rank.begin(), rank.end(), 0u);
    std::shuffle(rank.begin(), rank.end(), std::mt19937(seed));
    buckets.Allocate(records);
  }
  std::int64_t Place(const std::vector<std::uint32_t>& accepted, std::int32_t select,
                     std::int32_t& selected) {
    for (std::uint32_t r : accepted) {
      buckets.SideOf(r < rank.size() / 2 ? 1 : 0).Add(rank[r], r);
    }
    bool whole = true;
    counted = buckets.Place(out.data(), select, selected, helper, whole);
    return whole ? static_cast<std::int64_t>(counted) : -1;
  }
  std::vector<std::int32_t> Expected(std::vector<std::uint32_t> accepted) const {
    std::sort(accepted.begin(), accepted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return rank[a] < rank[b]; });
    return std::vector<std::int32_t>(accepted.begin(), accepted.end());
  }
};

TEST(RankBuckets, PlaceAnySubsetInRankOrderAndFindTheSelectedRecord) {
  // Three full buckets and a short one; each density takes its own path
  // (sorted, spread, and on two threads).
  const std::uint32_t records = 3 * TRankBuckets::kBucketRanks + 1234;
  Placement placement(records, 5);
  std::mt19937 random(11);
  for (const double density : {0.0, 0.0001, 0.03, 0.5, 1.0}) {
    std::vector<std::uint32_t> accepted;
    for (std::uint32_t r = 0; r < records; ++r) {
      if (std::uniform_real_distribution<>(0, 1)(random) < density) accepted.push_back(r);
    }
    const std::vector<std::int32_t> expected = placement.Expected(accepted);
    const std::int32_t select = expected.empty() ? 99 : expected[expected.size() / 3];
    std::int32_t selected = -5;
    ASSERT_EQ(placement.Place(accepted, select, selected), static_cast<std::int64_t>(expected.size()))
        << density;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), placement.out.begin())) << density;
    EXPECT_EQ(selected, expected.empty() ? -5 : static_cast<std::int32_t>(expected.size() / 3));
  }
}

TEST(RankBuckets, ASharedRankIsReportedAndLeavesNothingBehind) {
  const std::uint32_t records = 2 * TRankBuckets::kBucketRanks;
  for (const std::uint32_t accepted_count : {10u, records}) {  // sorted, then spread
    Placement placement(records, 3);
    std::vector<std::uint32_t> accepted(accepted_count);
    std::iota(accepted.begin(), accepted.end(), 0u);
    const std::vector<std::int32_t> expected = placement.Expected(accepted);
    std::vector<std::uint32_t> damaged_rank = placement.rank;
    std::swap(placement.rank, damaged_rank);
    placement.rank[accepted[1]] = placement.rank[accepted[0]];
    std::int32_t selected = -1;
    EXPECT_EQ(placement.Place(accepted, -1, selected), -1) << accepted_count;
    EXPECT_EQ(placement.counted, accepted_count);
    // The same buckets place a sound order correctly afterwards.
    std::swap(placement.rank, damaged_rank);
    ASSERT_EQ(placement.Place(accepted, -1, selected), accepted_count);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), placement.out.begin()));
  }
}

TEST(RankBuckets, ARankSharedByMoreRecordsThanItsBucketHoldsIsReported) {
  // The last bucket holds 100 ranks; every record claims one of them.
  const std::uint32_t records = TRankBuckets::kBucketRanks + 100;
  Placement placement(records, 4);
  std::vector<std::uint32_t> accepted(records);
  std::iota(accepted.begin(), accepted.end(), 0u);
  const std::vector<std::int32_t> expected = placement.Expected(accepted);
  const std::vector<std::uint32_t> sound = placement.rank;
  std::fill(placement.rank.begin(), placement.rank.end(), records - 1);
  std::int32_t selected = -1;
  EXPECT_EQ(placement.Place(accepted, -1, selected), -1);
  placement.rank = sound;
  ASSERT_EQ(placement.Place(accepted, -1, selected), records);
  EXPECT_EQ(placement.out, expected);
}

}  // namespace
}  // namespace olvendrix
