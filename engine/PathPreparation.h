#pragma once

// Path preparation: the picked polyline as a vertex table, its measurement and
// the calculation stations placed along it at a fixed spacing.

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/RunState.h"

namespace veerline {

// One polyline vertex and the segment that starts at it.
struct PathVertex {
  double X = 0;
  double Y = 0;
  double Bulge = 0;          // tan(included angle / 4), positive counter-clockwise
  double SegmentLength = 0;  // chord or arc length to the next vertex; 0 on the last row
};

// The vertex table of a path (a closed path carries its closing row) and its length.
struct PathPolyline {
  std::vector<PathVertex> vertices;
  double pathLength = 0;
};

// Radius of the arc segment from p1 to p2 with the given bulge.
double ArcRadiusFromBulge(const Point2D& p1, const Point2D& p2, double bulge);

// The point at distance s along the segment that starts at row k, or nothing
// when that segment's end points coincide (or k has no following row).
std::optional<Point2D> GetPointOnPolylinePreparePath(const PathPolyline& path, std::size_t k,
                                                     double s);

// Fills every row's SegmentLength, adds each to pathLength in row order and
// stores the sum in path.pathLength.
void MeasurePath(PathPolyline& path, double& pathLength);

// Measures the path and places stations calculationStep apart into
// state.stations, showing the progress through the host. Throws
// NumericFailure when the path cannot be stationed (a vertex or bulge that is
// not a finite number, a step that is not above zero, or more stations than
// the 16-bit station count holds); state.stations is then left empty and
// pathLength as it came in, so the run sees that nothing was prepared.
void PreparePathStations(PathPolyline& path, double calculationStep, double& pathLength,
                         RunState& state, Host& host);

// The stations in the opposite order, distances and points copied unchanged.
void ReversePathStations(PathStations& stations);

}  // namespace veerline
