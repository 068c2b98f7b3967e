#include <gtest/gtest.h>

#include "engine/VehicleModel.h"

using namespace veerline;

namespace {

// A record with distinct values so every field's place in the chain is visible.
VehicleRecord Distinct(int type) {
  VehicleRecord r;
  r.Type = static_cast<std::int16_t>(type);
  for (int i = 0; i < kDimensionCount; ++i) r.values[i] = 100 + i;
  return r;
}

double V(const VehicleRecord& r, Dimension d) { return r[d]; }

}  // namespace

TEST(BuildSegments, SingleBodyTypesHaveOneTowingUnitWithoutHitch) {
  for (int type : {1, 6, 7}) {
    const auto r = Distinct(type);
    const auto chain = BuildSegments(type, r);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(chain[0].Kind, SegmentKind::TowingUnit);
    EXPECT_EQ(chain[0].Front, V(r, Dimension::Front));
    EXPECT_EQ(chain[0].Hitch, 0.0);
    EXPECT_EQ(chain[0].MaxTurningAngle, V(r, Dimension::MaxTurningAngle));
    EXPECT_FALSE(chain[0].DrawCoupling);
  }
}

TEST(BuildSegments, SemitrailerSistersNegateTheTrailerFront) {
  const auto semi = BuildSegments(2, Distinct(2));
  ASSERT_EQ(semi.size(), 2u);
  EXPECT_EQ(semi[1].Front, V(Distinct(2), Dimension::Front2));
  for (int type : {4, 5, 8}) {
    const auto chain = BuildSegments(type, Distinct(type));
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[1].Kind, SegmentKind::Trailer);
    EXPECT_EQ(chain[1].Front, -V(Distinct(type), Dimension::Front2));
    EXPECT_EQ(chain[1].MaxTurningAngle, 0.0);
    EXPECT_EQ(chain[1].MaxSegmentAngle, V(Distinct(type), Dimension::MaxSegmentAngle));
    EXPECT_FALSE(chain[0].DrawCoupling || chain[1].DrawCoupling);
  }
}

TEST(BuildSegments, TowBarIsALinkOfItsOwnWithHitch2AsLength) {
  const auto r = Distinct(3);
  const auto chain = BuildSegments(3, r);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_TRUE(chain[0].DrawCoupling);
  EXPECT_EQ(chain[1].Kind, SegmentKind::TowBarLink);
  EXPECT_EQ(chain[1].Wheelbase, V(r, Dimension::Hitch2));
  EXPECT_EQ(chain[1].Front, 0.0);
  EXPECT_EQ(chain[1].WheelWidth, V(r, Dimension::WheelWidth2));
  EXPECT_EQ(chain[2].Kind, SegmentKind::Trailer);
  EXPECT_EQ(chain[2].Wheelbase, V(r, Dimension::Wheelbase2));
}

TEST(BuildSegments, TripleTrailerTakesB3AsSecondBodyHitchAndNoCouplingMarks) {
  const auto r = Distinct(10);
  const auto chain = BuildSegments(10, r);
  ASSERT_EQ(chain.size(), 6u);
  const SegmentKind kinds[] = {SegmentKind::TowingUnit, SegmentKind::Trailer, SegmentKind::TowBarLink,
                               SegmentKind::Trailer, SegmentKind::TowBarLink, SegmentKind::Trailer};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(chain[i].Kind, kinds[i]) << i;
    EXPECT_FALSE(chain[i].DrawCoupling) << i;
  }
  EXPECT_EQ(chain[3].Hitch, V(r, Dimension::Back3));
  EXPECT_EQ(chain[4].Wheelbase, V(r, Dimension::Hitch4));
  EXPECT_EQ(chain[5].VehicleWidth, V(r, Dimension::VehicleWidth4));
  EXPECT_EQ(chain[5].Hitch, 0.0);
}

TEST(BuildSegments, ThreeBodyTypesApplyTheirSigns) {
  const auto r11 = BuildSegments(11, Distinct(11));
  EXPECT_EQ(r11[1].Front, -V(Distinct(11), Dimension::Front2));
  EXPECT_EQ(r11[2].Front, -V(Distinct(11), Dimension::Front3));
  EXPECT_TRUE(r11[0].DrawCoupling && r11[1].DrawCoupling && !r11[2].DrawCoupling);
  const auto r12 = BuildSegments(12, Distinct(12));
  EXPECT_EQ(r12[1].Front, V(Distinct(12), Dimension::Front2));
  EXPECT_EQ(r12[2].Front, -V(Distinct(12), Dimension::Front3));
  const auto r13 = BuildSegments(13, Distinct(13));
  EXPECT_EQ(r13[1].Back, -V(Distinct(13), Dimension::Back2));
  EXPECT_EQ(r13[1].Hitch, -V(Distinct(13), Dimension::Hitch2));
  EXPECT_EQ(r13[2].Front, V(Distinct(13), Dimension::Front3));
  const auto r9 = BuildSegments(9, Distinct(9));
  ASSERT_EQ(r9.size(), 4u);
  EXPECT_EQ(r9[2].Wheelbase, V(Distinct(9), Dimension::Hitch3));
  EXPECT_EQ(r9[1].Hitch, V(Distinct(9), Dimension::Hitch2));
}

