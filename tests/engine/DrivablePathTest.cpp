#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/DrivablePath.h"
#include "engine/Numerics.h"
#include "engine/PathPreparation.h"
#include "engine/SweepRun.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

// The WB-20 semitrailer of the standard library, in metres.
VehicleRecord Wb20() {
  VehicleRecord v;
  v.Type = 2;
  v.Unit = 1;
  v[Dimension::Front] = 1.2;
  v[Dimension::Wheelbase] = 5.9;
  v[Dimension::Front2] = 0.9;
  v[Dimension::Wheelbase2] = 13.9;
  v[Dimension::Back2] = 1.4;
  v[Dimension::VehicleWidth] = v[Dimension::WheelWidth] = 2.6;
  v[Dimension::VehicleWidth2] = v[Dimension::WheelWidth2] = 2.6;
  v[Dimension::MaxTurningAngle] = 28.17;
  v[Dimension::MaxSegmentAngle] = 90;
  v[Dimension::LockToLockTime] = 6;
  return v;
}

DriveSettings AtKmh(double kmh) {
  DriveSettings settings;
  settings.SpeedMetresPerSecond = kmh / 3.6;
  return settings;
}

StopKind RunAlong(const DrivePathLayout& layout, double kmh) {
  sweeptest::RecordingHost host;
  sweeptest::RecordingDrawing drawing;
  RunState state;
  state.segments = BuildSegments(2, Wb20());
  PathPolyline path;
  for (const ArcPathVertex& v : layout.Vertices) path.vertices.push_back({v.X, v.Y, v.Bulge, 0});
  double length = 0;
  PreparePathStations(path, 0.2, length, state, host);
  state.pathLength = length;
  SweepOptions options;
  options.vehicleType = 2;
  options.speedMetresPerSecond = kmh / 3.6;
  options.lockToLockSeconds = 6;
  options.plotInterval = length;
  bool plot = false;
  const LoopEnd end = RunStationLoop(state, options, plot, drawing, host);
  EXPECT_NE(end, LoopEnd::Refused);
  return end == LoopEnd::Completed ? StopKind::None : state.stopKind;
}

// A winding path of tight and gentle corners, both ways.
const std::vector<Point2D> kWinding{{0, 0}, {60, 0}, {60, 70}, {130, 90}, {150, 20}, {230, 20}};

TEST(DrivablePathTest, RunAtDesignSpeedPassesAndFasterStopsAtLockToLock) {
  for (double kmh : {10.0, 15.0, 25.0}) {
    const DrivePathLayout layout = LayOutDrivePath(kWinding, DriveVehicleOf(Wb20()), AtKmh(kmh));
    ASSERT_TRUE(layout.Ok()) << layout.Error;
    EXPECT_EQ(RunAlong(layout, kmh), StopKind::None) << kmh;
    EXPECT_EQ(RunAlong(layout, 1.6 * kmh), StopKind::LockToLock) << kmh;
  }
}

// Every corner's arc is at least the vehicle's minimum turning radius, or
// the speed radius where that is larger, and is laid out with that radius.
TEST(DrivablePathTest, ArcsAreNeverTighterThanTheMinimumTurningRadius) {
  const DriveVehicle vehicle = DriveVehicleOf(Wb20());
  const double minimum = 5.9 / std::sin(DegToRad(28.17));
  std::vector<Point2D> large;
  for (const Point2D& p : kWinding) large.push_back({2 * p.X, 2 * p.Y});
  for (double kmh : {0.0, 15.0, 30.0}) {
    const DrivePathLayout layout = LayOutDrivePath(large, vehicle, AtKmh(kmh));
    ASSERT_TRUE(layout.Ok()) << layout.Error;
    const double speedRadius =
        kmh * kmh / (127 * (DefaultSuperelevation(kmh) + DefaultSideFriction(kmh)));
    int full = 0;
    for (const DriveCorner& c : layout.Corners) {
      EXPECT_GE(c.Radius, std::max(minimum, speedRadius)) << kmh << " at " << c.PointNumber;
      if (c.ArcLength > 0) ++full;
    }
    int arcs = 0;
    for (std::size_t i = 0; i + 1 < layout.Vertices.size(); ++i) {
      const auto& v = layout.Vertices[i];
      const Point2D a{v.X, v.Y}, b{layout.Vertices[i + 1].X, layout.Vertices[i + 1].Y};
      if (v.Bulge != 0 && std::abs(ArcRadiusFromBulge(a, b, v.Bulge) - layout.ArcRadius) < 1e-6)
        ++arcs;
    }
    EXPECT_EQ(arcs, full) << kmh;
  }
  DriveSettings typed = AtKmh(15);
  typed.Radius = 10;
  EXPECT_NE(LayOutDrivePath(kWinding, vehicle, typed).Error.find("tighter than"),
            std::string::npos);
  typed.Radius = 30;
  EXPECT_DOUBLE_EQ(LayOutDrivePath(kWinding, vehicle, typed).Corners[0].Radius, 30);
}

