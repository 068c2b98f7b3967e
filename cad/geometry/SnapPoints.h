#pragma once

// Where a point being placed in the drawing can snap to: the ends, middles
// and centres of the drawn lines, arcs, circles and polylines (bulges as true
// arcs), where two of them cross, and the nearest point on any of them. Block
// references are followed, so the outlines of earlier runs snap too. Lines,
// arcs, circles and polylines are read from the entities' decoded data,
// exactly; the other kinds (splines, ellipses...) from the drawing's shared
// flattening, as chords that give their ends, nearest points and crossings.

#include <optional>
#include <vector>

#include "cad/dxf/DrawingModel.h"
#include "engine/Geometry.h"

namespace veerline::cad {

enum class SnapKind { Endpoint, Midpoint, Centre, Intersection, Nearest };

struct SnapPoint {
  Point2D At;
  SnapKind Kind = SnapKind::Nearest;
};

// A straight piece from A to B, or a circular arc from A to B about Centre
// turning SweepRad (positive counter-clockwise; 2 pi for a whole circle).
struct SnapCurve {
  bool IsArc = false;
  bool Chord = false;  // one chord of a flattened curve: no end or middle of its own
  Point2D A, B;
  Point2D Centre;
  double Radius = 0, StartRad = 0, SweepRad = 0;
  const DrawingEntity* Owner = nullptr;  // the model-space entity it belongs to
};

class SnapGeometry {
 public:
  // Reads every shown model-space entity; erased ones and those on layers
  // that are off or frozen are left out.
  explicit SnapGeometry(const DrawingModel& drawing);

  // The snap point nearest to `at` within `tolerance` (drawing units): an
  // end, middle, centre or crossing when one is that near, else the nearest
  // point on a curve; nothing when no curve is that near.
  std::optional<SnapPoint> Find(const Point2D& at, double tolerance) const;

  const std::vector<SnapCurve>& Curves() const { return mCurves; }

 private:
  void AddFlattened(const DrawingModel& drawing);

  std::vector<SnapCurve> mCurves;
  std::vector<Point2D> mChordEnds;  // where flattened open curves start and end
};

// The piece of a polyline from a to b with the bulge of a's vertex.
SnapCurve BulgeCurve(const Point2D& a, const Point2D& b, double bulge);

// A point of a curve at a fraction of the way along it, from A (0) to B (1).
Point2D CurvePointAt(const SnapCurve& curve, double fraction);

}  // namespace veerline::cad
