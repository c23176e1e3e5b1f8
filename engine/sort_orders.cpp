#include "sort_orders.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace olvendrix {

TFieldOffsets FieldOffsets;

const TSortCompare kSortCompares[3] = {CompareByNumber, CompareByName, CompareByStreet};

namespace {

enum Field { kNumber = 0, kName = 1, kStreet = 2, kHouse = 3, kApartment = 4 };

const char* FieldAt(const std::uint8_t* record, int field) {
  return reinterpret_cast<const char*>(record + FieldOffsets.Offset[field]);
}

int CompareText(const std::uint8_t* a, const std::uint8_t* b, int field) {
  // strncmp compares as unsigned bytes and stops at the shorter text's zero.
  return std::strncmp(FieldAt(a, field), FieldAt(b, field), FieldOffsets.MaxLength[field]);
}

std::uint64_t HouseKeyOf(const std::uint8_t* record, int field) {
  const char* text = FieldAt(record, field);
  return HouseKey(std::string_view(text, strnlen(text, FieldOffsets.MaxLength[field])));
}

int CompareHouseKeys(const std::uint8_t* a, const std::uint8_t* b, int field) {
  const std::uint64_t key_a = HouseKeyOf(a, field);
  const std::uint64_t key_b = HouseKeyOf(b, field);
  return key_a < key_b ? -1 : key_a > key_b ? 1 : 0;
}

// The fields of each order's key, in order; houses and apartments by key.
struct KeyField {
  Field field;
  bool by_house_key;
};
constexpr KeyField kNumberKey[] = {{kNumber, false}};
constexpr KeyField kNameKey[] = {{kName, false}, {kStreet, false}};
constexpr KeyField kStreetKey[] = {
    {kStreet, false}, {kHouse, true}, {kApartment, true}, {kNumber, false}};

struct KeyFields {
  const KeyField* begin;
  const KeyField* end;
};
constexpr KeyFields kKeyFields[3] = {{std::begin(kNumberKey), std::end(kNumberKey)},
                                     {std::begin(kNameKey), std::end(kNameKey)},
                                     {std::begin(kStreetKey), std::end(kStreetKey)}};

int WordsOf(const KeyField& key) {
  return key.by_house_key ? 1 : (FieldOffsets.MaxLength[key.field] + 7) / 8;
}

// Bytes [8 × chunk, 8 × chunk + 8) of a field's text, zero after its end.
std::uint64_t TextChunk(const std::uint8_t* record, Field field, int chunk) {
  const char* text = FieldAt(record, field);
  const std::size_t length = strnlen(text, FieldOffsets.MaxLength[field]);
  std::uint64_t word = 0;
  for (std::size_t i = 8 * static_cast<std::size_t>(chunk), n = 0; n < 8; ++i, ++n) {
    word <<= 8;
    if (i < length) word |= static_cast<std::uint8_t>(text[i]);
  }
  return word;
}

}  // namespace

int KeyWordCount(int order) {
  int words = 0;
  for (const KeyField* key = kKeyFields[order].begin; key != kKeyFields[order].end; ++key) {
    words += WordsOf(*key);
  }
  return words;
}

std::uint64_t KeyWord(int order, const std::uint8_t* record, int word) {
  for (const KeyField* key = kKeyFields[order].begin; key != kKeyFields[order].end; ++key) {
    const int words = WordsOf(*key);
    if (word < words) {
      return key->by_house_key ? HouseKeyOf(record, key->field) : TextChunk(record, key->field, word);
    }
    word -= words;
  }
  return 0;
}

void FillFieldOffsets(const TDbfReader& store) {
  FieldOffsets = TFieldOffsets{};
  const std::size_t count = std::min<std::size_t>(5, store.Fields().size());
  for (std::size_t i = 0; i < count; ++i) {
    const TFieldDesc& field = store.Fields()[i];
    FieldOffsets.Offset[i] = field.Offset;
    FieldOffsets.MaxLength[i] = field.Width > 0 ? field.Width - 1 : 0;
  }
}

std::uint64_t HouseKey(std::string_view text) {
  std::uint64_t key = 0;
  const std::size_t n = std::min<std::size_t>(text.size(), 7);
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    key += c;
    if (c < '0' || c > '9') break;
    key <<= 8;
  }
  return key;
}

int CompareByNumber(const std::uint8_t* a, const std::uint8_t* b) {
  return CompareText(a, b, kNumber);
}

int CompareByName(const std::uint8_t* a, const std::uint8_t* b) {
  const int by_name = CompareText(a, b, kName);
  return by_name != 0 ? by_name : CompareText(a, b, kStreet);
}

int CompareByStreet(const std::uint8_t* a, const std::uint8_t* b) {
  if (const int by_street = CompareText(a, b, kStreet)) return by_street;
  if (const int by_house = CompareHouseKeys(a, b, kHouse)) return by_house;
  if (const int by_apartment = CompareHouseKeys(a, b, kApartment)) return by_apartment;
  return CompareText(a, b, kNumber);
}

}  // namespace olvendrix
