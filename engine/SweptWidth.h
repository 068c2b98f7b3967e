#pragma once

// The width of a run's swept path: how far apart its two envelope sides come
// at the widest place.

#include <optional>
#include <vector>

#include "engine/Geometry.h"

namespace veerline {

// The largest distance from a point of one side to the nearest point of the
// other side (taken both ways); nothing when either side has no segment.
std::optional<double> SweptWidth(const std::vector<Point2D>& right,
                                 const std::vector<Point2D>& left);

}  // namespace veerline
