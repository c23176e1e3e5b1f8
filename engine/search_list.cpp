#include "engine/search_list.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "engine/cp1251.h"
#include "engine/errors.h"
#include "engine/file_helpers.h"
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

// One field's condition, prepared once per search.
struct FieldTest {
  TMatchMode mode;
  std::uint16_t offset;
  std::uint16_t max_length;  // of the value, from `offset` on
  std::uint8_t length;
  char text[256];
  // The raw bytes that fold to text[0], repeated in all eight bytes.
  std::uint64_t first_a, first_b;
};

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

constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// High bit set in every byte of `word` that is zero (and perhaps in a few
// above one: candidates are verified anyway).
std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kLowBits) & ~word & kHighBits; }

bool SameFolded(const char* value, const char* text, std::size_t length, const TCaseTable& fold) {
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<char>(fold[static_cast<std::uint8_t>(value[i])]) != text[i]) return false;
  }
  return true;
}

// The folded text occurs in the value. Eight bytes at a time, the positions
// whose byte folds to the text's first byte are found, then verified.
bool Contains(const FieldTest& test, const char* raw, const TCaseTable& fold) {
  const std::size_t n = strnlen(raw, test.max_length);
  if (n < test.length) return false;
  char value[256 + 8];
  std::memcpy(value, raw, n);
  std::memset(value + n, 0, 8);
  const std::size_t last_start = n - test.length;
  for (std::size_t i = 0; i <= last_start; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, value + i, 8);
    std::uint64_t hits = ZeroBytes(word ^ test.first_a) | ZeroBytes(word ^ test.first_b);
    while (hits != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctzll(hits) / 8);
      hits &= hits - 1;
      if (at <= last_start && SameFolded(value + at, test.text, test.length, fold)) return true;
    }
  }
  return false;
}

bool Matches(const FieldTest& test, const std::uint8_t* record, const TCaseTable& fold) {
  const char* raw = reinterpret_cast<const char*>(record + test.offset);
  if (test.mode == mtContains) return Contains(test, raw, fold);
  // mtBegins and mtEquals: the value begins with the text.
  if (test.length > test.max_length) return false;
  for (std::size_t i = 0; i < test.length; ++i) {
    if (raw[i] == 0 || static_cast<char>(fold[static_cast<std::uint8_t>(raw[i])]) != test.text[i]) {
      return false;
    }
  }
  if (test.mode == mtBegins || test.length == test.max_length) return true;
  // mtEquals: the text is the whole value or a word of it followed by a blank.
  return raw[test.length] == 0 || raw[test.length] == ' ';
}

// What one part of the scan found: the count and the lowest and highest slot.
struct ScanPart {
  std::int32_t lowest = 0;
  std::int32_t highest = -1;
  std::int32_t count = 0;
  void Add(std::int32_t slot) {
    lowest = std::min(lowest, slot);
    highest = std::max(highest, slot);
    ++count;
  }
  void Merge(const ScanPart& other) {
    lowest = std::min(lowest, other.lowest);
    highest = std::max(highest, other.highest);
    count += other.count;
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
  capacity_ = 0;
  if (n <= 0) return;
  platform::MappedMemory storage = platform::AllocateRegion(4 * static_cast<std::uint64_t>(n));
  if (!storage) throw Exception("Error map file in SWAP in allocate procedure!");
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

  FieldTest tests[kSearchedFields];
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
    FieldTest& test = tests[test_count++];
    test.mode = mode;
    test.offset = offset;
    test.max_length = max_length;
    test.length = static_cast<std::uint8_t>(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
      test.text[k] = static_cast<char>(fold[static_cast<std::uint8_t>(text[k])]);
    }
    const auto first = static_cast<std::uint8_t>(test.text[0]);
    const std::uint8_t other = CaseSensitive ? first : lower[first];
    test.first_a = kLowBits * first;
    test.first_b = kLowBits * other;
  }
  if (IndexLists[order]->Count() != static_cast<std::int32_t>(records)) {
    throw ESearchListError(Format("%d list is not assigned", {order}));
  }

  std::int32_t* slots = items();
  if (KeepSelection && SelIndex >= 0 && SelIndex < count_) SelRecord = slots[SelIndex];
  count_ = 0;
  if (capacity_ > 0) std::fill(slots, slots + capacity_, -1);

  // One pass over the records; on a large store the two halves are scanned
  // at once. Ranks are unique, so the halves never write the same slot.
  ScanPart whole{capacity_, -1, 0};
  if (any_usable_everywhere) {
    const std::uint32_t* sort_rank = IndexLists[order]->Items();
    const auto scan = [&](std::uint32_t begin, std::uint32_t end) {
      ScanPart part{capacity_, -1, 0};
      const std::uint16_t record_length = Reader->RecordLength();
      const std::uint8_t* record = Reader->RecordAddr(begin);
      for (std::uint32_t r = begin; r < end; ++r, record += record_length) {
        bool accepted = true;
        for (int f = 0; f < filter_count && accepted; ++f) accepted = filters[f].Passes(r);
        for (int t = 0; t < test_count && accepted; ++t) accepted = Matches(tests[t], record, fold);
        if (!accepted) continue;
        const auto slot = static_cast<std::int32_t>(sort_rank[r]);
        slots[slot] = static_cast<std::int32_t>(r);
        part.Add(slot);
      }
      return part;
    };
    if (records >= kParallelScanRecords && std::thread::hardware_concurrency() > 1) {
      const std::uint32_t middle = records / 2;
      ScanPart first_half;
      std::thread helper([&] { first_half = scan(0, middle); });
      const ScanPart second_half = scan(middle, records);
      helper.join();
      whole = first_half;
      whole.Merge(second_half);
    } else {
      whole = scan(0, records);
    }
  }
  count_ = whole.count;
  Expand(whole.lowest, whole.highest);
}

void TSearchList::Expand(std::int32_t lowest, std::int32_t highest) {
  // Slots outside [lowest, highest] are all -1: walking them changes nothing.
  std::int32_t* slots = items();
  std::int32_t found = 0;
  for (std::int32_t i = lowest; i <= highest; ++i) {
    // Sparse results: skip four empty slots at a time.
    while (i + 4 <= highest) {
      std::uint64_t pair[2];
      std::memcpy(pair, slots + i, sizeof pair);
      if ((pair[0] & pair[1]) != ~std::uint64_t{0}) break;
      i += 4;
    }
    const std::int32_t record = slots[i];
    if (record == -1) continue;
    if (KeepSelection && record == SelRecord) SelIndex = found;
    slots[found++] = record;
  }
  if (found != count_) throw ESearchListError("Error check size in Expand procedure");
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
