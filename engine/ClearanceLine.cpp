#include "engine/ClearanceLine.h"

#include <algorithm>
#include <clipper.hpp>
#include <cmath>

namespace veerline {
namespace {

// Clipper works on integers: coordinates are taken relative to the middle of
// the area and scaled so the largest stays within its fast 64-bit range.
constexpr double kIntegerReach = 1e9;

struct IntegerFrame {
  double OriginX = 0, OriginY = 0, Scale = 1;

  ClipperLib::IntPoint ToInteger(const Point2D& p) const {
    return {static_cast<ClipperLib::cInt>(std::llround((p.X - OriginX) * Scale)),
            static_cast<ClipperLib::cInt>(std::llround((p.Y - OriginY) * Scale))};
  }
  Point2D FromInteger(const ClipperLib::IntPoint& p) const {
    return {OriginX + static_cast<double>(p.X) / Scale, OriginY + static_cast<double>(p.Y) / Scale};
  }
};

IntegerFrame FrameFor(const std::vector<Point2D>& points, double margin) {
  double minX = points[0].X, maxX = minX, minY = points[0].Y, maxY = minY;
  for (const Point2D& p : points) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  const double reach = std::max(maxX - minX, maxY - minY) / 2 + 2 * margin;
  return {(minX + maxX) / 2, (minY + maxY) / 2, kIntegerReach / std::max(reach, 1e-9)};
}

bool AllFinite(const std::vector<Point2D>& points) {
  return std::all_of(points.begin(), points.end(),
                     [](const Point2D& p) { return std::isfinite(p.X) && std::isfinite(p.Y); });
}

}  // namespace

std::vector<std::vector<Point2D>> ClearanceLine(const std::vector<Point2D>& rightHand,
                                                const std::vector<Point2D>& leftHand, double margin,
                                                double chordTolerance) {
  if (rightHand.empty() || leftHand.empty() || !(margin > 0) || !std::isfinite(margin)) return {};
  std::vector<Point2D> boundary(rightHand);
  boundary.insert(boundary.end(), leftHand.rbegin(), leftHand.rend());
  if (!AllFinite(boundary)) return {};
  const IntegerFrame frame = FrameFor(boundary, margin);

  // The traces may cross each other in tight turns: the area is what the
  // boundary winds around at all, resolved into loops first.
  ClipperLib::Path path;
  for (const Point2D& p : boundary) path.push_back(frame.ToInteger(p));
  ClipperLib::Paths area;
  ClipperLib::Clipper resolve;
  resolve.AddPath(path, ClipperLib::ptSubject, true);
  resolve.Execute(ClipperLib::ctUnion, area, ClipperLib::pftNonZero, ClipperLib::pftNonZero);

  // Points closer than half the tolerance to the line through their
  // neighbours add nothing the offset can show; the traces have many.
  ClipperLib::CleanPolygons(area, chordTolerance * frame.Scale / 2);

  ClipperLib::ClipperOffset offset;
  offset.ArcTolerance = std::max(chordTolerance * frame.Scale, 0.25);
  offset.AddPaths(area, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
  ClipperLib::Paths grown;
  offset.Execute(grown, margin * frame.Scale);

  // Outer boundaries (positive orientation) before holes, largest first.
  std::stable_sort(grown.begin(), grown.end(),
                   [](const ClipperLib::Path& a, const ClipperLib::Path& b) {
                     return ClipperLib::Area(a) > ClipperLib::Area(b);
                   });
  std::vector<std::vector<Point2D>> loops;
  for (const ClipperLib::Path& loop : grown) {
    std::vector<Point2D>& points = loops.emplace_back();
    for (const ClipperLib::IntPoint& p : loop) points.push_back(frame.FromInteger(p));
  }
  return loops;
}

}  // namespace veerline
