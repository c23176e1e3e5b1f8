#include "field_match.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace olvendrix {
namespace {

constexpr std::size_t kVector = 16;

// The folded text at `value`: every byte present (none is the terminator)
// and folding to the text's byte.
bool SameFolded(const char* value, const TFieldTest& test, const TCaseTable& fold) {
  for (std::size_t i = 0; i < test.Length; ++i) {
    const auto c = static_cast<std::uint8_t>(value[i]);
    if (c == 0 || static_cast<char>(fold[c]) != test.Text[i]) return false;
  }
  return true;
}

// Positions (bits) of a 16-byte block whose byte is one of the two given.
inline unsigned EitherByte(__m128i block, const std::uint8_t (&raw)[2][16]) {
  const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(raw[0]));
  const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(raw[1]));
  const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, a), _mm_cmpeq_epi8(block, b));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// The folded text occurs in the value of at most `max_length` bytes ending
// at its first zero. Sixteen start positions at a time, those whose first two
// bytes fold to the text's first two are found, then verified. Reads up to
// value + max_length + kVector bytes.
bool ContainsAt(const char* value, std::size_t max_length, const TFieldTest& test,
                const TCaseTable& fold) {
  const std::size_t length = test.Length;
  if (length > max_length) return false;
  const std::size_t last_start = max_length - length;
  const __m128i zero = _mm_setzero_si128();
  for (std::size_t i = 0; i <= last_start; i += kVector) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value + i));
    unsigned hits = EitherByte(first, test.Raw[0]);
    if (length > 1) {
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value + i + 1));
      hits &= EitherByte(second, test.Raw[1]);
    }
    const std::size_t room = last_start - i;  // the last start in this block, from i
    if (room < kVector - 1) hits &= (2u << room) - 1;
    const auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(first, zero)));
    if (ends != 0) {
      // The value ends in this block: a match must end by its zero.
      const auto end = static_cast<std::size_t>(__builtin_ctz(ends));
      hits &= end >= length ? (2u << (end - length)) - 1 : 0u;
    }
    while (hits != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(hits));
      hits &= hits - 1;
      if (SameFolded(value + at, test, fold)) return true;
    }
    if (ends != 0) return false;
  }
  return false;
}

// The values this short fit one 64-bit mask per compared byte.
constexpr std::size_t kShortValue = 63;

// ContainsAt, for a value of at most kShortValue bytes in `Blocks` vectors,
// comparing its first `Bytes` text bytes without a branch per block: the
// compares of every block go into one mask per text byte, and the masks,
// each shifted by its byte's place, meet at the starts that match. Reads up
// to value + max_length + kVector bytes.
template <int Blocks, int Bytes>
[[gnu::always_inline]] inline bool ContainsInShort(const char* value, std::size_t max_length, const TFieldTest& test,
                     const TCaseTable& fold) {
  const std::size_t length = test.Length;
  const __m128i zero = _mm_setzero_si128();
  std::uint64_t zeros = std::uint64_t{1} << max_length;  // the width ends it at the latest
  std::uint64_t found[Bytes] = {};
  for (int b = 0; b < Blocks; ++b) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(value + b * kVector));
    const int shift = b * static_cast<int>(kVector);
    zeros |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, zero)))} << shift;
    for (int k = 0; k < Bytes; ++k) found[k] |= std::uint64_t{EitherByte(block, test.Raw[k])} << shift;
  }
  std::uint64_t hits = found[0];
  for (int k = 1; k < Bytes; ++k) hits &= found[k] >> k;
  // A match must end by the value's first zero.
  const auto end = static_cast<std::size_t>(__builtin_ctzll(zeros));
  hits = end >= length ? hits & (~std::uint64_t{0} >> (63 - (end - length))) : 0;
  if (length <= static_cast<std::size_t>(Bytes)) return hits != 0;  // the compare decided
  for (; hits != 0; hits &= hits - 1) {
    if (SameFolded(value + __builtin_ctzll(hits), test, fold)) return true;
  }
  return false;
}

// Calls run(blocks, bytes), both std::integral_constant, with the vector
// blocks of a value of at most kShortValue bytes and the text bytes to
// compare at once. Texts of up to kRawBytes bytes are decided by the compares
// alone, without a branch on the value's bytes; longer ones are verified
// where their first kRawBytes bytes match, which leaves few candidates.
template <int Blocks, typename Run>
auto WithTextBytes(std::size_t text_length, const Run& run) {
  switch (std::min<std::size_t>(text_length, TFieldTest::kRawBytes)) {
    case 1: return run(std::integral_constant<int, Blocks>{}, std::integral_constant<int, 1>{});
    case 2: return run(std::integral_constant<int, Blocks>{}, std::integral_constant<int, 2>{});
    case 3: return run(std::integral_constant<int, Blocks>{}, std::integral_constant<int, 3>{});
    default: return run(std::integral_constant<int, Blocks>{}, std::integral_constant<int, 4>{});
  }
}

