#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/Envelope.h"
#include "RunFixture.h"

namespace veerline::testing {
namespace {

// The filtered envelope scan must give exactly the traces of the plain scan.
class EnvelopeScanTest : public RunFixture {
 protected:
  void ExpectSameTraces(const RunState& after) {
    RunState filtered = after, exact = after;
    const EnvelopeTraces a = ComputeEnvelope(filtered, host, EnvelopeScan::Filtered);
    const EnvelopeTraces b = ComputeEnvelope(exact, host, EnvelopeScan::Exact);
    EXPECT_FALSE(b.rightHand.empty());
    EXPECT_FALSE(b.leftHand.empty());
    EXPECT_EQ(a.rightHand, b.rightHand);
    EXPECT_EQ(a.leftHand, b.leftHand);
  }
};

TEST_F(EnvelopeScanTest, SameTracesForEveryTypeOnBendsAndTurns) {
  const std::vector<std::array<double, 3>> sCurve{
      {0, 0, 0}, {40, 0, 0.18}, {75, 13, 0}, {90, 20, -0.18}, {125, 33, 0}, {170, 33, 0}};
  const std::vector<std::array<double, 3>> uTurn{{-50, 0, 0}, {0, 0, 1}, {0, 14, 0}, {-50, 14, 0}};
  for (int type = 1; type <= 13; ++type) {
    SCOPED_TRACE(type);
    state = RunState{};
    picker.PickHandle(AddPath(type % 2 ? sCurve : uTurn));
    auto inputs = Inputs(type);
    inputs.txt_Speed = "1";
    inputs.reverse = type % 3 == 0;
    inputs.vehicle[Dimension::MaxTurningAngle] = "60";
    inputs.vehicle[Dimension::MaxSegmentAngle] = "120";
    ASSERT_EQ(Run(inputs), RunOutcome::Completed);
    ASSERT_FALSE(state.envelopeRight.empty());
    ExpectSameTraces(state);
  }
}

TEST_F(EnvelopeScanTest, SameTracesOnAWindingPathNearAndFarFromTheOrigin) {
  // Alternating 45-degree bends of radius 40 joined by 10 m straights: the
  // filtered scan passes over most blocks as lying behind a hit already found,
  // with margins that grow with the coordinates.
  for (const double offset : {0.0, 4e6}) {
    SCOPED_TRACE(offset);
    state = RunState{};
    const double radius = 40, turn = std::atan(1.0);
    std::vector<std::array<double, 3>> path;
    double x = offset, y = -offset, heading = 0;
    for (int bend = 0; bend < 8; ++bend) {
      path.push_back({x, y, 0});
      x += 10 * std::cos(heading);
      y += 10 * std::sin(heading);
      const double sign = bend % 2 ? -1 : 1;
      path.push_back({x, y, sign * std::tan(turn / 4)});
      x += 2 * radius * std::sin(turn / 2) * std::cos(heading + sign * turn / 2);
      y += 2 * radius * std::sin(turn / 2) * std::sin(heading + sign * turn / 2);
      heading += sign * turn;
    }
    path.push_back({x, y, 0});
    picker.PickHandle(AddPath(path));
    ASSERT_EQ(Run(Inputs(10)), RunOutcome::Completed);
    ExpectSameTraces(state);
  }
}

TEST_F(EnvelopeScanTest, SameTracesForAwkwardLines) {
  // A straight track with side lines that are parallel, collinear, touching,
  // tiny, huge, or hold values that are not numbers.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  RunState run;
  run.segments.resize(1);
  run.segments[0].VehicleWidth = 2;
  run.vehicleLength = 10;
  for (int i = 0; i <= 60; ++i) run.stationTrack.push_back({i * 0.2, 0, i * 0.2});
  const std::vector<SegmentLine> awkward{
      {0, 1, 10, 1, 0},          {0, -1, 10, -1, 0},       {0, 0, 10, 0, 0.2},
      {1, 0, 1, 5, 0.4},         {2, -5, 2, 5, 0.4},       {3, 1e-300, 3, -1e-300, 0.6},
      {4, -1, 4, -1, 0.8},       {nan, 0, 5, 1, 1.0},      {5, nan, 5, 1, 1.0},
      {6, -1, 6 + 1e-17, 1, 1.2}, {-1e300, 1, 1e300, -1, 1.4}, {7, -inf, 7, inf, 1.6},
      {8, 2.5, 8, 2.6, 1.8},     {9, -0.5, 9, 0.5, 2.0},   {2, 5, 2, 6, 2.2}};
  for (int copy = 0; copy < 20; ++copy) {
    for (SegmentLine line : awkward) {
      line.X1 += copy * 0.5, line.X2 += copy * 0.5, line.Station += copy * 0.5;
      line.Lane = copy % 3;  // the scan groups lines by lane
      run.segmentLinesLeft.push_back(line);
      line.Y1 = -line.Y1, line.Y2 = -line.Y2;
      run.segmentLinesRight.push_back(line);
    }
  }
  ExpectSameTraces(run);
}

}  // namespace
}  // namespace veerline::testing
