// Byte layout of one library record, checked against offsets written out by
// hand, and the decode of every vehicle type.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

#include "library/VehicleDataFile.h"
#include "library/VehicleJson.h"

namespace veerline::library {
namespace {

using D = Dimension;

// A vehicle whose every field has its own value (10 + field index).
VehicleRecord DistinctVehicle(int type) {
  VehicleRecord v;
  v.Name = "Test";
  v.Type = static_cast<std::int16_t>(type);
  v.Unit = 1;
  for (int i = 0; i < kDimensionCount; ++i) v.values[i] = 10 + i;
  return v;
}

void PutLe16(RawRecord& raw, std::size_t offset, int value) {
  raw[offset] = static_cast<std::uint8_t>(value & 0xFF);
  raw[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutLeDouble(RawRecord& raw, std::size_t offset, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) raw[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

struct At {
  std::size_t offset;
  D field;
};

// The record expected for DistinctVehicle(type): head, S1 kind 1 with the
// towing unit, then the type's own kinds and values.
RawRecord Expected(int type, std::vector<std::pair<std::size_t, int>> kinds,
                   std::vector<At> values) {
  const VehicleRecord v = DistinctVehicle(type);
  RawRecord raw{};
  std::memcpy(raw.data(), "Test", 4);
  std::memset(raw.data() + 4, ' ', 96);
  std::memset(raw.data() + 100, ' ', 250);
  PutLe16(raw, 352, type);
  PutLeDouble(raw, 354, v[D::MaxTurningAngle]);
  PutLeDouble(raw, 362, v[D::MaxSegmentAngle]);
  PutLeDouble(raw, 374, v[D::LockToLockTime]);
  PutLe16(raw, 490, 1);
  PutLe16(raw, 494, 1);
  for (At at : std::vector<At>{{496, D::WheelWidth},
                               {504, D::VehicleWidth},
                               {512, D::Front},
                               {520, D::Wheelbase},
                               {528, D::Back}})
    PutLeDouble(raw, at.offset, v[at.field]);
  for (auto [offset, kind] : kinds) PutLe16(raw, offset, kind);
  for (At at : values) PutLeDouble(raw, at.offset, v[at.field]);
  return raw;
}

// Lists the offsets where two records differ, for a readable failure.
std::string Differences(const RawRecord& actual, const RawRecord& expected) {
  std::string out;
  for (std::size_t i = 0; i < actual.size(); ++i)
    if (actual[i] != expected[i]) out += std::to_string(i) + " ";
  return out;
}

struct GoldenCase {
  int type;
  std::vector<std::pair<std::size_t, int>> kinds;
  std::vector<At> values;
};

TEST(EncodeVehicleRecord, MatchesHandWrittenLayoutForEveryType) {
  // clang-format off
  const std::vector<GoldenCase> cases{
      {1, {}, {}},
      {6, {}, {}},
      {7, {}, {}},
      // Semitrailer: lengths in S2, widths in S3 whose kind stays 0.
      {2,
       {{684, 3}},
       {{536, D::Hitch}, {702, D::Front2}, {710, D::Wheelbase2}, {718, D::Back2},
        {876, D::WheelWidth2}, {884, D::VehicleWidth2}}},
      // Tow bar: H2 as the drawbar's length (S2.WB) and as the trailer's hitch (S3.H).
      {3,
       {{684, 2}, {874, 3}},
       {{536, D::Hitch}, {710, D::Hitch2}, {876, D::WheelWidth2}, {884, D::VehicleWidth2},
        {892, D::Front2}, {900, D::Wheelbase2}, {908, D::Back2}, {916, D::Hitch2}}},
      {4,
       {{684, 3}},
       {{536, D::Hitch}, {686, D::WheelWidth2}, {694, D::VehicleWidth2}, {702, D::Front2},
        {710, D::Wheelbase2}, {718, D::Back2}}},
      {5,
       {{684, 3}},
       {{536, D::Hitch}, {686, D::WheelWidth2}, {694, D::VehicleWidth2}, {702, D::Front2},
        {710, D::Wheelbase2}, {718, D::Back2}}},
      {8,
       {{684, 3}},
       {{536, D::Hitch}, {686, D::WheelWidth2}, {694, D::VehicleWidth2}, {702, D::Front2},
        {710, D::Wheelbase2}, {718, D::Back2}}},
      // Double trailer: H3 in S3.WB and S3.H.
      {9,
       {{684, 3}, {874, 2}, {1064, 3}},
       {{536, D::Hitch}, {686, D::WheelWidth2}, {694, D::VehicleWidth2}, {702, D::Front2},
        {710, D::Wheelbase2}, {718, D::Back2}, {726, D::Hitch2}, {900, D::Hitch3}, {916, D::Hitch3},
        {1066, D::WheelWidth3}, {1074, D::VehicleWidth3}, {1082, D::Front3}, {1090, D::Wheelbase3},
        {1098, D::Back3}}},
      // Triple trailer: H3 only in S3.WB; H4 in S5.WB; fourth segment in S6.
      {10,
       {{684, 3}, {874, 2}, {1064, 3}, {1254, 2}, {1444, 3}},
       {{536, D::Hitch}, {686, D::WheelWidth2}, {694, D::VehicleWidth2}, {702, D::Front2},
        {710, D::Wheelbase2}, {718, D::Back2}, {726, D::Hitch2}, {900, D::Hitch3},
        {1066, D::WheelWidth3}, {1074, D::VehicleWidth3}, {1082, D::Front3}, {1090, D::Wheelbase3},
        {1098, D::Back3}, {1280, D::Hitch4}, {1446, D::WheelWidth4}, {1454, D::VehicleWidth4},
        {1462, D::Front4}, {1470, D::Wheelbase4}, {1478, D::Back4}}},
  };
  // clang-format on
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type));
    const RawRecord actual = EncodeVehicleRecord(DistinctVehicle(c.type));
    const RawRecord expected = Expected(c.type, c.kinds, c.values);
    EXPECT_EQ(actual, expected) << "bytes differ at " << Differences(actual, expected);
  }
  for (int type : {11, 12, 13}) {
    SCOPED_TRACE("type " + std::to_string(type));
    const RawRecord actual = EncodeVehicleRecord(DistinctVehicle(type));
    const RawRecord expected = Expected(type, {{684, 3}, {874, 3}},
                                        {{536, D::Hitch},
                                         {686, D::WheelWidth2},
                                         {694, D::VehicleWidth2},
                                         {702, D::Front2},
                                         {710, D::Wheelbase2},
                                         {718, D::Back2},
                                         {726, D::Hitch2},
                                         {876, D::WheelWidth3},
                                         {884, D::VehicleWidth3},
                                         {892, D::Front3},
                                         {900, D::Wheelbase3},
                                         {908, D::Back3}});
    EXPECT_EQ(actual, expected) << "bytes differ at " << Differences(actual, expected);
  }
}

TEST(EncodeVehicleRecord, NumbersAreLittleEndian) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Type = 0x0102;  // no such type: only the head and S1 are written
  v.Unit = -2;
  v[D::MaxTurningAngle] = 2.5;  // 0x4004000000000000
  v[D::Front] = -1.0;           // 0xBFF0000000000000
  const RawRecord raw = EncodeVehicleRecord(v);
  EXPECT_EQ(raw[352], 0x02);
  EXPECT_EQ(raw[353], 0x01);
  EXPECT_EQ(raw[490], 0xFE);
  EXPECT_EQ(raw[491], 0xFF);
  const std::vector<std::uint8_t> twoAndAHalf(raw.begin() + 354, raw.begin() + 362);
  EXPECT_EQ(twoAndAHalf, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0x04, 0x40}));
  const std::vector<std::uint8_t> minusOne(raw.begin() + 512, raw.begin() + 520);
  EXPECT_EQ(minusOne, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0xBF}));
  EXPECT_EQ(RecordFreeFlag(raw), 0);
  EXPECT_EQ(raw[684], 0);  // S2 kind
}

