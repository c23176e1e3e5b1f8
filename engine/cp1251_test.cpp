#include "cp1251.h"

#include <gtest/gtest.h>

namespace olvendrix {
namespace {

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
  for (int c = 1; c < 256; ++c) {
    const std::string byte(1, static_cast<char>(c));
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(byte)), byte) << c;
  }
}

TEST(Cp1251, UkrainianLettersHaveTheirBytes) {
  EXPECT_EQ(W1251("АЯаяІіЇїЄєҐґЁёЎў№"),
            "\xC0\xDF\xE0\xFF\xB2\xB3\xAF\xBF\xAA\xBA\xA5\xB4\xA8\xB8\xA1\xA2\xB9");
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
}

TEST(Cp1251, CaseTablesFoldOnlyTheNamedLetters) {
  const TCaseTable& upper = ToUpperTable();
  const TCaseTable& lower = ToLowerTable();
  EXPECT_EQ(UpperCase1251(W1251("іван єва ґанок ёж abc")), W1251("ІВАН ЄВА ҐАНОК ЁЖ ABC"));
  // ї and ў stay as they are in both directions.
  EXPECT_EQ(upper[0xBF], 0xBF);
  EXPECT_EQ(lower[0xAF], 0xAF);
  EXPECT_EQ(upper[0xA2], 0xA2);
  EXPECT_EQ(lower[0xA1], 0xA1);
  for (int c = 0xC0; c <= 0xDF; ++c) {
    EXPECT_EQ(lower[c], c + 32);
    EXPECT_EQ(upper[c + 32], c);
  }
  EXPECT_EQ(lower[0xB2], 0xB3);
  EXPECT_EQ(upper['1'], '1');
}

}  // namespace
}  // namespace olvendrix
