#include "paint/LinetypeDashes.h"

#include <cmath>
#include <utility>

namespace veerline::paint {

namespace {

// A pattern whose whole length spans fewer pixels than this is drawn solid.
constexpr double kMinPeriodPixels = 4;
// Dots and the shortest dashes and gaps stay this long, so they show.
constexpr double kMinElementPixels = 1;

}  // namespace

std::optional<ScreenDashes> DashesOnScreen(const std::vector<double>& pattern,
                                           double pixelsPerUnit) {
  // Runs of (drawn, length in pixels), neighbours of one kind merged.
  std::vector<std::pair<bool, double>> runs;
  double period = 0;
  bool anyGap = false, anyDash = false;
  for (double d : pattern) {
    const bool drawn = d >= 0;
    const double length = std::max(kMinElementPixels, std::fabs(d) * pixelsPerUnit);
    if (!std::isfinite(length)) return std::nullopt;
    period += length;
    (drawn ? anyDash : anyGap) = true;
    if (!runs.empty() && runs.back().first == drawn) {
      runs.back().second += length;
    } else {
      runs.push_back({drawn, length});
    }
  }
  if (!anyGap || !anyDash || period < kMinPeriodPixels) return std::nullopt;
  ScreenDashes dashes;
  // The pen's pattern starts with a dash: a leading gap moves to the end, and
  // the line starts that far before the end of the pattern.
  if (!runs.front().first) {
    dashes.Offset = period - runs.front().second;
    runs.push_back(runs.front());
    runs.erase(runs.begin());
  }
  // A pattern that starts and ends with a dash joins them into one.
  if (runs.size() % 2 != 0) {
    dashes.Offset = std::fmod(dashes.Offset + runs.back().second, period);
    runs.front().second += runs.back().second;
    runs.pop_back();
  }
  for (const auto& run : runs) dashes.Pattern.push_back(run.second);
  return dashes;
}

}  // namespace veerline::paint
