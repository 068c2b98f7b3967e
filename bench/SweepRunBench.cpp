// The station loop for a Triple Trailer over winding paths, with outlines
// drawn to a drawing that does nothing.

#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/Numerics.h"
#include "engine/PathPreparation.h"
#include "run/SilentHost.h"
#include "engine/SweepRun.h"

namespace veerline {
namespace {

class NullDrawing : public SweepDrawing {
 public:
  void PlotSegment(const SegmentCorners& corners, const std::string&, const SegmentRecord&, int,
                   double) override {
    benchmark::DoNotOptimize(corners[0].X);
  }
  void PlotSegmentAngleMark(const Point2D&, const Point2D&, const Point2D&, double,
                            const std::string&, double) override {}
};

// Stations along alternating left and right 45-degree bends of radius 40,
// joined by 10 m straights, until the path is at least the given length.
RunState WindingRun(double lengthMetres) {
  PathPolyline path;
  const double radius = 40, turn = PiValue() / 4;
  double x = 0, y = 0, heading = 0, length = 0;
  for (int bend = 0; length < lengthMetres; ++bend) {
    path.vertices.push_back({x, y, 0, 0});
    x += 10 * std::cos(heading);
    y += 10 * std::sin(heading);
    const double sign = bend % 2 ? -1 : 1;
    const double chord = 2 * radius * std::sin(turn / 2);
    const double chordHeading = heading + sign * turn / 2;
    path.vertices.push_back({x, y, sign * std::tan(turn / 4), 0});
    x += chord * std::cos(chordHeading);
    y += chord * std::sin(chordHeading);
    heading += sign * turn;
    length += 10 + radius * turn;
  }
  path.vertices.push_back({x, y, 0, 0});
  // Trim to the wanted length by stationing only that far.
  RunState state;
  SilentHost host;
  double pathLength = 0;
  PreparePathStations(path, 0.2, pathLength, state, host);
  const std::size_t wanted = static_cast<std::size_t>(std::llround(lengthMetres / 0.2));
  if (state.stations.size() > wanted) state.stations.resize(wanted);
  state.pathLength = lengthMetres;
  state.segments = BuildSegments(10, VehicleRecord::Defaults());
  return state;
}

void RunTripleTrailer(benchmark::State& bench, double lengthMetres) {
  const RunState prepared = WindingRun(lengthMetres);
  SweepOptions options;
  options.vehicleType = 10;
  options.lockToLockSeconds = 8;
  double spacing = 10;
  options.plotInterval = PlotIntervalFor(prepared.pathLength, 40, spacing, false, 0.2);
  SilentHost host;
  NullDrawing drawing;
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

void BM_StationLoop_TripleTrailer_5000Stations(benchmark::State& bench) {
  RunTripleTrailer(bench, 1000);
}
void BM_StationLoop_TripleTrailer_32000Stations(benchmark::State& bench) {
  RunTripleTrailer(bench, 6400);
}

BENCHMARK(BM_StationLoop_TripleTrailer_5000Stations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StationLoop_TripleTrailer_32000Stations)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
