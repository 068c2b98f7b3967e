#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/NumberRule.h"

namespace veerline {

// The dimension fields of a vehicle, in the order the library file stores the
// per-segment values. Index 0..3 of each group is segment #1..#4.
// clang-format off
enum class Dimension : int {
  Front, Front2, Front3, Front4,
  Wheelbase, Wheelbase2, Wheelbase3, Wheelbase4,
  Back, Back2, Back3, Back4,
  Hitch, Hitch2, Hitch3, Hitch4,
  VehicleWidth, VehicleWidth2, VehicleWidth3, VehicleWidth4,
  WheelWidth, WheelWidth2, WheelWidth3, WheelWidth4,
  MaxTurningAngle, MaxSegmentAngle, LockToLockTime,
};
// clang-format on
inline constexpr int kDimensionCount = 27;

// Field name (as in VehicleRecord and the JSON form) and main-window control name.
std::string_view DimensionFieldName(Dimension d);
std::string_view DimensionControlName(Dimension d);
// The default text of the field, written with a comma as the decimal symbol.
std::string_view DimensionDefaultText(Dimension d);
// The field as the program's messages name it: "Wheel Base (WB)", "segment #2
// Wheel Width", "Lock to lock".
std::string_view DimensionDisplayName(Dimension d);
std::optional<Dimension> DimensionFromFieldName(std::string_view name);

// One vehicle as stored and edited.
struct VehicleRecord {
  std::string Name;         // at most 100 characters
  std::string Description;  // at most 250 characters
  std::int16_t Type = 1;    // VehicleType code 1..13
  std::int16_t Unit = 0;    // LengthUnit code 0..6
  std::array<double, kDimensionCount> values{};

  double& operator[](Dimension d) { return values[static_cast<int>(d)]; }
  double operator[](Dimension d) const { return values[static_cast<int>(d)]; }
  bool operator==(const VehicleRecord&) const = default;

  // A record with the main window's default values (parsed from the comma texts).
  static VehicleRecord Defaults();
};

// The vehicle as the main window shows it: field texts named by control, and
// list positions. The engine reads these so that conversion failures happen
// where they do in the window.
struct VehicleFields {
  std::string txt_Name;
  std::string Text1;
  std::int16_t Type = 1;  // item data of the type list, 0 when nothing is selected
  std::int16_t Unit = 0;  // item data of the vehicle unit list
  std::array<std::string, kDimensionCount> texts{};
  // The exact numbers behind the texts where a program filled the fields from
  // a stored record (the command line): the run reads them as they are instead
  // of reading back their 15-digit texts. Empty for what a user typed.
  std::array<std::optional<double>, kDimensionCount> numbers{};

  std::string& operator[](Dimension d) { return texts[static_cast<int>(d)]; }
  const std::string& operator[](Dimension d) const { return texts[static_cast<int>(d)]; }

  // A field's number: the exact one where there is one, else its text read with
  // the symbols (ParseFieldNumber, which throws ConversionError).
  double Number(Dimension d, const NumberSymbols& symbols) const;
  // The same, or nothing for a text that does not convert.
  std::optional<double> TryNumber(Dimension d, const NumberSymbols& symbols) const;
  // Puts text the user gave into a field, in place of any exact number.
  void SetText(Dimension d, std::string text);

