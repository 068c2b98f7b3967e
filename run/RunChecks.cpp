#include "run/RunChecks.h"

#include <vector>

#include "engine/Rounding.h"

namespace veerline {
namespace {

const std::string kCRs(1, kCR);
const std::string kLockToLockHint = kCRs + kCR + "(A common value is 6-8 seconds)";

RunMessage Missing(const std::string& text) {
  return {MessageKind::Warning, "Missing value", text};
}

RunMessage BadValue(const std::string& text) { return {MessageKind::Warning, "Bad value", text}; }

// A dimension field tested for missing, with the text that reports it.
struct FieldCheck {
  Dimension field;
  const char* text;
};

constexpr FieldCheck W2{Dimension::WheelWidth2, "Missing value for segment #2 Wheel Width!"};
constexpr FieldCheck V2{Dimension::VehicleWidth2, "Missing value for segment #2 Vehicle Width!"};
constexpr FieldCheck W3{Dimension::WheelWidth3, "Missing value for segment #3 Wheel Width!"};
constexpr FieldCheck V3{Dimension::VehicleWidth3, "Missing value for segment #3 Vehicle Width!"};
constexpr FieldCheck W4{Dimension::WheelWidth4, "Missing value for segment #4 Wheel Width!"};
constexpr FieldCheck V4{Dimension::VehicleWidth4, "Missing value for segment #4 Vehicle Width!"};
constexpr FieldCheck H{Dimension::Hitch, "Missing value for Hitchpoint (H)!"};
constexpr FieldCheck F2{Dimension::Front2, "Missing value for Front2 (F2)!"};
constexpr FieldCheck WB2{Dimension::Wheelbase2, "Missing value for Wheelbase2 (WB2)!"};
constexpr FieldCheck B2{Dimension::Back2, "Missing value for Back2 (B2)!"};
constexpr FieldCheck H2{Dimension::Hitch2, "Missing value for Hitchpoint2 (H2)!"};
constexpr FieldCheck H3{Dimension::Hitch3, "Missing value for Hitchpoint3 (H3)!"};
constexpr FieldCheck F3{Dimension::Front3, "Missing value for Front3 (F3)!"};
constexpr FieldCheck WB3{Dimension::Wheelbase3, "Missing value for Wheelbase3 (WB3)!"};
constexpr FieldCheck B3{Dimension::Back3, "Missing value for Back3 (B3)!"};
constexpr FieldCheck F4{Dimension::Front4, "Missing value for Front4 (F4)!"};
constexpr FieldCheck WB4{Dimension::Wheelbase4, "Missing value for Wheelbase4 (WB4)!"};
constexpr FieldCheck B4{Dimension::Back4, "Missing value for Back4 (B4)!"};
constexpr FieldCheck H4{Dimension::Hitch4, "Missing value for Hitchpoint4 (H4)!"};

// The fields of the vehicle type tested for missing, in the order they are reported.
std::vector<FieldCheck> TypeFieldChecks(int typeCode) {
  switch (typeCode) {
    case 2: case 4: case 5: case 8: case 11: case 12: case 13:
      return {W2, V2, H, F2, WB2, B2};
    case 3:
      return {W2, V2, H, F2, WB2, B2, H2};
    case 9:
      return {W2, V2, W3, V3, H, F2, WB2, B2, H2, H3, F3, WB3, B3};
    case 10:
      return {W2, V2, W3, V3, W4, V4, H, F2, WB2, B2, H2, H3, F3, WB3, B3, F4, WB4, B4, H4};
    default:
      return {};
  }
}

std::string Decimal1(double value, const NumberSymbols& symbols) {
  return FormatFieldNumber(RoundHalfEven(value, 1), symbols);
}

}  // namespace

const char* RunOutcomeKey(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Completed: return "completed";
    case RunOutcome::FrontWheel: return "front-wheel";
    case RunOutcome::Articulation: return "articulation";
    case RunOutcome::LockToLock: return "lock-to-lock";
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::Ended: return "ended";
  }
  return "ended";
}

