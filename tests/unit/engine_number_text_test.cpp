#include <gtest/gtest.h>

#include "engine/number_text.h"

namespace rw {
namespace {

TEST(NumberText, ReadsDecimalNumbersWithBlanksSignPointAndExponent) {
  EXPECT_EQ(RoundToInt16("180"), 180);
  EXPECT_EQ(RoundToInt16("  -42\t"), -42);
  EXPECT_EQ(RoundToInt16("+7"), 7);
  EXPECT_EQ(RoundToInt16("250.6"), 251);
  EXPECT_EQ(RoundToInt16(".5e1"), 5);
  EXPECT_EQ(RoundToInt16("7."), 7);
  EXPECT_EQ(RoundToInt16("1.2E+2"), 120);
  EXPECT_EQ(RoundToInt16("4500e-2"), 45);
  EXPECT_EQ(RoundToInt16("000000000000000000000012"), 12);
  EXPECT_EQ(RoundToInt16("-0"), 0);
}

TEST(NumberText, HalvesGoToTheEvenNeighbourOnTheExactValue) {
  EXPECT_EQ(RoundToInt16("0.5"), 0);
  EXPECT_EQ(RoundToInt16("1.5"), 2);
  EXPECT_EQ(RoundToInt16("2.5"), 2);
  EXPECT_EQ(RoundToInt16("-2.5"), -2);
  EXPECT_EQ(RoundToInt16("-3.5"), -4);
  EXPECT_EQ(RoundToInt16("2.50000000000000000001"), 3);  // just above a half, beyond double precision
  EXPECT_EQ(RoundToInt16("2.49999999999999999999"), 2);
  EXPECT_EQ(RoundToInt16("0.09"), 0);
  EXPECT_EQ(RoundToInt16("1e-400"), 0);
}

TEST(NumberText, RangeEndsAndBeyond) {
  EXPECT_EQ(RoundToInt16("32767"), 32767);
  EXPECT_EQ(RoundToInt16("32767.4"), 32767);
  EXPECT_EQ(RoundToInt16("32767.5"), std::nullopt);  // rounds to 32768
  EXPECT_EQ(RoundToInt16("-32768"), -32768);
  EXPECT_EQ(RoundToInt16("-32768.5"), -32768);  // even neighbour
  EXPECT_EQ(RoundToInt16("-32769"), std::nullopt);
  EXPECT_EQ(RoundToInt16("100000"), std::nullopt);
  EXPECT_EQ(RoundToInt16("1e999999999999999999999"), std::nullopt);
  EXPECT_TRUE(IsNumeric("1e999999999999999999999"));
}

TEST(NumberText, TextThatIsNotANumber) {
  for (const char* text :
       {"", "   ", "abc", "12a", "1 2", "--1", "+", ".", "1e", "1e+", "0x10", "1,000", "12px", "e5"}) {
    EXPECT_FALSE(IsNumeric(text)) << text;
    EXPECT_EQ(RoundToInt16(text), std::nullopt) << text;
  }
}

TEST(NumberText, SumsStayInSixteenBits) {
  EXPECT_EQ(AddWithinInt16(180, 13), 193);
  EXPECT_EQ(AddWithinInt16(32754, 13), 32767);
  EXPECT_EQ(AddWithinInt16(32755, 13), std::nullopt);
  EXPECT_EQ(AddWithinInt16(-32768, -1), std::nullopt);
}

}  // namespace
}  // namespace rw
