#include "engine/PathPreparation.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/NumberRule.h"
#include "engine/Numerics.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

// Refuses a vertex table the measurement cannot work with.
void CheckVertices(const PathPolyline& path) {
  for (const PathVertex& v : path.vertices) {
    if (!std::isfinite(v.X) || !std::isfinite(v.Y) || !std::isfinite(v.Bulge)) {
      throw NumericFailure("The path has a vertex that is not a finite number");
    }
  }
}

// Length of the segment from a to b with the bulge of a.
double SegmentLengthOf(const PathVertex& a, const PathVertex& b) {
  const double chord = Distance2D({a.X, a.Y}, {b.X, b.Y});
  if (a.Bulge == 0) return chord;
  const double theta = 4.0 * std::atan(a.Bulge);
  return theta * 0.5 * chord / std::sin(theta * 0.5);
}

// A run counts its stations in 16 bits.
constexpr int kMaxSteps = 32767;
// The calculation step in metres, whatever the drawing's unit.
constexpr double kStepMetres = 0.2;

// Refuses, before a station is placed, a path with more steps than a run can
// count, saying how long it is, how long a path may be and what to do.
void CheckStepCount(double pathLength, double calculationStep, const NumberSymbols& symbols) {
  const double steps = std::round(pathLength / calculationStep);
  if (steps <= kMaxSteps) return;
  auto metres = [&](double value) { return FormatFieldNumber(RoundHalfEven(value, 1), symbols); };
  const std::string longest = metres(kMaxSteps * kStepMetres);
  throw NumericFailure("The path is " + metres(steps * kStepMetres) + " m long (" +
                       FormatFieldNumber(steps, symbols) + " calculation steps of " +
                       metres(kStepMetres) + " m); a run takes at most " +
                       std::to_string(kMaxSteps) + " steps, which is a path of " + longest +
                       " m. Split the path into parts of at most " + longest +
                       " m and run each part on its own.");
}

// The expected station count shown beside the progress, a 16-bit value.
int ExpectedStationCount(double pathLength, double calculationStep) {
  const double g = RoundToStep(pathLength / calculationStep, 1, false);
  if (g > 32767 || g < -32768) throw NumericFailure("Overflow");
  return static_cast<int>(g);
}

// Places the stations along a measured path.
void PlaceStations(const PathPolyline& path, double step, double pathLength, PathStations& out,
                   Host& host) {
  const int expected = ExpectedStationCount(pathLength, step);
  host.SetProgressMaximum(expected + 1);
  out.reserve(static_cast<std::size_t>(expected > 0 ? expected : 0) + 2);

  // Running sums of the segment lengths, added in row order as the search does.
  const std::size_t segmentCount = path.vertices.empty() ? 0 : path.vertices.size() - 1;
  std::vector<double> accumulated(segmentCount);
  double sum = 0;
  for (std::size_t k = 0; k < segmentCount; ++k) {
    sum += path.vertices[k].SegmentLength;
    accumulated[k] = sum;
  }

  Point2D previous;
  if (!path.vertices.empty()) previous = {path.vertices[0].X, path.vertices[0].Y};
  const std::string countText = std::to_string(expected);
  std::size_t k = 0;  // distances only grow, so the first segment past d never moves back
  double stationDistance = 0;
  int j = -1;
  for (double d = 0; d <= pathLength; d += step) {
    ++j;
    host.SetProgressValue(j);
    host.SetStatusText(0, "Evaluating Vehicle Path " + std::to_string(j) + " (" + countText + ")");
    while (k < segmentCount && !(accumulated[k] > d)) ++k;
    Point2D point = previous;
    if (k < segmentCount) {
      const double into = k == 0 ? d : path.vertices[k].SegmentLength - (accumulated[k] - d);
      if (auto found = GetPointOnPolylinePreparePath(path, k, into)) point = *found;
    }
    out.push_back({stationDistance, point});
    previous = point;
    stationDistance += step;
  }
  host.SetStatusText(0, " ");
}

}  // namespace

double ArcRadiusFromBulge(const Point2D& p1, const Point2D& p2, double bulge) {
  const double chord = Distance2D(p1, p2);
  const double theta = 4.0 * std::atan(std::fabs(bulge));
  return chord / 2.0 / std::cos(theta / 2.0 - PiValue() / 2.0);
}

std::optional<Point2D> GetPointOnPolylinePreparePath(const PathPolyline& path, std::size_t k,
                                                     double s) {
  if (k + 1 >= path.vertices.size()) return std::nullopt;
  const PathVertex& a = path.vertices[k];
  const PathVertex& b = path.vertices[k + 1];
  if (a.X == b.X && a.Y == b.Y) return std::nullopt;

  const double pi = PiValue();
  double heading;  // chord direction, folded into (-pi/2, pi/2] unless vertical
  if (b.X != a.X) {
    heading = std::atan((b.Y - a.Y) / (b.X - a.X));
  } else {
    heading = b.Y > a.Y ? pi / 2.0 : 3.0 * pi / 2.0;
  }
  double direction = heading;
  double reach = s;
  if (a.Bulge != 0) {
    const double radius = ArcRadiusFromBulge({a.X, a.Y}, {b.X, b.Y}, a.Bulge);
    const double included = 4.0 * std::atan(std::fabs(a.Bulge));
    const double swept = s / radius;
    direction =
        a.Bulge >= 0 ? heading - (included - swept) / 2.0 : heading + (included - swept) / 2.0;
    reach = 2.0 * radius * std::sin(swept / 2.0);
  }
  // arctan cannot tell a half turn apart; the sign of the X step does.
  if (b.X >= a.X)
    return Point2D{a.X + reach * std::cos(direction), a.Y + reach * std::sin(direction)};
  return Point2D{a.X - reach * std::cos(direction), a.Y - reach * std::sin(direction)};
}

void MeasurePath(PathPolyline& path, double& pathLength) {
  double total = 0;
  for (std::size_t k = 0; k + 1 < path.vertices.size(); ++k) {
    PathVertex& row = path.vertices[k];
    row.SegmentLength = SegmentLengthOf(row, path.vertices[k + 1]);
    pathLength += row.SegmentLength;
    total += row.SegmentLength;
  }
  if (!path.vertices.empty()) path.vertices.back().SegmentLength = 0;
  path.pathLength = total;
}

void PreparePathStations(PathPolyline& path, double calculationStep, double& pathLength,
                         RunState& state, Host& host) {
  state.stations.clear();
  const double lengthBefore = pathLength;
  try {
    if (!(calculationStep > 0) || !std::isfinite(calculationStep)) {
      throw NumericFailure("The calculation step must be a finite number above zero");
    }
    CheckVertices(path);
    MeasurePath(path, pathLength);
    if (!std::isfinite(pathLength)) throw NumericFailure("Overflow");
    CheckStepCount(pathLength, calculationStep, host.Symbols());
    PlaceStations(path, calculationStep, pathLength, state.stations, host);
  } catch (...) {
    // Half-placed stations would run the vehicle over a path that was never
    // prepared; the run sees an empty station list and an unchanged length.
    state.stations.clear();
    pathLength = lengthBefore;
    throw;
  }
}

void ReversePathStations(PathStations& stations) { std::reverse(stations.begin(), stations.end()); }

}  // namespace veerline
