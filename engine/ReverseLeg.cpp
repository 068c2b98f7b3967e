#include "engine/ReverseLeg.h"

#include <algorithm>
#include <cmath>

#include "engine/Manoeuvre.h"

namespace veerline {
namespace {

Point2D Plus(const Point2D& p, const Point2D& v, double s) { return {p.X + s * v.X, p.Y + s * v.Y}; }

// Unit vector of v, or `otherwise` when v is zero.
Point2D UnitOr(const Point2D& v, const Point2D& otherwise) {
  const double length = std::hypot(v.X, v.Y);
  return length > 0 ? Point2D{v.X / length, v.Y / length} : otherwise;
}

}  // namespace

ChainPose StraightPoseBehind(const Segments& segments, const Point2D& guided,
                             const Point2D& facing) {
  const std::size_t n = segments.size();
  ChainPose pose{std::vector<Point2D>(n), std::vector<Point2D>(n)};
  if (n == 0) return pose;
  pose.rear[n - 1] = guided;
  pose.front[n - 1] = Plus(guided, facing, segments[n - 1].Wheelbase);
  for (std::size_t k = n - 1; k-- > 0;) {
    pose.rear[k] = Plus(pose.front[k + 1], facing, segments[k].Hitch);
    pose.front[k] = Plus(pose.rear[k], facing, segments[k].Wheelbase);
  }
  return pose;
}

ChainPose ReversePose(const Segments& segments, const Point2D& guided, const Point2D& facing,
                      const ChainPose& before, const ChainPose& older) {
  const std::size_t n = segments.size();
  ChainPose pose{std::vector<Point2D>(n), std::vector<Point2D>(n)};
  if (n == 0) return pose;
  pose.rear[n - 1] = guided;
  pose.front[n - 1] = Plus(guided, facing, segments[n - 1].Wheelbase);
  for (std::size_t k = n - 1; k-- > 0;) {
    const Point2D hitch = pose.front[k + 1];
    const Point2D hitchBefore = before.front[k + 1];
    const Point2D hitchOlder = older.front[k + 1];
    const double c = segments[k].Hitch;
    Point2D heading;
    if (c > 0) {
      // The rear axle trails its hitch point, which moves away from it.
      pose.rear[k] = TrailExact(hitchBefore, hitch, before.rear[k], -c);
      heading = UnitOr({(pose.rear[k].X - hitch.X) / c, (pose.rear[k].Y - hitch.Y) / c},
                       UnitHeading(before, k));
    } else {
      const Point2D chord{hitch.X - hitchBefore.X, hitch.Y - hitchBefore.Y};
      if (chord.X == 0 && chord.Y == 0) {
        heading = UnitHeading(before, k);
      } else {
        const std::vector<Point2D> path{hitchOlder, hitchBefore, hitch};
        const bool olderKnown = !(hitchOlder == hitchBefore);
        const Point2D travel = TravelTangent(path, olderKnown ? 0 : 1, 2, 2);
        const double curvature = olderKnown ? CurvatureThrough(hitchOlder, hitchBefore, hitch) : 0;
        const double offset = std::asin(std::clamp(-c * curvature, -1.0, 1.0));
        heading = Rotated({-travel.X, -travel.Y}, offset);
      }
      pose.rear[k] = Plus(hitch, heading, c);
    }
    pose.front[k] = Plus(pose.rear[k], heading, segments[k].Wheelbase);
  }
  return pose;
}

}  // namespace veerline
