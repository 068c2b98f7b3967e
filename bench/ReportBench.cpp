// What a finished run costs on its way to the user: its figures (the swept
// width among them), the result model, and the JSON report written out.

#include <benchmark/benchmark.h>

#include <string_view>

#include "bench/RunSetup.h"
#include "bench/WindingPath.h"
#include "run/RunFigures.h"
#include "run/RunReport.h"
#include "run/RunResultModel.h"

namespace veerline {
namespace {

// A completed Triple Trailer run with outlines, sweep lines and envelope.
struct FinishedRun {
  explicit FinishedRun(double metres)
      : setup(bench::WindingPath(metres), 10, bench::kWithEnvelope), outcome(setup.Run()) {}
  bench::RunSetup setup;
  RunOutcome outcome;
};

void BM_MeasureRun_TripleTrailer(benchmark::State& bench) {
  FinishedRun run(static_cast<double>(bench.range(0)));
  if (run.outcome != RunOutcome::Completed) return bench.SkipWithError("the run did not complete");
  for (auto _ : bench) benchmark::DoNotOptimize(MeasureRun(run.outcome, run.setup.state));
}
BENCHMARK(BM_MeasureRun_TripleTrailer)->Arg(1000)->ArgName("metres")->Unit(benchmark::kMillisecond);

// The model as the command line makes it for the report, and the report text.
void BM_WriteRunReport_TripleTrailer(benchmark::State& bench) {
  FinishedRun run(static_cast<double>(bench.range(0)));
  if (run.outcome != RunOutcome::Completed) return bench.SkipWithError("the run did not complete");
  RunResult result;
  result.outcome = run.outcome;
  std::size_t bytes = 0;
  for (auto _ : bench) {
    const RunResultModel model =
        MakeRunResultModel(result, run.setup.state, {}, 0, 10, "summary", WithPoses::No);
    bytes = 0;
    WriteRunReport(model, [&](std::string_view piece) {
      bytes += piece.size();
      benchmark::DoNotOptimize(piece.data());
    });
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
}
BENCHMARK(BM_WriteRunReport_TripleTrailer)->Arg(1000)->ArgName("metres")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
