#include "engine/VehicleModel.h"

namespace veerline {
namespace {

struct DimensionNames {
  std::string_view field;
  std::string_view control;
  std::string_view defaultText;
  std::string_view displayName;  // as the program's messages name the field
};

constexpr std::array<DimensionNames, kDimensionCount> kDimensionNames{{
    {"Front", "txt_Front", "1,4", "Front (F)"},
    {"Front2", "txt_Front2", "0,91", "Front2 (F2)"},
    {"Front3", "txt_Front3", "0,91", "Front3 (F3)"},
    {"Front4", "txt_Front4", "0,91", "Front4 (F4)"},
    {"Wheelbase", "txt_Wheelbase", "5,6", "Wheel Base (WB)"},
    {"Wheelbase2", "txt_Wheelbase2", "9,3", "Wheelbase2 (WB2)"},
    {"Wheelbase3", "txt_Wheelbase3", "9,3", "Wheelbase3 (WB3)"},
    {"Wheelbase4", "txt_Wheelbase4", "9,3", "Wheelbase4 (WB4)"},
    {"Back", "txt_Back", "2,6", "Back (B)"},
    {"Back2", "txt_Back2", "2,1", "Back2 (B2)"},
    {"Back3", "txt_Back3", "2,1", "Back3 (B3)"},
    {"Back4", "txt_Back4", "2,1", "Back4 (B4)"},
    {"Hitch", "txtHitch", "2,65", "Hitchpoint (H)"},
    {"Hitch2", "txtHitch2", "3", "Hitchpoint2 (H2)"},
    {"Hitch3", "txtHitch3", "3", "Hitchpoint3 (H3)"},
    {"Hitch4", "txtHitch4", "3", "Hitchpoint4 (H4)"},
    {"VehicleWidth", "txt_VeichleWidth", "2,60", "Vehicle Width"},
    {"VehicleWidth2", "txt_VeichleWidth_2", "2,60", "segment #2 Vehicle Width"},
    {"VehicleWidth3", "txt_VeichleWidth_3", "2,60", "segment #3 Vehicle Width"},
    {"VehicleWidth4", "txt_VeichleWidth_4", "2,60", "segment #4 Vehicle Width"},
    {"WheelWidth", "txt_WheelWidth", "2,55", "Wheel Width"},
    {"WheelWidth2", "txt_WheelWidth_2", "2,55", "segment #2 Wheel Width"},
    {"WheelWidth3", "txt_WheelWidth_3", "2,55", "segment #3 Wheel Width"},
    {"WheelWidth4", "txt_WheelWidth_4", "2,55", "segment #4 Wheel Width"},
    {"MaxTurningAngle", "txt_MaxTurning", "40", "Max Turning Angle"},
    {"MaxSegmentAngle", "txt_MaxSegAnle", "70", "Max Angle between Segments"},
    {"LockToLockTime", "txt_LockToLock", "8", "Lock to lock"},
}};

const DimensionNames& NamesOf(Dimension d) { return kDimensionNames[static_cast<int>(d)]; }

// Dimension of segment #n (1..4) in a group that starts with segment #1's field.
Dimension Nth(Dimension first, int n) {
  return static_cast<Dimension>(static_cast<int>(first) + n - 1);
}

using D = Dimension;

}  // namespace

std::string_view DimensionFieldName(Dimension d) { return NamesOf(d).field; }
std::string_view DimensionControlName(Dimension d) { return NamesOf(d).control; }
std::string_view DimensionDefaultText(Dimension d) { return NamesOf(d).defaultText; }
std::string_view DimensionDisplayName(Dimension d) { return NamesOf(d).displayName; }

std::optional<Dimension> DimensionFromFieldName(std::string_view name) {
  for (int i = 0; i < kDimensionCount; ++i)
    if (kDimensionNames[i].field == name) return static_cast<Dimension>(i);
  return std::nullopt;
}

VehicleRecord VehicleRecord::Defaults() {
  // Parsed once: decoding a large library asks for the defaults per record.
  static const VehicleRecord defaults = [] {
    VehicleRecord record;
    for (int i = 0; i < kDimensionCount; ++i)
      record.values[i] =
          ParseFieldNumber(kDimensionNames[i].defaultText, NumberSymbols::CommaDecimal());
    return record;
  }();
  return defaults;
}

VehicleFields VehicleFields::Defaults(const NumberSymbols& symbols) {
  VehicleFields fields;
  for (int i = 0; i < kDimensionCount; ++i) {
    std::string text(kDimensionNames[i].defaultText);
    // Shown with the user's decimal symbol so the defaults read as intended.
    for (std::size_t p = text.find(','); p != std::string::npos;
         p = text.find(',', p + symbols.decimal.size()))
      text.replace(p, 1, symbols.decimal);
    fields.texts[i] = text;
  }
  return fields;
}

VehicleFields VehicleFields::FromRecord(const VehicleRecord& record, const NumberSymbols& symbols) {
  VehicleFields fields;
  fields.txt_Name = record.Name;
  fields.Text1 = record.Description;
  fields.Type = record.Type;
  fields.Unit = record.Unit;
  for (int i = 0; i < kDimensionCount; ++i)
    fields.texts[i] = FormatFieldNumber(record.values[i], symbols);
  return fields;
}

VehicleFields VehicleFields::FromRecordExact(const VehicleRecord& record,
                                             const NumberSymbols& symbols) {
  VehicleFields fields = FromRecord(record, symbols);
  for (int i = 0; i < kDimensionCount; ++i) fields.numbers[i] = record.values[i];
  return fields;
}

double VehicleFields::Number(Dimension d, const NumberSymbols& symbols) const {
  const int i = static_cast<int>(d);
  return numbers[i] ? *numbers[i] : ParseFieldNumber(texts[i], symbols);
}

std::optional<double> VehicleFields::TryNumber(Dimension d, const NumberSymbols& symbols) const {
  const int i = static_cast<int>(d);
  return numbers[i] ? numbers[i] : TryParseFieldNumber(texts[i], symbols);
}

void VehicleFields::SetText(Dimension d, std::string text) {
  const int i = static_cast<int>(d);
  texts[i] = std::move(text);
  numbers[i].reset();
}

VehicleRecord VehicleFields::ToRecord(const NumberSymbols& symbols) const {
  VehicleRecord record;
  record.Name = txt_Name;
  record.Description = Text1;
  record.Type = Type;
  record.Unit = Unit;
  for (Dimension d : FieldsOfType(Type)) {
    const std::string& text = (*this)[d];
    const std::optional<double> value = TryParseFieldNumber(text, symbols);
    const bool blank = text.find_first_not_of(" \t") == std::string::npos;
    if (!value && blank && !FieldRequired(Type, d)) continue;
    if (!value) throw ConversionError{FieldConversionText(d, text)};
    record[d] = *value;
  }
  return record;
}

std::string FieldConversionText(Dimension d, std::string_view text) {
  const std::string name(DimensionDisplayName(d));
  if (text.find_first_not_of(" \t") == std::string_view::npos)
    return "Type mismatch: " + name + " is empty";
  return "Type mismatch: " + name + " \"" + std::string(text) + "\" is not a number";
}

std::vector<Dimension> FieldsOfType(int typeCode) {
  const VehicleTypeInfo* info = FindVehicleType(typeCode);
  std::vector<Dimension> fields =
      info ? info->dimensionsUsed : std::vector<Dimension>{D::Front, D::Wheelbase, D::Back};
  const int segments = info ? info->segmentCount : 1;
  for (int n = 1; n <= segments; ++n) {
    fields.push_back(Nth(D::VehicleWidth, n));
    fields.push_back(Nth(D::WheelWidth, n));
  }
  fields.insert(fields.end(), {D::MaxTurningAngle, D::MaxSegmentAngle, D::LockToLockTime});
  return fields;
}

bool FieldRequired(int typeCode, Dimension d) {
  const VehicleTypeInfo* info = FindVehicleType(typeCode);
  return !(d == D::MaxSegmentAngle && info != nullptr && info->segmentCount == 1);
}

FieldFault CheckFieldText(Dimension d, std::string_view text, const NumberSymbols& symbols) {
  if (text.find_first_not_of(" \t") == std::string_view::npos) return FieldFault::None;
  const std::optional<double> value = TryParseFieldNumber(text, symbols);
  if (!value) return FieldFault::NotANumber;
  const int group = static_cast<int>(d) / 4;  // Front, Wheelbase, Back, Hitch, widths...
  const bool wheelbase = group == 1;
  const bool width = group == 4 || group == 5;
  const bool overhang = group == 0 || group == 2;
  if ((wheelbase || width) && !(*value > 0)) return FieldFault::NotAboveZero;
  if (overhang && *value < 0) return FieldFault::Negative;
  return FieldFault::None;
}

std::optional<FieldFaultAt> FirstFieldFault(const VehicleFields& fields,
                                            const NumberSymbols& symbols) {
  for (Dimension d : FieldsOfType(fields.Type)) {
    const FieldFault fault = CheckFieldText(d, fields[d], symbols);
    if (fault != FieldFault::None) return FieldFaultAt{d, fault};
  }
  return std::nullopt;
}

// ---- Vehicle types -------------------------------------------------------

const std::vector<VehicleTypeInfo>& VehicleTypes() {
  static const std::vector<VehicleTypeInfo> types = [] {
    const std::vector<Dimension> single{D::Front, D::Wheelbase, D::Back};
    const std::vector<Dimension> semi{D::Front,  D::Wheelbase,  D::Back, D::Hitch,
                                      D::Front2, D::Wheelbase2, D::Back2};
    const std::vector<Dimension> towBar{D::Front,  D::Wheelbase, D::Back,       D::Hitch,
                                        D::Hitch2, D::Front2,    D::Wheelbase2, D::Back2};
    const std::vector<Dimension> three{D::Front,  D::Wheelbase,  D::Back,       D::Hitch,
                                       D::Hitch2, D::Front2,     D::Wheelbase2, D::Back2,
                                       D::Front3, D::Wheelbase3, D::Back3};
    std::vector<Dimension> doubleTrailer = three;
    doubleTrailer.insert(doubleTrailer.begin() + 8, D::Hitch3);
    std::vector<Dimension> tripleTrailer = doubleTrailer;
    tripleTrailer.insert(tripleTrailer.end(), {D::Hitch4, D::Front4, D::Wheelbase4, D::Back4});
    return std::vector<VehicleTypeInfo>{
        {1, "Truck", "Truck", 1, single},
        {2, "Semitrailer", "Semi-Trailer", 2, semi},
        {3, "TowBar", "Tow Bar", 2, towBar},
        {4, "TowBarSemi", "Tow Bar Semi", 2, semi},
        {5, "Ledbuss", "Articulated Bus", 2, semi},
        {6, "Bus", "Bus", 1, single},
        {7, "Car", "Car", 1, single},
        {8, "CarWithCamper", "Car With Camper", 2, semi},
        {9, "DoubleTrailer", "Double Trailer", 3, doubleTrailer},
        {10, "TripleTrailer", "Triple Trailer", 4, tripleTrailer},
        {11, "DoubleTowBarSemi", "Double Tow Bar Semi", 3, three},
        {12, "TrailerTowBarSemi", "Trailer Tow Bar Semi", 3, three},
        {13, "TandemTrailer", "Tandem Trailer", 3, three},
    };
  }();
  return types;
}

const VehicleTypeInfo* FindVehicleType(int code) {
  if (code < 1 || code > 13) return nullptr;
  return &VehicleTypes()[code - 1];
}

const std::vector<std::string_view>& VehicleImageKeys() {
  static const std::vector<std::string_view> keys{
      "TowBar",        "TrailerTowBarSemi", "TandemTrailer",    "Truck", "TowBarSemi",
      "Semitrailer",   "Ledbuss",           "DoubleTowBarSemi", "Bus",   "Car",
      "CarWithCamper", "DoubleTrailer",     "TripleTrailer"};
  return keys;
}

// ---- Segment chain -------------------------------------------------------

namespace {

// One row of the chain table: which fields feed a link, with optional signs.
struct LinkRule {
  SegmentKind kind;
  std::optional<Dimension> front, wheelbase, back, hitch;
  double frontSign = 1, backSign = 1, hitchSign = 1;
  int widthsOf;  // user segment whose widths the link takes
  bool drawCoupling = false;
};

std::vector<LinkRule> ChainRules(int code) {
  using K = SegmentKind;
  const LinkRule tractor{K::TowingUnit, D::Front, D::Wheelbase, D::Back, D::Hitch, 1, 1, 1, 1,
                         false};
  LinkRule tractorCoupled = tractor;
  tractorCoupled.drawCoupling = true;
  switch (code) {
    case 1:
    case 6:
    case 7:
      return {{K::TowingUnit, D::Front, D::Wheelbase, D::Back, std::nullopt, 1, 1, 1, 1, false}};
    case 2:
      return {tractor,
              {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, std::nullopt, 1, 1, 1, 2, false}};
    case 4:
    case 5:
    case 8:
      return {tractor,
              {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, std::nullopt, -1, 1, 1, 2, false}};
    case 3:
      return {
          tractorCoupled,
          {K::TowBarLink, std::nullopt, D::Hitch2, std::nullopt, std::nullopt, 1, 1, 1, 2, false},
          {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, std::nullopt, 1, 1, 1, 2, false}};
    case 9:
      return {
          tractorCoupled,
          {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, D::Hitch2, 1, 1, 1, 2, false},
          {K::TowBarLink, std::nullopt, D::Hitch3, std::nullopt, std::nullopt, 1, 1, 1, 3, false},
          {K::Trailer, D::Front3, D::Wheelbase3, D::Back3, std::nullopt, 1, 1, 1, 3, false}};
    case 10:
      // The second trailer body's hitch is its rear overhang B3.
      return {
          tractor,
          {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, D::Hitch2, 1, 1, 1, 2, false},
          {K::TowBarLink, std::nullopt, D::Hitch3, std::nullopt, std::nullopt, 1, 1, 1, 3, false},
          {K::Trailer, D::Front3, D::Wheelbase3, D::Back3, D::Back3, 1, 1, 1, 3, false},
          {K::TowBarLink, std::nullopt, D::Hitch4, std::nullopt, std::nullopt, 1, 1, 1, 4, false},
          {K::Trailer, D::Front4, D::Wheelbase4, D::Back4, std::nullopt, 1, 1, 1, 4, false}};
    case 11:
      return {tractorCoupled,
              {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, D::Hitch2, -1, 1, 1, 2, true},
              {K::Trailer, D::Front3, D::Wheelbase3, D::Back3, std::nullopt, -1, 1, 1, 3, false}};
    case 12:
      return {tractorCoupled,
              {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, D::Hitch2, 1, 1, 1, 2, true},
              {K::Trailer, D::Front3, D::Wheelbase3, D::Back3, std::nullopt, -1, 1, 1, 3, false}};
    case 13:
      return {tractorCoupled,
              {K::Trailer, D::Front2, D::Wheelbase2, D::Back2, D::Hitch2, 1, -1, -1, 2, true},
              {K::Trailer, D::Front3, D::Wheelbase3, D::Back3, std::nullopt, 1, 1, 1, 3, false}};
    default:
      return {};
  }
}

}  // namespace

Segments BuildSegments(int typeCode, const std::function<double(Dimension)>& value) {
  Segments chain;
  const auto rules = ChainRules(typeCode);
  chain.reserve(rules.size());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const LinkRule& rule = rules[i];
    SegmentRecord link;
    link.Kind = rule.kind;
    link.WheelWidth = value(Nth(D::WheelWidth, rule.widthsOf));
    link.VehicleWidth = value(Nth(D::VehicleWidth, rule.widthsOf));
    if (rule.front) link.Front = rule.frontSign * value(*rule.front);
    if (rule.wheelbase) link.Wheelbase = value(*rule.wheelbase);
    if (rule.back) link.Back = rule.backSign * value(*rule.back);
    if (rule.hitch) link.Hitch = rule.hitchSign * value(*rule.hitch);
    if (i == 0) link.MaxTurningAngle = value(D::MaxTurningAngle);
    // A single unit never reads its articulation limit; a blank one is no fault.
    if (rules.size() > 1) {
      link.MaxSegmentAngle = value(D::MaxSegmentAngle);
    } else {
      try {
        link.MaxSegmentAngle = value(D::MaxSegmentAngle);
      } catch (const ConversionError&) {
        link.MaxSegmentAngle = 0;
      }
    }
    link.DrawCoupling = rule.drawCoupling;
    chain.push_back(link);
  }
  return chain;
}