TEST(EncodeVehicleRecord, TextsAreTrimmedPaddedAndCut) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name = "  Bus A  ";
  v.Description = std::string(260, 'd');
  RawRecord raw = EncodeVehicleRecord(v);
  EXPECT_EQ(std::string(raw.begin(), raw.begin() + 6), "Bus A ");
  EXPECT_EQ(std::string(raw.begin() + 5, raw.begin() + 100), std::string(95, ' '));
  EXPECT_EQ(std::string(raw.begin() + 100, raw.begin() + 350), std::string(250, 'd'));
  EXPECT_EQ(RecordFreeFlag(raw), 0);

  v.Name = std::string(99, 'a') + "b";
  raw = EncodeVehicleRecord(v);
  EXPECT_EQ(raw[99], 'b');
  EXPECT_EQ(raw[100], 'd');  // no blank after a full name
  v.Name = std::string(100, 'a') + "XYZ";
  raw = EncodeVehicleRecord(v);
  EXPECT_EQ(std::string(raw.begin(), raw.begin() + 100), std::string(100, 'a'));
  EXPECT_EQ(DecodeVehicleRecord(raw).Name, std::string(100, 'a'));
}

TEST(EncodeVehicleRecord, TextsAreWindows1252) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name = "Caf\xC3\xA9 \xE2\x82\xAC \xC5\xA0";       // "Café € Š"
  v.Description = "\xE2\x86\x92 \xF0\x9F\x9A\x9A x";  // "→ 🚚 x": outside the code page
  const RawRecord raw = EncodeVehicleRecord(v);
  EXPECT_EQ(raw[3], 0xE9);
  EXPECT_EQ(raw[5], 0x80);
  EXPECT_EQ(raw[7], 0x8A);
  EXPECT_EQ(raw[8], ' ');
  EXPECT_EQ(std::string(raw.begin() + 100, raw.begin() + 105), "? ? x");
  const VehicleRecord back = DecodeVehicleRecord(raw);
  EXPECT_EQ(back.Name, v.Name);
  EXPECT_EQ(back.Description, "? ? x");
}