  // The fields as a new window shows them, with the decimal symbol given.
  static VehicleFields Defaults(const NumberSymbols& symbols);
  // Texts of a stored vehicle, written with FormatFieldNumber.
  static VehicleFields FromRecord(const VehicleRecord& record, const NumberSymbols& symbols);
  // The same with the record's exact numbers behind the texts.
  static VehicleFields FromRecordExact(const VehicleRecord& record, const NumberSymbols& symbols);
  // Reads the fields the type uses (FieldsOfType); the others, which a new
  // vehicle leaves empty, stay 0. Throws ConversionError naming the first
  // field that does not convert.
  VehicleRecord ToRecord(const NumberSymbols& symbols) const;
};

// The description of a field text that does not convert, naming the field.
std::string FieldConversionText(Dimension d, std::string_view text);

// ---- Vehicle types -------------------------------------------------------

struct VehicleTypeInfo {
  std::int16_t code;
  std::string_view key;                   // illustration key
  std::string_view displayName;           // text of the type list
  int segmentCount;                       // user's segments #1..#4
  std::vector<Dimension> dimensionsUsed;  // F, WB, B, H ... (widths and limits not listed)
};

// The thirteen kinds, in code order. Lookup gives nothing for a code outside 1..13.
const std::vector<VehicleTypeInfo>& VehicleTypes();
const VehicleTypeInfo* FindVehicleType(int code);
// Keys in the order of the main window's image list.
const std::vector<std::string_view>& VehicleImageKeys();

// The fields a vehicle type reads and stores: its dimensions, the two widths
// of each of its segments, then the three limits. A code outside 1..13 reads
// segment #1 only, as the library stores it.
std::vector<Dimension> FieldsOfType(int typeCode);
// Whether a field of the type must hold a number. A single-unit vehicle has
// no angle between segments, so its "Max angle between Segments" may be blank.
bool FieldRequired(int typeCode, Dimension d);

// What is wrong with the text of a field. Wheelbases and widths must be above
// 0 and overhangs must not be negative; hitch points may lie ahead of the axle.
enum class FieldFault { None, NotANumber, NotAboveZero, Negative };
// A blank text is no fault here: a missing value is the run's own check.
FieldFault CheckFieldText(Dimension d, std::string_view text, const NumberSymbols& symbols);

struct FieldFaultAt {
  Dimension field;
  FieldFault fault;
};
// The first field of the vehicle's type, in FieldsOfType order, whose text is at fault.
std::optional<FieldFaultAt> FirstFieldFault(const VehicleFields& fields,
                                            const NumberSymbols& symbols);

// ---- Segment chain -------------------------------------------------------

enum class SegmentKind : std::int32_t { None = 0, TowingUnit = 1, TowBarLink = 2, Trailer = 3 };

struct SegmentRecord {
  SegmentKind Kind = SegmentKind::None;
  double WheelWidth = 0;
  double VehicleWidth = 0;
  double Front = 0;
  double Wheelbase = 0;
  double Back = 0;
  double Hitch = 0;
  double MaxTurningAngle = 0;
  double MaxSegmentAngle = 0;
  bool DrawCoupling = false;
  bool operator==(const SegmentRecord&) const = default;
};

using Segments = std::vector<SegmentRecord>;

// Builds the run's chain of links for a type code. `value` is asked for each
// field the chain needs, in table order, so a text field that does not convert
// fails exactly when it is reached (the callee throws). A code outside 1..13
// builds no records.
Segments BuildSegments(int typeCode, const std::function<double(Dimension)>& value);
Segments BuildSegments(int typeCode, const VehicleRecord& record);
Segments BuildSegments(const VehicleFields& fields, const NumberSymbols& symbols);

// ---- Units -----------------------------------------------------------------

enum class LengthUnit : std::int16_t {
  NotSet = 0,
  Meter = 1,
  Decimeter = 2,
  Centimeter = 3,
  Millimeter = 4,
  Feet = 5,
  Inches = 6
};
inline constexpr int kLengthUnitCount = 7;
std::string_view LengthUnitText(int code);  // "Not set", "Meter", ...; empty outside 0..6
// Metres in one drawing unit; any code outside 1..6 counts as 1.
double MetresPerUnit(int code);
std::optional<int> LengthUnitFromText(std::string_view text);

enum class SpeedUnit : std::int16_t {
  KilometresPerHour = 0,
  MilesPerHour = 1,
  MetresPerSecond = 2
};
inline constexpr int kSpeedUnitCount = 3;
std::string_view SpeedUnitText(int code);
// Speed in the unit of the code turned into metres per second (any code other
// than 1 and 2 counts as km/h).
double SpeedToMetresPerSecond(double speed, int code);

}  // namespace veerline
