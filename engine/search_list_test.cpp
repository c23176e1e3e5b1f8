#include "search_list.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "rank_ranges.h"
#include "test_support.h"
#include "demo_table.h"

#include <algorithm>
#include <map>

namespace olvendrix {
namespace {

using testing::MessageOf;
using testing::ReadBytes;
using testing::StandardTable;
using testing::TempFolder;
using testing::TPreparedStore;

// Record numbers 0..6.
const std::vector<std::vector<std::string>> kRows = {
    {"2345678", "Шевченко Іван Петрович", "вул. Садова", "12", "5"},
    {"2111111", "Шевчук Марія Іванівна", "вул. Шевченка", "12А", ""},
    {"3000000", "ІВАН Петренко", "просп. Перемоги", "123", "1"},
    {"2999999", "Бойко Ївга", "вул. Садова", "12 А", "2"},
    {"5555555", "Їжак Степан", "пров. Лісовий", "9", ""},
    {"2000000", "Коваленко Єва", "вул. Шевченка", "12", "7"},
    {"1000000", "шевченко олег", "вул. Садова", "1", "1"},
};

TSearchParams Params(const std::vector<std::string>& utf8_texts) {
  TSearchParams params;
  for (std::size_t i = 0; i < utf8_texts.size(); ++i) params.Texts[i].Assign(W1251(utf8_texts[i]));
  return params;
}

class SearchList : public ::testing::Test {
 protected:
  SearchList() : prepared_(folder_, StandardTable(kRows)), search_(prepared_.Search) {}

  std::vector<std::int32_t> Find(const std::vector<std::string>& texts) {
    search_.Search(Params(texts));
    return Results();
  }
  std::vector<std::int32_t> Results() const {
    return std::vector<std::int32_t>(search_.Items(), search_.Items() + search_.Count());
  }
  void SetMode(int field, TMatchMode mode) { search_.Modes[field] = mode; }

  TempFolder folder_;
  TPreparedStore prepared_;
  TSearchList& search_;
};

using Records = std::vector<std::int32_t>;

TEST_F(SearchList, EmptyInputsListTheWholeDirectoryInEachOrder) {
  EXPECT_EQ(Find({"", "  ", "\t", "", ""}), (Records{6, 5, 1, 0, 3, 2, 4}));
  search_.SetSortOrder(1);
  EXPECT_EQ(Find({}), (Records{4, 2, 3, 5, 0, 1, 6}));
  search_.SetSortOrder(2);
  EXPECT_EQ(Find({}), (Records{6, 3, 0, 5, 1, 4, 2}));
}

TEST_F(SearchList, BeginsIsTrimmedAndFoldsCaseThroughBothFirstLetters) {
  EXPECT_EQ(Find({"", "  шевч  "}), (Records{6, 1, 0}));
  EXPECT_EQ(Find({"", "ш"}), (Records{6, 1, 0}));
  search_.CaseSensitive = true;
  EXPECT_EQ(Find({"", "Шевч"}), (Records{1, 0}));
  EXPECT_EQ(Find({"", "ш"}), (Records{6}));
  EXPECT_EQ(Find({"", "шевч"}), (Records{6}));
}

TEST_F(SearchList, AFirstByteThatBeginsNoKeyGivesNoResults) {
  EXPECT_EQ(Find({"", "Я"}), Records{});
  EXPECT_EQ(Find({"9"}), Records{});
  EXPECT_EQ(search_.Count(), 0);
  EXPECT_EQ(Find({"2"}), (Records{5, 1, 0, 3}));
}

TEST_F(SearchList, CaseFoldingCoversІЄҐЁButNotЇ) {
  SetMode(1, mtContains);
  EXPECT_EQ(Find({"", "іван"}), (Records{1, 0, 2}));
  EXPECT_EQ(Find({"", "єва"}), (Records{5}));
  EXPECT_EQ(Find({"", "ївга"}), Records{});
  SetMode(1, mtBegins);
  EXPECT_EQ(Find({"", "їжак"}), Records{});
  EXPECT_EQ(Find({"", "Їжак"}), (Records{4}));
}

TEST_F(SearchList, EqualsMatchesWholeWordsOfBlankPaddedFields) {
  SetMode(3, mtEquals);
  EXPECT_EQ(Find({"", "", "", "12"}), (Records{5, 0, 3}));  // not 12А or 123
  SetMode(1, mtEquals);
  EXPECT_EQ(Find({"", "Шевченко"}), (Records{6, 0}));  // case ignored
  EXPECT_EQ(Find({"", "Шевч"}), Records{});
}

TEST_F(SearchList, FieldsCombineAndUnknownModesAreIgnored) {
  SetMode(2, mtContains);
  SetMode(3, mtEquals);
  EXPECT_EQ(Find({"", "", "Шев", "12"}), (Records{5}));
  search_.Modes[1] = static_cast<TMatchMode>(7);
  EXPECT_EQ(Find({"", "zzz"}).size(), 7u);
  EXPECT_EQ(Find({"", "", "", "", "1"}), (Records{6, 2}));
}

TEST_F(SearchList, KeepsTheSelectedSubscriberAcrossAResort) {
  Find({});
  search_.SelIndex = 3;  // record 0 in number order
  search_.KeepSelection = true;
  search_.SetSortOrder(1);
  EXPECT_EQ(Find({}), (Records{4, 2, 3, 5, 0, 1, 6}));
  EXPECT_EQ(search_.SelIndex, 4);
  EXPECT_EQ(search_.SelRecord, 0);
  // A search that no longer finds it leaves the position as it was.
  EXPECT_EQ(Find({"", "Бойко"}), (Records{3}));
  EXPECT_EQ(search_.SelIndex, 4);
}

TEST_F(SearchList, BoundsAreChecked) {
  Find({"", "Бойко"});
  EXPECT_EQ(search_.GetItem(0), 3);
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.GetRecAddr(1); }),
            "Index value^ 1 is out of bound in GetREcAddr FUnc!");
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.GetRecAddr(-1); }),
            "Index value^ -1 is out of bound in GetREcAddr FUnc!");
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.GetItem(7); }), "index out of bound: 7");
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.GetItem(-1); }), "index out of bound: -1");

  search_.SetSortOrder(3);
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.Search(Params({})); }),
            "3 list is not assigned");
  search_.SetSortOrder(0);
  search_.Allocate(3);
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.Search(Params({})); }),
            "Error DBF Reader Count 7");
  EXPECT_EQ(search_.Count(), 1);  // the previous result stands

  // A reader that holds no store is refused before anything is read.
  search_.Allocate(7);
  prepared_.Store.Close();
  EXPECT_EQ(MessageOf<ESearchListError>([&] { search_.Search(Params({})); }),
            "Error DBF Reader Count 0");
}

