#include "engine/Clearance.h"

#include <algorithm>
#include <boost/geometry/algorithms/comparable_distance.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/geometry/strategies/strategies.hpp>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/OutlineDistance.h"
#include "engine/RunState.h"

namespace veerline {
namespace {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

using IndexPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using IndexBox = bg::model::box<IndexPoint>;
using IndexValue = std::pair<IndexBox, std::uint32_t>;
using SegmentIndex = bgi::rtree<IndexValue, bgi::rstar<16>>;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// One straight piece of an obstacle (a == b for a point) and its obstacle.
struct ObstacleSegment {
  Point2D A, B;
  std::uint32_t Obstacle = 0;
};

std::vector<ObstacleSegment> SegmentsOf(const std::vector<Obstacle>& obstacles) {
  std::vector<ObstacleSegment> segments;
  for (std::uint32_t n = 0; n < obstacles.size(); ++n) {
    for (const auto& polyline : obstacles[n].Polylines) {
      if (polyline.size() == 1) segments.push_back({polyline[0], polyline[0], n});
      for (std::size_t i = 1; i < polyline.size(); ++i)
        segments.push_back({polyline[i - 1], polyline[i], n});
    }
    for (const Point2D& p : obstacles[n].Points) segments.push_back({p, p, n});
  }
  // Pieces that are not finite numbers cannot be placed in the index.
  std::erase_if(segments, [](const ObstacleSegment& s) {
    return !std::isfinite(s.A.X) || !std::isfinite(s.A.Y) || !std::isfinite(s.B.X) ||
           !std::isfinite(s.B.Y);
  });
  return segments;
}

IndexBox BoxOf(const ObstacleSegment& s) {
  return {{std::min(s.A.X, s.B.X), std::min(s.A.Y, s.B.Y)},
          {std::max(s.A.X, s.B.X), std::max(s.A.Y, s.B.Y)}};
}

// Gap between two boxes (0 when they overlap): no segment in one is nearer
// than this to anything in the other.
double BoxGap(const IndexBox& a, const IndexBox& b) {
  const double dx = std::max({0.0, b.min_corner().get<0>() - a.max_corner().get<0>(),
                              a.min_corner().get<0>() - b.max_corner().get<0>()});
  const double dy = std::max({0.0, b.min_corner().get<1>() - a.max_corner().get<1>(),
                              a.min_corner().get<1>() - b.max_corner().get<1>()});
  return std::hypot(dx, dy);
}

// Per obstacle: the smallest distance seen so far and the stations within the margin.
struct Track {
  double Distance = kInfinity;
  double Station = 0;
  Point2D Nearest;
  bool Within = false;
  double FirstStation = 0, LastStation = 0;
};

class Check {
 public:
  Check(const std::vector<StationOutline>& outlines, const std::vector<Obstacle>& obstacles,
        double margin)
      : mOutlines(outlines),
        mObstacles(obstacles),
        mMargin(margin),
        mSegments(SegmentsOf(obstacles)),
        mTracks(obstacles.size()) {
    std::vector<IndexValue> values;
    values.reserve(mSegments.size());
    for (std::uint32_t i = 0; i < mSegments.size(); ++i)
      values.emplace_back(BoxOf(mSegments[i]), i);
    mIndex = SegmentIndex(values);  // packed in one go
    mQuads.reserve(outlines.size());
    for (const StationOutline& o : outlines) mQuads.emplace_back(o.Corners);
  }

  ClearanceResult Run() {
    ClearanceResult result;
    if (mSegments.empty() || mOutlines.empty()) return result;
    WithinMarginPass();
    bool anyWithin = false;
    for (std::size_t n = 0; n < mTracks.size(); ++n) {
      const Track& t = mTracks[n];
      if (!t.Within) continue;
      anyWithin = true;
      result.Conflicts.push_back({mObstacles[n].Handle, mObstacles[n].Layer, t.Distance, t.Station,
                                  t.Nearest, t.FirstStation, t.LastStation});
    }
    std::stable_sort(result.Conflicts.begin(), result.Conflicts.end(),
                     [](const ObstacleClearance& a, const ObstacleClearance& b) {
                       return a.Distance < b.Distance;
                     });
    // Anything within the margin is nearer than everything the pass set aside.
    result.MinimumDistance = anyWithin ? result.Conflicts.front().Distance : NearestBeyondMargin();
    return result;
  }