TEST(BuildSegments, CodeOutsideTheTableBuildsNothing) {
  EXPECT_TRUE(BuildSegments(0, Distinct(0)).empty());
  EXPECT_TRUE(BuildSegments(14, Distinct(14)).empty());
}

TEST(BuildSegments, FieldTextThatDoesNotConvertFailsOnlyWhenTheChainNeedsIt) {
  auto fields = VehicleFields::Defaults(NumberSymbols::CommaDecimal());
  fields.Type = 1;
  fields[Dimension::Front3] = "junk";  // not used by a truck
  EXPECT_EQ(BuildSegments(fields, NumberSymbols::CommaDecimal()).size(), 1u);
  fields.Type = 11;
  EXPECT_THROW(BuildSegments(fields, NumberSymbols::CommaDecimal()), ConversionError);
}

TEST(VehicleFields, DefaultsUseTheGivenDecimalSymbol) {
  const auto point = VehicleFields::Defaults(NumberSymbols::PointDecimal());
  EXPECT_EQ(point[Dimension::Front], "1.4");
  EXPECT_EQ(point[Dimension::VehicleWidth], "2.60");
  const auto comma = VehicleFields::Defaults(NumberSymbols::CommaDecimal());
  EXPECT_EQ(comma[Dimension::Hitch], "2,65");
  EXPECT_DOUBLE_EQ(VehicleRecord::Defaults()[Dimension::WheelWidth], 2.55);
  EXPECT_DOUBLE_EQ(VehicleRecord::Defaults()[Dimension::LockToLockTime], 8.0);
}

TEST(VehicleFields, StoredNumbersReachTheRunExactlyAndTypedTextReplacesThem) {
  VehicleRecord record = VehicleRecord::Defaults();
  record[Dimension::Wheelbase] = 0.1 + 0.2;  // 0.30000000000000004: more digits than a field shows
  const NumberSymbols point = NumberSymbols::PointDecimal();
  const VehicleFields shown = VehicleFields::FromRecord(record, point);
  EXPECT_EQ(shown[Dimension::Wheelbase], "0.3");
  EXPECT_EQ(shown.Number(Dimension::Wheelbase, point), 0.3);
  VehicleFields exact = VehicleFields::FromRecordExact(record, point);
  EXPECT_EQ(exact[Dimension::Wheelbase], "0.3");
  EXPECT_EQ(exact.Number(Dimension::Wheelbase, point), 0.1 + 0.2);
  EXPECT_EQ(BuildSegments(exact, point), BuildSegments(exact.Type, record));
  exact.SetText(Dimension::Wheelbase, "x");
  EXPECT_FALSE(exact.TryNumber(Dimension::Wheelbase, point));
}

TEST(Units, MetresPerUnitAndSpeedConversion) {
  EXPECT_DOUBLE_EQ(MetresPerUnit(0), 1.0);
  EXPECT_DOUBLE_EQ(MetresPerUnit(5), 0.3048);
  EXPECT_DOUBLE_EQ(MetresPerUnit(9), 1.0);
  EXPECT_DOUBLE_EQ(SpeedToMetresPerSecond(36, 0), 10.0);
  EXPECT_NEAR(SpeedToMetresPerSecond(36, 1), 16.09, 0.005);
  EXPECT_DOUBLE_EQ(SpeedToMetresPerSecond(36, 2), 36.0);
  EXPECT_EQ(SpeedUnitText(2), "ms (Meters/Second");
  EXPECT_EQ(LengthUnitFromText("Millimeter"), 4);
}

TEST(VehicleTypes, TableMatchesCodesAndKeys) {
  ASSERT_EQ(VehicleTypes().size(), 13u);
  EXPECT_EQ(FindVehicleType(5)->displayName, "Articulated Bus");
  EXPECT_EQ(FindVehicleType(5)->key, "Ledbuss");
  EXPECT_EQ(FindVehicleType(10)->segmentCount, 4);
  EXPECT_EQ(FindVehicleType(10)->dimensionsUsed.size(), 16u);
  EXPECT_EQ(FindVehicleType(0), nullptr);
  EXPECT_EQ(VehicleImageKeys().size(), 13u);
}
