// libFuzzer target: see FuzzVehicleFile in FuzzEntries.h.

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = veerline::fuzz::FuzzVehicleFile(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "FuzzVehicleFile: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
