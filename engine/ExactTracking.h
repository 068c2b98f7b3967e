#pragma once

// Exact kinematics of the vehicle chain, with the true lengths of the units:
// the closed-form follower step, the steering angle a unit's path asks for,
// and the pose of the whole chain when its first unit's front axle or its
// towing unit's rear axle is placed.

#include <cstddef>
#include <vector>

#include "engine/Geometry.h"
#include "engine/VehicleModel.h"

namespace veerline {

// Where every unit stands: its front point and its rear-axle centre.
struct ChainPose {
  std::vector<Point2D> front, rear;
};

// Unit vector from the rear axle to the front point of unit k (along +x when they coincide).
Point2D UnitHeading(const ChainPose& pose, std::size_t k);
// The hitch point of unit k: `Hitch` behind its rear axle along its heading.
Point2D HitchPoint(const ChainPose& pose, const Segments& segments, std::size_t k);

// A point q held at distance |length| from a leader that moves along the chord
// from a to f, whose velocity always lies along the line to the leader: with
// phi the angle from the chord to (leader - q) / length, tan(phi/2) falls as
// exp(-s / length) over the distance s moved. A negative length gives the
// point that the leader pushes ahead of it. No step lag: q ends exactly
// |length| from f.
Point2D TrailExact(const Point2D& a, const Point2D& f, const Point2D& q, double length);

// Drags every unit from `first` on behind the one ahead with TrailExact: the
// front point of unit k is the hitch of unit k - 1 in `pose`, the previous
// positions come from `before`.
void FollowChain(ChainPose& pose, const ChainPose& before, const Segments& segments,
                 std::size_t first);

// Steering angle (radians, + to the left) of a unit whose rear axle moved from
// r0 with heading h0 to r1 with heading h1: atan(wheelbase x curvature), the
// curvature being the turn of the heading over the distance moved along it
// (negative when reversing). Gives `previous` when the axle did not move.
double SteeringFromMotion(const Point2D& r0, const Point2D& h0, const Point2D& r1,
                          const Point2D& h1, double wheelbase, double previous);

// The left and right wheel angles (radians) and the steering angle (degrees)
// of a steering angle in radians, as SweepPath gives them from its radius.
struct WheelAngles {
  double left = 0, right = 0, steeringDegrees = 0;
};
WheelAngles WheelAnglesOf(double steeringRad, double wheelbase, double wheelWidth);

// Signed angle from direction a to direction b, in (-pi, pi].
double AngleBetween(const Point2D& a, const Point2D& b);
// The direction a rotated by an angle.
Point2D Rotated(const Point2D& a, double angle);

}  // namespace veerline
