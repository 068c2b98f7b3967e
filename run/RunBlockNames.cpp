#include "run/RunBlockNames.h"

#include <cmath>
#include <cstdio>

namespace veerline {

double Random(int lowerBound, int upperBound, RunHost& host) {
  return std::floor(host.NextRandom() * upperBound) + lowerBound;
}

std::string TimeStamp(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", time.year % 100, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

std::string RunBlockName(int lower, int upper, RunHost& host) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%.0f", Random(lower, upper, host));
  return digits + TimeStamp(host.Now());
}

cad::RunBlockNames MakeRunBlockNames(RunHost& host) {
  cad::RunBlockNames names;
  names.vehicle = RunBlockName(0, 999, host);
  names.sweep = RunBlockName(999, 1999, host);
  names.envelope = RunBlockName(2000, 4000, host);
  return names;
}

}  // namespace veerline
