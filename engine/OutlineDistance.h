#pragma once

// Exact distances between an obstacle segment (or point) and one convex
// outline quadrilateral, and a quick lower bound of that distance.

#include <algorithm>
#include <array>

#include "engine/Geometry.h"

namespace veerline {

// An outline prepared for many distance queries: corners, bounds and the
// outward edge normals (unit length; all zero when the outline has no area,
// which turns the lower bound off).
class OutlineQuad {
 public:
  explicit OutlineQuad(const std::array<Point2D, 4>& corners);

  const std::array<Point2D, 4>& Corners() const { return mCorners; }
  double MinX() const { return mMinX; }
  double MinY() const { return mMinY; }
  double MaxX() const { return mMaxX; }
  double MaxY() const { return mMaxY; }

  // A lower bound of the distance from the segment a-b to the outline: how far
  // the segment lies wholly beyond the farthest edge line (at most 0 when it
  // is beyond none, or when the outline has no area).
  double LowerBound(const Point2D& a, const Point2D& b) const {
    double bound = 0;
    for (int i = 0; i < 4; ++i) {
      const double beyondA = mNormals[i].X * a.X + mNormals[i].Y * a.Y - mOffsets[i];
      const double beyondB = mNormals[i].X * b.X + mNormals[i].Y * b.Y - mOffsets[i];
      bound = std::max(bound, std::min(beyondA, beyondB));
    }
    return bound;
  }

  // True when the point lies inside the outline or on its boundary.
  bool Contains(const Point2D& p) const;

 private:
  std::array<Point2D, 4> mCorners;
  std::array<Point2D, 4> mNormals{};
  std::array<double, 4> mOffsets{};
  double mMinX, mMinY, mMaxX, mMaxY;
};

// The distance and the point on the obstacle segment where it is reached.
struct Closeness {
  double Distance = 0;
  Point2D OnObstacle;
};

// How far the outline moved from `before`: the largest shift of a corner. No
// point of the filled outline moved farther, so a distance to it changes by
// at most this much.
double LargestShift(const OutlineQuad& before, const OutlineQuad& after);

// Smallest distance between the segment a-b (a == b for a point) and the
// filled outline: 0 when the segment crosses or touches the boundary or an
// end lies inside.
Closeness SegmentToOutline(const Point2D& a, const Point2D& b, const OutlineQuad& outline);

// The point of segment a-b nearest to p (a itself when a == b).
Point2D NearestOnSegment(const Point2D& p, const Point2D& a, const Point2D& b);

}  // namespace veerline
