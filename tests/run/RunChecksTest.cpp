#include <gtest/gtest.h>

#include "run/ExecuteSweep.h"
#include "run/RunChecks.h"

using namespace veerline;

namespace {

RunInputs Ready(int type = 2) {
  RunInputs inputs;
  inputs.vehicle = VehicleFields::Defaults(NumberSymbols::CommaDecimal());
  inputs.vehicle.Type = static_cast<std::int16_t>(type);
  inputs.vehicle.Unit = 1;
  inputs.pathUnit = 1;
  return inputs;
}

std::string TextOf(const std::optional<RunMessage>& message) {
  return message ? message->text : std::string("<none>");
}

}  // namespace

TEST(CheckExecuteButton, ReportsTheFirstFailingCheckInOrder) {
  auto inputs = Ready();
  EXPECT_FALSE(CheckExecuteButton(inputs).has_value());

  inputs.txt_Speed = "   ";
  inputs.pathUnit = 0;
  EXPECT_EQ(TextOf(CheckExecuteButton(inputs)), "Missing value for Speed!");
  inputs.txt_Speed = "10";
  inputs.vehicle[Dimension::LockToLockTime] = "";
  EXPECT_EQ(TextOf(CheckExecuteButton(inputs)),
            "Missing value for Lock to lock!\r\r(A common value is 6-8 seconds)");
  inputs.vehicle[Dimension::LockToLockTime] = "8";
  EXPECT_EQ(TextOf(CheckExecuteButton(inputs)), "Please select Vehicle path units!");
  inputs.pathUnit = 1;
  inputs.vehicle.Unit = 0;
  EXPECT_EQ(TextOf(CheckExecuteButton(inputs)),
            "Please select Vehicle units for selected Vehicle. Save it after selecting units.");
  inputs.vehicle.Unit = 5;
  const auto unequal = CheckExecuteButton(inputs);
  ASSERT_TRUE(unequal.has_value());
  EXPECT_EQ(unequal->title, "Missing value");
  EXPECT_EQ(unequal->kind, MessageKind::Warning);
  EXPECT_EQ(unequal->text,
            "Your selected Vehicle units is not equal to the Vehicle path units!\r\rYou need to use "
            "same unit in booth");
}

TEST(CheckRunInputs, SpeedAndLockToLockRules) {
  const auto comma = NumberSymbols::CommaDecimal();
  auto inputs = Ready();
  EXPECT_FALSE(CheckRunInputs(inputs, comma).has_value());
  inputs.txt_Speed = "30";
  EXPECT_FALSE(CheckRunInputs(inputs, comma).has_value());
  inputs.txt_Speed = "30,5";
  for (int unit = 0; unit < 3; ++unit) {
    inputs.speedUnit = unit;
    const auto refused = CheckRunInputs(inputs, comma);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->title, "Bad value");
    EXPECT_EQ(refused->text, "I refuse to maneuver at this speed! Lower speed to 30 or less");
  }
  inputs.txt_Speed = "fast";
  EXPECT_EQ(TextOf(CheckRunInputs(inputs, comma)), "Bad value for Speed!");
  inputs.txt_Speed = "10";
  for (const char* bad : {"0", "-2"}) {
    inputs.vehicle[Dimension::LockToLockTime] = bad;
    EXPECT_EQ(TextOf(CheckRunInputs(inputs, comma)),
              "Bad value for Lock to lock! Must be above zero!\r\r(A common value is 6-8 seconds)");
  }
  inputs.vehicle[Dimension::LockToLockTime] = "eight";
  EXPECT_THROW(CheckRunInputs(inputs, comma), ConversionError);
}

