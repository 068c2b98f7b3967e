#pragma once

// The clearance line: the swept envelope moved outward by the clearance
// margin, so that a designer sees where obstacles may stand.

#include <vector>

#include "engine/Geometry.h"

namespace veerline {

// The area between the envelope's traces (the right-hand trace, then the
// left-hand trace backwards) grown by the margin, as closed loops without a
// repeated first point: the outer boundary first, then any others (holes where
// the path encircles ground it never covers, separate parts). Round corners
// keep within chordTolerance of the true arc. Empty when either trace is empty
// or the margin is not above 0.
std::vector<std::vector<Point2D>> ClearanceLine(const std::vector<Point2D>& rightHand,
                                                const std::vector<Point2D>& leftHand, double margin,
                                                double chordTolerance);

}  // namespace veerline