TEST_F(SearchList, ResultLinesTrimFieldsAndEndWithASpace) {
  Find({"2111111"});
  EXPECT_EQ(search_.GetLine(0), W1251("2111111 Шевчук Марія Іванівна вул. Шевченка 12А  \r\n"));
}

TEST_F(SearchList, SavedFileHasTheHeadingThenOneLinePerResult) {
  Find({"", "Шевч"});
  search_.SaveToFile(folder_ / "Phone.txt");
  const std::string saved = ReadBytes(folder_ / "Phone.txt");
  const std::string heading = "Olvendrix v.1.07.07   ";
  ASSERT_EQ(saved.substr(0, heading.size()), heading);
  const std::size_t body = saved.find("\r\n") + 2;
  EXPECT_EQ(saved.substr(body), search_.GetLine(0) + search_.GetLine(1) + search_.GetLine(2));

  Find({"", "Я"});
  search_.SaveToFile(folder_ / "Phone.txt");
  const std::string empty = ReadBytes(folder_ / "Phone.txt");
  EXPECT_EQ(empty.find("\r\n"), empty.size() - 2);
}

TEST(SearchListExport, LinesCarryEveryColumnOfTheTable) {
  TempFolder folder;
  demo::TDbfTableWriter table({{"NUMTEL", 7}, {"FIO", 40}, {"STREET", 30}, {"HOUSE", 7},
                               {"FLAT", 7}, {"TARIFF", 10}, {"NOTE", 5}});
  table.AddRecord({"2222222", W1251("Бойко"), W1251("вул. Лісова"), "9", "", W1251("Пільговий"), "x"});
  TPreparedStore prepared(folder, table);
  prepared.Search.Search(TSearchParams{});
  EXPECT_EQ(prepared.Search.GetLine(0), W1251("2222222 Бойко вул. Лісова 9  Пільговий x \r\n"));
}

