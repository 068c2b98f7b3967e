#pragma once

// Curves as chains of chords that stay within a tolerance of the curve:
// circular arcs, polyline bulges, ellipses and splines. Each function appends
// to a point chain; the first point is appended only when the chain is empty,
// so pieces of one outline join without repeated points.

#include <cstddef>
#include <vector>

#include "engine/Geometry.h"

namespace veerline::cad {

// The most chords one curve is cut into, whatever the tolerance asks.
inline constexpr int kMaxCurveChords = 100000;

// The arc about `centre` from startRad over sweepRad (counter-clockwise
// positive). Chords also end on the arc's quarter points (0, 90, 180 and 270
// degrees), so the chain reaches the arc's true extents.
void AppendArc(std::vector<Point2D>& out, const Point2D& centre, double radius, double startRad,
               double sweepRad, double tolerance);

// A polyline segment from `from` to `to` with the bulge of `from` (tangent of a
// quarter of the included angle, positive counter-clockwise); ends exactly on
// `to`. A straight segment appends just `to`.
void AppendBulge(std::vector<Point2D>& out, const Point2D& from, const Point2D& to, double bulge,
                 double tolerance);

// The ellipse centre + major cos t + minor sin t for t from startParam to
// endParam (endParam above startParam).
void AppendEllipse(std::vector<Point2D>& out, const Point2D& centre, const Point2D& major,
                   const Point2D& minor, double startParam, double endParam, double tolerance);

// A B-spline of the given degree by its control points, knots and weights
// (empty weights: all 1). A knot vector of the wrong length is replaced by a
// clamped uniform one. Nothing for fewer control points than degree + 1.
void AppendNurbs(std::vector<Point2D>& out, int degree, const std::vector<Point2D>& control,
                 std::vector<double> knots, const std::vector<double>& weights, double tolerance);

// A smooth curve through the fit points (a cubic spline by chord length),
// with the given end tangents when they are not zero.
void AppendFitSpline(std::vector<Point2D>& out, const std::vector<Point2D>& fit,
                     const Point2D& startTangent, const Point2D& endTangent, bool closed,
                     double tolerance);

}  // namespace veerline::cad
