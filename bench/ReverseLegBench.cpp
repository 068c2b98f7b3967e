// A 1 km leg of the WB-20 semitrailer, driven forwards and in reverse along
// the benchmarks' winding path: the station loop alone, outlines every 10 m.

#include <benchmark/benchmark.h>

#include "bench/WindingPath.h"
#include "engine/PathPreparation.h"
#include "run/SilentHost.h"
#include "engine/SweepRun.h"

namespace veerline {
namespace {

class NullOutlines : public SweepDrawing {
 public:
  void PlotSegment(const SegmentCorners& corners, const std::string&, const SegmentRecord&, int,
                   double) override {
    benchmark::DoNotOptimize(corners[0].X);
  }
  void PlotSegmentAngleMark(const Point2D&, const Point2D&, const Point2D&, double,
                            const std::string&, double) override {}
};

// The WB-20 as the default library holds it, in metres.
Segments Wb20() {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Type = 2;
  v[Dimension::Front] = 1.2, v[Dimension::Wheelbase] = 6.6, v[Dimension::Back] = 0.9;
  v[Dimension::Hitch] = -0.4, v[Dimension::Front2] = 1.6, v[Dimension::Wheelbase2] = 13.2;
  v[Dimension::Back2] = 1.4;
  for (Dimension d : {Dimension::VehicleWidth, Dimension::WheelWidth, Dimension::VehicleWidth2,
                      Dimension::WheelWidth2})
    v[d] = 2.6;
  v[Dimension::MaxTurningAngle] = 32, v[Dimension::MaxSegmentAngle] = 80;
  return BuildSegments(2, v);
}

RunState Wb20Leg(bool reverse, bool exact) {
  PathPolyline path;
  for (const cad::PolylineVertex& v : bench::WindingPath(1000))
    path.vertices.push_back({v.X, v.Y, v.Bulge, 0});
  RunState state;
  SilentHost host;
  double length = 0;
  PreparePathStations(path, 0.2, length, state, host);
  state.pathLength = length;
  state.segments = Wb20();
  ManoeuvreLeg leg;
  leg.reverse = reverse;
  leg.lastStation = state.stations.size() - 1;
  leg.length = length;
  double spacing = 10;
  leg.plotInterval = PlotIntervalFor(length, 24.8, spacing, false, 0.2);
  state.legs = {leg};
  state.exactTracking = exact;
  for (const PathStation& s : state.stations) state.guidedPoints.push_back(s.StationPoint);
  return state;
}

void RunLeg(benchmark::State& bench, bool reverse, bool exact) {
  const RunState prepared = Wb20Leg(reverse, exact);
  SweepOptions options;
  options.vehicleType = 2;
  options.lockToLockSeconds = 6;
  options.plotInterval = prepared.legs.front().plotInterval;
  SilentHost host;
  NullOutlines drawing;
  for (auto _ : bench) {
    bench.PauseTiming();
    RunState state = prepared;
    bench.ResumeTiming();
    bool plotVehicle = true;
    const LoopEnd end = RunStationLoop(state, options, plotVehicle, drawing, host);
    if (end != LoopEnd::Completed) bench.SkipWithError("the vehicle stopped before the end");
    benchmark::DoNotOptimize(state.steeringTrack.data());
  }
  bench.counters["stations"] = static_cast<double>(prepared.stations.size());
}

void BM_Wb20_1km_Forward(benchmark::State& bench) { RunLeg(bench, false, false); }
void BM_Wb20_1km_ExactForward(benchmark::State& bench) { RunLeg(bench, false, true); }
void BM_Wb20_1km_Reverse(benchmark::State& bench) { RunLeg(bench, true, false); }

BENCHMARK(BM_Wb20_1km_Forward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wb20_1km_ExactForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wb20_1km_Reverse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