TEST(SearchListExport, TablesWiderThan256ColumnsGiveEveryFieldOnceInOrder) {
  TempFolder folder;
  std::vector<demo::TDbfColumn> columns = {{"NUMTEL", 7}, {"FIO", 40}, {"STREET", 30}, {"HOUSE", 7}, {"FLAT", 7}};
  std::vector<std::string> values = {"2222222", W1251("Бойко"), W1251("вул. Лісова"), "9", "1"};
  std::string expected = "2222222 " + W1251("Бойко вул. Лісова ") + "9 1 ";
  for (int c = 5; c < 300; ++c) {
    columns.push_back({"C" + std::to_string(c), 4});
    values.push_back(std::to_string(c));
    expected += std::to_string(c) + " ";
  }
  expected += "\r\n";
  demo::TDbfTableWriter table(columns);
  table.AddRecord(values);
  TPreparedStore prepared(folder, table);
  ASSERT_EQ(prepared.Store.FieldCount(), 300);
  TSearchList& search = prepared.Search;
  search.Search(TSearchParams{});
  const std::string line = search.GetLine(0);
  EXPECT_EQ(line, expected);
  EXPECT_LE(line.size(), prepared.Store.RecordLength() + 2u);
  search.SaveToFile(folder / "Phone.txt");
  const std::string saved = ReadBytes(folder / "Phone.txt");
  EXPECT_EQ(saved.substr(saved.find("\r\n") + 2), expected);
  EXPECT_EQ(std::string(prepared.Store.FieldText(prepared.Store.RecordAddr(0), 299)), "299 ");
}

// Contains reads sixteen bytes at a time: texts that end a full field, that
// cross a block, or that end the store itself must all be found.
TEST(SearchListContains, FindsTextsAtEveryPlaceOfTheFieldAndTheStore) {
  const auto repeat = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "Ж";
    return text;
  };
  TempFolder folder;
  TPreparedStore prepared(folder, StandardTable({{"1", repeat(36) + "енко", "", "", "1234569"},
                                                 {"2", repeat(14) + "ЕНКО" + repeat(5), "", "", "9"},
                                                 {"3", repeat(37) + "енк", "", "", "1"},
                                                 {"4", "енко", "", "", "91"},
                                                 {"5", repeat(39) + "о", "", "", "1234569"}}));
  TSearchList& search = prepared.Search;
  search.Modes = {mtBegins, mtContains, mtBegins, mtBegins, mtContains};
  const auto found = [&](const std::vector<std::string>& texts) {
    search.Search(Params(texts));
    std::vector<std::int32_t> records(search.Items(), search.Items() + search.Count());
    std::sort(records.begin(), records.end());
    return records;
  };
  EXPECT_EQ(found({"", "енко"}), (Records{0, 1, 3}));
  EXPECT_EQ(found({"", "О"}), (Records{0, 1, 3, 4}));
  EXPECT_EQ(found({"", repeat(39) + "о"}), (Records{4}));
  EXPECT_EQ(found({"", repeat(40) + "о"}), (Records{}));
  EXPECT_EQ(found({"", "", "", "", "69"}), (Records{0, 4}));  // the last bytes of the store
  EXPECT_EQ(found({"", "", "", "", "9"}), (Records{0, 1, 3, 4}));
  search.CaseSensitive = true;
  EXPECT_EQ(found({"", "енко"}), (Records{0, 3}));
}

// Begins-with narrows the name order run by run, one per spelling; past a
// handful of runs the rest is left to the byte test.
TEST(SearchListBegins, EverySpellingIsFoundHoweverManyRunsItTakes) {
  const std::string lower[] = {"ш", "е", "в", "ч"}, upper[] = {"Ш", "Е", "В", "Ч"};
  std::vector<std::vector<std::string>> rows;
  for (int spelling = 0; spelling < 16; ++spelling) {
    std::string name;
    for (int k = 0; k < 4; ++k) name += (spelling >> k & 1) ? upper[k] : lower[k];
    rows.push_back({std::to_string(spelling), name + "енко", "вул. Садова"});
    rows.push_back({std::to_string(100 + spelling), name + "ук", "вул. Садова"});
  }
  TempFolder folder;
  TPreparedStore prepared(folder, StandardTable(rows));
  // Narrowed runs still name the spellings of the first byte they lie in.
  EXPECT_EQ(BeginningRanks(prepared.Lists[1], prepared.Store, W1251("шЕВ"), &ToLowerTable(),
                           &ToUpperTable()).FirstByteCount, 2);
  TSearchList& search = prepared.Search;
  search.Search(Params({"", "шЕВЧЕНК"}));
  EXPECT_EQ(search.Count(), 16);
  for (std::int32_t i = 0; i < search.Count(); ++i) EXPECT_EQ(search.Items()[i] % 2, 0);
  search.CaseSensitive = true;
  search.Search(Params({"", "ШеВченко"}));
  EXPECT_EQ(std::vector<std::int32_t>(search.Items(), search.Items() + search.Count()), (Records{10}));
}

