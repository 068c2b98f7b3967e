#pragma once

// The engine's small numeric routines: pi, step rounding, angle conversion,
// distances, the signed angle at a vertex and a line/circle intersection.

#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/Geometry.h"

namespace veerline {

// A numeric failure inside an engine routine; the description is the text that
// failure handlers show in front of their tag ("Overflow", "Division by zero").
class NumericFailure : public std::runtime_error {
 public:
  explicit NumericFailure(const std::string& description) : std::runtime_error(description) {}
};

// Pi as four times the arctangent of 1; every use of pi in the engine takes it from here.
inline double PiValue() {
  static const double pi = 4.0 * std::atan(1.0);
  return pi;
}

// The value rounded to a multiple of step, downwards (up false) or upwards (up true).
// A NaN value gives 0; a quotient beyond the 16-bit range throws NumericFailure("Overflow").
double RoundToStep(double value, double step, bool up);

// Radians to degrees and back, through PiValue. Inline, as the station loop
// turns several angles a segment and station.
inline double RadToDeg(double x) { return x / PiValue() * 180.0; }
inline double DegToRad(double x) { return x / 180.0 * PiValue(); }

// Plain distance of two points.
inline double Distance2D(const Point2D& p, const Point2D& q) {
  const double dx = p.X - q.X;
  const double dy = p.Y - q.Y;
  return std::sqrt(dx * dx + dy * dy);
}

// Signed angle at v from the ray v->p to the ray v->q, counter-clockwise
// positive, in (-pi, pi]. The dot product is taken at single precision.
double AngleAtVertex(const Point2D& p, const Point2D& v, const Point2D& q);

// Where the line through s and e meets the circle of the given centre and radius.
struct LineCircleHits {
  int Count = 0;  // 0, 1 or 2
  Point2D First, Second;
};
LineCircleHits LineCircleIntersection(const Point2D& centre, double radius, const Point2D& s,
                                      const Point2D& e);

}  // namespace veerline
