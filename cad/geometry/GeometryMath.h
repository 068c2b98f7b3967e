#pragma once

// Plane maps used while flattening a drawing: an entity's own coordinates
// (its object coordinate system, or a block's coordinates) to the drawing's
// x and y. Heights are dropped: the drawing is seen from above.

#include <algorithm>
#include <cmath>

#include "engine/Geometry.h"

namespace veerline::cad {

// x' = A x + B y + E, y' = C x + D y + F.
struct Affine2D {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;

  Point2D Apply(const Point2D& p) const { return {A * p.X + B * p.Y + E, C * p.X + D * p.Y + F}; }
  // The linear part only, for directions.
  Point2D Turn(const Point2D& v) const { return {A * v.X + B * v.Y, C * v.X + D * v.Y}; }
  // This map applied after `inner`.
  Affine2D After(const Affine2D& inner) const {
    return {A * inner.A + B * inner.C,     A * inner.B + B * inner.D,
            C * inner.A + D * inner.C,     C * inner.B + D * inner.D,
            A * inner.E + B * inner.F + E, C * inner.E + D * inner.F + F};
  }
  bool IsIdentity() const { return A == 1 && B == 0 && C == 0 && D == 1 && E == 0 && F == 0; }
  double Determinant() const { return A * D - B * C; }
  // The most the map stretches any length.
  double MaxStretch() const {
    const double s = A * A + B * B + C * C + D * D, det = Determinant();
    return std::sqrt(std::max(0.0, (s + std::sqrt(std::max(0.0, s * s - 4 * det * det))) / 2));
  }

  static Affine2D Translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
  static Affine2D Rotation(double angleRad) {
    const double c = std::cos(angleRad), s = std::sin(angleRad);
    return {c, -s, s, c, 0, 0};
  }
  static Affine2D Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

struct Vector3 {
  double X = 0, Y = 0, Z = 1;
};

// The map of an object coordinate system with the given extrusion (normal)
// onto the drawing plane, by the arbitrary axis rule; `elevation` is the
// entity's height along the normal. A normal of (0, 0, -1) mirrors x.
inline Affine2D OcsToWorld(const Vector3& normal, double elevation = 0) {
  const double length = std::sqrt(normal.X * normal.X + normal.Y * normal.Y + normal.Z * normal.Z);
  if (!(length > 1e-12) || !std::isfinite(length)) return {};
  const Vector3 az{normal.X / length, normal.Y / length, normal.Z / length};
  if (az.X == 0 && az.Y == 0 && az.Z > 0) return Affine2D::Translation(0, 0);
  Vector3 ax;
  if (std::fabs(az.X) < 1.0 / 64 && std::fabs(az.Y) < 1.0 / 64) {
    ax = {az.Z, 0, -az.X};  // world Y x normal
  } else {
    ax = {-az.Y, az.X, 0};  // world Z x normal
  }
  const double axLength = std::sqrt(ax.X * ax.X + ax.Y * ax.Y + ax.Z * ax.Z);
  ax = {ax.X / axLength, ax.Y / axLength, ax.Z / axLength};
  const Vector3 ay{az.Y * ax.Z - az.Z * ax.Y, az.Z * ax.X - az.X * ax.Z, az.X * ax.Y - az.Y * ax.X};
  return {ax.X, ay.X, ax.Y, ay.Y, az.X * elevation, az.Y * elevation};
}

}  // namespace veerline::cad
