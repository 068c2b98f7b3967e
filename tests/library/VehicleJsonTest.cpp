// The JSON form of vehicles: what it accepts, what it refuses and that an
// export reads back unchanged.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "library/VehicleJson.h"

namespace veerline::library {
namespace {

using D = Dimension;

const char* kSemi = R"({
  "Name": "WB-15", "Description": "AASHTO", "Type": 2, "Unit": 1,
  "MaxTurningAngle": 35, "MaxSegmentAngle": 80, "LockToLockTime": 6,
  "Front": 1.2, "Wheelbase": 6.1, "Back": 0.7, "Hitch": 5.6,
  "Front2": 0.9, "Wheelbase2": 12.5, "Back2": 1.0,
  "VehicleWidth": 2.6, "WheelWidth": 2.5, "VehicleWidth2": 2.6, "WheelWidth2": 2.55
})";

// Message of the error the text raises, or "" when it is accepted.
std::string ErrorOf(const std::string& text) {
  try {
    VehiclesFromJson(text);
  } catch (const VehicleJsonError& e) {
    return e.what();
  }
  return "";
}

// The semitrailer with one key replaced (or removed when value is empty).
std::string SemiWith(const std::string& key, const std::string& value) {
  std::string text = kSemi;
  const auto at = text.find("\"" + key + "\":");
  const auto end = text.find_first_of(",}", text.find(':', at));
  if (value.empty() && text[end] == '}') {
    const auto comma = text.rfind(',', at);
    text.erase(comma, end - comma);
  } else if (value.empty()) {
    text.erase(at, end + 1 - at);
  } else {
    text.replace(at, end - at, "\"" + key + "\": " + value);
  }
  return text;
}

TEST(VehiclesFromJson, ReadsOneObjectWithDefaultsForUnusedFields) {
  const auto vehicles = VehiclesFromJson(kSemi);
  ASSERT_EQ(vehicles.size(), 1u);
  const VehicleRecord& v = vehicles[0];
  EXPECT_EQ(v.Name, "WB-15");
  EXPECT_EQ(v.Description, "AASHTO");
  EXPECT_EQ(v.Type, 2);
  EXPECT_EQ(v.Unit, 1);
  EXPECT_EQ(v[D::Wheelbase2], 12.5);
  EXPECT_EQ(v[D::WheelWidth2], 2.55);
  EXPECT_EQ(v[D::Hitch2], VehicleRecord::Defaults()[D::Hitch2]);
  EXPECT_EQ(v[D::Front4], VehicleRecord::Defaults()[D::Front4]);
}

TEST(VehiclesFromJson, ReadsAnArrayAndIgnoresRecordNumbers) {
  const std::string text = "[" + SemiWith("Name", "\"A\"") + "," +
                           SemiWith("Name", "\"B\"").insert(1, "\"Record\": 7,") + "]";
  const auto vehicles = VehiclesFromJson(text);
  ASSERT_EQ(vehicles.size(), 2u);
  EXPECT_EQ(vehicles[1].Name, "B");
  EXPECT_TRUE(VehiclesFromJson("[]").empty());
}

