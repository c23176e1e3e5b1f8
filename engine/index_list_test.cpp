#include "index_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "cp1251.h"
#include "test_support.h"
#include "demo_table.h"

namespace olvendrix {
namespace {

using testing::MessageOf;
using testing::ReadBytes;
using testing::StandardTable;
using testing::TempFolder;

// A converted store with its three orders built the way preparation does.
class IndexLists : public ::testing::Test {
 protected:
  void Build(const demo::TDbfTableWriter& table) {
    table.SaveTo(folder_ / "Data.dbf");
    store_.LoadFromFile(folder_ / "Data.dbf");
    store_.ConvertToBin();
    testing::BuildOrders(store_, lists_);
  }
  // Record numbers of order i, by position.
  std::vector<std::uint32_t> Ordered(int i) const {
    std::vector<std::uint32_t> by_position(store_.RecordCount());
    for (std::uint32_t r = 0; r < store_.RecordCount(); ++r) by_position[lists_[i].Rank(r)] = r;
    return by_position;
  }
  // Loads the name order of a 3000-record demo store into `names` as a later
  // start does (no positions made yet); the first bytes of its runs, in order.
  std::vector<std::uint8_t> LoadFreshNameOrder(TIndexList& names) {
    demo::TDemoOptions options;
    options.Records = 3000;
    Build(demo::MakeDemoTable(options));
    lists_[1].SaveToFile(folder_ / "index2.bin");
    BindSortOrder(names, 1, store_);
    names.LoadFromFile(folder_ / "index2.bin");
    std::vector<std::uint8_t> leading;
    for (int c = 0; c < 256; ++c) {
      if (names.FSTIndex()[c] != -1) leading.push_back(static_cast<std::uint8_t>(c));
    }
    return leading;
  }
  std::string Field(std::uint32_t record, int field) const {
    std::string text(store_.FieldText(store_.RecordAddr(record), static_cast<std::uint8_t>(field)));
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  TempFolder folder_;
  TDBFConverter store_;
  TIndexList lists_[3];
};

TEST(HouseKeys, OrderNumbersByValueAndBlankBeforeLetter) {
  EXPECT_LT(HouseKey("9      "), HouseKey("10     "));
  EXPECT_LT(HouseKey("10     "), HouseKey(W1251("10А    ")));
  EXPECT_LT(HouseKey(W1251("10А    ")), HouseKey("100    "));
  EXPECT_LT(HouseKey("999    "), HouseKey("1000   "));
  EXPECT_LT(HouseKey("12     "), HouseKey(W1251("12А    ")));
  EXPECT_LT(HouseKey("12/3   "), HouseKey(W1251("12А    ")));
  EXPECT_EQ(HouseKey(""), 0u);
  EXPECT_EQ(HouseKey("1234567"), HouseKey("12345678"));  // the eighth character never counts
}

TEST_F(IndexLists, NumbersSortBytewise) {
  Build(StandardTable({{"3"}, {"100"}, {"20"}}));
  EXPECT_EQ(Ordered(0), (std::vector<std::uint32_t>{1, 2, 0}));
}

TEST_F(IndexLists, StreetOrderComparesHousesByKey) {
  Build(StandardTable({{"1", "", "вул. Садова", "100"},
                       {"2", "", "вул. Садова", "10А"},
                       {"3", "", "вул. Садова", "9"},
                       {"4", "", "вул. Садова", "1000"},
                       {"5", "", "вул. Садова", "10"},
                       {"6", "", "вул. Садова", "999"},
                       {"7", "", "вул. Лісова", "5"}}));
  std::vector<std::string> houses;
  for (std::uint32_t r : Ordered(2)) houses.push_back(Field(r, 3));
  EXPECT_EQ(houses, (std::vector<std::string>{"5", "9", "10", W1251("10А"), "100", "999", "1000"}));
}

TEST_F(IndexLists, StreetOrderBreaksTiesByApartmentKeyThenNumber) {
  Build(StandardTable({{"5", "", "вул. Садова", "12", "10"},
                       {"4", "", "вул. Садова", "12", "9"},
                       {"3", "", "вул. Садова", "12", "9"},
                       {"9", "", "вул. Садова", "12", "9А"},
                       {"1", "", "вул. Садова", "12", "100"},
                       {"2", "", "вул. Садова", "11", "100"}}));
  EXPECT_EQ(Ordered(2), (std::vector<std::uint32_t>{5, 2, 1, 3, 0, 4}));
}

TEST_F(IndexLists, NameAndStreetOrdersSurviveASaveAndReload) {
  demo::TDemoOptions options;
  options.Records = 3000;
  options.Seed = 5;
  Build(demo::MakeDemoTable(options));
  for (int i : {1, 2}) {
    const auto path = folder_ / ("index" + std::to_string(i + 1) + ".bin");
    lists_[i].SaveToFile(path);
    TIndexList loaded;
    loaded.ListIndex = static_cast<std::uint8_t>(i);
    loaded.SetDBFReader(&store_);
    loaded.LoadFromFile(path);
    for (std::uint32_t r = 0; r < store_.RecordCount(); ++r) ASSERT_EQ(loaded.Rank(r), lists_[i].Rank(r)) << i;
    for (int c = 0; c < 256; ++c) EXPECT_EQ(loaded.FSTIndex()[c], lists_[i].FSTIndex()[c]) << i;
  }
}

// Orders that pass every check of the file but belong to another table of
// as many records are told apart from the store's own, in each order, also
// where some records have empty leading fields.
TEST_F(IndexLists, OnlyAStoresOwnOrdersBelongToIt) {
  demo::TDemoOptions options;
  options.Records = 3000;
  options.Seed = 5;
  demo::TDbfTableWriter table = demo::MakeDemoTable(options);
  Build(table);
  TempFolder other_folder;
  options.Seed = 6;
  demo::MakeDemoTable(options).SaveTo(other_folder / "Data.dbf");
  TDBFConverter other;
  other.LoadFromFile(other_folder / "Data.dbf");
  other.ConvertToBin();
  TIndexList other_lists[3];
  testing::BuildOrders(other, other_lists);
  for (std::uint8_t i = 0; i < 3; ++i) {
    const auto belongs = [&](const TIndexList& saved) {
      const auto path = folder_ / ("index" + std::to_string(i + 1) + ".bin");
      saved.SaveToFile(path);
      TIndexList loaded;
      BindSortOrder(loaded, i, store_);
      loaded.LoadFromFile(path);
      return loaded.BelongsToStore();
    };
    EXPECT_TRUE(belongs(lists_[i])) << int{i};
    EXPECT_FALSE(belongs(other_lists[i])) << int{i};
  }

  Build(StandardTable({{"3", ""}, {"", "Бойко"}, {"20", "Шевчук"}, {"", ""}}));
  for (std::uint8_t i = 0; i < 2; ++i) {
    const auto path = folder_ / "index.bin";
    lists_[i].SaveToFile(path);
    TIndexList loaded;
    BindSortOrder(loaded, i, store_);
    loaded.LoadFromFile(path);
    EXPECT_TRUE(loaded.BelongsToStore()) << int{i};
  }
}

// The positions of a few first bytes' runs of a loaded order, before the
// whole are made: each pass fills the runs not filled before, and the third
// makes them all. (A built order keeps its positions from the sort.)
TEST_F(IndexLists, PositionsOfRunsAgreeWithTheWholeAndGiveWayToThemOnTheThirdPass) {
  TIndexList names;
  const std::vector<std::uint8_t> leading = LoadFreshNameOrder(names);
  const std::vector<std::uint32_t> expected = Ordered(1);
  ASSERT_GE(leading.size(), 5u);
  const auto agree_in_run = [&](const std::uint32_t* at, std::uint8_t c) {
    const TRankRange run = names.FirstCharRange(c);
    for (std::int32_t p = run.First; p <= run.Last; ++p) ASSERT_EQ(at[p], expected[p]) << int{c};
  };
  const std::uint8_t first[1] = {leading[0]};
  const std::uint32_t* some = names.PositionsStartingWith(first, 1);
  agree_in_run(some, leading[0]);
  const std::uint8_t two[2] = {leading[1], leading[2]};
  EXPECT_EQ(names.PositionsStartingWith(two, 2), some);
  for (std::uint8_t c : {leading[0], leading[1], leading[2]}) agree_in_run(some, c);
  EXPECT_EQ(names.PositionsStartingWith(first, 1), some);  // filled before: no pass
  const std::uint8_t third[1] = {leading[3]};
  const std::uint32_t* whole = names.PositionsStartingWith(third, 1);
  ASSERT_EQ(whole, names.Positions());
  EXPECT_EQ(std::vector<std::uint32_t>(whole, whole + expected.size()), expected);
  // The built order has them from its sort.
  EXPECT_EQ(std::vector<std::uint32_t>(lists_[1].Positions(), lists_[1].Positions() + expected.size()),
            expected);
}

// A refused region on the pass that would make the whole positions leaves
// the runs filled before usable, and the next pass may try again.
TEST_F(IndexLists, ARefusedWholePositionsRegionKeepsTheRunsFilledBefore) {
  TIndexList names;
  const std::vector<std::uint8_t> leading = LoadFreshNameOrder(names);
  const std::vector<std::uint32_t> expected = Ordered(1);
  ASSERT_GE(leading.size(), 4u);
  for (int pass = 0; pass < 2; ++pass) {
    const std::uint8_t byte[1] = {leading[pass]};
    names.PositionsStartingWith(byte, 1);
  }
  const std::uint8_t third[1] = {leading[2]};
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  EXPECT_EQ(MessageOf<Exception>([&] { names.PositionsStartingWith(third, 1); }),
            "Error map file in SWAP in allocate procedure!");
  const std::uint8_t first[1] = {leading[0]};
  const std::uint32_t* at = names.PositionsStartingWith(first, 1);
  ASSERT_NE(at, nullptr);
  const TRankRange run = names.FirstCharRange(leading[0]);
  for (std::int32_t p = run.First; p <= run.Last; ++p) ASSERT_EQ(at[p], expected[p]);
  const std::uint32_t* whole = names.PositionsStartingWith(third, 1);
  EXPECT_EQ(std::vector<std::uint32_t>(whole, whole + expected.size()), expected);
}

// Whole positions made in steps: a refused region changes nothing, a search
// between steps still gets its runs, and Positions() finishes from where the
// steps stopped (it needs no region of its own then).
TEST_F(IndexLists, WholePositionsMadeInStepsAreFinishedWhereTheStepsStopped) {
  TIndexList names;
  const std::vector<std::uint8_t> leading = LoadFreshNameOrder(names);
  const std::vector<std::uint32_t> expected = Ordered(1);
  const auto agree_in_run = [&](const std::uint32_t* at, std::uint8_t c) {
    const TRankRange run = names.FirstCharRange(c);
    for (std::int32_t p = run.First; p <= run.Last; ++p) ASSERT_EQ(at[p], expected[p]) << int{c};
  };
  const std::uint8_t first[1] = {leading[0]};
  names.PositionsStartingWith(first, 1);
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  EXPECT_EQ(MessageOf<Exception>([&] { names.BuildPositionsStep(1000); }),
            "Error map file in SWAP in allocate procedure!");
  agree_in_run(names.PositionsStartingWith(first, 1), leading[0]);
  EXPECT_FALSE(names.BuildPositionsStep(1000));
  const std::uint8_t second[1] = {leading[1]};
  agree_in_run(names.PositionsStartingWith(second, 1), leading[1]);
  EXPECT_FALSE(names.BuildPositionsStep(1000));
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  const std::uint32_t* whole = names.Positions();
  platform::testing::ClearFaults();
  EXPECT_EQ(std::vector<std::uint32_t>(whole, whole + expected.size()), expected);
  EXPECT_TRUE(names.BuildPositionsStep(1000));
  EXPECT_EQ(names.Positions(), whole);
  // Steps alone make them too, and then serve every run.
  TIndexList again;
  BindSortOrder(again, 1, store_);
  again.LoadFromFile(folder_ / "index2.bin");
  again.PositionsStartingWith(first, 1);
  int steps = 1;
  while (!again.BuildPositionsStep(1000)) ++steps;
  EXPECT_EQ(steps, 4);  // one mapping the region's pages, three inverting
  const std::uint32_t* stepped = again.Positions();
  EXPECT_EQ(std::vector<std::uint32_t>(stepped, stepped + expected.size()), expected);
  EXPECT_EQ(again.PositionsStartingWith(second, 1), stepped);
}

// The first whole listing of a fresh order is inverted straight into the
// caller's array and makes no positions of its own (a fresh process lists
// everybody sooner); the next one makes them and copies them.
TEST_F(IndexLists, TheFirstWholeListingOfAFreshOrderLeavesItsPositionsToTheSteps) {
  TIndexList names;
  LoadFreshNameOrder(names);
  const std::vector<std::uint32_t> expected = Ordered(1);
  std::vector<std::uint32_t> listed(expected.size());
  platform::testing::InjectFault(platform::testing::Fault::kRegion);  // no region is needed
  names.CopyPositions(listed.data());
  platform::testing::ClearFaults();
  EXPECT_EQ(listed, expected);
  EXPECT_FALSE(names.BuildPositionsStep(1000));
  std::vector<std::uint32_t> again(expected.size());
  names.CopyPositions(again.data());
  EXPECT_EQ(again, expected);
  EXPECT_TRUE(names.BuildPositionsStep(1000));
}

TEST_F(IndexLists, NameOrderBreaksTiesByStreet) {
  Build(StandardTable({{"1", "Бойко", "вул. Садова"}, {"2", "Бойко", "вул. Лісова"}, {"3", "Аз"}}));
  EXPECT_EQ(Ordered(1), (std::vector<std::uint32_t>{2, 1, 0}));
}

TEST_F(IndexLists, FirstCharacterRangesCoverEachLeadingByte) {
  // Name order: two empty names (a zero byte first) lead, then А, Б, Я runs.
  const std::string empty(1, '\0');
  Build(StandardTable({{"1", "Яковенко"}, {"2", "Антоненко"}, {"3", empty}, {"4", "Бойко"},
                       {"5", "Ярошенко"}, {"6", "Аз"}, {"7", empty}}));
  const std::int32_t* fst = lists_[1].FSTIndex();
  int entries = 0;
  for (int c = 0; c < 256; ++c) entries += fst[c] != -1;
  EXPECT_EQ(entries, 3);
  EXPECT_EQ(fst[0], -1);
  EXPECT_EQ(lists_[1].FirstCharRange(0xC0).First, 2);
  EXPECT_EQ(lists_[1].FirstCharRange(0xC0).Last, 3);
  EXPECT_EQ(lists_[1].FirstCharRange(0xC1).First, 4);
  EXPECT_EQ(lists_[1].FirstCharRange(0xC1).Last, 4);
  EXPECT_EQ(lists_[1].FirstCharRange(0xDF).First, 5);
  EXPECT_EQ(lists_[1].FirstCharRange(0xDF).Last, 6);
  EXPECT_FALSE(lists_[1].FirstCharRange(0xC2).Usable());
  EXPECT_EQ(lists_[1].FirstCharRange(0xC2).First, 0);
  // Empty names take the first positions and fall in no range.
  EXPECT_LT(lists_[1].Rank(2), 2u);
  EXPECT_LT(lists_[1].Rank(6), 2u);
}

TEST_F(IndexLists, ALastRunOfByteFFReachesTheEnd) {
  Build(StandardTable({{"1", "я"}, {"2", "Я"}, {"3", "яр"}}));
  EXPECT_EQ(lists_[1].FirstCharRange(0xFF).First, 1);
  EXPECT_EQ(lists_[1].FirstCharRange(0xFF).Last, 2);
  EXPECT_EQ(lists_[1].FirstCharRange(0xDF).Last, 0);
}

TEST_F(IndexLists, DemoOrdersAgreeWithTheirCompareFunctions) {
  demo::TDemoOptions options;
  options.Records = 20000;
  options.Seed = 7;
  Build(demo::MakeDemoTable(options));
  for (int i = 0; i < 3; ++i) {
    const std::vector<std::uint32_t> order = Ordered(i);
    std::vector<bool> seen(order.size());
    for (std::size_t j = 0; j < order.size(); ++j) {
      ASSERT_FALSE(seen[order[j]]);
      seen[order[j]] = true;
      if (j > 0) {
        ASSERT_LE(kSortCompares[i](store_.RecordAddr(order[j - 1]), store_.RecordAddr(order[j])), 0)
            << "order " << i << " position " << j;
      }
    }
  }
}

// Texts built to tie on many leading bytes: the sort orders by eight-byte
// words of the key, and only a compare of the whole records may break ties.
TEST_F(IndexLists, KeyWordsOrderRecordsAsTheCompareFunctionsDo) {
  const std::vector<std::string> names = {"", "Шевченко", "Шевченко Іван", "Шевченко Іван Петрович",
                                          "Шевченко Іван Петрович  ", "Шевченкова", "шевченко",
                                          "ШЕВЧЕНКО Ґ", "Ящук Є", "Aa"};
  const std::vector<std::string> streets = {"", "вул. Шевченка", "вул. Шевченка ", "вул. Шевченківська",
                                            "просп. Перемоги"};
  const std::vector<std::string> houses = {"", "9", "10", "10А", "10/2", "1234567", "А"};
  std::mt19937 random(17);
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 400; ++i) {
    rows.push_back({std::to_string(std::uniform_int_distribution<>(1, 40)(random)), pick(names),
                    pick(streets), pick(houses), pick(houses)});
  }
  Build(StandardTable(rows));
  for (int order = 0; order < 3; ++order) {
    const auto words = [&](std::uint32_t r) {
      std::vector<std::uint64_t> key;
      for (int w = 0; w < KeyWordCount(order); ++w) key.push_back(KeyWord(order, store_.RecordAddr(r), w));
      return key;
    };
    for (std::uint32_t a = 0; a < store_.RecordCount(); a += 3) {
      for (std::uint32_t b = 0; b < store_.RecordCount(); ++b) {
        const int compared = kSortCompares[order](store_.RecordAddr(a), store_.RecordAddr(b));
        const std::vector<std::uint64_t> key_a = words(a), key_b = words(b);
        const int by_words = key_a < key_b ? -1 : key_b < key_a ? 1 : 0;
        ASSERT_EQ((compared > 0) - (compared < 0), by_words) << "order " << order << ": " << a << ", " << b;
      }
    }
    const std::vector<std::uint32_t> sorted = Ordered(order);
    for (std::size_t j = 1; j < sorted.size(); ++j) {
      ASSERT_LE(kSortCompares[order](store_.RecordAddr(sorted[j - 1]), store_.RecordAddr(sorted[j])), 0);
    }
  }
}

TEST_F(IndexLists, ZeroRecordsGiveTablesOfMinusOnes) {
  Build(StandardTable({}));
  lists_[0].SaveToFile(folder_ / "index1.bin");
  const std::string bytes = ReadBytes(folder_ / "index1.bin");
  EXPECT_EQ(bytes, std::string(1024, '\xFF'));
  TIndexList loaded;
  loaded.SetDBFReader(&store_);
  loaded.LoadFromFile(folder_ / "index1.bin");
  EXPECT_EQ(loaded.Count(), 0);
  EXPECT_FALSE(loaded.FirstCharRange('1').Usable());
}

TEST_F(IndexLists, SavedTablesLoadAgainAndReplaceOldFiles) {
  Build(StandardTable({{"3"}, {"100"}, {"20"}}));
  demo::WriteBytes(folder_ / "index1.bin", "stale");
  lists_[0].SaveToFile(folder_ / "index1.bin");
  const std::string bytes = ReadBytes(folder_ / "index1.bin");
  ASSERT_EQ(bytes.size(), 3u * 4 + 1024);
  const std::uint32_t ranks[3] = {2, 0, 1};
  EXPECT_EQ(std::memcmp(bytes.data(), ranks, sizeof ranks), 0);

  TIndexList loaded;
  loaded.SetDBFReader(&store_);
  loaded.LoadFromFile(folder_ / "index1.bin");
  EXPECT_EQ(loaded.Rank(0), 2u);
  EXPECT_EQ(loaded.FirstCharRange('1').First, 0);
  EXPECT_EQ(loaded.FirstCharRange('3').Last, 2);
  // A loaded table is read-only: building steps refuse it.
  loaded.SortCompare = CompareByNumber;
  EXPECT_EQ(MessageOf<ESortListError>([&] { loaded.Sort(); }), "not allocate memory");
}

TEST_F(IndexLists, RefusesIndexFilesOfTheWrongSizeOrContent) {
  Build(StandardTable({{"3"}, {"100"}, {"20"}}));
  lists_[0].SaveToFile(folder_ / "index1.bin");
  const std::string good = ReadBytes(folder_ / "index1.bin");
  auto load_error = [&](const std::string& bytes) {
    demo::WriteBytes(folder_ / "bad.bin", bytes);
    TIndexList list;
    list.SetDBFReader(&store_);
    return MessageOf<EIndexListError>([&] { list.LoadFromFile(folder_ / "bad.bin"); });
  };
  auto with_int = [&](std::size_t at, std::int32_t value) {
    std::string bytes = good;
    std::memcpy(&bytes[at], &value, 4);
    return bytes;
  };
  EXPECT_EQ(load_error(good.substr(0, good.size() - 1)), "corrupt index file");
  EXPECT_EQ(load_error(good + "x"), "corrupt index file");
  EXPECT_EQ(load_error(with_int(0, 1)), "corrupt index file");   // rank 1 twice
  EXPECT_EQ(load_error(with_int(0, 3)), "corrupt index file");   // rank beyond R
  EXPECT_EQ(load_error(with_int(12, 0)), "corrupt index file");  // FSTIndex[0] set
  EXPECT_EQ(load_error(with_int(12 + 4 * '9', 3)), "corrupt index file");  // beyond R
  EXPECT_EQ(load_error(with_int(12 + 4 * '9', 1)), "corrupt index file");  // not rising
}

TEST_F(IndexLists, SoundIndexFilesOfEverySizeLoadAndDamagedRunsAreRefused) {
  const auto load_error = [&](const std::string& bytes) {
    demo::WriteBytes(folder_ / "index.bin", bytes);
    TIndexList list;
    list.SetDBFReader(&store_);
    try {
      list.LoadFromFile(folder_ / "index.bin");
    } catch (const EIndexListError& e) {
      return e.Message();
    }
    return std::string();
  };
  // Each remainder of the record count by 6, for the sums of a sound order.
  for (int records : {1, 2, 3, 4, 5, 6, 7, 11, 12, 100}) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < records; ++i) rows.push_back({std::to_string(1000 + (i * 37) % records)});
    Build(StandardTable(rows));
    lists_[0].SaveToFile(folder_ / "index1.bin");
    EXPECT_EQ(load_error(ReadBytes(folder_ / "index1.bin")), "") << records;
  }
  const std::string good = ReadBytes(folder_ / "index1.bin");
  std::string zeroed = good;
  std::fill(zeroed.begin() + 4 * 20, zeroed.begin() + 4 * 30, '\0');
  EXPECT_EQ(load_error(zeroed), "corrupt index file");
  std::string copied = good;
  std::copy(good.begin(), good.begin() + 4 * 10, copied.begin() + 4 * 50);
  EXPECT_EQ(load_error(copied), "corrupt index file");
}

