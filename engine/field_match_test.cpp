#include "field_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>


namespace olvendrix {
namespace {

// What contains means, byte by byte: the folded text occurs in the folded
// value before its zero and within its room.
bool PlainContains(const std::string& value, std::size_t room, const std::string& folded_text,
                   const TCaseTable& fold) {
  std::string folded;
  for (std::size_t i = 0; i < room && i < value.size() && value[i] != 0; ++i) {
    folded += static_cast<char>(fold[static_cast<std::uint8_t>(value[i])]);
  }
  return folded.find(folded_text) != std::string::npos;
}

// Values of every length up to five vector blocks, texts shorter and longer
// than the bytes compared at once, the text at every place and in both cases, the store ending right after the field or far beyond.
TEST(FieldMatch, ContainsAgreesWithThePlainDefinition) {
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  const std::string alphabet = W1251("аБвЕенНкКоО ія");
  std::mt19937 random(3);
  const auto text_of = [&](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
      text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    }
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::size_t room = std::uniform_int_distribution<std::size_t>(1, 80)(random);
    std::string value = text_of(std::uniform_int_distribution<std::size_t>(0, room)(random));
    const std::string needle = text_of(std::uniform_int_distribution<std::size_t>(1, 7)(random));
    if (round % 2 == 0 && needle.size() <= value.size()) {
      value.replace(std::uniform_int_distribution<std::size_t>(0, value.size() - needle.size())(random),
                    needle.size(), needle);
    }
    TFieldTest test;
    test.Mode = mtContains;
    test.MaxLength = static_cast<std::uint16_t>(room);
    test.SetText(needle, upper, &lower);
    const std::string folded_needle(test.Text, test.Length);
    // The value in its room, then bytes that must not count: after its zero,
    // or right after a value that fills the room.
    const bool full = value.size() == room && round % 3 == 0;
    std::string stored = value + (full ? "" : std::string(1, '\0')) + text_of(120);
    const bool expected = PlainContains(stored, room, folded_needle, upper);
    const auto* record = reinterpret_cast<const std::uint8_t*>(stored.data());
    ASSERT_EQ(Matches(test, record, record + stored.size(), upper), expected) << round;
    ASSERT_EQ(Matches(test, record, record + room, upper), expected) << round;
  }
}

// A row of records gives, bit by bit, what each record's own test gives: in
// every mode, for rows of any length, at the store's end or far from it.
TEST(FieldMatch, ARowOfRecordsAgreesWithEachRecordsTest) {
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  const std::string alphabet = W1251("еЕнНкКоО ");
  std::mt19937 random(5);
  const auto pick = [&](std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
  };
  const auto text_of = [&](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += alphabet[pick(0, alphabet.size() - 1)];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    TFieldTest test;
    test.Mode = static_cast<TMatchMode>(pick(0, 2));
    test.MaxLength = static_cast<std::uint16_t>(pick(1, 70));
    test.Offset = static_cast<std::uint16_t>(pick(0, 9));
    test.SetText(text_of(pick(1, 6)), upper, round % 2 == 0 ? &lower : nullptr);
    const std::size_t record_length = test.Offset + test.MaxLength + pick(0, 3);
    const auto count = static_cast<unsigned>(pick(1, 64));
    std::string store;
    for (unsigned i = 0; i < count; ++i) {
      std::string record = text_of(test.Offset) + text_of(pick(0, test.MaxLength));
      record.resize(record_length, '\0');
      store += record;
    }
    store += round % 3 == 0 ? std::string() : text_of(100);
    const auto* first = reinterpret_cast<const std::uint8_t*>(store.data());
    const std::uint8_t* store_end = first + store.size();
    std::uint64_t expected = 0;
    for (unsigned i = 0; i < count; ++i) {
      expected |= std::uint64_t{Matches(test, first + i * record_length, store_end, upper)} << i;
    }
    ASSERT_EQ(MatchesInRow(test, first, record_length, count, store_end, upper), expected) << round;
  }
}

}  // namespace
}  // namespace olvendrix
