#include "engine/ExactTracking.h"

#include <cmath>

#include "engine/Numerics.h"

namespace veerline {
namespace {

constexpr double kStraightRadius = 999999999;

Point2D Minus(const Point2D& a, const Point2D& b) { return {a.X - b.X, a.Y - b.Y}; }
double Length(const Point2D& v) { return std::hypot(v.X, v.Y); }
Point2D Scaled(const Point2D& v, double s) { return {v.X * s, v.Y * s}; }

}  // namespace

double AngleBetween(const Point2D& a, const Point2D& b) {
  return std::atan2(a.X * b.Y - a.Y * b.X, a.X * b.X + a.Y * b.Y);
}

Point2D Rotated(const Point2D& a, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {a.X * c - a.Y * s, a.X * s + a.Y * c};
}

Point2D UnitHeading(const ChainPose& pose, std::size_t k) {
  const Point2D d = Minus(pose.front[k], pose.rear[k]);
  const double length = Length(d);
  return length > 0 ? Scaled(d, 1.0 / length) : Point2D{1, 0};
}

Point2D HitchPoint(const ChainPose& pose, const Segments& segments, std::size_t k) {
  const Point2D u = UnitHeading(pose, k);
  const double c = segments[k].Hitch;
  return {pose.rear[k].X - c * u.X, pose.rear[k].Y - c * u.Y};
}

Point2D TrailExact(const Point2D& a, const Point2D& f, const Point2D& q, double length) {
  if (length == 0) return f;
  const Point2D toLeader = Minus(a, q);
  const double held = Length(toLeader);
  const Point2D w0 = held > 0 ? Scaled(toLeader, 1.0 / length / held * std::fabs(length))
                              : Point2D{1, 0};
  const Point2D chord = Minus(f, a);
  const double moved = Length(chord);
  if (moved == 0) return {f.X - length * w0.X, f.Y - length * w0.Y};
  const Point2D e = Scaled(chord, 1.0 / moved);
  const double phi0 = AngleBetween(e, w0);
  // tan(phi/2) written as sin/(1 + cos) keeps a follower straight behind finite.
  const double half = std::sin(phi0) / (1.0 + std::cos(phi0));
  double phi;
  if (!std::isfinite(half)) {
    phi = phi0;
  } else {
    const double grown = half * std::exp(-moved / length);
    phi = std::isfinite(grown) ? 2.0 * std::atan(grown) : (grown > 0 ? PiValue() : -PiValue());
  }
  const Point2D w = Rotated(e, phi);
  return {f.X - length * w.X, f.Y - length * w.Y};
}

void FollowChain(ChainPose& pose, const ChainPose& before, const Segments& segments,
                 std::size_t first) {
  for (std::size_t k = first; k < segments.size(); ++k) {
    if (k > 0) pose.front[k] = HitchPoint(pose, segments, k - 1);
    pose.rear[k] = TrailExact(before.front[k], pose.front[k], before.rear[k], segments[k].Wheelbase);
  }
}

double SteeringFromMotion(const Point2D& r0, const Point2D& h0, const Point2D& r1,
                          const Point2D& h1, double wheelbase, double previous) {
  const Point2D mid{h0.X + h1.X, h0.Y + h1.Y};
  const double midLength = Length(mid);
  if (midLength == 0) return previous;
  const Point2D d = Minus(r1, r0);
  const double along = (d.X * mid.X + d.Y * mid.Y) / midLength;
  if (std::fabs(along) < 1e-9) return previous;
  return std::atan(wheelbase * AngleBetween(h0, h1) / along);
}

WheelAngles WheelAnglesOf(double steeringRad, double wheelbase, double wheelWidth) {
  const double t = std::tan(steeringRad);
  const double radius = t == 0 ? kStraightRadius : wheelbase / t;
  WheelAngles angles;
  angles.left = std::atan(wheelbase / (radius - wheelWidth / 2.0));
  angles.right = std::atan(wheelbase / (radius + wheelWidth / 2.0));
  angles.steeringDegrees = RadToDeg((angles.left + angles.right) / 2.0);
  return angles;
}

}  // namespace veerline