double DistanceToLayout(const DrivePathLayout& layout, const Point2D& p) {
  double best = 1e300;
  for (std::size_t i = 0; i + 1 < layout.Vertices.size(); ++i) {
    const auto& v = layout.Vertices[i];
    const auto& w = layout.Vertices[i + 1];
    best = std::min(best, DistanceToBulge(p, {v.X, v.Y}, {w.X, w.Y}, v.Bulge));
  }
  return best;
}

// The single-track vehicle driven with the wheel turning steadily in and out,
// integrated step by step, never strays 1 mm from the laid-out corner.
TEST(DrivablePathTest, EasingsAreWithinOneMillimetreOfTheTrueCurve) {
  const std::vector<Point2D> points{{0, 0}, {80, 0}, {80, -90}};
  const DrivePathLayout layout = LayOutDrivePath(points, DriveVehicleOf(Wb20()), AtKmh(20));
  ASSERT_TRUE(layout.Ok()) << layout.Error;
  const DriveCorner& c = layout.Corners.at(0);
  ASSERT_GT(c.EasingLength, 5);
  const double w = 5.9, lock = std::asin(w / c.Radius), rate = -lock / c.EasingLength;
  double x = 80 - c.TangentIn, y = 0, body = 0, worst = 0;
  const double total = 2 * c.EasingLength + c.ArcLength, h = 0.004;
  auto steering = [&](double s) {
    if (s < c.EasingLength) return rate * s;
    if (s > c.EasingLength + c.ArcLength) return rate * (total - s);
    return -lock;
  };
  for (double s = 0; s < total; s += h) {
    // Midpoint step of x' = cos(body + delta), body' = sin(delta) / w.
    const double mid = body + h / 2 * std::sin(steering(s)) / w;
    const double heading = mid + steering(s + h / 2);
    x += h * std::cos(heading);
    y += h * std::sin(heading);
    body += h * std::sin(steering(s + h / 2)) / w;
    worst = std::max(worst, DistanceToLayout(layout, {x, y}));
  }
  EXPECT_LT(worst, 0.001);
  EXPECT_NEAR(x, 80, 0.001);  // the curve ends on the leg out, heading along it
  EXPECT_NEAR(body, -std::numbers::pi / 2, 1e-6);
}

TEST(DrivablePathTest, CornerTooTightForItsLegsIsRefusedByItsPoint) {
  const std::vector<Point2D> points{{0, 0}, {60, 0}, {60, 8}, {0, 8}};
  const DrivePathLayout layout = LayOutDrivePath(points, DriveVehicleOf(Wb20()), AtKmh(15));
  EXPECT_FALSE(layout.Ok());
  EXPECT_NE(layout.Error.find("the corner at point 2 (60, 0) is too tight"), std::string::npos)
      << layout.Error;
  ASSERT_EQ(layout.Corners.size(), 2u);
  EXPECT_TRUE(layout.Corners[0].TooTight);
  // Absurd vehicles and speeds are refused at once.
  DriveVehicle tiny = DriveVehicleOf(Wb20());
  tiny.Wheelbase = 1e-9;
  EXPECT_FALSE(LayOutDrivePath(kWinding, tiny, AtKmh(15)).Ok());
  EXPECT_FALSE(LayOutDrivePath(kWinding, DriveVehicleOf(Wb20()), AtKmh(1e9)).Ok());
  tiny = DriveVehicleOf(Wb20());
  tiny.MaxTurningAngle = 1e-6;
  EXPECT_FALSE(LayOutDrivePath(kWinding, tiny, AtKmh(15)).Ok());
}

}  // namespace
}  // namespace veerline
