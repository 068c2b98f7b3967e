// The Drive tool's preview step: the WB-20 (AASHTO 2018) has been driven
// along 200 m with three corners fixed at 15 km/h, the pointer moves, and the
// vehicle is driven from the last leg's start round the new corner to the
// pointer, with every outline kept and checked against a kerb. Set against
// driving the whole path again on every move.

#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/DriveSession.h"
#include "run/SilentHost.h"

namespace veerline {
namespace {

VehicleRecord Wb20() {
  VehicleRecord v;
  v.Type = 2;
  v.Unit = 1;
  v[Dimension::Front] = 1.2, v[Dimension::Wheelbase] = 5.9;
  v[Dimension::Front2] = 0.9, v[Dimension::Wheelbase2] = 13.9, v[Dimension::Back2] = 1.4;
  for (Dimension d : {Dimension::VehicleWidth, Dimension::WheelWidth, Dimension::VehicleWidth2,
                      Dimension::WheelWidth2})
    v[d] = 2.6;
  v[Dimension::MaxTurningAngle] = 28.17, v[Dimension::MaxSegmentAngle] = 90;
  v[Dimension::LockToLockTime] = 6;
  return v;
}

DriveSetup Setup() {
  DriveSetup setup;
  const VehicleRecord v = Wb20();
  setup.Vehicle = DriveVehicleOf(v);
  setup.Settings.SpeedMetresPerSecond = 15 / 3.6;
  setup.Chain.Units = BuildSegments(2, v);
  setup.Chain.VehicleType = 2;
  // A kerb along the whole path, 12 m to its left.
  Obstacle kerb{"K", "Kerb", {{}}, {}};
  for (double x = -10; x <= 220; x += 2) kerb.Polylines[0].push_back({x, 12});
  setup.Obstacles.push_back(kerb);
  setup.Margin = 0.5;
  return setup;
}

// 200 m so far: 60 east, 50 south-east, 50 north-east, then the leg the pointer draws.
const std::vector<Point2D> kFixed{{0, 0}, {60, 0}, {95, -35}, {130, 0}, {170, 0}};

// The pointer wanders about 40 m ahead of the last point, so every move is a new corner.
Point2D Pointer(int i) {
  const double a = 0.3 * std::sin(i * 0.7);
  return {170 + 40 * std::cos(a), 40 * std::sin(a)};
}

void BM_DrivePreview_Wb20_200m(benchmark::State& bench) {
  SilentHost host;
  DriveSession session(Setup(), host);
  for (const Point2D& p : kFixed)
    if (session.Fix(p)) bench.SkipWithError("a fixed corner was refused");
  int i = 0;
  std::size_t outlines = 0;
  for (auto _ : bench) {
    const DriveSession::Hovered& hovered = session.Hover(Pointer(i++));
    if (!hovered.Error.empty()) bench.SkipWithError(hovered.Error.c_str());
    outlines = hovered.Stretch.Trace.Outlines.size();
    benchmark::DoNotOptimize(hovered.Stretch.Conflicts.data());
  }
  bench.counters["outlines"] = static_cast<double>(outlines);
}

// The same move with the whole path driven again from its start.
void BM_DrivePreview_Wb20_200m_WholePath(benchmark::State& bench) {
  SilentHost host;
  const DriveSetup setup = Setup();
  int i = 0;
  for (auto _ : bench) {
    DriveSession session(setup, host);
    for (const Point2D& p : kFixed) session.Fix(p);
    benchmark::DoNotOptimize(session.Hover(Pointer(i++)).Stretch.Conflicts.data());
  }
}

BENCHMARK(BM_DrivePreview_Wb20_200m)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrivePreview_Wb20_200m_WholePath)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
