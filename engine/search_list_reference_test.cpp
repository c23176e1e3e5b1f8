// The search against a plain reference: the documented algorithm step by
// step, with no shortcuts (no eight-byte scan, no split, no sparse walk), on
// random tables and random queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cp1251.h"
#include "search_list.h"
#include "test_support.h"

namespace olvendrix {
namespace {

using testing::TempFolder;
using testing::TPreparedStore;

bool IsBlank(char c) { return static_cast<std::uint8_t>(c) <= 0x20; }

std::string TrimBoth(std::string text) {
  while (!text.empty() && IsBlank(text.front())) text.erase(text.begin());
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

struct Query {
  TSearchParams Params;
  TMatchModes Modes{};
  bool CaseSensitive = false;
  std::uint8_t Order = 0;
};

std::vector<std::int32_t> ReferenceSearch(const TPreparedStore& prepared, const Query& query) {
  const TDBFConverter& store = prepared.Store;
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  std::string texts[5];
  std::size_t off[5];
  for (int i = 0; i < 5; ++i) {
    texts[i] = TrimBoth(std::string(query.Params.Texts[i].View()));
    off[i] = store.Fields()[i].Offset;
  }
  bool constrained[3] = {};
  std::uint8_t first[3] = {};
  for (int j = 0; j < 3; ++j) {
    const TMatchMode mode = query.Modes[j];
    if ((mode == mtBegins || mode == mtEquals) && !texts[j].empty()) {
      constrained[j] = true;
      first[j] = static_cast<std::uint8_t>(texts[j][0]);
      if (mode == mtBegins) {
        texts[j].erase(0, 1);
        ++off[j];
      }
    }
  }
  for (std::string& text : texts) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    if (!query.CaseSensitive) text = UpperCase1251(text);
  }
  TRankRange ranges[3][2];
  for (int j = 0; j < 3; ++j) {
    if (!constrained[j]) continue;
    const TIndexList& list = prepared.Lists[j];
    if (query.CaseSensitive) {
      ranges[j][0] = list.FirstCharRange(first[j]);
    } else {
      const std::uint8_t lo = lower[first[j]], up = upper[first[j]];
      ranges[j][0] = list.FirstCharRange(lo);
      if (up != lo) ranges[j][1] = list.FirstCharRange(up);
    }
    if (!ranges[j][0].Usable() && !ranges[j][1].Usable()) return {};
  }
  std::vector<std::int32_t> found;
  for (std::uint32_t r = 0; r < store.RecordCount(); ++r) {
    bool accepted = true;
    for (int j = 0; j < 3 && accepted; ++j) {
      if (!constrained[j]) continue;
      const std::int64_t rank = prepared.Lists[j].Rank(r);
      const auto within = [&](const TRankRange& range) {
        return range.Usable() && rank >= range.First && rank <= range.Last;
      };
      accepted = within(ranges[j][0]) || within(ranges[j][1]);
    }
    for (int i = 0; i < 5 && accepted; ++i) {
      if (texts[i].empty()) continue;
      const auto* raw = reinterpret_cast<const char*>(store.RecordAddr(r) + off[i]);
      std::string value(raw, strnlen(raw, 255));
      if (!query.CaseSensitive) value = UpperCase1251(value);
      const std::size_t at = value.find(texts[i]);
      const std::size_t position = at == std::string::npos ? 0 : at + 1;
      switch (query.Modes[i]) {
        case mtBegins:
          accepted = position == 1;
          break;
        case mtContains:
          accepted = position >= 1;
          break;
        case mtEquals:
          accepted = position == 1 && (value.size() == texts[i].size() || value[texts[i].size()] == ' ');
          break;
        default:
          break;
      }
    }
    if (accepted) found.push_back(static_cast<std::int32_t>(r));
  }
  const TIndexList& order = prepared.Lists[query.Order];
  std::sort(found.begin(), found.end(),
            [&](std::int32_t a, std::int32_t b) { return order.Rank(a) < order.Rank(b); });
  return found;
}

// Syllables in both letter cases, every letter of the Ukrainian alphabet and
// the neighbours that fold or do not (Ё ё Ў ў), a few Latin letters and digits.
const char* const kSyllables[] = {
    "Ша", "ше", "Вч", "ен", "КО", "ко", "Іва", "іВ", "ЇЖ", "їж", "Єв", "єВ", "Ґа", "ґу", "Ёл", "ёл",
    "Ўс", "ўс", "аб", "ВГ", "дж", "ЗИ", "йк", "Лм", "НО", "пр", "Ст", "уф", "Хц", "Чщ", "ьЮ", "Яя",
    "Ab", "zY", "12", "3", "А", "а", " ", "7 "};

class RandomDirectory {
 public:
  explicit RandomDirectory(std::uint32_t seed) : random_(seed) {}

