// The clearance check's cost on top of a run: a 1 km Triple Trailer run along
// the winding path against 20,000 obstacle segments (kerbs along both sides
// and bollards beside the path), and the clearance line.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bench/WindingPath.h"
#include "cad/CadConnection.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "engine/Clearance.h"
#include "engine/ClearanceLine.h"
#include "engine/Numerics.h"
#include "run/SilentHost.h"
#include "run/ExecuteSweep.h"

namespace veerline {
namespace {

constexpr double kMargin = 0.5;

// A 1 km Triple Trailer run with its envelope on a drawing that holds the
// path and, when given, obstacles as polylines on layer "Street"; with
// `check` the run checks the clearance to them (margin 0.5).
struct TripleTrailerRun {
  cad::DrawingAttacher attacher;
  cad::ScriptedPicker picker;
  cad::DefaultColourSettings colours;
  SilentHost host;
  RunState state;
  RunInputs inputs;

  explicit TripleTrailerRun(const std::vector<Obstacle>& street = {}, bool check = false) {
    attacher.Open(std::make_unique<cad::DrawingModel>());
    cad::DrawingModel& drawing = *attacher.Current();
    attacher.Application()->SetPicker(&picker);
    auto& path = drawing.ModelSpace().AddEntity(cad::EntityKind::LwPolyline);
    path.Data().Vertices = bench::WindingPath(1000);
    picker.PickHandle(path.Handle());
    drawing.AddLayer("Street");
    for (const Obstacle& o : street) {
      for (const auto& line : o.Polylines) {
        auto& polyline = drawing.ModelSpace().AddEntity(cad::EntityKind::LwPolyline);
        polyline.Data().Layer = "Street";
        for (const Point2D& p : line) polyline.Data().Vertices.push_back({p.X, p.Y, 0, 0});
      }
    }
    inputs.vehicle = VehicleFields::Defaults(NumberSymbols::PointDecimal());
    inputs.vehicle.Type = 10;
    inputs.vehicle.Unit = 1;
    inputs.pathUnit = 1;
    if (check) inputs.obstacleLayers = {"Street"};
    inputs.txt_ClearanceMargin = "0.5";
  }

  // Runs; false when the run did not complete.
  bool Run() {
    cad::CadConnection connection(attacher);
    RunContext context{host, connection, colours, state};
    return ExecuteButton(inputs, context).outcome == RunOutcome::Completed;
  }
};

// The stations of the run, for laying out a street along them.
PathStations RunStations() {
  TripleTrailerRun run;
  return run.Run() ? run.state.stations : PathStations{};
}

// A street along the path: kerbs `kerbOffset` to either side of it, one
// piece per station, then bollards (rings of 32 pieces) every 97 stations,
// alternately left and right, `bollardOffset` to 10 m more from the path,
// until there are `count` pieces.
std::vector<Obstacle> StreetAlong(const PathStations& stations, double kerbOffset,
                                  double bollardOffset, std::size_t count) {
  const auto normal = [&](std::size_t i) {
    const Point2D a = stations[i == 0 ? 0 : i - 1].StationPoint;
    const Point2D b = stations[i == 0 ? 1 : i].StationPoint;
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    return Point2D{-(b.Y - a.Y) / length, (b.X - a.X) / length};
  };
  std::vector<Obstacle> obstacles(2);
  auto& left = obstacles[0].Polylines.emplace_back();
  auto& right = obstacles[1].Polylines.emplace_back();
  for (std::size_t i = 0; i < stations.size() && 2 * i + 2 <= count / 2; ++i) {
    const Point2D p = stations[i].StationPoint, n = normal(i);
    left.push_back({p.X + kerbOffset * n.X, p.Y + kerbOffset * n.Y});
    right.push_back({p.X - kerbOffset * n.X, p.Y - kerbOffset * n.Y});
  }
  std::size_t pieces = left.size() + right.size() - 2;
  for (std::size_t k = 0; pieces + 32 <= count; ++k, pieces += 32) {
    const std::size_t i = (k * 97) % stations.size();
    const double offset = (k % 2 ? 1 : -1) * (bollardOffset + static_cast<double>(k % 11));
    const Point2D p = stations[i].StationPoint, n = normal(i);
    auto& ring = obstacles.emplace_back().Polylines.emplace_back();
    for (int j = 0; j <= 32; ++j) {
      const double angle = 2 * PiValue() * j / 32;
      ring.push_back(
          {p.X + offset * n.X + 0.2 * std::cos(angle), p.Y + offset * n.Y + 0.2 * std::sin(angle)});
    }
  }
  return obstacles;
}

// Args: the kerbs' and the nearest bollards' distance from the path in
// decimetres. At 6 m and 4.5 m the kerbs come within the margin in the bends
// (at 4.5 m the trailers cross them); at 10 m nothing does, and the search
// for the nearest obstacle runs as well.
void BM_Clearance_TripleTrailer1km(benchmark::State& bench) {
  TripleTrailerRun run;
  if (!run.Run()) {
    bench.SkipWithError("the run did not complete");
    return;
  }
  const std::vector<Obstacle> obstacles =
      StreetAlong(run.state.stations, static_cast<double>(bench.range(0)) / 10,
                  static_cast<double>(bench.range(1)) / 10, 20000);
  ClearanceResult result;
  for (auto _ : bench) {
    result = CheckClearance(RunOutlines(run.state), obstacles, kMargin);
    benchmark::DoNotOptimize(result.MinimumDistance);
  }
  bench.counters["conflicts"] = static_cast<double>(result.Conflicts.size());
  bench.counters["closest"] = result.MinimumDistance.value_or(-1);
}
BENCHMARK(BM_Clearance_TripleTrailer1km)
    ->Args({60, 45})
    ->Args({45, 45})
    ->Args({100, 100})
    ->ArgNames({"kerb_dm", "bollard_dm"})
    ->Unit(benchmark::kMillisecond);

void BM_ClearanceLine_TripleTrailer1km(benchmark::State& bench) {
  TripleTrailerRun run;
  if (!run.Run()) {
    bench.SkipWithError("the run did not complete");
    return;
  }
  for (auto _ : bench) {
    const auto loops =
        ClearanceLine(run.state.envelopeRight, run.state.envelopeLeft, kMargin, 0.001);
    benchmark::DoNotOptimize(loops.data());
  }
}
BENCHMARK(BM_ClearanceLine_TripleTrailer1km)->Unit(benchmark::kMillisecond);

// The whole run through the Execute button on a drawing with the street of
// kerbs at 6 m and bollards from 4.5 m (20,000 pieces): Arg 0 without the
// check, 1 with it (obstacles read from the drawing, the check, the marks
// and the clearance line). The difference is what the check adds.
void BM_WholeRunWithStreet_TripleTrailer1km(benchmark::State& bench) {
  const std::vector<Obstacle> street = StreetAlong(RunStations(), 6.0, 4.5, 20000);
  for (auto _ : bench) {
    bench.PauseTiming();
    auto run = std::make_unique<TripleTrailerRun>(street, bench.range(0) != 0);
    bench.ResumeTiming();
    if (!run->Run()) bench.SkipWithError("the run did not complete");
    bench.PauseTiming();
    run.reset();
    bench.ResumeTiming();
  }
}
BENCHMARK(BM_WholeRunWithStreet_TripleTrailer1km)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("check")
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
