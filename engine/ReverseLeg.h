#pragma once

// Reverse legs: the rear-axle centre of the last unit (the guided point)
// follows the leg's line, and the chain is worked out from it towards the
// towing unit with exact kinematics.

#include <vector>

#include "engine/ExactTracking.h"
#include "engine/VehicleModel.h"

namespace veerline {

// The pose in which the last unit's rear axle stands at `guided` with the
// whole vehicle in line, facing `facing` (a unit vector).
ChainPose StraightPoseBehind(const Segments& segments, const Point2D& guided,
                             const Point2D& facing);

// The pose after a reverse step that puts the last unit's rear axle at
// `guided` with its heading `facing` (the opposite of its travel). `before`
// and `older` are the poses of the two stations before. Each unit ahead turns
// so that its hitch point follows the front point of the unit behind: a hitch
// behind the rear axle drags the axle after it (the closed-form follower
// step); a hitch on or ahead of the axle sets the heading from the hitch
// path's tangent and curvature, asin(c x curvature) off it.
ChainPose ReversePose(const Segments& segments, const Point2D& guided, const Point2D& facing,
                      const ChainPose& before, const ChainPose& older);
// The same, into `pose` (which must not be `before` or `older`), reusing its storage.
void ReversePoseInto(const Segments& segments, const Point2D& guided, const Point2D& facing,
                     const ChainPose& before, const ChainPose& older, ChainPose& pose);

// The pose after the driver backs the towing unit `distance` along the arc of
// the steering angle `steeringRad` (radians, + to the left as seen going
// forwards); every unit behind is pushed, its rear axle moving along the line
// to its hitch (the closed-form follower step run backwards).
ChainPose DriveBack(const Segments& segments, const ChainPose& before, double steeringRad,
                    double distance);

// The curvature (seen going forwards, + to the left) of the towing unit's
// path that steers a reversing chain towards a curve of `wanted` for its last
// unit. Each unit is asked for the steady curve that keeps the unit behind on
// its own, plus the turn that closes, over `settle`, the gap between its
// heading and the steady articulation.
double TowingCurvatureFor(const Segments& segments, const ChainPose& pose, double wanted,
                          double settle);

}  // namespace veerline
