#include <gtest/gtest.h>

#include <QImage>

#include "engine/NumberRule.h"
#include "paint/DiagramReadout.h"
#include "paint/DiagramScale.h"
#include "paint/RunDiagrams.h"

namespace veerline::paint {
namespace {

const QColor kRed(255, 0, 0), kYellow(255, 255, 0), kWhite(255, 255, 255);

Track Flat(double lastDistance, double value, int rows = 11) {
  Track track;
  for (int i = 0; i < rows; ++i) track.push_back({lastDistance * i / (rows - 1), value});
  return track;
}

RunState StateWithSteering(const Track& steering) {
  RunState state;
  state.steeringTrack = steering;
  return state;
}

int CountColour(const QImage& image, int row, int fromX, int toX, const QColor& colour) {
  int count = 0;
  for (int x = fromX; x < toX; ++x) count += image.pixelColor(x, row) == colour;
  return count;
}

TEST(DiagramScale, BothDiagramsTakeTheirWidthFromTheSteeringTrack) {
  RunState state = StateWithSteering(Flat(20, 0));
  state.speedTrack = Flat(5, 30);
  EXPECT_EQ(TurningDiagramScale(state).width, 20);
  EXPECT_EQ(SpeedDiagramScale(state).width, 20);
  EXPECT_EQ(SpeedDiagramScale(state).top, 35);
  EXPECT_EQ(SpeedDiagramScale(state).height, -40);
  EXPECT_EQ(TurningDiagramScale(state).height, -200);
}

TEST(DiagramScale, RunWithoutExtentGetsWidthOne) {
  EXPECT_EQ(DiagramStationExtent(RunState{}), 1);
  EXPECT_EQ(DiagramStationExtent(StateWithSteering({{0, 0}})), 1);
}

TEST(DiagramReadout, TextsAtKnownPositions) {
  const RunState state = StateWithSteering(Flat(10, 0));
  const NumberSymbols point = NumberSymbols::PointDecimal();
  EXPECT_EQ(TurningReadout(state, {200, 150}, {400, 300}, point).toStdString(),
            "Front Wheel Station: 5   Angle(%): 0");
  EXPECT_EQ(
      TurningReadout(state, {130, 10}, {400, 300}, NumberSymbols::CommaDecimal()).toStdString(),
      "Front Wheel Station: 3,25   Angle(%): 93,33");
  EXPECT_EQ(SpeedReadout(state, {0, 200}, {400, 200}, point).toStdString(),
            "Front Wheel Station: 0   Speed: -5");
  EXPECT_EQ(SpeedReadout(state, {100, 30}, {400, 200}, point).toStdString(),
            "Front Wheel Station: 2.5   Speed: 29");
}

TEST(DiagramReadout, FollowsTheLastRunsPathLength) {
  const NumberSymbols point = NumberSymbols::PointDecimal();
  EXPECT_EQ(SpeedReadout(StateWithSteering(Flat(40, 0)), {200, 0}, {400, 200}, point).toStdString(),
            "Front Wheel Station: 20   Speed: 35");
  EXPECT_EQ(SpeedReadout(RunState{}, {200, 0}, {400, 200}, point).toStdString(),
            "Front Wheel Station: 0.5   Speed: 35");
  // A box collapsed to nothing still gives a readout.
  EXPECT_FALSE(TurningReadout(RunState{}, {5, 5}, {0, 0}, point).isEmpty());
}

TEST(RunDiagrams, ImagesHaveTheBoxSize) {
  const RunState empty;
  EXPECT_EQ(RenderTurningDiagram(empty, {321, 123}).size(), QSize(321, 123));
  EXPECT_EQ(RenderSpeedDiagram(empty, {77, 200}, SpeedUnit::MetresPerSecond).size(),
            QSize(77, 200));
  EXPECT_TRUE(RenderTurningDiagram(empty, {0, 100}).isNull());
  EXPECT_TRUE(RenderSpeedDiagram(empty, {100, -1}, SpeedUnit::KilometresPerHour).isNull());
}

TEST(RunDiagrams, TracksAreDrawnAtTheirScaledHeight) {
  RunState state = StateWithSteering(Flat(10, 25));
  state.articulationTrack1 = Flat(10, -25);
  const QImage image = RenderTurningDiagram(state, {400, 200});
  // 25 % is a quarter of the way down from the top at 100 %.
  EXPECT_EQ(image.pixelColor(200, 75), kRed);
  EXPECT_EQ(image.pixelColor(200, 125), kYellow);
  // The dotted grid line at 0 % crosses the middle.
  EXPECT_GT(CountColour(image, 100, 150, 350, kWhite), 30);
  EXPECT_EQ(CountColour(image, 100, 150, 350, kRed), 0);
}

TEST(RunDiagrams, CappedSpeedLiesOnTheTopGridLine) {
  RunState state = StateWithSteering(Flat(10, 0));
  state.speedTrack = Flat(10, 30);
  const QImage image = RenderSpeedDiagram(state, {400, 200}, SpeedUnit::KilometresPerHour);
  // 30 lies 5 of 40 units below the top: row 25, red showing between the white dots.
  EXPECT_GT(CountColour(image, 25, 200, 390, kRed), 20);
  EXPECT_GT(CountColour(image, 25, 200, 390, kWhite), 20);
  EXPECT_EQ(CountColour(image, 60, 200, 390, kRed), 0);
}

TEST(RunDiagrams, EmptyValueLeavesAGap) {
  RunState state = StateWithSteering({{0, 25}, {5, std::nullopt}, {10, 25}});
  const QImage image = RenderTurningDiagram(state, {400, 200});
  EXPECT_EQ(CountColour(image, 75, 0, 400, kRed), 0);
}

TEST(RunDiagrams, ValuesFarOffScaleRunOffTheBox) {
  RunState state = StateWithSteering({{0, 0}, {5, 1e300}, {10, -1e300}, {20, 0}});
  const QImage image = RenderTurningDiagram(state, {200, 100});
  // The steep rise from 0 at station 0 leaves the box near the left edge.
  EXPECT_GT(CountColour(image, 20, 0, 100, kRed), 0);
}

TEST(RunDiagrams, SpeedLabelsCarryTheUnitOnlyWithACurve) {
  RunState one = StateWithSteering({{0, 0}});
  one.speedTrack = {{0, 30}};
  EXPECT_EQ(RenderSpeedDiagram(one, {300, 200}, SpeedUnit::KilometresPerHour),
            RenderSpeedDiagram(one, {300, 200}, SpeedUnit::MilesPerHour));
  RunState two = StateWithSteering(Flat(10, 0, 2));
  two.speedTrack = Flat(10, 30, 2);
  EXPECT_NE(RenderSpeedDiagram(two, {300, 200}, SpeedUnit::KilometresPerHour),
            RenderSpeedDiagram(two, {300, 200}, SpeedUnit::MilesPerHour));
  EXPECT_EQ(SpeedUnitSuffix(SpeedUnit::MilesPerHour), " mph");
  EXPECT_EQ(SpeedUnitSuffix(SpeedUnit::MetresPerSecond), " m/s");
  EXPECT_EQ(SpeedUnitSuffix(SpeedUnit::KilometresPerHour), " km/h");
}

}  // namespace
}  // namespace veerline::paint
