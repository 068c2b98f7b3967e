#include "engine/SweptWidth.h"

#include <algorithm>
#include <iterator>
#include <utility>
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

using IndexedSegment = std::pair<BgSegment, std::size_t>;

// How many segments either side of the last nearest one are looked at first.
constexpr std::size_t kNearbySegments = 8;

// For every point of `from`, the distance to the nearest segment of `to`;
// the largest of these. An R-tree keeps long paths from being quadratic.
// Both sides run along the path, so a point's nearest segment lies close to
// that of the point before: when one of the segments about it is no farther
// than the widest distance found so far, the point cannot widen it and the
// tree is not asked. Every distance that counts is still the tree's nearest.
std::optional<double> FarthestNearest(const std::vector<Point2D>& from,
                                      const std::vector<Point2D>& to) {
  if (from.empty() || to.size() < 2) return std::nullopt;
  std::vector<IndexedSegment> segments;
  segments.reserve(to.size() - 1);
  for (std::size_t i = 1; i < to.size(); ++i)
    segments.emplace_back(BgSegment(BgPoint(to[i - 1].X, to[i - 1].Y), BgPoint(to[i].X, to[i].Y)),
                          i - 1);
  const bgi::rtree<IndexedSegment, bgi::rstar<16>> index(segments.begin(), segments.end());
  double widest = 0;
  std::size_t hint = 0;
  std::vector<IndexedSegment> nearest;
  for (const Point2D& p : from) {
    const BgPoint point(p.X, p.Y);
    const std::size_t first = hint > kNearbySegments ? hint - kNearbySegments : 0;
    const std::size_t last = std::min(segments.size(), hint + kNearbySegments + 1);
    bool covered = false;
    for (std::size_t k = first; k < last && !covered; ++k) {
      if (bg::distance(point, segments[k].first) <= widest) {
        covered = true;
        hint = k;
      }
    }
    if (covered) continue;
    nearest.clear();
    index.query(bgi::nearest(point, 1), std::back_inserter(nearest));
    for (const IndexedSegment& segment : nearest) {
      widest = std::max(widest, bg::distance(point, segment.first));
      hint = segment.second;
    }
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