TEST(EncodeVehicleRecord, InvalidUtf8BecomesQuestionMarks) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name =
      "a\xFF"
      "b\xC3";  // a stray byte and a cut sequence
  const RawRecord raw = EncodeVehicleRecord(v);
  EXPECT_EQ(std::string(raw.begin(), raw.begin() + 5), "a?b? ");
}

// A vehicle of the type with its used fields set and the rest at the defaults,
// which is what decoding gives for the fields a type does not store.
VehicleRecord UsedFieldsVehicle(int type) {
  const VehicleRecord distinct = DistinctVehicle(type);
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name = "Vehicle \xC3\xA9 " + std::to_string(type);
  v.Description = "type " + std::to_string(type);
  v.Type = distinct.Type;
  v.Unit = 5;
  std::vector<D> used = FindVehicleType(type)->dimensionsUsed;
  used.insert(used.end(), {D::MaxTurningAngle, D::MaxSegmentAngle, D::LockToLockTime});
  for (int s = 0; s < FindVehicleType(type)->segmentCount; ++s)
    used.insert(used.end(), {static_cast<D>(static_cast<int>(D::WheelWidth) + s),
                             static_cast<D>(static_cast<int>(D::VehicleWidth) + s)});
  for (D d : used) v[d] = distinct[d] + 0.125;
  return v;
}

TEST(DecodeVehicleRecord, RoundTripsEveryType) {
  for (int type = 1; type <= 13; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    const VehicleRecord v = UsedFieldsVehicle(type);
    EXPECT_EQ(DecodeVehicleRecord(EncodeVehicleRecord(v)), v);
  }
}

// The fields the record stores for a type are exactly those the type uses
// (and that the JSON form carries); the others decode as the defaults.
TEST(DecodeVehicleRecord, StoresExactlyTheFieldsATypeUses) {
  for (int type = 1; type <= 13; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    const VehicleRecord v = UsedFieldsVehicle(type);
    const RawRecord raw = EncodeVehicleRecord(v);
    const std::vector<D> used = FieldsUsedByType(type);
    for (int i = 0; i < kDimensionCount; ++i) {
      const D d = static_cast<D>(i);
      VehicleRecord changed = v;
      changed[d] += 1000;
      const bool stored = EncodeVehicleRecord(changed) != raw;
      EXPECT_EQ(stored, std::find(used.begin(), used.end(), d) != used.end())
          << DimensionFieldName(d);
      if (!stored) EXPECT_EQ(DecodeVehicleRecord(raw)[d], VehicleRecord::Defaults()[d]);
    }
  }
}

TEST(DecodeVehicleRecord, ReadsDuplicatedHitchesFromTheirOwnPlace) {
  // Tow bar: H2 from S3.H (916), not from S2.WB (710).
  RawRecord towBar = EncodeVehicleRecord(UsedFieldsVehicle(3));
  PutLeDouble(towBar, 710, 1.0);
  PutLeDouble(towBar, 916, 4.5);
  EXPECT_EQ(DecodeVehicleRecord(towBar)[D::Hitch2], 4.5);
  // Double and triple trailer: H3 from S3.WB (900), not from S3.H (916).
  for (int type : {9, 10}) {
    RawRecord raw = EncodeVehicleRecord(UsedFieldsVehicle(type));
    PutLeDouble(raw, 900, 6.25);
    PutLeDouble(raw, 916, 1.0);
    EXPECT_EQ(DecodeVehicleRecord(raw)[D::Hitch3], 6.25);
  }
  // Triple trailer: H4 from S5.WB (1280).
  RawRecord triple = EncodeVehicleRecord(UsedFieldsVehicle(10));
  PutLeDouble(triple, 1280, 3.75);
  EXPECT_EQ(DecodeVehicleRecord(triple)[D::Hitch4], 3.75);
}

TEST(DecodeVehicleRecord, KeepsOutOfRangeCodesAndOnlyTrimsBlanks) {
  RawRecord raw{};
  std::memcpy(raw.data(), "  X\0 ", 5);
  std::memset(raw.data() + 5, ' ', 95);
  std::memset(raw.data() + 100, ' ', 250);
  PutLe16(raw, 352, 14);
  PutLe16(raw, 490, 7);
  PutLeDouble(raw, 512, 1.5);
  PutLeDouble(raw, 702, 9.0);  // S2 is not read for an unknown type
  const VehicleRecord v = DecodeVehicleRecord(raw);
  EXPECT_EQ(v.Name, std::string("X\0", 2));
  EXPECT_EQ(v.Description, "");
  EXPECT_EQ(v.Type, 14);
  EXPECT_EQ(v.Unit, 7);
  EXPECT_EQ(v[D::Front], 1.5);
  EXPECT_EQ(v[D::Front2], VehicleRecord::Defaults()[D::Front2]);
}

TEST(RecordFreeFlag, ReadsTheSignedFlag) {
  RawRecord raw{};
  EXPECT_EQ(RecordFreeFlag(raw), 0);
  PutLe16(raw, 350, 0xFFFF);
  EXPECT_EQ(RecordFreeFlag(raw), -1);
  PutLe16(raw, 350, 1);
  EXPECT_EQ(RecordFreeFlag(raw), 1);
}

}  // namespace
}  // namespace veerline::library