template <typename Run>
auto WithShortShape(std::size_t max_length, std::size_t text_length, const Run& run) {
  switch ((max_length + kVector - 1) / kVector) {
    case 1: return WithTextBytes<1>(text_length, run);
    case 2: return WithTextBytes<2>(text_length, run);
    case 3: return WithTextBytes<3>(text_length, run);
    default: return WithTextBytes<4>(text_length, run);
  }
}

bool ContainsInValue(const char* value, std::size_t max_length, const TFieldTest& test,
                     const TCaseTable& fold) {
  if (test.Length > max_length) return false;
  if (max_length > kShortValue) return ContainsAt(value, max_length, test, fold);
  return WithShortShape(max_length, test.Length, [&](auto blocks, auto bytes) {
    return ContainsInShort<decltype(blocks)::value, decltype(bytes)::value>(value, max_length, test, fold);
  });
}

bool Contains(const TFieldTest& test, const char* raw, const std::uint8_t* store_end,
              const TCaseTable& fold) {
  const std::size_t max_length = test.MaxLength;
  if (reinterpret_cast<const std::uint8_t*>(raw) + max_length + kVector + 1 <= store_end) {
    return ContainsInValue(raw, max_length, test, fold);
  }
  // Near the end of the store the loads would pass it: scan a padded copy.
  char value[256 + kVector + 1] = {};
  const std::size_t n = strnlen(raw, std::min<std::size_t>(max_length, 256));
  std::memcpy(value, raw, n);
  return ContainsInValue(value, n, test, fold);
}

// Bit i: `passes` for the record i of `count` in a row.
template <typename Passes>
[[gnu::always_inline]] inline std::uint64_t EachInRow(const std::uint8_t* record, std::size_t record_length,
                                                      unsigned count, const Passes& passes) {
  std::uint64_t word = 0;
  for (unsigned i = 0; i < count; ++i, record += record_length) {
    word |= std::uint64_t{passes(reinterpret_cast<const char*>(record))} << i;
  }
  return word;
}

}  // namespace

std::uint64_t MatchesInRow(const TFieldTest& test, const std::uint8_t* first, std::size_t record_length,
                           unsigned count, const std::uint8_t* store_end, const TCaseTable& fold) {
  const std::uint8_t* last_value = first + (count - 1) * record_length + test.Offset;
  const bool loads_fit = last_value + test.MaxLength + kVector + 1 <= store_end;
  if (test.Mode == mtContains && loads_fit && test.Length <= test.MaxLength && test.MaxLength <= kShortValue) {
    return WithShortShape(test.MaxLength, test.Length, [&](auto blocks, auto bytes) {
      return EachInRow(first + test.Offset, record_length, count, [&](const char* value) {
        return ContainsInShort<decltype(blocks)::value, decltype(bytes)::value>(value, test.MaxLength, test, fold);
      });
    });
  }
  return EachInRow(first, record_length, count, [&](const char* record) {
    return Matches(test, reinterpret_cast<const std::uint8_t*>(record), store_end, fold);
  });
}

void TFieldTest::SetText(std::string_view text, const TCaseTable& fold, const TCaseTable* lower) {
  Length = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), 255));
  for (std::size_t k = 0; k < Length; ++k) {
    Text[k] = static_cast<char>(fold[static_cast<std::uint8_t>(text[k])]);
  }
  for (std::size_t k = 0; k < TFieldTest::kRawBytes && k < Length; ++k) {
    const auto c = static_cast<std::uint8_t>(Text[k]);
    std::memset(Raw[k][0], c, sizeof Raw[k][0]);
    std::memset(Raw[k][1], lower != nullptr ? (*lower)[c] : c, sizeof Raw[k][1]);
  }
}

bool Matches(const TFieldTest& test, const std::uint8_t* record, const std::uint8_t* store_end,
             const TCaseTable& fold) {
  const char* raw = reinterpret_cast<const char*>(record + test.Offset);
  if (test.Mode == mtContains) return Contains(test, raw, store_end, fold);
  // mtBegins and mtEquals: the value begins with the text.
  if (test.Length > test.MaxLength) return false;
  for (std::size_t i = 0; i < test.Length; ++i) {
    if (raw[i] == 0 || static_cast<char>(fold[static_cast<std::uint8_t>(raw[i])]) != test.Text[i]) {
      return false;
    }
  }
  if (test.Mode == mtBegins || test.Length == test.MaxLength) return true;
  // mtEquals: the text is the whole value or a word of it followed by a blank.
  return raw[test.Length] == 0 || raw[test.Length] == ' ';
}

}  // namespace olvendrix
