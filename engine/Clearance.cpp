#include "engine/Clearance.h"

#include <algorithm>
#include <charconv>
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
#include "engine/Rounding.h"
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

// One straight piece of an obstacle (A == B for a point) and its obstacle.
struct ObstacleSegment {
  Point2D A, B;
  std::uint32_t Obstacle = 0;
};

bool IsFinite(const Point2D& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

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
  // Pieces that are not finite numbers cannot be measured or indexed.
  std::erase_if(segments,
                [](const ObstacleSegment& s) { return !IsFinite(s.A) || !IsFinite(s.B); });
  return segments;
}

// Axis-aligned bounds, and the gap between two of them (0 when they overlap):
// nothing in one is nearer than the gap to anything in the other.
struct Bounds {
  double MinX = kInfinity, MinY = kInfinity, MaxX = -kInfinity, MaxY = -kInfinity;

  void Add(const Point2D& p) {
    MinX = std::min(MinX, p.X);
    MinY = std::min(MinY, p.Y);
    MaxX = std::max(MaxX, p.X);
    MaxY = std::max(MaxY, p.Y);
  }
  double Gap(const Bounds& o) const {
    const double dx = std::max({0.0, o.MinX - MaxX, MinX - o.MaxX});
    const double dy = std::max({0.0, o.MinY - MaxY, MinY - o.MaxY});
    return std::sqrt(dx * dx + dy * dy);
  }
  bool Contains(const Bounds& o) const {
    return o.MinX >= MinX && o.MaxX <= MaxX && o.MinY >= MinY && o.MaxY <= MaxY;
  }
  Bounds Grown(double by) const { return {MinX - by, MinY - by, MaxX + by, MaxY + by}; }
  IndexBox Box() const { return {{MinX, MinY}, {MaxX, MaxY}}; }
};

Bounds BoundsOf(const OutlineQuad& q) { return {q.MinX(), q.MinY(), q.MaxX(), q.MaxY()}; }
Bounds BoundsOf(const IndexBox& b) {
  return {b.min_corner().get<0>(), b.min_corner().get<1>(), b.max_corner().get<0>(),
          b.max_corner().get<1>()};
}

// Per obstacle: the smallest distance so far and the stations within the margin.
struct Track {
  double Distance = kInfinity;
  double Station = 0;
  Point2D Nearest;
  bool Within = false;
  double FirstStation = 0, LastStation = 0;
};

// The pieces near one segment of the chain, each with the distance the
// outline has to travel before the piece must be looked at again, and whether
// it is certainly within the margin until then.
struct NearPieces {
  std::vector<std::uint32_t> Segment;
  std::vector<double> At;
  std::vector<char> Within;

