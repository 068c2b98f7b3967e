#include "engine/SweptArea.h"

#include <algorithm>
#include <array>
#include <clipper.hpp>
#include <cmath>
#include <limits>

#include "engine/Clearance.h"
#include "engine/Numerics.h"

namespace veerline {
namespace {

// Clipper works on integers: coordinates relative to the middle of the area,
// scaled so that the largest stays well within its 64-bit range.
constexpr double kIntegerReach = 1e9;

Point2D Middle(const Point2D& a, const Point2D& b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

// The convex hull of the points, counter-clockwise (Andrew's monotone chain).
std::vector<Point2D> ConvexHull(std::vector<Point2D> points) {
  std::sort(points.begin(), points.end(),
            [](const Point2D& a, const Point2D& b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); });
  if (points.size() < 3) return points;
  auto turn = [](const Point2D& o, const Point2D& a, const Point2D& b) {
    return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
  };
  std::vector<Point2D> hull(2 * points.size());
  std::size_t k = 0;
  for (const Point2D& p : points) {
    while (k >= 2 && turn(hull[k - 2], hull[k - 1], p) <= 0) --k;
    hull[k++] = p;
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  return hull;
}

std::size_t NearestVertex(const std::vector<Point2D>& ring, const Point2D& p) {
  std::size_t best = 0;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < ring.size(); ++k) {
    const double d = std::hypot(ring[k].X - p.X, ring[k].Y - p.Y);
    if (d < bestDistance) {
      bestDistance = d;
      best = k;
    }
  }
  return best;
}

// The ring's vertices from `from` to `to`, walking forwards or backwards.
std::vector<Point2D> Walk(const std::vector<Point2D>& ring, std::size_t from, std::size_t to,
                          bool forwards) {
  std::vector<Point2D> side;
  const std::size_t n = ring.size();
  for (std::size_t k = from;; k = forwards ? (k + 1) % n : (k + n - 1) % n) {
    side.push_back(ring[k]);
    if (k == to || side.size() > n) break;
  }
  return side;
}

}  // namespace

bool HasReverseLeg(const RunState& state) {
  return std::any_of(state.legs.begin(), state.legs.end(),
                     [](const ManoeuvreLeg& leg) { return leg.reverse; });
}

EnvelopeTraces SweptAreaEnvelope(const RunState& state) {
  EnvelopeTraces traces;
  const std::vector<StationOutline> outlines = RunOutlines(state);
  if (outlines.empty()) return traces;
  double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
  for (const StationOutline& outline : outlines) {
    for (const Point2D& p : outline.Corners) {
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return traces;
      minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
    }
  }
  const double originX = (minX + maxX) / 2, originY = (minY + maxY) / 2;
  const double scale = kIntegerReach / std::max({maxX - minX, maxY - minY, 1e-9});
  // Each body from one station to the next: the hull of its two outlines,
  // so that a corner swinging round is followed by chords, not a saw of
  // separate outlines.
  auto integer = [&](const Point2D& p) {
    return ClipperLib::IntPoint{static_cast<ClipperLib::cInt>(std::llround((p.X - originX) * scale)),
                                static_cast<ClipperLib::cInt>(std::llround((p.Y - originY) * scale))};
  };
  std::vector<const StationOutline*> previous;
  ClipperLib::Paths bodies;
  bodies.reserve(outlines.size());
  for (const StationOutline& outline : outlines) {
    const std::size_t unit = static_cast<std::size_t>(std::max(outline.Unit, 0));
    if (previous.size() <= unit) previous.resize(unit + 1, nullptr);
    std::vector<Point2D> corners(outline.Corners.begin(), outline.Corners.end());
    if (previous[unit] != nullptr)
      corners.insert(corners.end(), previous[unit]->Corners.begin(), previous[unit]->Corners.end());
    previous[unit] = &outline;
    ClipperLib::Path body;
    for (const Point2D& p : ConvexHull(std::move(corners))) body.push_back(integer(p));
    if (body.size() < 3) continue;
    if (!ClipperLib::Orientation(body)) ClipperLib::ReversePath(body);
    bodies.push_back(std::move(body));
  }
  ClipperLib::Clipper clipper;
  clipper.AddPaths(bodies, ClipperLib::ptSubject, true);
  ClipperLib::Paths area;
  clipper.Execute(ClipperLib::ctUnion, area, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  // The outline is the largest ring; holes and stray islands are left out.
  const ClipperLib::Path* outer = nullptr;
  double largest = 0;
  for (const ClipperLib::Path& ring : area) {
    const double a = std::fabs(ClipperLib::Area(ring));
    if (a > largest) {
      largest = a;
      outer = &ring;
    }
  }
  if (outer == nullptr || outer->size() < 3) return traces;
  std::vector<Point2D> ring;
  ring.reserve(outer->size());
  for (const ClipperLib::IntPoint& p : *outer)
    ring.push_back({originX + static_cast<double>(p.X) / scale,
                    originY + static_cast<double>(p.Y) / scale});

  // Where the sides part and meet: the trailing end of the vehicle at the
  // first station and its leading end at the last. Outlines come unit by unit
  // at each station: the first unit's front corners, the last unit's rear ones.
  const bool startsBacking = !state.legs.empty() && state.legs.front().reverse;
  // The leg of the last station reached.
  bool endsBacking = startsBacking;
  for (const ManoeuvreLeg& leg : state.legs)
    if (leg.firstStation < state.stationTrack.size()) endsBacking = leg.reverse;
  const double firstStation = outlines.front().Station, lastStation = outlines.back().Station;
  const StationOutline* firstFront = nullptr;
  const StationOutline* firstRear = nullptr;
  const StationOutline* lastFront = nullptr;
  const StationOutline* lastRear = nullptr;
  int lastUnit = 0;
  for (const StationOutline& o : outlines) lastUnit = std::max(lastUnit, o.Unit);
  for (const StationOutline& o : outlines) {
    if (o.Station == firstStation && o.Unit == 0 && firstFront == nullptr) firstFront = &o;
    if (o.Station == firstStation && o.Unit == lastUnit && firstRear == nullptr) firstRear = &o;
    if (o.Station == lastStation && o.Unit == 0) lastFront = &o;
    if (o.Station == lastStation && o.Unit == lastUnit) lastRear = &o;
  }
  if (!firstFront || !firstRear || !lastFront || !lastRear) return traces;
  const Point2D front0 = Middle(firstFront->Corners[0], firstFront->Corners[1]);
  const Point2D rear0 = Middle(firstRear->Corners[2], firstRear->Corners[3]);
  const Point2D start = startsBacking ? front0 : rear0;
  const Point2D end = endsBacking ? Middle(lastRear->Corners[2], lastRear->Corners[3])
                                  : Middle(lastFront->Corners[0], lastFront->Corners[1]);
  // The vehicle's right at the start, looking the way it set off.
  const Point2D ahead{startsBacking ? rear0.X - front0.X : front0.X - rear0.X,
                      startsBacking ? rear0.Y - front0.Y : front0.Y - rear0.Y};
  const Point2D right{ahead.Y, -ahead.X};
  const std::size_t a = NearestVertex(ring, start);
  std::size_t b = NearestVertex(ring, end);
  if (b == a) b = (a + ring.size() / 2) % ring.size();
  std::vector<Point2D> one = Walk(ring, a, b, true), other = Walk(ring, a, b, false);
  // The side whose first stretch leaves towards the vehicle's right.
  auto rightward = [&](const std::vector<Point2D>& side) {
    const Point2D& p = side[std::min<std::size_t>(1, side.size() - 1)];
    return (p.X - side[0].X) * right.X + (p.Y - side[0].Y) * right.Y;
  };
  if (rightward(one) < rightward(other)) std::swap(one, other);
  traces.rightHand = std::move(one);
  traces.leftHand = std::move(other);
  return traces;
}

std::optional<double> ManoeuvreSweptWidth(const RunState& state) {
  const std::vector<Point2D>& right = state.envelopeRight;
  const std::vector<Point2D>& left = state.envelopeLeft;
  if (right.size() < 2 || left.size() < 2) return std::nullopt;
  std::vector<Point2D> ring(right);
  for (std::size_t k = left.size() - 1; k-- > 1;) ring.push_back(left[k]);
  const std::size_t units = state.segments.size();
  const std::size_t stations = units == 0 ? 0 : state.axles.size() / units;
  std::vector<char> backing(stations, 0);
  for (const ManoeuvreLeg& leg : state.legs) {
    if (!leg.reverse) continue;
    for (std::size_t j = leg.firstStation; j <= leg.lastStation && j < stations; ++j) backing[j] = 1;
  }
  const double step = state.calculationStep > 0 ? state.calculationStep : 0.2;
  const std::size_t every = std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(1.0 / step)));
  std::optional<double> widest;
  for (std::size_t i = 0; i < stations; i += every) {
    const std::array<double, 3>& axle = state.axles[backing[i] ? (i + 1) * units - 1 : i * units];
    const Point2D origin = backing[i] || i >= state.stationTrack.size()
                               ? Point2D{axle[0], axle[1]}
                               : Point2D{state.stationTrack[i].X, state.stationTrack[i].Y};
    const double heading = axle[2] * PiValue() / 180.0;
    const Point2D across{-std::sin(heading), std::cos(heading)};
    double nearLeft = std::numeric_limits<double>::infinity(), nearRight = nearLeft;
    for (std::size_t k = 0; k < ring.size(); ++k) {
      const Point2D& a = ring[k];
      const Point2D& b = ring[(k + 1) % ring.size()];
      // Where the line origin + t * across meets the edge a..b.
      const Point2D e{b.X - a.X, b.Y - a.Y}, w{a.X - origin.X, a.Y - origin.Y};
      const double denominator = across.X * e.Y - across.Y * e.X;
      if (denominator == 0) continue;
      const double t = (w.X * e.Y - w.Y * e.X) / denominator;
      const double u = (w.X * across.Y - w.Y * across.X) / denominator;
      if (u < 0 || u > 1) continue;
      if (t >= 0) nearLeft = std::min(nearLeft, t);
      else nearRight = std::min(nearRight, -t);
    }
    // A chord longer than the vehicle on either side runs along the area
    // (across another leg's ground), not across the path: it is not a width.
    if (nearLeft <= state.vehicleLength && nearRight <= state.vehicleLength) {
      const double width = nearLeft + nearRight;
      if (!widest || width > *widest) widest = width;
    }
  }
  return widest;
}

}  // namespace veerline
