#include <gtest/gtest.h>

#include <limits>

#include "engine/Numerics.h"
#include "engine/SweepRun.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

using sweeptest::RecordingHost;

TEST(SweepPath, StraightMovePutsTheRearAxleOnePointZeroTwoWheelbasesBehind) {
  RecordingHost host;
  const SweepStep step = SweepPath({0.2, 0}, 5.6, {0, 0}, {-5.6, 0}, 2.5, host);
  EXPECT_NEAR(step.RearPoint.X, -5.512, 1e-12);
  EXPECT_NEAR(step.RearPoint.Y, 0, 1e-12);
  EXPECT_EQ(step.FrontPoint, (Point2D{0.2, 0}));
  EXPECT_EQ(step.IntersectionCount, 2);
  EXPECT_NEAR(step.SteeringAngle, 0, 1e-9);
  EXPECT_TRUE(host.messages.empty());
}

TEST(SweepPath, TurningStepFollowsTheOldHeading) {
  RecordingHost host;
  const SweepStep step = SweepPath({0.196962, 0.034730}, 5, {0, 0}, {-5.1, 0}, 2.5, host);
  EXPECT_NEAR(step.RearPoint.X, -4.902920, 1e-6);
  EXPECT_NEAR(step.RearPoint.Y, 0, 1e-12);
  EXPECT_NEAR(step.LeftTrackRadius, 27.6822, 1e-4);
  EXPECT_NEAR(step.LeftWheelAngle, 0.178695, 1e-6);
  EXPECT_NEAR(step.RightWheelAngle, 0.164170, 1e-6);
  EXPECT_NEAR(step.SteeringAngle, 9.8223, 1e-4);
  EXPECT_EQ(step.IntersectionCount, 2);
}

TEST(SweepPath, NoCrossingKeepsTheRearAxleOnItsLineToTheFrontPoint) {
  RecordingHost host;
  // The old front point on the old rear axle: the line of the step has no direction.
  const SweepStep none = SweepPath({0.2, 0}, 5, {0, 0}, {0, 0}, 2.5, host);
  EXPECT_EQ(none.IntersectionCount, 0);
  EXPECT_NEAR(none.RearPoint.X, 0.2 - 5.1, 1e-12);
  EXPECT_NEAR(none.RearPoint.Y, 0, 1e-12);

  // A tow bar of no length: its rear end stays on its front point.
  const SweepStep zero = SweepPath({0.2, 0.1}, 0, {0, 0}, {0, 0}, 2.5, host);
  EXPECT_EQ(zero.RearPoint, (Point2D{0.2, 0.1}));
  EXPECT_TRUE(host.messages.empty());
}

TEST(SweepPath, FailureIsReportedWithItsTagAndTheRearAxleStaysNearby) {
  RecordingHost host;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const SweepStep step = SweepPath({0.2, 0}, nan, {0, 0}, {-5, 0}, 2.5, host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(host.messages[0].title, "Veichle Turning Simulation");
  EXPECT_EQ(host.messages[0].text, "Invalid procedure call or argument SweepPath(Module)");
  EXPECT_EQ(step.RearPoint, (Point2D{-5, 0}));
  EXPECT_EQ(step.SteeringAngle, 0);
  EXPECT_EQ(step.IntersectionCount, 0);
}

TEST(SpeedForDisplay, ByUnitCodeRoundedToOneDecimal) {
  EXPECT_DOUBLE_EQ(SpeedForDisplay(4, 0), 14.4);
  EXPECT_DOUBLE_EQ(SpeedForDisplay(4, 7), 14.4);
  EXPECT_DOUBLE_EQ(SpeedForDisplay(4, 1), 8.9);
  EXPECT_DOUBLE_EQ(SpeedForDisplay(4.25, 2), 4.2);
}

TEST(AllowedSpeed, LockToLockRateAgainstSteeringChange) {
  // Max turning 40, lock to lock 8 s, path in metres.
  EXPECT_NEAR(AllowedSteeringChange(10 / 3.6, 40, 8, 0.2, 1), 0.72, 1e-12);
  EXPECT_NEAR(AllowedSpeed(0.5, 40, 8, 0.2, 1), 4, 1e-12);
  EXPECT_DOUBLE_EQ(SpeedForDisplay(AllowedSpeed(-0.5, 40, 8, 0.2, 1), 0), 14.4);
}

TEST(PlotIntervalFor, SpacingFitsWholeVehicleLengthsIntoThePath) {
  double spacing = 5;
  EXPECT_NEAR(PlotIntervalFor(100, 20, spacing, false, 0.2), 100.0 / 3 - 0.2, 1e-12);
  EXPECT_NEAR(spacing, 40.0 / 3, 1e-12);

  spacing = 5;
  EXPECT_NEAR(PlotIntervalFor(10, 20, spacing, false, 0.2), 9.8, 1e-12);
  EXPECT_NEAR(spacing, -10, 1e-12);

  spacing = 5;
  EXPECT_EQ(PlotIntervalFor(100, 20, spacing, true, 0.2), 100);
  EXPECT_EQ(spacing, 5);
}

TEST(InitialPlacement, ParksTheVehicleStraightBehindTheFirstStation) {
  const PathStations stations{{0, {10, 0}}, {0.2, {10.2, 0}}, {0.4, {10.4, 0}}};
  Segments segments(3);
  segments[0].Wheelbase = 5;
  segments[0].Hitch = 1;
  segments[1].Wheelbase = 2;  // a tow bar
  segments[2].Wheelbase = 7;
  const VehiclePlacement p = InitialPlacement(stations, segments, 0.2);
  const double expectedPrev[] = {9.8, 10 - 6.2, 10 - 8.2};
  const double expectedRear[] = {10 - 5.2, 10 - 8.2, 10 - 15.2};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(p.PrevFrontPoints[k].X, expectedPrev[k], 1e-12) << k;
    EXPECT_NEAR(p.RearPoints[k].X, expectedRear[k], 1e-12) << k;
    EXPECT_EQ(p.RearPoints[k].Y, 0);
  }
}

TEST(InitialPlacement, RepeatedFirstStationTakesTheDirectionFromFurtherAhead) {
  // A reversed path whose length is a whole number of steps starts with a repeat.
  // The chord to station k counts as k steps long.
  const PathStations stations{{10, {9, 0}}, {9, {9, 0}}, {8, {8, 0}}, {7, {7, 0}}};
  Segments segments(1);
  segments[0].Wheelbase = 5.6;
  const VehiclePlacement p = InitialPlacement(stations, segments, 1);
  EXPECT_NEAR(p.PrevFrontPoints[0].X, 9.5, 1e-12);
  EXPECT_NEAR(p.RearPoints[0].X, 9 + 6.6 / 2, 1e-12);
  EXPECT_EQ(p.RearPoints[0].Y, 0);
}

TEST(InitialPlacement, SingleStationOrNoStationsDoesNotFail) {
  Segments segments(2);
  segments[0].Wheelbase = 5;
  const VehiclePlacement one = InitialPlacement({{0, {3, 4}}}, segments, 0.2);
  EXPECT_EQ(one.RearPoints[1], (Point2D{3, 4}));
  const VehiclePlacement none = InitialPlacement({}, segments, 0.2);
  EXPECT_EQ(none.RearPoints.size(), 2u);
}

}  // namespace
}  // namespace veerline
