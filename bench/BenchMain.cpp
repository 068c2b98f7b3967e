// The one entry point of veerline-bench; the benchmark files register their cases.

#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
