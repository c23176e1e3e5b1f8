#include "warm_up.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {
namespace {

using testing::MessageOf;
using testing::TempFolder;
using testing::TPreparedStore;

TSearchParams Name(const std::string& utf8) {
  TSearchParams params;
  params.Texts[1].Assign(W1251(utf8));
  return params;
}

std::vector<std::int32_t> Results(const TSearchList& search) {
  return std::vector<std::int32_t>(search.Items(), search.Items() + search.Count());
}

// A refused region costs the step nothing but a retry; the steps then make
// every order's whole positions (no region is needed for them afterwards),
// leave the results shown as they were, and later searches find what a
// store without a warm-up finds.
TEST(WarmUp, MakesTheWholePositionsAndChangesNoResult) {
  TempFolder folder;
  demo::TDemoOptions options;
  options.Records = 3000;
  TPreparedStore warmed(folder, demo::MakeDemoTable(options));
  TSearchList& search = warmed.Search;
  search.Search(Name("К"));
  const std::vector<std::int32_t> shown = Results(search);
  ASSERT_FALSE(shown.empty());

  TWarmUp warm_up(warmed.Store, {&warmed.Lists[0], &warmed.Lists[1], &warmed.Lists[2]}, search);
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  EXPECT_EQ(MessageOf<Exception>([&] { warm_up.Step(); }), "Error map file in SWAP in allocate procedure!");
  EXPECT_FALSE(warm_up.Done());
  int steps = 1;
  while (warm_up.Step()) ++steps;
  // Two for each order (its region's pages, its ranks), one for the small
  // store, one for the work regions.
  EXPECT_EQ(steps, 8);
  EXPECT_TRUE(warm_up.Done());
  EXPECT_FALSE(warm_up.Step());
  EXPECT_EQ(Results(search), shown);

  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  for (const TIndexList& order : warmed.Lists) {
    const std::uint32_t* at = order.Positions();
    for (std::uint32_t r = 0; r < 3000; ++r) ASSERT_EQ(at[order.Rank(r)], r);
  }
  platform::testing::ClearFaults();

  TempFolder other_folder;
  TPreparedStore cold(other_folder, demo::MakeDemoTable(options));
  for (std::uint8_t order = 0; order < 3; ++order) {
    for (const char* name : {"Ш", "Ко", "", "Я"}) {
      search.SetSortOrder(order);
      cold.Search.SetSortOrder(order);
      search.Search(Name(name));
      cold.Search.Search(Name(name));
      EXPECT_EQ(Results(search), Results(cold.Search)) << name << " " << int{order};
    }
  }
}

}  // namespace
}  // namespace olvendrix
