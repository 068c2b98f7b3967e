#include "engine/SweptWidth.h"

#include <algorithm>
#include <boost/geometry/algorithms/distance.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/geometries/segment.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/geometry/strategies/strategies.hpp>

namespace veerline {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BgPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using BgSegment = bg::model::segment<BgPoint>;

// For every point of `from`, the distance to the nearest segment of `to`;
// the largest of these. An R-tree keeps long paths from being quadratic.
std::optional<double> FarthestNearest(const std::vector<Point2D>& from,
                                      const std::vector<Point2D>& to) {
  if (from.empty() || to.size() < 2) return std::nullopt;
  std::vector<BgSegment> segments;
  segments.reserve(to.size() - 1);
  for (std::size_t i = 1; i < to.size(); ++i)
    segments.emplace_back(BgPoint(to[i - 1].X, to[i - 1].Y), BgPoint(to[i].X, to[i].Y));
  const bgi::rtree<BgSegment, bgi::rstar<16>> index(segments.begin(), segments.end());
  double widest = 0;
  for (const Point2D& p : from) {
    const BgPoint point(p.X, p.Y);
    for (auto it = index.qbegin(bgi::nearest(point, 1)); it != index.qend(); ++it)
      widest = std::max(widest, bg::distance(point, *it));
  }
  return widest;
}

}  // namespace

std::optional<double> SweptWidth(const std::vector<Point2D>& right,
                                 const std::vector<Point2D>& left) {
  const auto one = FarthestNearest(right, left);
  const auto other = FarthestNearest(left, right);
  if (!one || !other) return std::nullopt;
  return std::max(*one, *other);
}

}  // namespace veerline
