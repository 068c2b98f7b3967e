// Flattening of HATCH: its boundary paths (polylines with bulges, or chains of
// line, arc, ellipse and spline edges) become rings; a solid hatch fills them
// alternating inside and outside, so islands stay open; a pattern hatch draws
// its pattern's lines clipped to them.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
// Beyond this many lines in one pattern family the pattern is too fine to
// draw; the hatch is shown as a faint fill instead.
constexpr long long kMaxPatternLines = 20000;

// Walks the tags of the record in order, as a hatch's nested counts demand.
class TagCursor {
 public:
  explicit TagCursor(std::span<const DxfTag> tags) : mTags(tags) {}

  bool At(int code) const { return mIndex < mTags.size() && mTags[mIndex].Code == code; }
  int PeekCode(std::size_t ahead = 0) const {
    return mIndex + ahead < mTags.size() ? mTags[mIndex + ahead].Code : -1;
  }
  const DxfTag& Take(int code) {
    if (!At(code)) throw BadGeometryRecord{};
    return mTags[mIndex++];
  }
  double Real(int code) { return ReadReal(Take(code)); }
  int Int(int code) { return ReadInt(Take(code)); }
  // A count that drives a loop: negative or absurd counts end the record.
  int Count(int code) {
    const int n = Int(code);
    if (n < 0 || static_cast<std::size_t>(n) > mTags.size()) throw BadGeometryRecord{};
    return n;
  }
  Point2D Point(int code) { return {Real(code), Real(code + 10)}; }
  double RealOr(int code, double fallback) { return At(code) ? Real(code) : fallback; }
  // Moves to the next tag with the code; false (at the end) when there is none.
  bool SeekTo(int code) {
    while (mIndex < mTags.size() && mTags[mIndex].Code != code) ++mIndex;
    return mIndex < mTags.size();
  }

 private:
  std::span<const DxfTag> mTags;
  std::size_t mIndex = 0;
};

