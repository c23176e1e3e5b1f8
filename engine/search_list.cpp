#include "engine/search_list.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/file_helpers.h"
#include "engine/field_match.h"
#include "engine/format.h"

namespace olvendrix {
namespace {

constexpr int kSearchedFields = 5;
constexpr int kIndexedFields = 3;

bool IsBlank(char c) { return static_cast<std::uint8_t>(c) <= 0x20; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return TrimTrailingBlanks(text);
}

// Rank ranges of one range-constrained field; a single usable range is kept
// in both slots.
struct RankFilter {
  const std::uint32_t* rank;
  std::uint32_t first1, span1, first2, span2;
  bool Passes(std::uint32_t record) const {
    const std::uint32_t r = rank[record];
    return r - first1 <= span1 || r - first2 <= span2;
  }
};

// Below this, a second thread costs more than it saves.
constexpr std::uint32_t kParallelScanRecords = 65536;

const TCaseTable& IdentityTable() {
  static const TCaseTable table = [] {
    TCaseTable t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<std::uint8_t>(c);
    return t;
  }();
  return table;
}

}  // namespace

void TShortText::Assign(std::string_view text) {
  Length = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), sizeof Chars));
  std::memcpy(Chars, text.data(), Length);
}

bool operator==(const TSearchParams& a, const TSearchParams& b) {
  for (int i = 0; i < kSearchedFields; ++i) {
    if (a.Texts[i].View() != b.Texts[i].View()) return false;
  }
  return true;
}

void TSearchList::Allocate(std::int32_t n) {
  storage_.Reset();
  buckets_.Allocate(0);
  capacity_ = 0;
  if (n <= 0) return;
  platform::MappedMemory storage = platform::AllocateRegion(4 * static_cast<std::uint64_t>(n));
  if (!storage) throw Exception("Error map file in SWAP in allocate procedure!");
  buckets_.Allocate(static_cast<std::uint32_t>(n));
  storage_ = std::move(storage);
  capacity_ = n;
}

void TSearchList::Search(const TSearchParams& params) {
  const TSearchParams texts = params;
  const std::uint8_t order = sort_order_;
  if (order >= kIndexedFields || IndexLists[order] == nullptr) {
    throw ESearchListError(Format("%d list is not assigned", {order}));
  }
  const bool loaded = Reader != nullptr && Reader->Loaded();
  const std::uint32_t records = loaded ? Reader->RecordCount() : 0;
  if (!loaded || capacity_ < 0 || static_cast<std::uint32_t>(capacity_) != records) {
    throw ESearchListError(Format("Error DBF Reader Count %d", {records}));
  }
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  const TCaseTable& fold = CaseSensitive ? IdentityTable() : upper;

  TFieldTest tests[kSearchedFields];
  int test_count = 0;
  RankFilter filters[kIndexedFields];
  int filter_count = 0;
  bool any_usable_everywhere = true;
  for (int i = 0; i < kSearchedFields; ++i) {
    const TFieldDesc& field = Reader->Fields()[i];
    std::uint16_t offset = field.Offset;
    std::uint16_t max_length = field.Width > 0 ? field.Width - 1 : 0;
    std::string_view text = Trim(texts.Texts[i].View());
    const TMatchMode mode = Modes[i];
    if (i < kIndexedFields && (mode == mtBegins || mode == mtEquals) && !text.empty()) {
      const auto first = static_cast<std::uint8_t>(text[0]);
      if (mode == mtBegins) {
        // The first byte is decided by the rank; compare from the second on.
        text.remove_prefix(1);
        ++offset;
        max_length = max_length > 0 ? max_length - 1 : 0;
      }
      TRankRange ranges[2];
      int usable = 0;
      const auto add = [&](std::uint8_t c) {
        const TRankRange range = IndexLists[i] ? IndexLists[i]->FirstCharRange(c) : TRankRange{};
        if (range.Usable()) ranges[usable++] = range;
      };
      if (CaseSensitive) {
        add(first);
      } else {
        add(lower[first]);
        if (upper[first] != lower[first]) add(upper[first]);
      }
      if (IndexLists[i] == nullptr || IndexLists[i]->Count() != static_cast<std::int32_t>(records)) {
        throw ESearchListError(Format("%d list is not assigned", {i}));
      }
      if (usable == 0) {
        any_usable_everywhere = false;
      } else {
        if (usable == 1) ranges[1] = ranges[0];
        filters[filter_count++] = {IndexLists[i]->Items(),
                                   static_cast<std::uint32_t>(ranges[0].First),
                                   static_cast<std::uint32_t>(ranges[0].Last - ranges[0].First),
                                   static_cast<std::uint32_t>(ranges[1].First),
                                   static_cast<std::uint32_t>(ranges[1].Last - ranges[1].First)};
      }
    }
    text = TrimTrailingBlanks(text);
    // A mode outside the three places no condition on its field.
    if (text.empty() || mode > mtEquals) continue;
    TFieldTest& test = tests[test_count++];
    test.Mode = mode;
    test.Offset = offset;
    test.MaxLength = max_length;
    test.SetText(text, fold, CaseSensitive ? nullptr : &lower);
  }
  if (IndexLists[order]->Count() != static_cast<std::int32_t>(records)) {
    throw ESearchListError(Format("%d list is not assigned", {order}));
  }

  if (KeepSelection && SelIndex >= 0 && SelIndex < count_) SelRecord = items()[SelIndex];
  count_ = 0;
  buckets_.Clear();

  // One pass over the records; on a large store the two halves are scanned
  // at once, each feeding its own side of the buckets.
  if (any_usable_everywhere) {
    const std::uint32_t* sort_rank = IndexLists[order]->Items();
    const std::uint8_t* store_end = Reader->Data() + Reader->Size();
    const auto scan = [&](std::uint32_t begin, std::uint32_t end, TRankBuckets::Side& side) {
      const std::uint16_t record_length = Reader->RecordLength();
      const std::uint8_t* record = Reader->RecordAddr(begin);
      for (std::uint32_t r = begin; r < end; ++r, record += record_length) {
        bool accepted = true;
        for (int f = 0; f < filter_count && accepted; ++f) accepted = filters[f].Passes(r);
        for (int t = 0; t < test_count && accepted; ++t) {
          accepted = Matches(tests[t], record, store_end, fold);
        }
        if (accepted) side.Add(sort_rank[r], r);
      }
    };
    if (records >= kParallelScanRecords && std::thread::hardware_concurrency() > 1) {
      const std::uint32_t middle = records / 2;
      std::thread helper([&] { scan(0, middle, buckets_.SideOf(1)); });
      scan(middle, records, buckets_.SideOf(0));
      helper.join();
    } else {
      scan(0, records, buckets_.SideOf(0));
    }
  }
  Expand();
}

