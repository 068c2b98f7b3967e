#pragma once

// The clearance check: how close the vehicle's outlines come to obstacle curves
// over a run. An outline is one quadrilateral per segment and station, made of
// the body corners the sweep lines record; an obstacle is a set of polylines
// and points in drawing coordinates. Distances are exact: 0 where a curve
// touches or crosses an outline or lies inside it.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/Geometry.h"
#include "engine/NumberRule.h"

namespace veerline {

struct RunState;

// One obstacle as the drawing gives it: its handle and layer for the report,
// and its curves flattened to polylines (a closed curve repeats its first
// point; a single-point polyline counts as a point) and separate points.
struct Obstacle {
  std::string Handle, Layer;
  std::vector<std::vector<Point2D>> Polylines;
  std::vector<Point2D> Points;
};

// One segment's body outline at one station: front-left, front-right,
// rear-right, rear-left.
struct StationOutline {
  double Station = 0;  // station distance
  std::array<Point2D, 4> Corners;
  int Unit = 0;  // the segment's place in the chain
};

// How close one obstacle came: the smallest distance, the first station where
// it occurred and the nearest point on the obstacle there, and the first and
// last station at which the obstacle was within the margin.
struct ObstacleClearance {
  std::string Handle, Layer;
  double Distance = 0;
  double Station = 0;
  Point2D Nearest;
  double FirstStation = 0, LastStation = 0;
};

// The outcome of a check. Checked is false when no obstacle layer was chosen.
struct ClearanceResult {
  bool Checked = false;
  std::vector<std::string> Layers;
  double Margin = 0;
  std::vector<ObstacleClearance> Conflicts;  // obstacles within the margin, nearest first
  std::optional<double> MinimumDistance;     // over all obstacles; empty without any
};

// True when a distance counts as within the margin: below it, or touching
// (distance 0) when the margin is 0.
inline bool WithinMargin(double distance, double margin) {
  return distance < margin || distance == 0;
}

// A distance as the marks and the status line show it: two decimals.
std::string DistanceText(double distance, const NumberSymbols& symbols);

// The outlines of every station the run reached, in station order, read from
// its front-left, front-right, rear-left and rear-right sweep tables.
std::vector<StationOutline> RunOutlines(const RunState& state);

// Measures every obstacle against every outline. Conflicts and the minimum
// are filled in; Checked, Layers and Margin are left for the caller.
ClearanceResult CheckClearance(const std::vector<StationOutline>& outlines,
                               const std::vector<Obstacle>& obstacles, double margin);

}  // namespace veerline
