#pragma once

#include <array>

namespace veerline {

struct Point2D {
  double X = 0;
  double Y = 0;
  bool operator==(const Point2D&) const = default;
};

struct LineSegment2D {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// The drawn geometry of one segment at one station: 93 points, indices as
// CalcSegmentCorners documents them (0 front point, 1 rear axle, 2..5 body
// corners, 6 hitch, 7..92 tyre blocks). Points not computed stay (0, 0).
inline constexpr int kSegmentCornerCount = 93;
using SegmentCorners = std::array<Point2D, kSegmentCornerCount>;

}  // namespace veerline
