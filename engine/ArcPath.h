#pragma once

// A path of straight legs between given points with every inner corner rounded
// by the tangent arc of one radius, laid out as polyline vertices with bulges.
// The layout is exact (arcs are bulges, not chords) and pure, so the batch tool
// and an interactive preview share it: the preview draws Vertices, with the
// corners marked TooTight shown as plain sharp corners in a warning colour.

#include <span>
#include <string>
#include <vector>

#include "engine/Geometry.h"

namespace veerline {

// One vertex of the laid-out polyline; Bulge belongs to the segment that
// starts here (tan of a quarter of the arc's signed angle, + counter-clockwise).
struct ArcPathVertex {
  double X = 0, Y = 0, Bulge = 0;
};

// A corner of the path: a point where the direction changes.
struct ArcPathCorner {
  int PointNumber = 0;       // 1-based position of the corner's point in the input
  Point2D Point;             // the corner's point as given
  double TangentLength = 0;  // from the point to either tangent point; infinite for a U-turn
  double Bulge = 0;          // of the arc that rounds it
  bool TooTight = false;     // the arc would overrun a leg; left sharp in the layout
};

struct ArcPathLayout {
  // The polyline: starts at the first point, ends at the last. Empty when the
  // input itself is unusable (see Error).
  std::vector<ArcPathVertex> Vertices;
  // Every corner in path order; repeated and in-line points make none.
  std::vector<ArcPathCorner> Corners;
  // Empty when the path can be made; otherwise why not, naming the first
  // corner that is too tight.
  std::string Error;

  bool Ok() const { return Error.empty(); }
};

// Lays out the path through points with corners of the given radius.
// Consecutive repeats and points in line with their neighbours are passed
// over. A corner is too tight when its tangent point would pass the far end
// of the leg before it (or the tangent point of the arc before it on that
// leg) or the far end of the leg after it; the corner just formed is the one
// blamed, which is the one the user is placing when drawing point by point.
ArcPathLayout LayOutArcPath(std::span<const Point2D> points, double radius);

// Appends a vertex unless it repeats the last one (within `tolerance`); a
// repeat passes its bulge on.
void AppendVertex(std::vector<ArcPathVertex>& vertices, const ArcPathVertex& v, double tolerance);
// Ends the vertices on `end` exactly: the last one moves there when it lies
// within `tolerance`, else `end` is added.
void EndExactlyAt(std::vector<ArcPathVertex>& vertices, const Point2D& end, double tolerance);

}  // namespace veerline