TEST_F(IndexLists, OperationsNeedTheirReaderRegionAndCompare) {
  TIndexList list;
  EXPECT_EQ(MessageOf<EIndexListError>([&] { list.Allocate(); }), "DBFReader not assigned!");
  EXPECT_EQ(MessageOf<ESortListError>([&] { list.FillAddresses(); }), "not allocate memory");
  EXPECT_EQ(MessageOf<EIndexListError>([&] { list.InitFST(); }), "error init FST");
  EXPECT_EQ(MessageOf<EIndexListError>([&] { list.MakeRanks(); }), "DBFReader not assigned!");
  EXPECT_EQ(MessageOf<EIndexListError>([&] { list.Sort(); }), "SortCompare function not assigned!");
  list.SortCompare = CompareByNumber;
  EXPECT_EQ(MessageOf<ESortListError>([&] { list.Sort(); }), "not allocate memory");

  Build(StandardTable({{"1"}}));
  list.SetDBFReader(&store_);
  list.SetDBFReader(nullptr);  // ignored
  EXPECT_EQ(list.DBFReader(), &store_);
  EXPECT_EQ(MessageOf<ESortListError>([&] { list.InitFST(); }), "not allocate memory");
  platform::testing::InjectFault(platform::testing::Fault::kRegion);
  EXPECT_EQ(MessageOf<Exception>([&] { list.Allocate(); }),
            "Error map file in SWAP in allocate procedure!");
}

TEST_F(IndexLists, TooManyLeadingBytesAreRefused) {
  // An order whose entries are not sorted can meet a byte twice.
  auto table = StandardTable({});
  for (int i = 0; i < 300; ++i) table.AddRecord({std::string(1, static_cast<char>(i % 2 ? 'A' : 'B'))});
  table.SaveTo(folder_ / "Data.dbf");
  store_.LoadFromFile(folder_ / "Data.dbf");
  store_.ConvertToBin();
  TIndexList list;
  list.SetDBFReader(&store_);
  list.Allocate();
  list.FillAddresses();
  EXPECT_EQ(MessageOf<EIndexListError>([&] { list.InitFST(); }), "FSTIndex count more than 255!");
}

}  // namespace
}  // namespace olvendrix
