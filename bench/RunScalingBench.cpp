// How a whole run scales: path length (1 km, 6.5 km), the number of bodies
// (Truck, Semi-Trailer, Double Trailer, Triple Trailer), the output options
// (outlines, + sweep lines, + envelope), and the envelope alone per station.
// Every run goes through the Execute button into an in-memory drawing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bench/RunSetup.h"
#include "bench/WindingPath.h"
#include "cad/CadConnection.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfWriter.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "engine/Envelope.h"
#include "engine/Numerics.h"
#include "run/SilentHost.h"
#include "run/ExecuteSweep.h"

namespace veerline {
namespace {

using bench::kOutlines;
using bench::kWithEnvelope;
using bench::kWithSweep;
using bench::RunSetup;

// Args: path length in metres, vehicle type code, outputs.
void BM_WholeRun(benchmark::State& bench) {
  const auto path = bench::WindingPath(static_cast<double>(bench.range(0)));
  const int type = static_cast<int>(bench.range(1));
  const int outputs = static_cast<int>(bench.range(2));
  std::size_t stations = 0;
  for (auto _ : bench) {
    bench.PauseTiming();
    auto setup = std::make_unique<RunSetup>(path, type, outputs);
    bench.ResumeTiming();
    if (setup->Run() != RunOutcome::Completed) bench.SkipWithError("the run did not complete");
    stations = setup->state.stations.size();
    bench.PauseTiming();
    setup.reset();  // the drawing's teardown is not part of the run
    bench.ResumeTiming();
  }
  bench.counters["stations"] = static_cast<double>(stations);
  bench.counters["per_station"] = benchmark::Counter(
      static_cast<double>(stations),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void WholeRunArgs(benchmark::internal::Benchmark* b) {
  for (const int length : {1000, 6500})
    for (const int type : {1, 2, 9, 10}) b->Args({length, type, kWithEnvelope});
  for (const int length : {1000, 6500})
    for (const int outputs : {kOutlines, kWithSweep}) b->Args({length, 10, outputs});
  b->ArgNames({"metres", "type", "outputs"});
}
BENCHMARK(BM_WholeRun)->Apply(WholeRunArgs)->Unit(benchmark::kMillisecond);

// The envelope alone, on the side lines of a completed Triple Trailer run.
void BM_Envelope_TripleTrailer(benchmark::State& bench) {
  RunSetup setup(bench::WindingPath(static_cast<double>(bench.range(0))), 10, kOutlines);
  if (setup.Run() != RunOutcome::Completed) {
    bench.SkipWithError("the run did not complete");
    return;
  }
  const RunState prepared = setup.state;
  for (auto _ : bench) {
    bench.PauseTiming();
    RunState state = prepared;
    bench.ResumeTiming();
    const EnvelopeTraces traces = ComputeEnvelope(state, setup.host);
    benchmark::DoNotOptimize(traces.leftHand.data());
  }
  const double stations = static_cast<double>(prepared.stations.size());
  bench.counters["stations"] = stations;
  bench.counters["per_station"] = benchmark::Counter(
      stations, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Envelope_TripleTrailer)
    ->Arg(1000)
    ->Arg(6500)
    ->ArgName("metres")
    ->Unit(benchmark::kMillisecond);

// The result drawing of a whole run (outlines, sweep lines, envelope) written
// as DXF text: the file's own text, then the run's blocks entity by entity.
void BM_WriteRunDrawing_TripleTrailer(benchmark::State& bench) {
  RunSetup setup(bench::WindingPath(static_cast<double>(bench.range(0))), 10, kWithEnvelope);
  if (setup.Run() != RunOutcome::Completed) {
    bench.SkipWithError("the run did not complete");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : bench) {
    const std::string text = cad::WriteDxfText(*setup.attacher.Current());
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
}
BENCHMARK(BM_WriteRunDrawing_TripleTrailer)->Arg(1000)->ArgName("metres")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
