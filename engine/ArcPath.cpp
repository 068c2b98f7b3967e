#include "engine/ArcPath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/NumberRule.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

struct NumberedPoint {
  Point2D P;
  int Number = 0;
};

struct Vec {
  double X = 0, Y = 0;
};

Vec Between(const Point2D& a, const Point2D& b) { return {b.X - a.X, b.Y - a.Y}; }
double Length(const Vec& v) { return std::hypot(v.X, v.Y); }
Vec Unit(const Vec& v) {
  const double length = Length(v);
  return {v.X / length, v.Y / length};
}

// The turn at p between the legs a-p and p-b.
struct Turn {
  Vec In, Out;  // unit directions of the two legs
  double LegIn = 0, LegOut = 0;
  double TanHalf = 0;  // tan of half the change of direction; infinite for a U-turn
  double Bulge = 0;    // tan of a quarter of the signed change of direction
};

Turn TurnAt(const Point2D& a, const Point2D& p, const Point2D& b) {
  Turn t;
  const Vec in = Between(a, p), out = Between(p, b);
  t.LegIn = Length(in);
  t.LegOut = Length(out);
  t.In = Unit(in);
  t.Out = Unit(out);
  const double cross = t.In.X * t.Out.Y - t.In.Y * t.Out.X;
  // |In + Out|^2 = 2 (1 + cos), free of the cancellation 1 + dot suffers near a U-turn;
  // tan(angle / 2) = sin / (1 + cos). A right angle gives exactly 1.
  const double sumX = t.In.X + t.Out.X, sumY = t.In.Y + t.Out.Y;
  const double sumSquared = sumX * sumX + sumY * sumY;
  if (sumSquared == 0) {
    t.TanHalf = std::numeric_limits<double>::infinity();
    return t;
  }
  t.TanHalf = 2 * std::abs(cross) / sumSquared;
  const double quarter = t.TanHalf / (1 + std::sqrt(1 + t.TanHalf * t.TanHalf));
  t.Bulge = cross < 0 ? -quarter : quarter;
  return t;
}

// Lengths and coordinates in messages: three decimals at most.
std::string Text(double value) {
  return FormatFieldNumber(RoundHalfEven(value, 3), NumberSymbols::PointDecimal());
}

std::string CornerName(const NumberedPoint& corner) {
  return "the corner at point " + std::to_string(corner.Number) + " (" + Text(corner.P.X) + ", " +
         Text(corner.P.Y) + ")";
}

// Drops consecutive repeats: points closer than the tolerance to the one kept before.
std::vector<NumberedPoint> DistinctPoints(std::span<const Point2D> points, double tolerance) {
  std::vector<NumberedPoint> kept;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!kept.empty() && Length(Between(kept.back().P, points[i])) <= tolerance) continue;
    kept.push_back({points[i], static_cast<int>(i) + 1});
  }
  return kept;
}

// Drops points that go straight on: their arc would be shorter than the tolerance.
std::vector<NumberedPoint> DropInLinePoints(const std::vector<NumberedPoint>& points, double radius,
                                            double tolerance) {
  std::vector<NumberedPoint> kept;
  for (const NumberedPoint& next : points) {
    while (kept.size() >= 2 &&
           radius * TurnAt(kept[kept.size() - 2].P, kept.back().P, next.P).TanHalf <= tolerance)
      kept.pop_back();
    kept.push_back(next);
  }
  return kept;
}

// Why a corner's arc does not fit, or an empty text when it does.
std::string Overrun(const NumberedPoint& corner, const Turn& turn, double tangent, double usedIn,
                    int previousNumber, double radius, double tolerance) {
  const std::string head = CornerName(corner) + " is too tight for radius " + Text(radius);
  if (std::isinf(tangent)) return head + ": the path turns straight back there";
  if (tangent > turn.LegIn + tolerance || tangent > turn.LegOut + tolerance)
    return head + ": its arc needs " + Text(tangent) + " of each leg, the legs are " +
           Text(turn.LegIn) + " and " + Text(turn.LegOut) + " long";
  if (tangent > turn.LegIn - usedIn + tolerance)
    return head + ": its arc needs " + Text(tangent) + " of the leg before it, the arc at point " +
           std::to_string(previousNumber) + " leaves " + Text(turn.LegIn - usedIn) + " of it";
  return {};
}

}  // namespace

void AppendVertex(std::vector<ArcPathVertex>& vertices, const ArcPathVertex& v, double tolerance) {
  if (!vertices.empty()) {
    ArcPathVertex& last = vertices.back();
    if (std::hypot(v.X - last.X, v.Y - last.Y) <= tolerance) {
      last.Bulge = v.Bulge;
      return;
    }
  }
  vertices.push_back(v);
}

void EndExactlyAt(std::vector<ArcPathVertex>& vertices, const Point2D& end, double tolerance) {
  if (!vertices.empty()) {
    ArcPathVertex& last = vertices.back();
    if (std::hypot(end.X - last.X, end.Y - last.Y) <= tolerance) {
      last.X = end.X;
      last.Y = end.Y;
      return;
    }
  }
  vertices.push_back({end.X, end.Y, 0});
}

ArcPathLayout LayOutArcPath(std::span<const Point2D> points, double radius) {
  ArcPathLayout layout;
  if (!std::isfinite(radius) || radius <= 0) {
    layout.Error = "the radius must be a positive number";
    return layout;
  }
  double scale = 1;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!std::isfinite(points[i].X) || !std::isfinite(points[i].Y)) {
      layout.Error = "point " + std::to_string(i + 1) + " is not a finite number";
      return layout;
    }
    scale = std::max({scale, std::abs(points[i].X), std::abs(points[i].Y)});
  }
  // Points and lengths closer than this count as equal: far below drawing
  // precision, far above the rounding of the coordinates.
  const double tolerance = 1e-9 * scale;

  const std::vector<NumberedPoint> path =
      DropInLinePoints(DistinctPoints(points, tolerance), radius, tolerance);
  if (path.size() < 2) {
    layout.Error = "the path needs at least two distinct points";
    return layout;
  }

  layout.Vertices.push_back({path.front().P.X, path.front().P.Y, 0});
  double usedIn = 0;  // how much of the current leg the arc before has taken
  int previousNumber = path.front().Number;
  for (std::size_t i = 1; i + 1 < path.size(); ++i) {
    const NumberedPoint& corner = path[i];
    const Turn turn = TurnAt(path[i - 1].P, corner.P, path[i + 1].P);
    const double tangent = radius * turn.TanHalf;
    const std::string overrun =
        Overrun(corner, turn, tangent, usedIn, previousNumber, radius, tolerance);
    layout.Corners.push_back({corner.Number, corner.P, tangent, turn.Bulge, !overrun.empty()});
    previousNumber = corner.Number;
    if (!overrun.empty()) {
      if (layout.Error.empty()) layout.Error = overrun;
      AppendVertex(layout.Vertices, {corner.P.X, corner.P.Y, 0}, tolerance);
      usedIn = 0;
      continue;
    }
    AppendVertex(layout.Vertices,
           {corner.P.X - turn.In.X * tangent, corner.P.Y - turn.In.Y * tangent, turn.Bulge},
           tolerance);
    layout.Vertices.push_back(
        {corner.P.X + turn.Out.X * tangent, corner.P.Y + turn.Out.Y * tangent, 0});
    usedIn = tangent;
  }
  // The path ends on its last point exactly, even where an arc ends there.
  EndExactlyAt(layout.Vertices, path.back().P, tolerance);
  return layout;
}

}  // namespace veerline