  void Reset(const std::vector<IndexValue>& found, double travelled) {
    Segment.clear();
    for (const IndexValue& v : found) Segment.push_back(v.second);
    At.assign(Segment.size(), travelled);
    Within.assign(Segment.size(), 0);
  }
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
    for (std::uint32_t i = 0; i < mSegments.size(); ++i) {
      Bounds b;
      b.Add(mSegments[i].A);
      b.Add(mSegments[i].B);
      values.emplace_back(b.Box(), i);
    }
    mIndex = SegmentIndex(values);  // packed in one go
    mQuads.reserve(outlines.size());
    for (const StationOutline& o : outlines) mQuads.emplace_back(o.Corners);
  }

  ClearanceResult Run() {
    ClearanceResult result;
    if (mSegments.empty() || mOutlines.empty()) return result;
    for (const auto& unit : OutlinesByUnit()) WithinMarginPass(unit);
    for (std::size_t n = 0; n < mTracks.size(); ++n) {
      const Track& t = mTracks[n];
      if (!t.Within) continue;
      result.Conflicts.push_back({mObstacles[n].Handle, mObstacles[n].Layer, t.Distance, t.Station,
                                  t.Nearest, t.FirstStation, t.LastStation});
    }
    std::stable_sort(result.Conflicts.begin(), result.Conflicts.end(),
                     [](const ObstacleClearance& a, const ObstacleClearance& b) {
                       return a.Distance < b.Distance;
                     });
    // Anything within the margin is nearer than everything the pass set aside.
    result.MinimumDistance =
        result.Conflicts.empty() ? NearestBeyondMargin() : result.Conflicts.front().Distance;
    return result;
  }

 private:
  // Outline indices per segment of the chain, each in station order.
  std::vector<std::vector<std::size_t>> OutlinesByUnit() const {
    std::vector<std::vector<std::size_t>> units;
    for (std::size_t k = 0; k < mOutlines.size(); ++k) {
      const std::size_t unit = static_cast<std::size_t>(std::max(mOutlines[k].Unit, 0));
      if (unit >= units.size()) units.resize(unit + 1);
      units[unit].push_back(k);
    }
    return units;
  }

  // The exact distance of a piece at one outline, noted for its obstacle.
  double Measure(const ObstacleSegment& s, std::size_t outline) {
    const Closeness c = SegmentToOutline(s.A, s.B, mQuads[outline]);
    const double station = mOutlines[outline].Station;
    Track& t = mTracks[s.Obstacle];
    if (c.Distance < t.Distance || (c.Distance == t.Distance && station < t.Station)) {
      t.Distance = c.Distance;
      t.Station = station;
      t.Nearest = c.OnObstacle;
    }
    if (WithinMargin(c.Distance, mMargin)) {
      if (!t.Within) t.FirstStation = t.LastStation = station;
      t.Within = true;
      t.FirstStation = std::min(t.FirstStation, station);
      t.LastStation = std::max(t.LastStation, station);
    }
    return c.Distance;
  }

  // One segment of the chain station by station, looking at the pieces within
  // `reach` of its outline. The outline moves little from one station to the
  // next, and no distance to it changes by more than it moved, so a piece
  // found some way beyond a distance cannot come nearer than that before the
  // outline has travelled that way; each piece waits until it has to be
  // looked at again. The pieces come from the index for a region around the
  // outline, taken afresh when the outline leaves it. look(near, i, outline,
  // travelled) looks at a piece that is due and sets when it is due again;
  // settle(near, outline) closes the pieces' watch before a new region.
  template <class LookAt, class Settle>
  void Sweep(const std::vector<std::size_t>& unit, double reach, LookAt look, Settle settle) {
    NearPieces near;
    std::vector<IndexValue> found;
    Bounds region;
    double travelled = 0;
    for (std::size_t n = 0; n < unit.size(); ++n) {
      const std::size_t k = unit[n];
      if (n > 0) travelled += LargestShift(mQuads[unit[n - 1]], mQuads[k]);
      const Bounds within = BoundsOf(mQuads[k]).Grown(reach);
      if (n == 0 || !region.Contains(within) || !std::isfinite(travelled)) {
        if (n > 0) settle(near, unit[n - 1]);
        const double slack = std::max(within.MaxX - within.MinX, within.MaxY - within.MinY) / 2;
        region = within.Grown(slack);
        found.clear();
        mIndex.query(bgi::intersects(region.Box()), std::back_inserter(found));
        near.Reset(found, travelled);
      }
      for (std::size_t i = 0; i < near.Segment.size(); ++i) {
        if (near.At[i] > travelled) continue;
        if (near.Within[i]) SettleWithin(near.Segment[i], unit[n - 1]);
        look(near, i, k, travelled);
      }
    }
    if (!unit.empty()) settle(near, unit.back());
  }

  // The pieces within the margin: their obstacles' smallest distances and
  // first and last stations. A piece well within the margin stays within it
  // (and no nearer than its obstacle's best) for a while, and waits as well.
  void WithinMarginPass(const std::vector<std::size_t>& unit) {
    Sweep(
        unit, mMargin,
        [this](NearPieces& near, std::size_t i, std::size_t outline, double travelled) {
          Look(near, i, outline, travelled);
        },
        [this](const NearPieces& near, std::size_t outline) { SettleWithin(near, outline); });
  }

  // Looks at a near piece at one outline and notes when to look again.
  void Look(NearPieces& near, std::size_t i, std::size_t outline, double travelled) {
    const ObstacleSegment& s = mSegments[near.Segment[i]];
    near.Within[i] = 0;
    const double bound = mQuads[outline].LowerBound(s.A, s.B);
    if (bound > mMargin) {
      near.At[i] = travelled + bound - mMargin;
      return;
    }
    const double distance = Measure(s, outline);
    if (!WithinMargin(distance, mMargin)) {
      near.At[i] = travelled + distance - mMargin;
      return;
    }
    double keep = mMargin - distance;
    const double best = mTracks[s.Obstacle].Distance;
    if (best > 0) keep = std::min(keep, distance - best);
    near.At[i] = travelled + std::max(keep, 0.0);
    near.Within[i] = keep > 0;
  }

  // A piece certainly within the margin up to this outline extends its
  // obstacle's last station to it.
  void SettleWithin(std::uint32_t segment, std::size_t outline) {
    Track& t = mTracks[mSegments[segment].Obstacle];
    t.LastStation = std::max(t.LastStation, mOutlines[outline].Station);
  }
  void SettleWithin(const NearPieces& near, std::size_t outline) {
    for (std::size_t i = 0; i < near.Segment.size(); ++i)
      if (near.Within[i]) SettleWithin(near.Segment[i], outline);
  }

  // The smallest distance when nothing came within the margin. A first
  // bound comes from the nearest piece of every 64th outline. When it is
  // within an outline's size, the pieces within it are swept as those within
  // the margin were; otherwise everything is far compared with the outlines,
  // and the gaps between bounds serve well enough to pass over most outlines.
  double NearestBeyondMargin() {
    double bound = kInfinity, size = 0;
    std::vector<IndexValue> found;
    for (std::size_t k = 0; k < mQuads.size(); ++k) {
      const Bounds b = BoundsOf(mQuads[k]);
      size = std::max({size, b.MaxX - b.MinX, b.MaxY - b.MinY});
      if (k % 64 != 0) continue;
      found.clear();
      mIndex.query(bgi::nearest(b.Box(), 1), std::back_inserter(found));
      for (const IndexValue& v : found) {
        const ObstacleSegment& s = mSegments[v.second];
        bound = std::min(bound, SegmentToOutline(s.A, s.B, mQuads[k]).Distance);
      }
    }
    return bound <= size ? NearestWithin(bound) : NearestFarAway();
  }

  // The smallest distance, known to be at most `bound`: every piece is looked
  // at where it may come nearer than the best found so far.
  double NearestWithin(double bound) {
    double best = bound;
    const auto look = [&](NearPieces& near, std::size_t i, std::size_t outline, double travelled) {
      const ObstacleSegment& s = mSegments[near.Segment[i]];
      double distance = mQuads[outline].LowerBound(s.A, s.B);
      if (!(distance > best)) {
        distance = SegmentToOutline(s.A, s.B, mQuads[outline]).Distance;
        best = std::min(best, distance);
      }
      near.At[i] = travelled + (distance - best);
    };
    for (const auto& unit : OutlinesByUnit()) Sweep(unit, bound, look, [](auto&, auto) {});
    return best;
  }

  // The smallest distance outline by outline of each segment of the chain:
  // a lower bound of an outline's distance to all pieces shrinks by no more
  // than the outline moves, so most outlines are passed over; the others take
  // the gap to the nearest piece's bounds as a new bound, and only when that is
  // below the best distance so far measure the pieces nearer than it.
  double NearestFarAway() {
    double best = kInfinity;
    std::vector<IndexValue> found;
    for (const auto& unit : OutlinesByUnit()) {
      double bound = -kInfinity;
      for (std::size_t n = 0; n < unit.size(); ++n) {
        const std::size_t k = unit[n];
        if (n > 0) bound -= LargestShift(mQuads[unit[n - 1]], mQuads[k]);
        if (bound >= best) continue;
        const Bounds outline = BoundsOf(mQuads[k]);
        found.clear();
        mIndex.query(bgi::nearest(outline.Box(), 1), std::back_inserter(found));
        if (found.empty()) return best;
        const ObstacleSegment& nearest = mSegments[found[0].second];
        best = std::min(best, SegmentToOutline(nearest.A, nearest.B, mQuads[k]).Distance);
        bound = outline.Gap(BoundsOf(found[0].first));
        if (bound >= best) continue;
        MeasureNearest(k, best);
        bound = best;
      }
    }
    return best;
  }

  // Measures the pieces in order of their bounds' gap to the outline's, more
  // at a time, until that gap reaches the best distance.
  void MeasureNearest(std::size_t outline, double& best) const {
    const Bounds bounds = BoundsOf(mQuads[outline]);
    std::vector<IndexValue> found;
    for (unsigned want = 16;; want *= 4) {
      found.clear();
      mIndex.query(bgi::nearest(bounds.Box(), want), std::back_inserter(found));
      double farthest = 0;
      for (const IndexValue& v : found) {
        const double gap = bounds.Gap(BoundsOf(v.first));
        farthest = std::max(farthest, gap);
        const ObstacleSegment& s = mSegments[v.second];
        if (gap >= best || mQuads[outline].LowerBound(s.A, s.B) >= best) continue;
        best = std::min(best, SegmentToOutline(s.A, s.B, mQuads[outline]).Distance);
      }
      if (found.size() < want || farthest >= best) return;
    }
  }

  const std::vector<StationOutline>& mOutlines;
  const std::vector<Obstacle>& mObstacles;
  double mMargin;
  std::vector<ObstacleSegment> mSegments;
  std::vector<Track> mTracks;
  std::vector<OutlineQuad> mQuads;
  SegmentIndex mIndex;
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
          Point2D{rearRight[i].X, rearRight[i].Y}, Point2D{rearLeft[i].X, rearLeft[i].Y}},
         static_cast<int>(frontLeft[i].Unit)});
  }
  return outlines;
}

std::string DistanceText(double distance, const NumberSymbols& symbols) {
  // Fixed notation whatever the C library's locale says; room for the largest
  // double written in full.
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, RoundHalfEven(distance, 2),
                                     std::chars_format::fixed, 2);
  std::string text(buffer, written.ec == std::errc() ? written.ptr : buffer);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, symbols.decimal);
  return text;
}

ClearanceResult CheckClearance(const std::vector<StationOutline>& outlines,
                               const std::vector<Obstacle>& obstacles, double margin) {
  return Check(outlines, obstacles, std::max(margin, 0.0)).Run();
}

}  // namespace veerline