TEST(SearchListEmpty, ATableWithoutRecordsFindsNothingInEveryWay) {
  TempFolder folder;
  TPreparedStore prepared(folder, StandardTable({}));
  TSearchList& search = prepared.Search;
  search.KeepSelection = true;
  for (const TMatchModes& modes : {TMatchModes{}, TMatchModes{mtBegins, mtContains}}) {
    search.Modes = modes;
    for (const auto& texts : std::vector<std::vector<std::string>>{{}, {"", "Шевч"}, {"2"}}) {
      search.Search(Params(texts));
      EXPECT_EQ(search.Count(), 0);
    }
  }
}

// Large enough for the scan to run in two halves.
class SearchListLarge : public ::testing::Test {
 protected:
  static demo::TDbfTableWriter DemoTable() {
    demo::TDemoOptions options;
    options.Records = 70000;
    return demo::MakeDemoTable(options);
  }
  TempFolder folder_;
  TPreparedStore prepared_{folder_, DemoTable()};
};

// Each way a search can take (the whole order, many matches walked in the
// order, few placed by rank, a narrow name run) keeps the selected subscriber.
TEST_F(SearchListLarge, EveryWayOfSearchingKeepsTheSelectedSubscriber) {
  TPreparedStore& prepared = prepared_;
  TSearchList& search = prepared.Search;
  search.KeepSelection = true;
  search.Modes = {mtBegins, mtContains, mtBegins, mtBegins, mtBegins};
  search.Search(Params({}));
  ASSERT_EQ(search.Count(), 70000);
  const std::string name(prepared.Store.FieldText(prepared.Store.RecordAddr(0), 1));
  const std::string surname = name.substr(0, name.find(' '));
  search.SelIndex = static_cast<std::int32_t>(prepared.Lists[0].Rank(0));
  const std::vector<std::vector<std::string>> searches = {
      {"", Cp1251ToUtf8(surname.substr(surname.size() - 2))},  // many match
      {"", Cp1251ToUtf8(surname)},                              // fewer
      {}};
  for (int order = 0; order < 3; ++order) {
    search.SetSortOrder(static_cast<std::uint8_t>(order));
    for (const auto& texts : searches) {
      search.Search(Params(texts));
      ASSERT_GE(search.SelIndex, 0);
      ASSERT_LT(search.SelIndex, search.Count());
      EXPECT_EQ(search.Items()[search.SelIndex], 0) << order << " " << search.Count();
    }
  }
  search.Modes = {};
  search.Search(Params({"", Cp1251ToUtf8(surname)}));  // a narrow run of the name order
  EXPECT_EQ(search.Items()[search.SelIndex], 0);
}