bool IsMissing(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

std::optional<RunMessage> CheckExecuteButton(const RunInputs& inputs) {
  if (IsMissing(inputs.txt_Speed)) return Missing("Missing value for Speed!");
  if (IsMissing(inputs.vehicle[Dimension::LockToLockTime]))
    return Missing("Missing value for Lock to lock!" + kLockToLockHint);
  if (inputs.pathUnit == 0) return Missing("Please select Vehicle path units!");
  if (inputs.vehicle.Unit == 0)
    return Missing("Please select Vehicle units for selected Vehicle. Save it after selecting units.");
  if (inputs.pathUnit != inputs.vehicle.Unit)
    return Missing("Your selected Vehicle units is not equal to the Vehicle path units!" + kCRs + kCR +
                   "You need to use same unit in booth");
  return std::nullopt;
}

std::optional<RunMessage> CheckRunInputs(const RunInputs& inputs, const NumberSymbols& symbols) {
  const VehicleFields& v = inputs.vehicle;
  if (IsMissing(inputs.txt_Speed)) return Missing("Missing value for Speed!");
  const auto speed = TryParseFieldNumber(inputs.txt_Speed, symbols);
  if (!speed) return BadValue("Bad value for Speed!");
  if (*speed > 30) return BadValue("I refuse to maneuver at this speed! Lower speed to 30 or less");
  if (IsMissing(v[Dimension::LockToLockTime]))
    return Missing("Missing value for Lock to lock!" + kLockToLockHint);
  if (!(v.Number(Dimension::LockToLockTime, symbols) > 0))
    return BadValue("Bad value for Lock to lock! Must be above zero!" + kLockToLockHint);

  const FieldCheck common[] = {
      {Dimension::Front, "Missing value for Front (F)!"},
      {Dimension::Back, "Missing value for Back (B)!"},
      {Dimension::Wheelbase, "Missing value for Wheel Base (WB)!"},
      {Dimension::WheelWidth, "Missing value for Wheel Width!"},
      {Dimension::VehicleWidth, "Missing value for Vehicle Width!"},
      {Dimension::MaxTurningAngle, "Missing value for Max Turning Angle!"},
      {Dimension::MaxSegmentAngle, "Missing value for Max Angle between Segments!"},
  };
  for (const FieldCheck& check : common)
    if (IsMissing(v[check.field]) && FieldRequired(v.Type, check.field))
      return Missing(check.text);
  for (const FieldCheck& check : TypeFieldChecks(v.Type))
    if (IsMissing(v[check.field])) return Missing(check.text);
  return std::nullopt;
}

PathCheck CheckPathLength(double pathLength, double calculationStep) {
  if (pathLength == 0) return PathCheck::EndSilently;
  if (pathLength < calculationStep) return PathCheck::WrongUnit;
  if (pathLength / calculationStep > 5000) return PathCheck::AskLongPath;
  return PathCheck::Ok;
}

RunMessage WrongUnitMessage() {
  return {MessageKind::Error, "Wrong unit?",
          "Path is shorter than calculation step! Check if you using correct Path/Vehicle units!"};
}

RunMessage LongPathQuestion() {
  return {MessageKind::Question, "Long Vehicle Path",
          "Selected Vehicle path generates over 5000 calculations!" + kCRs +
              "This could take some time. Would you like to continue?"};
}

RunMessage FrontWheelReport(const LimitOutcome& outcome, const NumberSymbols& symbols) {
  return {MessageKind::Error, "Exceeded Front Wheel Angle!",
          "Max turning angle exceeded at station: " + Decimal1(outcome.TurnExceededStation, symbols) +
              kCRs + "Vehicle stopped at position for exceeded turn angle." + kCRs + kCR +
              "Evaluated average angle for truck frontwheels at this station is " +
              Decimal1(outcome.TurnExceededAngle, symbols) + " Degrees"};
}

RunMessage ArticulationReport(const LimitOutcome& outcome, const NumberSymbols& symbols) {
  return {MessageKind::Error, "Exceeded Segment Angle!",
          "Max turning angle between segments exceeded at station: " +
              Decimal1(outcome.SegmentExceededStation, symbols) + kCRs +
              "Vehicle stopped at position for exceeded turn angle." + kCRs + kCR +
              "Evaluated angle between two segments is " +
              Decimal1(outcome.SegmentExceededAngle, symbols) + " Degrees"};
}

MessageAnswer Show(Host& host, const RunMessage& message) {
  return host.ShowMessage(message.kind, message.title, message.text);
}

}  // namespace veerline
