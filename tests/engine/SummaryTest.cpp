#include <gtest/gtest.h>

#include "engine/Summary.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

using D = Dimension;
using sweeptest::RecordingHost;

// The total, with the caption it gives kept in the host's list as the window shows it.
double Sum(int type, const VehicleFields& fields, RecordingHost& host) {
  std::string caption;
  const double total = SumSegments(type, fields, host, &caption);
  if (!caption.empty()) host.captions.push_back(caption);
  return total;
}

// The default fields under a comma locale with the given unit list position.
VehicleFields CommaFields(int unit = 1) {
  VehicleFields fields = VehicleFields::Defaults(NumberSymbols::CommaDecimal());
  fields.Unit = static_cast<std::int16_t>(unit);
  return fields;
}

TEST(SumSegments, SemiTrailerInMetresUnderACommaLocale) {
  RecordingHost host(NumberSymbols::CommaDecimal());
  const double total = Sum(2, CommaFields(), host);
  EXPECT_NEAR(total, 21.05, 1e-12);
  ASSERT_EQ(host.captions.size(), 1u);
  EXPECT_EQ(host.captions[0], "Total Length: 21,05 meter");
  ASSERT_EQ(host.status.size(), 1u);
  EXPECT_EQ(host.status[0], "Min Turning Radius (Centerline): 8,71 meter");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.pendingEventCalls, 1);
}

TEST(SumSegments, TotalLengthByType) {
  // Distinct values so that every term shows in the sum.
  VehicleFields fields = CommaFields();
  const std::pair<D, const char*> values[] = {
      {D::Front, "1"},        {D::Wheelbase, "2"},   {D::Back, "4"},        {D::Hitch, "8"},
      {D::Wheelbase2, "16"},  {D::Back2, "32"},      {D::Hitch2, "64"},     {D::Hitch3, "128"},
      {D::Wheelbase3, "256"}, {D::Back3, "512"},     {D::Hitch4, "1024"},   {D::Wheelbase4, "2048"},
      {D::Back4, "4096"},     {D::Front2, "100000"}, {D::Front3, "100000"}, {D::Front4, "100000"},
  };
  for (const auto& [d, text] : values) fields[d] = text;
  const std::pair<int, double> rows[] = {
      {1, 7},   {6, 7},     {7, 7},    {2, 59},   {4, 59},   {5, 59}, {8, 59}, {3, 123},
      {9, 955}, {10, 8123}, {11, 859}, {12, 859}, {13, 859}, {0, 0},  {14, 0},
  };
  for (const auto& [type, expected] : rows) {
    RecordingHost host(NumberSymbols::CommaDecimal());
    EXPECT_EQ(Sum(type, fields, host), expected) << "type " << type;
  }
}

TEST(SumSegments, FieldThatDoesNotConvertGivesZeroAndNoMessage) {
  for (const char* text : {"", ",", "abc"}) {
    VehicleFields fields = CommaFields();
    fields[D::Back2] = text;
    RecordingHost host(NumberSymbols::CommaDecimal());
    EXPECT_EQ(Sum(2, fields, host), 0) << text;
    EXPECT_EQ(host.captions.back(), "Total Length: 0 meter");
    EXPECT_EQ(host.status.back(), "Min Turning Radius (Centerline): 8,71 meter");
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(SumSegments, MinimumRadiusPanel) {
  RecordingHost host(NumberSymbols::CommaDecimal());
  VehicleFields fields = CommaFields();
  fields[D::MaxTurningAngle] = "90";
  Sum(1, fields, host);
  EXPECT_EQ(host.status.back(), "Min Turning Radius (Centerline): 5,60 meter");

  fields[D::MaxTurningAngle] = "0";
  Sum(1, fields, host);
  EXPECT_EQ(host.status.back(), "");

  // An angle being typed: nothing reported, the caption still follows.
  fields[D::MaxTurningAngle] = "4a";
  host.captions.clear();
  Sum(1, fields, host);
  EXPECT_EQ(host.status.back(), "");
  EXPECT_EQ(host.captions.size(), 1u);
  EXPECT_TRUE(host.messages.empty());

  fields[D::MaxTurningAngle] = "-90";
  Sum(1, fields, host);
  EXPECT_EQ(host.status.back(), "Min Turning Radius (Centerline): -5,60 meter");
}

TEST(SumSegments, UnitWordFollowsTheListPosition) {
  struct Row {
    int position;
    const char* caption;
  };
  const Row rows[] = {
      {0, "Total Length: 9,6  Unit not set"}, {1, "Total Length: 9,6 meter"},
      {2, "Total Length: 9,6 decimeter"},     {3, "Total Length: 9,6 centimeter"},
      {4, "Total Length: 9,6 Millimeter"},    {5, "Total Length: 9,6 feet"},
      {6, "Total Length: 9,6 inches"},        {-1, "Total Length: 9,6  not set"},
  };
  for (const Row& row : rows) {
    RecordingHost host(NumberSymbols::CommaDecimal());
    Sum(1, CommaFields(row.position), host);
    EXPECT_EQ(host.captions.back(), row.caption);
  }
}

TEST(FormatHashDotZeroZero, TwoDecimalsAndNoLeadingZero) {
  const NumberSymbols comma = NumberSymbols::CommaDecimal();
  EXPECT_EQ(FormatHashDotZeroZero(0.5, comma), ",50");
  EXPECT_EQ(FormatHashDotZeroZero(12.3, comma), "12,30");
  EXPECT_EQ(FormatHashDotZeroZero(8.71, NumberSymbols::PointDecimal()), "8.71");
  EXPECT_EQ(FormatHashDotZeroZero(0, comma), ",00");
  EXPECT_EQ(FormatHashDotZeroZero(-0.5, comma), "-,50");
  EXPECT_EQ(FormatHashDotZeroZero(1234567.25, comma), "1234567,25");
}

}  // namespace
}  // namespace veerline
