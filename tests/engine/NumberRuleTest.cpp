#include <gtest/gtest.h>

#include "engine/NumberRule.h"
#include "engine/Rounding.h"

using namespace veerline;

TEST(ParseFieldNumber, CommaDecimalReadsCommaAsDecimal) {
  EXPECT_DOUBLE_EQ(ParseFieldNumber("2,55", NumberSymbols::CommaDecimal()), 2.55);
  EXPECT_DOUBLE_EQ(ParseFieldNumber("  -1,4 ", NumberSymbols::CommaDecimal()), -1.4);
}

TEST(ParseFieldNumber, PointDecimalWithCommaGroupingReadsCommaAsGrouping) {
  EXPECT_DOUBLE_EQ(ParseFieldNumber("2,55", NumberSymbols::PointDecimalCommaGrouping()), 255.0);
  EXPECT_DOUBLE_EQ(ParseFieldNumber("1,234.5", NumberSymbols::PointDecimalCommaGrouping()), 1234.5);
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
