#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <boost/geometry/algorithms/distance.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/geometries/segment.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include "engine/SweptWidth.h"

namespace veerline {
namespace {

namespace bg = boost::geometry;
using BgPoint = bg::model::point<double, 2, bg::cs::cartesian>;

// Every point against every segment.
double FarthestNearestByHand(const std::vector<Point2D>& from, const std::vector<Point2D>& to) {
  double widest = 0;
  for (const Point2D& p : from) {
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < to.size(); ++i)
      nearest = std::min(nearest, bg::distance(BgPoint(p.X, p.Y),
                                               bg::model::segment<BgPoint>(
                                                   BgPoint(to[i - 1].X, to[i - 1].Y),
                                                   BgPoint(to[i].X, to[i].Y))));
    widest = std::max(widest, nearest);
  }
  return widest;
}

// The two sides of a band that winds and swells, traced at different rates
// (the inner side has fewer points), with a loop and a jump on one side: the
// width found by looking near the last nearest segment first is exactly the
// one found by asking every segment.
TEST(SweptWidth, IsTheFarthestNearestDistanceEitherWay) {
  std::vector<Point2D> right, left;
  for (int i = 0; i <= 3000; ++i) {
    const double t = i * 0.01;
    const double width = 2.5 + std::sin(t * 0.7) + (i > 1800 && i < 1810 ? 3 : 0);
    right.push_back({t * 10, 20 * std::sin(t * 0.3) - width});
    if (i % 3 == 0) left.push_back({t * 10, 20 * std::sin(t * 0.3) + width});
  }
  for (int k = 0; k < 40; ++k)  // a small loop on the right side
    right.insert(right.begin() + 1500, {150 + std::cos(k * 0.16), 20 * std::sin(4.5) - 4});
  const double expected =
      std::max(FarthestNearestByHand(right, left), FarthestNearestByHand(left, right));
  EXPECT_EQ(SweptWidth(right, left), expected);
  EXPECT_EQ(SweptWidth(left, right), expected);
  EXPECT_FALSE(SweptWidth(right, {{0, 0}}));
}

}  // namespace
}  // namespace veerline