  demo::TDbfTableWriter Table(std::uint32_t records) {
    demo::TDbfTableWriter table({{"NUMTEL", 7}, {"FIO", 40}, {"STREET", 30}, {"HOUSE", 7}, {"FLAT", 7}});
    const std::size_t widths[5] = {7, 40, 30, 7, 7};
    for (std::uint32_t r = 0; r < records; ++r) {
      std::vector<std::string> values;
      for (std::size_t width : widths) {
        const int pieces = Below(width > 7 ? 12 : 4);  // long values reach past eight bytes
        std::string value = Below(8) == 0 ? " " : "";  // sometimes a leading blank
        for (int p = 0; p < pieces; ++p) value += W1251(kSyllables[Below(std::size(kSyllables))]);
        values.push_back(value.substr(0, width));
      }
      table.AddRecord(values);
    }
    return table;
  }

  // A query built mostly from pieces of stored values, so that it finds
  // something, with changed letter case and blanks around or inside.
  Query Make(const TPreparedStore& prepared) {
    Query query;
    for (TMatchMode& mode : query.Modes) {
      mode = Below(12) == 0 ? static_cast<TMatchMode>(7) : static_cast<TMatchMode>(Below(3));
    }
    query.CaseSensitive = Below(2) == 0;
    query.Order = static_cast<std::uint8_t>(Below(3));
    const int used_fields = 1 + Below(2);
    for (int n = 0; n < used_fields; ++n) {
      const int field = Below(5);
      std::string text;
      if (Below(6) == 0) {
        text = W1251(kSyllables[Below(std::size(kSyllables))]);
      } else {
        const std::uint32_t record = Below(prepared.Store.RecordCount());
        const std::string value(prepared.Store.FieldText(prepared.Store.RecordAddr(record), field));
        const std::size_t start = Below(3) == 0 ? 0 : Below(value.size() + 1);
        text = value.substr(start, 1 + Below(8));
      }
      if (!query.CaseSensitive || Below(3) == 0) {
        for (char& c : text) {
          if (Below(3) == 0) c = static_cast<char>(Below(2) ? ToUpperTable()[static_cast<std::uint8_t>(c)]
                                                            : ToLowerTable()[static_cast<std::uint8_t>(c)]);
        }
      }
      if (Below(4) == 0) text = "  " + text;
      if (Below(4) == 0) text += " ";
      query.Params.Texts[field].Assign(text);
    }
    return query;
  }

 private:
  std::uint32_t Below(std::size_t n) { return static_cast<std::uint32_t>(random_() % n); }
  std::mt19937 random_;
};

std::vector<std::int32_t> EngineSearch(TPreparedStore& prepared, const Query& query) {
  TSearchList& search = prepared.Search;
  search.Modes = query.Modes;
  search.CaseSensitive = query.CaseSensitive;
  search.SetSortOrder(query.Order);
  search.Search(query.Params);
  return std::vector<std::int32_t>(search.Items(), search.Items() + search.Count());
}

std::string Describe(const Query& query) {
  std::string text = "modes";
  for (TMatchMode mode : query.Modes) text += " " + std::to_string(mode);
  text += query.CaseSensitive ? ", case" : ", no case";
  text += ", order " + std::to_string(query.Order) + ", texts";
  for (const TShortText& input : query.Params.Texts) text += " [" + Cp1251ToUtf8(input.View()) + "]";
  return text;
}

void CompareOnRandomQueries(std::uint32_t records, int queries, std::uint32_t seed) {
  TempFolder folder;
  RandomDirectory random(seed);
  TPreparedStore prepared(folder, random.Table(records));
  int with_results = 0;
  for (int q = 0; q < queries; ++q) {
    const Query query = random.Make(prepared);
    const std::vector<std::int32_t> expected = ReferenceSearch(prepared, query);
    ASSERT_EQ(EngineSearch(prepared, query), expected) << Describe(query);
    // Counting alone finds as many, and leaves the listed results as they are.
    TSearchList& search = prepared.Search;
    ASSERT_EQ(search.CountMatches(query.Params), static_cast<std::int64_t>(expected.size()))
        << Describe(query);
    ASSERT_EQ(std::vector<std::int32_t>(search.Items(), search.Items() + search.Count()), expected);
    with_results += !expected.empty();
  }
  // The queries must exercise matching, not only rejection.
  EXPECT_GT(with_results, queries / 3);
}

TEST(SearchReference, AgreesOnThousandsOfRandomQueries) { CompareOnRandomQueries(3000, 3000, 7); }

TEST(SearchReference, AgreesWhenTheScanRunsInTwoParts) { CompareOnRandomQueries(70000, 120, 11); }

}  // namespace
}  // namespace olvendrix