TEST(VehiclesFromJson, RefusesBadEntriesWithAClearReason) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases{
      {"{", "malformed JSON"},
      {"42", "expected a JSON array"},
      {"[1]", "entry 1: a vehicle must be a JSON object"},
      {std::string(kSemi).insert(1, "\"Colour\": 1,"), "unknown key \"Colour\""},
      {SemiWith("Type", "14"), "\"Type\" must be a whole number from 1 to 13"},
      {SemiWith("Type", "0"), "\"Type\" must be a whole number from 1 to 13"},
      {SemiWith("Type", "2.5"), "\"Type\" must be a whole number"},
      {SemiWith("Type", "\"2\""), "\"Type\" must be a whole number"},
      {SemiWith("Type", "18446744073709551615"), "\"Type\" must be a whole number"},
      {SemiWith("Unit", "7"), "\"Unit\" must be a whole number from 0 to 6"},
      {SemiWith("Unit", "-1"), "\"Unit\" must be a whole number from 0 to 6"},
      {SemiWith("Front", "\"1,2\""), "\"Front\" must be a number"},
      {SemiWith("Front", "null"), "\"Front\" must be a number"},
      {SemiWith("Front", "1e400"), "malformed JSON"},
      {SemiWith("Front2", "true"), "\"Front2\" must be a number"},
      {SemiWith("Wheelbase2", ""), "missing \"Wheelbase2\", which a Semi-Trailer uses"},
      {SemiWith("WheelWidth2", ""), "missing \"WheelWidth2\""},
      {SemiWith("LockToLockTime", ""), "missing \"LockToLockTime\""},
      {SemiWith("Name", ""), "missing \"Name\""},
      {SemiWith("Name", "\"   \""), "\"Name\" is empty"},
      {SemiWith("Name", "7"), "\"Name\" must be a text"},
      {SemiWith("Name", "\"" + std::string(101, 'n') + "\""), "longer than 100 characters"},
      {SemiWith("Description", "\"" + std::string(251, 'd') + "\""), "longer than 250"},
      {std::string(kSemi).insert(1, "\"Record\": \"x\","), "\"Record\""},
      {"[" + std::string(kSemi) + "," + SemiWith("Type", "99") + "]", "entry 2: "},
      {"[\"\xFF\"]", "malformed JSON"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string message = ErrorOf(c.text);
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
  }
}

TEST(VehiclesFromJson, TextLimitsCountStoredCharacters) {
  // 100 two-byte UTF-8 characters are 100 stored characters: accepted.
  std::string name;
  for (int i = 0; i < 100; ++i) name += "\xC3\xA9";
  EXPECT_EQ(ErrorOf(SemiWith("Name", "\"" + name + "\"")), "");
  // Surrounding blanks are not stored, so they do not count.
  EXPECT_EQ(ErrorOf(SemiWith("Name", "\"  " + std::string(100, 'n') + "  \"")), "");
}

TEST(VehiclesToJson, RoundTripsEveryTypeWithFullPrecision) {
  std::vector<NumberedVehicle> stored;
  for (int type = 1; type <= 13; ++type) {
    VehicleRecord v = VehicleRecord::Defaults();
    v.Name = "Vehicle \xE2\x82\xAC" + std::to_string(type);
    v.Description = "Line \"quoted\"";
    v.Type = static_cast<std::int16_t>(type);
    v.Unit = static_cast<std::int16_t>(type % 7);
    for (D d : FieldsUsedByType(type)) v[d] = 0.1 * type + static_cast<int>(d) / 3.0;
    stored.push_back({type * 2, v});
  }
  const std::string text = VehiclesToJson(stored);
  const auto back = VehiclesFromJson(text);
  ASSERT_EQ(back.size(), stored.size());
  for (std::size_t i = 0; i < back.size(); ++i) EXPECT_EQ(back[i], stored[i].vehicle) << i;
  EXPECT_NE(text.find("\"Record\": 26"), std::string::npos);
  // Unused fields are left out: a Truck has no Hitch.
  EXPECT_EQ(VehiclesToJson({stored[0]}).find("Hitch"), std::string::npos);
}

TEST(VehiclesToJson, RefusesVehiclesWithoutAJsonForm) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name = "X";
  VehicleRecord badType = v;
  badType.Type = 0;
  EXPECT_THROW(VehiclesToJson({{3, badType}}), VehicleJsonError);
  VehicleRecord badUnit = v;
  badUnit.Unit = 9;
  EXPECT_THROW(VehiclesToJson({{3, badUnit}}), VehicleJsonError);
  VehicleRecord notANumber = v;
  notANumber[D::Wheelbase] = std::numeric_limits<double>::quiet_NaN();
  try {
    VehiclesToJson({{3, notANumber}});
    FAIL() << "NaN exported";
  } catch (const VehicleJsonError& e) {
    EXPECT_STREQ(e.what(), "record 3: \"Wheelbase\" is not a finite number");
  }
}

}  // namespace
}  // namespace veerline::library
