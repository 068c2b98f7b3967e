#include <gtest/gtest.h>

#include "engine/NumberRule.h"
#include "engine/Rounding.h"

using namespace veerline;

TEST(ParseFieldNumber, CommaDecimalReadsCommaAsDecimal) {
  EXPECT_DOUBLE_EQ(ParseFieldNumber("2,55", NumberSymbols::CommaDecimal()), 2.55);
  EXPECT_DOUBLE_EQ(ParseFieldNumber("  -1,4 ", NumberSymbols::CommaDecimal()), -1.4);
}

// A grouping symbol counts only between groups of three digits; elsewhere it
// makes the text no number instead of silently dropping out ("2,55" is not 255).
TEST(ParseFieldNumber, GroupingSymbolOnlyBetweenGroupsOfThree) {
  const auto pointComma = NumberSymbols::PointDecimalCommaGrouping();
  EXPECT_DOUBLE_EQ(ParseFieldNumber("1,234.5", pointComma), 1234.5);
  EXPECT_DOUBLE_EQ(ParseFieldNumber("-12,345,678", pointComma), -12345678.0);
  const NumberSymbols german{",", "."};
  EXPECT_DOUBLE_EQ(ParseFieldNumber("1.234,5", german), 1234.5);
  for (const char* bad : {"2,55", "1234,567", "1,23,456", ",123", "1,234,5"})
    EXPECT_FALSE(TryParseFieldNumber(bad, pointComma).has_value()) << bad;
  for (const char* bad : {"6.6", "1.2345", "12345.678"})
    EXPECT_FALSE(TryParseFieldNumber(bad, german).has_value()) << bad;
}

TEST(ParseFieldNumber, TextThatDoesNotConvertFails) {
  const auto point = NumberSymbols::PointDecimal();
  for (const char* bad : {"", "   ", "abc", "1.2.3", "2,55", "-", ".", "1e", "12x", "1,5"}) {
    EXPECT_FALSE(TryParseFieldNumber(bad, point).has_value()) << bad;
  }
  EXPECT_THROW(ParseFieldNumber("", point), ConversionError);
  EXPECT_FALSE(TryParseFieldNumber("1e999", point).has_value());
}

TEST(ParseFieldNumber, AcceptsExponentAndLeadingDecimal) {
  const auto point = NumberSymbols::PointDecimal();
  EXPECT_DOUBLE_EQ(ParseFieldNumber("1E3", point), 1000.0);
  EXPECT_DOUBLE_EQ(ParseFieldNumber(".5", point), 0.5);
  EXPECT_DOUBLE_EQ(ParseFieldNumber("+3.", point), 3.0);
}

TEST(FormatFieldNumber, ShortestFormWithLocaleDecimal) {
  EXPECT_EQ(FormatFieldNumber(2.55, NumberSymbols::CommaDecimal()), "2,55");
  EXPECT_EQ(FormatFieldNumber(2.55, NumberSymbols::PointDecimal()), "2.55");
  EXPECT_EQ(FormatFieldNumber(40.0, NumberSymbols::PointDecimal()), "40");
  EXPECT_EQ(FormatFieldNumber(-0.0, NumberSymbols::PointDecimal()), "0");
  EXPECT_EQ(FormatFieldNumber(0.1 + 0.2, NumberSymbols::PointDecimal()), "0.3");
  EXPECT_EQ(FormatFieldNumber(1234567.5, NumberSymbols::CommaDecimal()), "1234567,5");
}

TEST(FormatFieldNumber, RoundTripsThroughParse) {
  const auto comma = NumberSymbols::CommaDecimal();
  for (double v : {0.91, 9.3, 2.65, 1e-7, 123456.789, -5.25}) {
    EXPECT_DOUBLE_EQ(ParseFieldNumber(FormatFieldNumber(v, comma), comma), v);
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_DOUBLE_EQ(RoundHalfEven(12.25, 1), 12.2);
  EXPECT_DOUBLE_EQ(RoundHalfEven(12.35, 1), 12.4);  // 12.35 is stored just above the half
  EXPECT_DOUBLE_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_DOUBLE_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_DOUBLE_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_DOUBLE_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_DOUBLE_EQ(RoundHalfEven(31.26, 1), 31.3);
  EXPECT_DOUBLE_EQ(RoundHalfEven(45.04, 1), 45.0);
}