double Gap(const Point2D& a, const Point2D& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

// Appends an edge to the ring, turned round when its far end is the one that
// meets the ring (writers disagree on which way clockwise edges run).
void AppendJoined(std::vector<Point2D>& ring, std::vector<Point2D> part) {
  if (part.empty()) return;
  if (!ring.empty()) {
    // A first edge that ran the other way turns the ring round.
    const double atBack = std::min(Gap(ring.back(), part.front()), Gap(ring.back(), part.back()));
    const double atFront =
        std::min(Gap(ring.front(), part.front()), Gap(ring.front(), part.back()));
    if (atFront < atBack) std::reverse(ring.begin(), ring.end());
    if (Gap(ring.back(), part.back()) < Gap(ring.back(), part.front())) {
      std::reverse(part.begin(), part.end());
    }
  }
  for (const Point2D& p : part) {
    if (!ring.empty() && ring.back() == p) continue;
    ring.push_back(p);
  }
}

// A clockwise arc or ellipse edge keeps its angles mirrored: the true start
// is the negated start, and the edge runs clockwise to the negated end.
void ArcEdgeAngles(double startDeg, double endDeg, bool ccw, double& fromRad, double& sweepRad) {
  double sweep = std::fmod(endDeg - startDeg, 360.0);
  if (sweep <= 0) sweep += 360;
  if (std::fabs(endDeg - startDeg) >= 360) sweep = 360;
  fromRad = (ccw ? startDeg : -startDeg) * kDegToRad;
  sweepRad = (ccw ? sweep : -sweep) * kDegToRad;
}

// An ellipse edge is bounded by angles seen from its centre; the ellipse's
// parameter at an angle differs from it unless the ellipse is a circle. Whole
// turns are kept, so a full ellipse stays one.
double EllipseParameter(double angleRad, double ratio) {
  if (!(std::fabs(ratio) > 1e-12)) return angleRad;
  const double param = std::atan2(std::sin(angleRad) / ratio, std::cos(angleRad));
  const double turn = 2 * std::numbers::pi;
  return param + turn * std::round((angleRad - param) / turn);
}

void ReadSplineEdge(TagCursor& c, bool lastEdge, std::vector<Point2D>& ring, double tolerance) {
  const int degree = c.Int(94);
  const bool rational = c.Int(73) != 0;
  c.Int(74);
  const int knotCount = c.Count(95), controlCount = c.Count(96);
  std::vector<double> knots, weights;
  std::vector<Point2D> control, fit;
  for (int k = 0; k < knotCount; ++k) knots.push_back(c.Real(40));
  for (int k = 0; k < controlCount; ++k) {
    control.push_back(c.Point(10));
    if (rational && c.At(42)) weights.push_back(c.Real(42));
  }
  // Fit data (from later versions) also starts with a 97 count, like the
  // path's source objects: it is the spline's before another edge, or when
  // fit points, tangents or the sources' own count follow. (An empty count
  // either way reads the same.)
  Point2D startTangent, endTangent;
  const int next = c.PeekCode(1);
  if (c.At(97) && (!lastEdge || next == 11 || next == 12 || next == 13 || next == 97)) {
    const int fitCount = c.Count(97);
    for (int k = 0; k < fitCount; ++k) fit.push_back(c.Point(11));
    if (c.At(12)) startTangent = c.Point(12);
    if (c.At(13)) endTangent = c.Point(13);
  }
  std::vector<Point2D> part;
  if (controlCount > degree) {
    AppendNurbs(part, degree, control, knots, weights, tolerance);
  } else {
    AppendFitSpline(part, fit, startTangent, endTangent, false, tolerance);
  }
  AppendJoined(ring, std::move(part));
}

void ReadEdge(TagCursor& c, bool lastEdge, std::vector<Point2D>& ring, double tolerance) {
  const int type = c.Int(72);
  std::vector<Point2D> part;
  if (type == 1) {
    part = {c.Point(10), c.Point(11)};
  } else if (type == 2) {
    const Point2D centre = c.Point(10);
    const double radius = c.Real(40), start = c.Real(50), end = c.Real(51);
    const bool ccw = c.Int(73) != 0;
    double from, sweep;
    ArcEdgeAngles(start, end, ccw, from, sweep);
    AppendArc(part, centre, radius, from, sweep, tolerance);
  } else if (type == 3) {
    const Point2D centre = c.Point(10), major = c.Point(11);
    const double ratio = c.Real(40), start = c.Real(50), end = c.Real(51);
    const bool ccw = c.Int(73) != 0;
    double from, sweep;
    ArcEdgeAngles(start, end, ccw, from, sweep);
    const Point2D minor{-major.Y * ratio, major.X * ratio};
    sweep = EllipseParameter(from + sweep, ratio) - EllipseParameter(from, ratio);
    from = EllipseParameter(from, ratio);
    if (sweep >= 0) {
      AppendEllipse(part, centre, major, minor, from, from + sweep, tolerance);
    } else {
      AppendEllipse(part, centre, major, minor, from + sweep, from, tolerance);
    }
  } else if (type == 4) {
    ReadSplineEdge(c, lastEdge, ring, tolerance);
    return;
  } else {
    throw BadGeometryRecord{};
  }
  AppendJoined(ring, std::move(part));
}

struct BoundaryRing {
  std::vector<Point2D> Points;
  int Flags = 0;  // 1 external, 16 outermost
};

BoundaryRing ReadPath(TagCursor& c, double tolerance) {
  BoundaryRing ring;
  ring.Flags = c.Int(92);
  if ((ring.Flags & 2) != 0) {
    const bool bulges = c.Int(72) != 0;
    if (c.At(73)) c.Int(73);
    const int count = c.Count(93);
    std::vector<Point2D> vertices;
    std::vector<double> bulge;
    for (int k = 0; k < count; ++k) {
      vertices.push_back(c.Point(10));
      bulge.push_back(bulges && c.At(42) ? c.Real(42) : 0);
    }
    for (int k = 0; k < count; ++k) {
      AppendBulge(ring.Points, vertices[k], vertices[(k + 1) % count], bulge[k], tolerance);
    }
  } else {
    const int edges = c.Count(93);
    for (int k = 0; k < edges; ++k) ReadEdge(c, k + 1 == edges, ring.Points, tolerance);
  }
  if (c.At(97)) {
    const int sources = c.Count(97);
    for (int k = 0; k < sources && c.At(330); ++k) c.Take(330);
  }
  if (ring.Points.size() > 1 && ring.Points.front() == ring.Points.back()) ring.Points.pop_back();
  return ring;
}

struct PatternFamily {
  double AngleDeg = 0;
  Point2D Base, Offset;
  std::vector<double> Dashes;
};

// The parts of the line through `origin` along `direction` that lie inside
// the rings (alternating inside and outside), as parameter pairs.
std::vector<double> InsideSpans(const std::vector<BoundaryRing>& rings, const Point2D& origin,
                                const Point2D& direction) {
  std::vector<double> cuts;
  const Point2D normal{-direction.Y, direction.X};
  for (const BoundaryRing& ring : rings) {
    const auto& p = ring.Points;
    for (std::size_t i = 0; i < p.size(); ++i) {
      const Point2D& a = p[i];
      const Point2D& b = p[(i + 1) % p.size()];
      const double da = (a.X - origin.X) * normal.X + (a.Y - origin.Y) * normal.Y;
      const double db = (b.X - origin.X) * normal.X + (b.Y - origin.Y) * normal.Y;
      // Half-open test, so a line through a vertex counts it once.
      if ((da > 0) == (db > 0)) continue;
      const double t = da / (da - db);
      const double x = a.X + (b.X - a.X) * t, y = a.Y + (b.Y - a.Y) * t;
      cuts.push_back((x - origin.X) * direction.X + (y - origin.Y) * direction.Y);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  if (cuts.size() % 2 != 0) cuts.pop_back();
  return cuts;
}

// Draws one family's lines clipped to the rings; false when it would take too many lines.
bool AddPatternFamily(const PatternFamily& family, const std::vector<BoundaryRing>& rings,
                      ShapeSink& sink) {
  const Point2D d{std::cos(family.AngleDeg * kDegToRad), std::sin(family.AngleDeg * kDegToRad)};
  const Point2D n{-d.Y, d.X};
  const double spacing = family.Offset.X * n.X + family.Offset.Y * n.Y;
  if (!(std::fabs(spacing) > 1e-12)) return true;
  double low = INFINITY, high = -INFINITY;
  for (const BoundaryRing& ring : rings) {
    for (const Point2D& p : ring.Points) {
      const double s = (p.X - family.Base.X) * n.X + (p.Y - family.Base.Y) * n.Y;
      low = std::min(low, s);
      high = std::max(high, s);
    }
  }
  const double k0 = std::ceil(std::min(low / spacing, high / spacing));
  const double k1 = std::floor(std::max(low / spacing, high / spacing));
  if (!(k1 - k0 < kMaxPatternLines)) return false;
  for (double k = k0; k <= k1; ++k) {
    const Point2D origin{family.Base.X + family.Offset.X * k, family.Base.Y + family.Offset.Y * k};
    const std::vector<double> cuts = InsideSpans(rings, origin, d);
    for (std::size_t i = 0; i + 1 < cuts.size(); i += 2) {
      if (cuts[i + 1] - cuts[i] <= 0) continue;
      sink.PatternLine({{origin.X + d.X * cuts[i], origin.Y + d.Y * cuts[i]},
                        {origin.X + d.X * cuts[i + 1], origin.Y + d.Y * cuts[i + 1]}},
                       family.Dashes);
    }
  }
  return true;
}

}  // namespace

void FlattenHatch(const EntityRecord& record, ShapeSink& sink) {
  TagCursor c(record.Body);
  sink.SetLocal(OcsToWorld(NormalOf(record.Body), RealOf(record.Body, 30, 0)));
  const bool solid = IntOf(record.Body, 70, 0) == 1;
  if (!c.SeekTo(91)) return;
  const int pathCount = c.Count(91);
  std::vector<BoundaryRing> rings;
  for (int k = 0; k < pathCount; ++k) {
    BoundaryRing ring = ReadPath(c, sink.Tolerance());
    if (ring.Points.size() >= 3) rings.push_back(std::move(ring));
  }
  if (rings.empty()) return;
  const int style = c.At(75) ? c.Int(75) : 0;
  if (style == 2 && std::any_of(rings.begin(), rings.end(),
                                [](const BoundaryRing& r) { return (r.Flags & 1) != 0; })) {
    std::erase_if(rings, [](const BoundaryRing& r) { return (r.Flags & 1) == 0; });
  }
  std::vector<PatternFamily> families;
  if (!solid && c.SeekTo(78)) {
    const int count = c.Count(78);
    for (int k = 0; k < count; ++k) {
      PatternFamily family;
      family.AngleDeg = c.Real(53);
      family.Base = {c.Real(43), c.Real(44)};
      family.Offset = {c.Real(45), c.Real(46)};
      const int dashes = c.Count(79);
      for (int j = 0; j < dashes; ++j) family.Dashes.push_back(c.Real(49));
      families.push_back(std::move(family));
    }
  }
  bool drawn = !families.empty();
  for (const PatternFamily& family : families)
    drawn = drawn && AddPatternFamily(family, rings, sink);
  if (solid || !drawn) {
    std::vector<Point2D> points;
    std::vector<std::uint32_t> ends;
    for (const BoundaryRing& ring : rings) {
      points.insert(points.end(), ring.Points.begin(), ring.Points.end());
      ends.push_back(static_cast<std::uint32_t>(points.size()));
    }
    sink.Fill(std::move(points), std::move(ends), false, !solid);
  }
}

}  // namespace veerline::cad