void TSearchList::Expand() {
  std::int32_t selected = SelIndex;
  const std::int64_t found = buckets_.Place(items(), KeepSelection ? SelRecord : -1, selected);
  if (found < 0) throw ESearchListError("Error check size in Expand procedure");
  count_ = static_cast<std::int32_t>(found);
  if (KeepSelection) SelIndex = selected;
}

std::int32_t TSearchList::GetItem(std::int32_t position) const {
  if (static_cast<std::uint32_t>(position) >= static_cast<std::uint32_t>(capacity_)) {
    throw ESearchListError(Format("index out of bound: %i", {position}));
  }
  return items()[position];
}

const std::uint8_t* TSearchList::GetRecAddr(std::int32_t position) const {
  if (position < 0 || position >= count_) {
    throw ESearchListError(Format("Index value^ %d is out of bound in GetREcAddr FUnc!", {position}));
  }
  return Reader->RecordAddr(static_cast<std::uint32_t>(GetItem(position)));
}

char* TSearchList::WriteLine(const std::uint8_t* record, char* out) const {
  for (std::uint16_t f = 0; f < Reader->FieldCount(); ++f) {
    const std::string_view text = TrimTrailingBlanks(Reader->FieldText(record, f));
    out = std::copy(text.begin(), text.end(), out);
    *out++ = ' ';
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

std::string TSearchList::GetLine(std::int32_t position) const {
  const std::uint8_t* record = GetRecAddr(position);
  std::string line(static_cast<std::size_t>(Reader->RecordLength()) + 2, '\0');
  line.resize(static_cast<std::size_t>(WriteLine(record, line.data()) - line.data()));
  return line;
}

void TSearchList::SaveToFile(const std::filesystem::path& path) const {
  const std::string heading = ResultHeading();
  const std::uint64_t line_room = Reader != nullptr ? Reader->RecordLength() + 2u : 0u;
  const std::uint64_t room = heading.size() + static_cast<std::uint64_t>(count_) * line_room;
  platform::MappedMemory buffer = platform::AllocateRegion(room);
  if (!buffer) throw Exception("Error map file in SWAP in allocate procedure!");
  char* start = reinterpret_cast<char*>(buffer.Data());
  char* out = std::copy(heading.begin(), heading.end(), start);
  for (std::int32_t position = 0; position < count_; ++position) {
    out = WriteLine(GetRecAddr(position), out);
  }
  SaveThroughTempFile(path, start, static_cast<std::uint64_t>(out - start));
}

std::string ResultHeading() {
  return Format("Olvendrix v.%s   %s", {kProgramVersion, platform::LocalDateTimeText()}) + "\r\n";
}

}  // namespace olvendrix
