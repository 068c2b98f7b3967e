#include "engine/Manoeuvre.h"

#include <algorithm>
#include <cmath>

#include "engine/ExactTracking.h"

namespace veerline {
namespace {

Point2D Unit(const Point2D& v) {
  const double length = std::hypot(v.X, v.Y);
  return length > 0 ? Point2D{v.X / length, v.Y / length} : Point2D{};
}
Point2D Minus(const Point2D& a, const Point2D& b) { return {a.X - b.X, a.Y - b.Y}; }

// The nearest point before i (from first on) that differs from points[i].
bool DifferentBefore(const std::vector<Point2D>& points, std::size_t first, std::size_t i,
                     std::size_t& j) {
  for (j = i; j > first;) {
    --j;
    if (!(points[j] == points[i])) return true;
  }
  return false;
}

}  // namespace

Point2D TravelTangent(const std::vector<Point2D>& points, std::size_t first, std::size_t last,
                      std::size_t i) {
  std::size_t j1 = 0, j0 = 0;
  if (DifferentBefore(points, first, i, j1)) {
    const Point2D d2 = Unit(Minus(points[i], points[j1]));
    if (DifferentBefore(points, first, j1, j0)) {
      const Point2D d1 = Unit(Minus(points[j1], points[j0]));
      return Rotated(d2, AngleBetween(d1, d2) / 2.0);
    }
    // Second point of the path: the chord across it when the next point is known.
    for (std::size_t n = i + 1; n <= last; ++n) {
      if (!(points[n] == points[i])) return Unit(Minus(points[n], points[j1]));
    }
    return d2;
  }
  for (std::size_t n = i + 1; n <= last; ++n) {
    if (!(points[n] == points[i])) return Unit(Minus(points[n], points[i]));
  }
  return {1, 0};
}

double CurvatureThrough(const Point2D& p0, const Point2D& p1, const Point2D& p2) {
  const Point2D d1 = Minus(p1, p0), d2 = Minus(p2, p1);
  const double l1 = std::hypot(d1.X, d1.Y), l2 = std::hypot(d2.X, d2.Y);
  if (l1 == 0 || l2 == 0) return 0;
  return 2.0 * std::sin(AngleBetween(d1, d2)) / std::hypot(p2.X - p0.X, p2.Y - p0.Y);
}

double DistanceToPoints(const std::vector<Point2D>& points, std::size_t from, std::size_t to,
                        const Point2D& p) {
  double best = std::hypot(p.X - points[from].X, p.Y - points[from].Y);
  for (std::size_t j = from; j < to; ++j) {
    const Point2D a = points[j], b = points[j + 1];
    const double dx = b.X - a.X, dy = b.Y - a.Y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    best = std::min(best, std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy));
  }
  return best;
}

}  // namespace veerline
