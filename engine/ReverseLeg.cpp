#include "engine/ReverseLeg.h"

#include <algorithm>
#include <cmath>

#include "engine/Manoeuvre.h"
#include "engine/Numerics.h"

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
  ChainPose pose;
  ReversePoseInto(segments, guided, facing, before, older, pose);
  return pose;
}

void ReversePoseInto(const Segments& segments, const Point2D& guided, const Point2D& facing,
                     const ChainPose& before, const ChainPose& older, ChainPose& pose) {
  const std::size_t n = segments.size();
  pose.front.resize(n);
  pose.rear.resize(n);
  if (n == 0) return;
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
}

ChainPose DriveBack(const Segments& segments, const ChainPose& before, double steeringRad,
                    double distance) {
  ChainPose pose = before;
  if (segments.empty()) return pose;
  const Point2D h0 = UnitHeading(before, 0);
  // Going backwards the heading turns against the steering: -distance x curvature.
  const double turn = -distance * std::tan(steeringRad) / segments[0].Wheelbase;
  const double chord = turn == 0 ? distance : distance * std::sin(turn / 2.0) / (turn / 2.0);
  const Point2D back = Rotated({-h0.X, -h0.Y}, turn / 2.0);
  pose.rear[0] = Plus(before.rear[0], back, chord);
  pose.front[0] = Plus(pose.rear[0], Rotated(h0, turn), segments[0].Wheelbase);
  FollowChain(pose, before, segments, 1);
  return pose;
}

namespace {

// In a steady curve every axle turns about one centre. For a unit of length
// L (axle to its front point, the hitch of the unit ahead, c behind that
// unit's axle) on a curve of curvature k: the curvature of the unit ahead,
// whose axle is sqrt(R^2 + L^2 - c^2) from the centre, and the articulation,
// atan(L / R) + atan(c / R ahead).
struct SteadyCurve {
  double ahead, articulation;
};
SteadyCurve SteadyFor(double length, double hitch, double curvature) {
  const double spread = 1.0 + (length * length - hitch * hitch) * curvature * curvature;
  const double ahead = curvature / std::sqrt(std::max(spread, 1e-12));
  return {ahead, std::atan(length * curvature) + std::atan(hitch * ahead)};
}

// The curvature whose steady articulation is `articulation`. With a = atan(L k)
// the articulation is a + asin(c sin(a) / L), so sin(articulation - a) =
// (c / L) sin(a), and tan(a) = sin(articulation) / (cos(articulation) + c / L).
double CurvatureOfArticulation(double length, double hitch, double articulation) {
  if (!(length > 0)) return 0;
  const double a = std::atan2(std::sin(articulation), std::cos(articulation) + hitch / length);
  return std::tan(a) / length;
}

}  // namespace

double TowingCurvatureFor(const Segments& segments, const ChainPose& pose, double wanted,
                          double settle) {
  double curvature = wanted;
  for (std::size_t k = segments.size(); k-- > 1;) {
    const double length = segments[k].Wheelbase, hitch = segments[k - 1].Hitch;
    const double wantedArticulation = SteadyFor(length, hitch, curvature).articulation;
    const double articulation = AngleBetween(UnitHeading(pose, k), UnitHeading(pose, k - 1));
    // The unit ahead holds the unit behind on the curve its articulation now
    // gives it, and turns to close the gap to the wanted articulation; backing
    // up, a unit turns by -distance x curvature.
    const double holding =
        SteadyFor(length, hitch, CurvatureOfArticulation(length, hitch, articulation)).ahead;
    curvature = holding - (wantedArticulation - articulation) / settle;
  }
  return curvature;
}

}  // namespace veerline
