#pragma once

// Exact distances between an obstacle segment (or point) and one convex
// outline quadrilateral, and a quick test that sets aside segments certainly
// farther than a given distance.

#include <array>

#include "engine/Geometry.h"

namespace veerline {

// An outline prepared for many distance queries: corners, bounds and the
// outward edge normals (unit length; all zero when the outline has no area,
// which turns the quick test off).
class OutlineQuad {
 public:
  explicit OutlineQuad(const std::array<Point2D, 4>& corners);

  const std::array<Point2D, 4>& Corners() const { return mCorners; }
  double MinX() const { return mMinX; }
  double MinY() const { return mMinY; }
  double MaxX() const { return mMaxX; }
  double MaxY() const { return mMaxY; }

  // True when the segment a-b lies wholly beyond one edge's line by more than
  // `distance`, so it is certainly farther from the outline than that.
  bool CertainlyBeyond(const Point2D& a, const Point2D& b, double distance) const {
    for (int i = 0; i < 4; ++i) {
      if (mNormals[i].X * a.X + mNormals[i].Y * a.Y - mOffsets[i] > distance &&
          mNormals[i].X * b.X + mNormals[i].Y * b.Y - mOffsets[i] > distance)
        return true;
    }
    return false;
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

// Smallest distance between the segment a-b (a == b for a point) and the
// filled outline: 0 when the segment crosses or touches the boundary or an
// end lies inside.
Closeness SegmentToOutline(const Point2D& a, const Point2D& b, const OutlineQuad& outline);

// The point of segment a-b nearest to p (a itself when a == b).
Point2D NearestOnSegment(const Point2D& p, const Point2D& a, const Point2D& b);

}  // namespace veerline