// A first-letter run that decides the search alone is listed whole, in
// order, with the selection kept: as the sort order's own run, and as a run
// of another order holding more records than a narrow run may.
TEST_F(SearchListLarge, AFirstLetterRunIsListedWholeInEveryOrder) {
  TPreparedStore& prepared = prepared_;
  TSearchList& search = prepared.Search;
  const TDBFConverter& store = prepared.Store;
  search.Modes = {};
  search.KeepSelection = true;
  std::map<char, std::int32_t> by_letter;
  for (std::uint32_t r = 0; r < store.RecordCount(); ++r) ++by_letter[store.FieldText(store.RecordAddr(r), 1)[0]];
  const auto most = std::max_element(by_letter.begin(), by_letter.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  ASSERT_GT(most->second, 70000 / 8);
  const std::string letter(1, most->first);
  for (int order = 0; order < 3; ++order) {
    search.SetSortOrder(static_cast<std::uint8_t>(order));
    search.Search(Params({}));
    // The last subscriber of the whole list with that letter is selected.
    search.SelIndex = search.Count() - 1;
    while (store.FieldText(store.RecordAddr(search.Items()[search.SelIndex]), 1)[0] != most->first) --search.SelIndex;
    const std::int32_t selected = search.Items()[search.SelIndex];
    search.Search(Params({"", Cp1251ToUtf8(letter)}));
    ASSERT_EQ(search.Count(), most->second) << order;
    for (std::int32_t i = 1; i < search.Count(); ++i) {
      ASSERT_LT(prepared.Lists[order].Rank(search.Items()[i - 1]), prepared.Lists[order].Rank(search.Items()[i]));
    }
    EXPECT_EQ(search.Items()[search.SelIndex], selected) << order;
  }
}

// Ranks made to pass the load check without being a permutation: in every
// run of eight, ranks 1, 5 and 6 become 2, 3 and 7 (the same sum and sum of
// squares). Searches over them fail or give wrong lists, but never reach
// outside their arrays.
TEST_F(SearchListLarge, OrdersMadeToPassTheLoadCheckKeepSearchesInBounds) {
  TPreparedStore& prepared = prepared_;
  TIndexList damaged[3];
  TSearchList search;
  search.Reader = &prepared.Store;
  for (int i = 0; i < 3; ++i) {
    // A file of its own each: a mapped file cannot be replaced on Windows.
    const auto path = folder_ / ("index" + std::to_string(i + 1) + ".bin");
    prepared.Lists[i].SaveToFile(path);
    std::string bytes = ReadBytes(path);
    auto* rank = reinterpret_cast<std::uint32_t*>(bytes.data());
    for (std::uint32_t r = 0; r < prepared.Store.RecordCount(); ++r) {
      const std::uint32_t low = rank[r] % 8;
      if (low == 1 || low == 5 || low == 6) rank[r] += low == 1 ? 1 : low == 5 ? -2 : 1;
    }
    demo::WriteBytes(path, bytes);
    damaged[i].ListIndex = static_cast<std::uint8_t>(i);
    damaged[i].SetDBFReader(&prepared.Store);
    damaged[i].LoadFromFile(path);
    search.IndexLists[i] = &damaged[i];
  }
  search.Allocate(static_cast<std::int32_t>(prepared.Store.RecordCount()));
  search.KeepSelection = true;
  search.Modes = {mtBegins, mtContains, mtBegins, mtEquals, mtBegins};
  const std::vector<std::vector<std::string>> searches = {
      {}, {"", "енко"}, {"", "ко"}, {"2"}, {"", "", "вул"}, {"", "", "", "12"}};
  for (int order = 0; order < 3; ++order) {
    search.SetSortOrder(static_cast<std::uint8_t>(order));
    for (const auto& texts : searches) {
      try {
        search.Search(Params(texts));
      } catch (const ESearchListError& e) {
        EXPECT_EQ(e.Message(), "Error check size in Expand procedure");
        const std::int32_t counted = search.Count();  // as counted, not the last search's
        EXPECT_EQ(counted, search.CountMatches(Params(texts)));
        continue;
      }
      ASSERT_LE(search.Count(), search.Capacity());
      for (std::int32_t i = 0; i < search.Count(); ++i) {
        ASSERT_LT(static_cast<std::uint32_t>(search.Items()[i]), prepared.Store.RecordCount());
      }
    }
  }
}

TEST_F(SearchListLarge, TheSplitScanFindsWhatAPlainWalkFinds) {
  TPreparedStore& prepared = prepared_;
  TSearchList& search = prepared.Search;
  search.Modes = {mtBegins, mtContains, mtBegins, mtEquals, mtBegins};
  search.SetSortOrder(2);
  search.Search(Params({"", "енко", "", "12"}));

  std::vector<std::int32_t> expected;
  const std::string needle = W1251("ЕНКО");
  for (std::uint32_t r = 0; r < prepared.Store.RecordCount(); ++r) {
    const std::uint8_t* record = prepared.Store.RecordAddr(r);
    const std::string name = UpperCase1251(std::string(prepared.Store.FieldText(record, 1)));
    const std::string house(prepared.Store.FieldText(record, 3));
    if (name.find(needle) != std::string::npos && (house.rfind("12 ", 0) == 0)) {
      expected.push_back(static_cast<std::int32_t>(r));
    }
  }
  std::sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
    return prepared.Lists[2].Rank(a) < prepared.Lists[2].Rank(b);
  });
  ASSERT_GT(expected.size(), 10u);
  EXPECT_EQ(std::vector<std::int32_t>(search.Items(), search.Items() + search.Count()), expected);
}

}  // namespace
}  // namespace olvendrix
