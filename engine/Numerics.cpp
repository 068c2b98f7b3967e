#include "engine/Numerics.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/Rounding.h"

namespace veerline {

double RoundToStep(double value, double step, bool up) {
  if (std::isnan(value)) return 0;
  const double n = value / step + (up ? 0.5 : -0.5);
  const double whole = std::trunc(n);
  // The whole part is kept as a 16-bit integer, as the station counts are.
  if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
        whole <= std::numeric_limits<std::int16_t>::max())) {
    throw NumericFailure("Overflow");
  }
  const double fraction = RoundHalfEven(n - whole);
  return step * (whole + fraction);
}

double AngleAtVertex(const Point2D& p, const Point2D& v, const Point2D& q) {
  const double ux = p.X - v.X, uy = p.Y - v.Y;
  const double vx = q.X - v.X, vy = q.Y - v.Y;
  const double cross = ux * vy - uy * vx;
  const float dot = static_cast<float>(ux * vx + uy * vy);
  double angle;
  if (std::fabs(dot) < 0.0001f) {
    angle = PiValue() / 2.0;
  } else {
    angle = std::fabs(std::atan(cross / static_cast<double>(dot)));
  }
  if (dot < 0) angle = PiValue() - angle;
  if (cross < 0) angle = -angle;
  return angle;
}

LineCircleHits LineCircleIntersection(const Point2D& centre, double radius, const Point2D& s,
                                      const Point2D& e) {
  LineCircleHits hits;
  const double dx = e.X - s.X, dy = e.Y - s.Y;
  const double ex = s.X - centre.X, ey = s.Y - centre.Y;
  const double a = dx * dx + dy * dy;
  const double b = 2.0 * (dx * ex + dy * ey);
  const double c = ex * ex + ey * ey - radius * radius;
  const double det = b * b - 4.0 * a * c;
  if (a <= 0.0000001 || det < 0) return hits;
  if (det == 0) {
    const double t = -b / (2.0 * a);
    hits.Count = 1;
    hits.First = {s.X + t * dx, s.Y + t * dy};
    return hits;
  }
  const double root = std::sqrt(det);
  const double t1 = (-b + root) / (2.0 * a);
  const double t2 = (-b - root) / (2.0 * a);
  hits.Count = 2;
  hits.First = {s.X + t1 * dx, s.Y + t1 * dy};
  hits.Second = {s.X + t2 * dx, s.Y + t2 * dy};
  return hits;
}

}  // namespace veerline