Segments BuildSegments(int typeCode, const VehicleRecord& record) {
  return BuildSegments(typeCode, [&](Dimension d) { return record[d]; });
}

Segments BuildSegments(const VehicleFields& fields, const NumberSymbols& symbols) {
  return BuildSegments(fields.Type,
                       [&](Dimension d) { return fields.Number(d, symbols); });
}

// ---- Units -----------------------------------------------------------------

namespace {
constexpr std::array<std::string_view, kLengthUnitCount> kLengthUnitTexts{
    "Not set", "Meter", "Decimeter", "Centimeter", "Millimeter", "Feet", "Inches"};
constexpr std::array<double, kLengthUnitCount> kMetresPerUnit{1,     1,      0.1,   0.01,
                                                              0.001, 0.3048, 0.0254};
constexpr std::array<std::string_view, kSpeedUnitCount> kSpeedUnitTexts{
    "km/h (Kilometers/Hour)", "mph (Miles/Hour)", "ms (Meters/Second"};
}  // namespace

std::string_view LengthUnitText(int code) {
  return code >= 0 && code < kLengthUnitCount ? kLengthUnitTexts[code] : std::string_view{};
}

double MetresPerUnit(int code) {
  return code >= 1 && code < kLengthUnitCount ? kMetresPerUnit[code] : 1.0;
}

std::optional<int> LengthUnitFromText(std::string_view text) {
  for (int i = 0; i < kLengthUnitCount; ++i)
    if (kLengthUnitTexts[i] == text) return i;
  return std::nullopt;
}

std::string_view SpeedUnitText(int code) {
  return code >= 0 && code < kSpeedUnitCount ? kSpeedUnitTexts[code] : std::string_view{};
}

double SpeedToMetresPerSecond(double speed, int code) {
  if (code == 1) return speed / 0.62137 / 3.6;
  if (code == 2) return speed;
  return speed / 3.6;
}

}  // namespace veerline
