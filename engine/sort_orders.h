// The three sort orders of the directory: their compare functions and keys.
//
// Order 0 by telephone number, 1 by full name then street, 2 by street, house,
// apartment, then number. Texts compare bytewise as unsigned values, a prefix
// first; houses and apartments compare by HouseKey. Pure functions over store
// records; FieldOffsets must be filled for the store before they are called.
#pragma once

#include <cstdint>
#include <string_view>

#include "dbf_reader.h"

namespace olvendrix {

// Compares two store records: negative, zero or positive. The compare
// function of an order must agree with that order's key words (KeyWord); the
// sort orders by the words and leaves the compare only the whole-key ties.
using TSortCompare = int (*)(const std::uint8_t* a, const std::uint8_t* b);

// Where the first five fields lie within a store record, and how long their
// texts may be (the store's width less the terminator).
struct TFieldOffsets {
  std::uint16_t Offset[5] = {};
  std::uint16_t MaxLength[5] = {};
};

// Read by the compare functions. Filled by the owner before sorting, on the
// thread that sorts; one store per process.
extern TFieldOffsets FieldOffsets;
void FillFieldOffsets(const TDbfReader& store);

// Leading digits byte by byte, then the first non-digit as the last byte;
// at most the first 7 characters count.
std::uint64_t HouseKey(std::string_view text);

int CompareByNumber(const std::uint8_t* a, const std::uint8_t* b);
int CompareByName(const std::uint8_t* a, const std::uint8_t* b);
int CompareByStreet(const std::uint8_t* a, const std::uint8_t* b);

// The compare function of each order, 0..2.
extern const TSortCompare kSortCompares[3];

// The key of an order as a row of 64-bit words: comparing two records' words
// in turn, as unsigned values, orders them as the order's compare function
// does, and records whose words are all equal compare equal. A text field
// gives its bytes eight at a time, most significant first and zero after its
// end; a house or apartment gives its HouseKey. Reads FieldOffsets.
int KeyWordCount(int order);
std::uint64_t KeyWord(int order, const std::uint8_t* record, int word);

}  // namespace olvendrix