 private:
  void Measure(const ObstacleSegment& s, const OutlineQuad& quad, double station) {
    const Closeness c = SegmentToOutline(s.A, s.B, quad);
    mBest = std::min(mBest, c.Distance);
    Track& t = mTracks[s.Obstacle];
    if (c.Distance < t.Distance) {
      t.Distance = c.Distance;
      t.Station = station;
      t.Nearest = c.OnObstacle;
    }
    if (!WithinMargin(c.Distance, mMargin)) return;
    if (!t.Within) {
      t.Within = true;
      t.FirstStation = t.LastStation = station;
    }
    t.FirstStation = std::min(t.FirstStation, station);
    t.LastStation = std::max(t.LastStation, station);
  }

  // Every outline against the pieces whose bounds come within the margin of
  // its own; most are set aside by the edge test before the exact distance.
  void WithinMarginPass() {
    std::vector<IndexValue> found;
    for (std::size_t k = 0; k < mQuads.size(); ++k) {
      const OutlineQuad& quad = mQuads[k];
      const IndexBox query{{quad.MinX() - mMargin, quad.MinY() - mMargin},
                           {quad.MaxX() + mMargin, quad.MaxY() + mMargin}};
      found.clear();
      mIndex.query(bgi::intersects(query), std::back_inserter(found));
      for (const IndexValue& v : found) {
        const ObstacleSegment& s = mSegments[v.second];
        if (quad.CertainlyBeyond(s.A, s.B, mMargin)) continue;
        Measure(s, quad, mOutlines[k].Station);
      }
    }
  }

  // The smallest distance when nothing came within the margin: per station,
  // the pieces in order of their bounds' gap to the station's bounds, until
  // that gap exceeds the best distance found.
  double NearestBeyondMargin() {
    double best = mBest;
    for (std::size_t first = 0; first < mQuads.size();) {
      std::size_t last = first;
      IndexBox bounds{{mQuads[first].MinX(), mQuads[first].MinY()},
                      {mQuads[first].MaxX(), mQuads[first].MaxY()}};
      while (last + 1 < mQuads.size() && mOutlines[last + 1].Station == mOutlines[first].Station) {
        ++last;
        bg::expand(bounds, IndexBox{{mQuads[last].MinX(), mQuads[last].MinY()},
                                    {mQuads[last].MaxX(), mQuads[last].MaxY()}});
      }
      for (auto it = mIndex.qbegin(bgi::nearest(bounds, static_cast<unsigned>(mIndex.size())));
           it != mIndex.qend(); ++it) {
        if (BoxGap(bounds, it->first) >= best) break;
        const ObstacleSegment& s = mSegments[it->second];
        for (std::size_t k = first; k <= last; ++k)
          best = std::min(best, SegmentToOutline(s.A, s.B, mQuads[k]).Distance);
      }
      first = last + 1;
    }
    return best;
  }

  const std::vector<StationOutline>& mOutlines;
  const std::vector<Obstacle>& mObstacles;
  double mMargin;
  std::vector<ObstacleSegment> mSegments;
  std::vector<Track> mTracks;
  std::vector<OutlineQuad> mQuads;
  SegmentIndex mIndex;
  double mBest = kInfinity;
};

}  // namespace

std::vector<StationOutline> RunOutlines(const RunState& state) {
  const SweepTable& frontLeft = state.sweep[kSweepFrontLeft];
  const SweepTable& frontRight = state.sweep[kSweepFrontRight];
  const SweepTable& rearLeft = state.sweep[kSweepRearLeft];
  const SweepTable& rearRight = state.sweep[kSweepRearRight];
  const std::size_t rows =
      std::min({frontLeft.size(), frontRight.size(), rearLeft.size(), rearRight.size()});
  std::vector<StationOutline> outlines;
  outlines.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) {
    outlines.push_back(
        {frontLeft[i].Distance,
         {Point2D{frontLeft[i].X, frontLeft[i].Y}, Point2D{frontRight[i].X, frontRight[i].Y},
          Point2D{rearRight[i].X, rearRight[i].Y}, Point2D{rearLeft[i].X, rearLeft[i].Y}}});
  }
  return outlines;
}

ClearanceResult CheckClearance(const std::vector<StationOutline>& outlines,
                               const std::vector<Obstacle>& obstacles, double margin) {
  return Check(outlines, obstacles, std::max(margin, 0.0)).Run();
}

}  // namespace veerline
