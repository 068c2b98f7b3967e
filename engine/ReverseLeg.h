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

}  // namespace veerline
