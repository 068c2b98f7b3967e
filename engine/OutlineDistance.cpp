#include "engine/OutlineDistance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veerline {
namespace {

double Cross(const Point2D& o, const Point2D& a, const Point2D& b) {
  return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
}

double SquaredDistance(const Point2D& a, const Point2D& b) {
  const double dx = a.X - b.X, dy = a.Y - b.Y;
  return dx * dx + dy * dy;
}

// Where a-b properly crosses c-d (each segment's ends strictly on either side
// of the other's line). Touching and collinear cases are left to the point
// distances, which find them at 0.
bool ProperCrossing(const Point2D& a, const Point2D& b, const Point2D& c, const Point2D& d,
                    Point2D& at) {
  const double d1 = Cross(c, d, a), d2 = Cross(c, d, b);
  if (!((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0))) return false;
  const double d3 = Cross(a, b, c), d4 = Cross(a, b, d);
  if (!((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return false;
  const double t = d1 / (d1 - d2);
  at = {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)};
  return true;
}

}  // namespace

OutlineQuad::OutlineQuad(const std::array<Point2D, 4>& corners) : mCorners(corners) {
  mMinX = mMaxX = corners[0].X;
  mMinY = mMaxY = corners[0].Y;
  double twiceArea = 0;
  for (int i = 0; i < 4; ++i) {
    const Point2D& p = corners[i];
    const Point2D& q = corners[(i + 1) % 4];
    mMinX = std::min(mMinX, p.X);
    mMaxX = std::max(mMaxX, p.X);
    mMinY = std::min(mMinY, p.Y);
    mMaxY = std::max(mMaxY, p.Y);
    twiceArea += p.X * q.Y - q.X * p.Y;
  }
  if (!(twiceArea != 0) || !std::isfinite(twiceArea)) return;
  // Outward normal of edge p->q: (dy, -dx) for a counter-clockwise outline.
  const double sense = twiceArea > 0 ? 1 : -1;
  for (int i = 0; i < 4; ++i) {
    const Point2D& p = corners[i];
    const Point2D& q = corners[(i + 1) % 4];
    const double length = std::sqrt(SquaredDistance(p, q));
    if (length == 0) continue;
    mNormals[i] = {sense * (q.Y - p.Y) / length, -sense * (q.X - p.X) / length};
    mOffsets[i] = mNormals[i].X * p.X + mNormals[i].Y * p.Y;
  }
}

bool OutlineQuad::Contains(const Point2D& p) const {
  if (p.X < mMinX || p.X > mMaxX || p.Y < mMinY || p.Y > mMaxY) return false;
  // Crossing number; boundary points are caught by the edge distances.
  bool inside = false;
  for (int i = 0, j = 3; i < 4; j = i++) {
    const Point2D& a = mCorners[i];
    const Point2D& b = mCorners[j];
    if ((a.Y > p.Y) != (b.Y > p.Y) && p.X < (b.X - a.X) * (p.Y - a.Y) / (b.Y - a.Y) + a.X)
      inside = !inside;
  }
  return inside;
}

Point2D NearestOnSegment(const Point2D& p, const Point2D& a, const Point2D& b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0) return a;
  const double t = std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / lengthSquared, 0.0, 1.0);
  return {a.X + t * dx, a.Y + t * dy};
}

double LargestShift(const OutlineQuad& before, const OutlineQuad& after) {
  double shift = 0;
  for (int i = 0; i < 4; ++i)
    shift = std::max(shift, SquaredDistance(before.Corners()[i], after.Corners()[i]));
  return std::sqrt(shift);
}

Closeness SegmentToOutline(const Point2D& a, const Point2D& b, const OutlineQuad& outline) {
  if (outline.Contains(a)) return {0, a};
  if (outline.Contains(b)) return {0, b};
  const auto& corners = outline.Corners();
  // Squared distances until the end: one square root per call.
  double best = std::numeric_limits<double>::infinity();
  Point2D onObstacle = a;
  const auto consider = [&](double squared, const Point2D& p) {
    if (squared < best) {
      best = squared;
      onObstacle = p;
    }
  };
  for (int i = 0; i < 4; ++i) {
    const Point2D& c = corners[i];
    const Point2D& d = corners[(i + 1) % 4];
    Point2D crossing;
    if (ProperCrossing(a, b, c, d, crossing)) return {0, crossing};
    consider(SquaredDistance(a, NearestOnSegment(a, c, d)), a);
    consider(SquaredDistance(b, NearestOnSegment(b, c, d)), b);
    const Point2D foot = NearestOnSegment(c, a, b);
    consider(SquaredDistance(c, foot), foot);
  }
  return {std::sqrt(best), onObstacle};
}

}  // namespace veerline