TEST(CheckRunInputs, TypeFieldsAreTestedInTheirOrder) {
  const auto comma = NumberSymbols::CommaDecimal();
  auto triple = Ready(10);
  triple.vehicle[Dimension::Front4] = "";
  EXPECT_EQ(TextOf(CheckRunInputs(triple, comma)), "Missing value for Front4 (F4)!");
  triple.vehicle[Dimension::VehicleWidth4] = " ";
  EXPECT_EQ(TextOf(CheckRunInputs(triple, comma)), "Missing value for segment #4 Vehicle Width!");
  triple.vehicle[Dimension::Front] = "";
  EXPECT_EQ(TextOf(CheckRunInputs(triple, comma)), "Missing value for Front (F)!");

  // A truck does not test the fields of trailing segments.
  auto truck = Ready(1);
  truck.vehicle[Dimension::Hitch] = "";
  truck.vehicle[Dimension::Front2] = "";
  EXPECT_FALSE(CheckRunInputs(truck, comma).has_value());
  // The tow bar tests H2, the semitrailer does not.
  auto towBar = Ready(3);
  towBar.vehicle[Dimension::Hitch2] = "";
  EXPECT_EQ(TextOf(CheckRunInputs(towBar, comma)), "Missing value for Hitchpoint2 (H2)!");
  auto semi = Ready(2);
  semi.vehicle[Dimension::Hitch2] = "";
  EXPECT_FALSE(CheckRunInputs(semi, comma).has_value());
}

TEST(CheckPathLength, ThresholdsInDrawingUnits) {
  EXPECT_EQ(CheckPathLength(0, 0.2), PathCheck::EndSilently);
  EXPECT_EQ(CheckPathLength(0.1, 0.2), PathCheck::WrongUnit);
  EXPECT_EQ(CheckPathLength(150, 200), PathCheck::WrongUnit);  // millimetres
  EXPECT_EQ(CheckPathLength(1000, 0.2), PathCheck::Ok);
  EXPECT_EQ(CheckPathLength(1000.5, 0.2), PathCheck::AskLongPath);
  EXPECT_EQ(LongPathQuestion().kind, MessageKind::Question);
  EXPECT_EQ(WrongUnitMessage().title, "Wrong unit?");
}

TEST(LimitReports, TextsRoundToOneDecimalWithTheUsersSeparator) {
  LimitOutcome outcome;
  outcome.TurnExceededStation = 10 * (0.2 / 0.3048);  // station index 10 in feet
  outcome.TurnExceededAngle = 41.25;
  const auto front = FrontWheelReport(outcome, NumberSymbols::CommaDecimal());
  EXPECT_EQ(front.title, "Exceeded Front Wheel Angle!");
  EXPECT_EQ(front.kind, MessageKind::Error);
  EXPECT_EQ(front.text,
            "Max turning angle exceeded at station: 6,6\rVehicle stopped at position for exceeded "
            "turn angle.\r\rEvaluated average angle for truck frontwheels at this station is 41,2 "
            "Degrees");
  outcome.SegmentExceededStation = 12.25;
  outcome.SegmentExceededAngle = -71.04;
  const auto articulation = ArticulationReport(outcome, NumberSymbols::PointDecimal());
  EXPECT_EQ(articulation.title, "Exceeded Segment Angle!");
  EXPECT_EQ(articulation.text,
            "Max turning angle between segments exceeded at station: 12.2\rVehicle stopped at "
            "position for exceeded turn angle.\r\rEvaluated angle between two segments is -71 "
            "Degrees");
}

TEST(RunSummary, OneAndSeveralSegments) {
  RunState state;
  state.segments.resize(2);
  state.maxSteeringAngle = 31.26;
  state.maxArticulationAngle = 45.04;
  state.lowestSpeed = 12.3;
  EXPECT_EQ(RunSummary(state, 0, NumberSymbols::CommaDecimal()),
            "Truck Max Turning Angle: 31,3  Max Segment Angle: 45  Lowest speed along path: 12,3 km/h");
  state.segments.resize(1);
  state.lowestSpeed = 30;
  EXPECT_EQ(RunSummary(state, 2, NumberSymbols::PointDecimal()),
            "Truck Max Turning Angle 31.3  Lowest speed along path: 30 m/s");
  state.lowestSpeed = 30.1;
  EXPECT_EQ(RunSummary(state, 1, NumberSymbols::PointDecimal()),
            "Truck Max Turning Angle 31.3  Lowest speed along path:  Over 30 mph");
}
