#include "cad/geometry/SnapPoints.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// References nested deeper than this are not followed.
constexpr int kMaxInsertDepth = 16;
// Crossings are looked for among at most this many curves near the pointer.
constexpr std::size_t kMaxCrossingCurves = 64;

// x' = A x + B y + E, y' = C x + D y + F: where a block's contents land.
struct Placement {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;

  Point2D Apply(const Point2D& p) const { return {A * p.X + B * p.Y + E, C * p.X + D * p.Y + F}; }
  Placement Then(const Placement& outer) const {
    return {outer.A * A + outer.B * C,           outer.A * B + outer.B * D,
            outer.C * A + outer.D * C,           outer.C * B + outer.D * D,
            outer.A * E + outer.B * F + outer.E, outer.C * E + outer.D * F + outer.F};
  }
  // A circle stays a circle when the columns are orthogonal and equally long.
  bool KeepsCircles() const {
    const double scale = A * A + C * C;
    const double tolerance = 1e-9 * std::max(scale, B * B + D * D);
    return std::abs(scale - (B * B + D * D)) <= tolerance && std::abs(A * B + C * D) <= tolerance;
  }
};

// Where a reference puts its block's contents: base point to the origin,
// scaled, rotated, moved to the insertion point.
Placement InsertPlacement(const EntityData& data, const CadPoint& base) {
  const double angle = data.RotationDeg * std::numbers::pi / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  Placement p{c * data.ScaleX, -s * data.ScaleY, s * data.ScaleX, c * data.ScaleY, 0, 0};
  const Point2D shifted = p.Apply({-base.X, -base.Y});
  p.E = shifted.X + data.Insertion.X;
  p.F = shifted.Y + data.Insertion.Y;
  return p;
}

Point2D ToPoint(const CadPoint& p) { return {p.X, p.Y}; }
double Distance(const Point2D& a, const Point2D& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

class CurveReader {
 public:
  CurveReader(const DrawingModel& drawing, std::vector<SnapCurve>& out)
      : mDrawing(drawing), mOut(out) {}

  void Read(const DrawingEntity& entity, const Placement& placement, const DrawingEntity* owner,
            int depth) {
    if (entity.Erased() || !Shown(entity.Data().Layer)) return;
    const EntityData& data = entity.Data();
    switch (entity.Kind()) {
      case EntityKind::Line:
        Segment(ToPoint(data.Start), ToPoint(data.End), placement, owner);
        break;
      case EntityKind::Circle:
        Arc(ToPoint(data.Centre), data.Radius, 0, kTwoPi, placement, owner);
        break;
      case EntityKind::Arc: {
        const double start = data.StartAngleDeg * std::numbers::pi / 180;
        double sweep = (data.EndAngleDeg - data.StartAngleDeg) * std::numbers::pi / 180;
        sweep = std::fmod(sweep, kTwoPi);
        if (sweep <= 0) sweep += kTwoPi;
        Arc(ToPoint(data.Centre), data.Radius, start, sweep, placement, owner);
        break;
      }
      case EntityKind::LwPolyline:
      case EntityKind::Polyline2d:
      case EntityKind::Polyline3d:
        Polyline(data, placement, owner);
        break;
      case EntityKind::Insert:
        Insert(data, placement, owner, depth);
        break;
      default:
        break;
    }
  }

 private:
  bool Shown(const std::string& layer) const {
    const DrawingLayer* found = mDrawing.FindLayer(layer);
    return found == nullptr || (found->Visible && !found->Frozen);
  }

  void Segment(const Point2D& a, const Point2D& b, const Placement& placement,
               const DrawingEntity* owner) {
    SnapCurve curve;
    curve.A = placement.Apply(a);
    curve.B = placement.Apply(b);
    curve.Owner = owner;
    mOut.push_back(curve);
  }

  // An arc turning sweep (signed) from the angle start; a placement that
  // would make it an ellipse gives short chords instead.
  void Arc(const Point2D& centre, double radius, double start, double sweep,
           const Placement& placement, const DrawingEntity* owner) {
    if (!(radius > 0) || !std::isfinite(radius) || sweep == 0) return;
    auto at = [&](double angle) {
      return Point2D{centre.X + radius * std::cos(angle), centre.Y + radius * std::sin(angle)};
    };
    if (!placement.KeepsCircles()) {
      const int pieces = 32;
      for (int i = 0; i < pieces; ++i)
        Segment(at(start + sweep * i / pieces), at(start + sweep * (i + 1) / pieces), placement,
                owner);
      return;
    }
    SnapCurve curve;
    curve.IsArc = true;
    curve.Centre = placement.Apply(centre);
    curve.Radius = radius * std::hypot(placement.A, placement.C);
    curve.A = placement.Apply(at(start));
    curve.B = placement.Apply(at(start + sweep));
    curve.StartRad = std::atan2(curve.A.Y - curve.Centre.Y, curve.A.X - curve.Centre.X);
    const bool mirrored = placement.A * placement.D - placement.B * placement.C < 0;
    curve.SweepRad = mirrored ? -sweep : sweep;
    curve.Owner = owner;
    mOut.push_back(curve);
  }

  void Polyline(const EntityData& data, const Placement& placement, const DrawingEntity* owner) {
    const auto& v = data.Vertices;
    const std::size_t count = data.Closed ? v.size() : (v.empty() ? 0 : v.size() - 1);
    for (std::size_t i = 0; i < count; ++i) {
      const Point2D a{v[i].X, v[i].Y};
      const Point2D b{v[(i + 1) % v.size()].X, v[(i + 1) % v.size()].Y};
      const SnapCurve piece = BulgeCurve(a, b, v[i].Bulge);
      if (piece.IsArc) {
        Arc(piece.Centre, piece.Radius, piece.StartRad, piece.SweepRad, placement, owner);
      } else if (!(a == b)) {
        Segment(a, b, placement, owner);
      }
    }
  }

  void Insert(const EntityData& data, const Placement& placement, const DrawingEntity* owner,
              int depth) {
    const DrawingBlock* block = mDrawing.FindBlock(data.BlockName);
    if (block == nullptr || block->Erased() || depth >= kMaxInsertDepth) return;
    const Placement inner = InsertPlacement(data, block->Origin()).Then(placement);
    for (const auto& entity : block->Entities()) Read(*entity, inner, owner, depth + 1);
  }

  const DrawingModel& mDrawing;
  std::vector<SnapCurve>& mOut;
};

// Whether an angle lies on the arc (within a small slack at its ends).
bool OnArc(const SnapCurve& arc, double angle) {
  if (std::abs(arc.SweepRad) >= kTwoPi) return true;
  double turned = arc.SweepRad > 0 ? angle - arc.StartRad : arc.StartRad - angle;
  turned = std::fmod(turned, kTwoPi);
  if (turned < 0) turned += kTwoPi;
  const double slack = 1e-9;
  return turned <= std::abs(arc.SweepRad) + slack || turned >= kTwoPi - slack;
}

Point2D Nearest(const SnapCurve& curve, const Point2D& p) {
  if (curve.IsArc) {
    const double angle = std::atan2(p.Y - curve.Centre.Y, p.X - curve.Centre.X);
    if (OnArc(curve, angle))
      return {curve.Centre.X + curve.Radius * std::cos(angle),
              curve.Centre.Y + curve.Radius * std::sin(angle)};
    return Distance(p, curve.A) <= Distance(p, curve.B) ? curve.A : curve.B;
  }
  const double dx = curve.B.X - curve.A.X, dy = curve.B.Y - curve.A.Y;
  const double lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0) return curve.A;
  const double t =
      std::clamp(((p.X - curve.A.X) * dx + (p.Y - curve.A.Y) * dy) / lengthSquared, 0.0, 1.0);
  return {curve.A.X + t * dx, curve.A.Y + t * dy};
}

// Where the segment s meets the other curve (a segment or an arc).
std::vector<Point2D> Crossings(const SnapCurve& s, const SnapCurve& other) {
  std::vector<Point2D> found;
  const double dx = s.B.X - s.A.X, dy = s.B.Y - s.A.Y;
  if (!other.IsArc) {
    const double ex = other.B.X - other.A.X, ey = other.B.Y - other.A.Y;
    const double denom = dx * ey - dy * ex;
    if (denom == 0) return found;
    const double fx = other.A.X - s.A.X, fy = other.A.Y - s.A.Y;
    const double t = (fx * ey - fy * ex) / denom, u = (fx * dy - fy * dx) / denom;
    const double slack = 1e-9;
    if (t >= -slack && t <= 1 + slack && u >= -slack && u <= 1 + slack)
      found.push_back({s.A.X + t * dx, s.A.Y + t * dy});
    return found;
  }
  const double fx = s.A.X - other.Centre.X, fy = s.A.Y - other.Centre.Y;
  const double a = dx * dx + dy * dy, b = 2 * (fx * dx + fy * dy);
  const double c = fx * fx + fy * fy - other.Radius * other.Radius;
  const double discriminant = b * b - 4 * a * c;
  if (a == 0 || discriminant < 0) return found;
  for (double sign : {-1.0, 1.0}) {
    const double t = (-b + sign * std::sqrt(discriminant)) / (2 * a);
    if (t < -1e-9 || t > 1 + 1e-9) continue;
    const Point2D p{s.A.X + t * dx, s.A.Y + t * dy};
    if (OnArc(other, std::atan2(p.Y - other.Centre.Y, p.X - other.Centre.X))) found.push_back(p);
    if (discriminant == 0) break;
  }
  return found;
}

std::vector<Point2D> ArcCrossings(const SnapCurve& p, const SnapCurve& q) {
  std::vector<Point2D> found;
  const double d = Distance(p.Centre, q.Centre);
  if (d == 0 || d > p.Radius + q.Radius || d < std::abs(p.Radius - q.Radius)) return found;
  const double along = (d * d + p.Radius * p.Radius - q.Radius * q.Radius) / (2 * d);
  const double across = std::sqrt(std::max(0.0, p.Radius * p.Radius - along * along));
  const double ux = (q.Centre.X - p.Centre.X) / d, uy = (q.Centre.Y - p.Centre.Y) / d;
  for (double sign : {-1.0, 1.0}) {
    const Point2D at{p.Centre.X + along * ux - sign * across * uy,
                     p.Centre.Y + along * uy + sign * across * ux};
    if (OnArc(p, std::atan2(at.Y - p.Centre.Y, at.X - p.Centre.X)) &&
        OnArc(q, std::atan2(at.Y - q.Centre.Y, at.X - q.Centre.X)))
      found.push_back(at);
    if (across == 0) break;
  }
  return found;
}

std::vector<Point2D> Intersections(const SnapCurve& p, const SnapCurve& q) {
  if (!p.IsArc) return Crossings(p, q);
  if (!q.IsArc) return Crossings(q, p);
  return ArcCrossings(p, q);
}

}  // namespace

SnapGeometry::SnapGeometry(const DrawingModel& drawing) {
  CurveReader reader(drawing, mCurves);
  bool otherKinds = false;
  for (const auto& entity : drawing.ModelSpace().Entities()) {
    reader.Read(*entity, Placement{}, entity.get(), 0);
    otherKinds = otherKinds || (entity->Kind() == EntityKind::Unknown && !entity->Erased());
  }
  if (otherKinds) AddFlattened(drawing);
}

// The polylines the shared flattening makes of entities read as other kinds.
void SnapGeometry::AddFlattened(const DrawingModel& drawing) {
  const DrawingGeometry geometry = BuildDrawingGeometry(drawing, GeometryOptions{});
  for (const GeometryPiece& piece : geometry.Pieces) {
    if (piece.Kind != PieceKind::Polyline || piece.Owner == nullptr ||
        piece.Owner->Kind() != EntityKind::Unknown || piece.Points.size() < 2)
      continue;
    const std::vector<Point2D>& points = piece.Points;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
      SnapCurve chord;
      chord.Chord = true;
      chord.A = points[i];
      chord.B = points[i + 1];
      chord.Owner = piece.Owner;
      mCurves.push_back(chord);
    }
    if (piece.Closed) {
      mCurves.push_back({false, true, points.back(), points.front(), {}, 0, 0, 0, piece.Owner});
    } else {
      mChordEnds.push_back(points.front());
      mChordEnds.push_back(points.back());
    }
  }
}

SnapCurve BulgeCurve(const Point2D& a, const Point2D& b, double bulge) {
  SnapCurve curve;
  curve.A = a;
  curve.B = b;
  if (bulge == 0 || a == b || !std::isfinite(bulge)) return curve;
  // The arc's centre lies off the chord's middle, on its left for a positive
  // bulge below a half circle.
  const double chord = Distance(a, b);
  const double offset = chord * (1 - bulge * bulge) / (4 * bulge);
  curve.IsArc = true;
  curve.Centre = {(a.X + b.X) / 2 - (b.Y - a.Y) / chord * offset,
                  (a.Y + b.Y) / 2 + (b.X - a.X) / chord * offset};
  curve.Radius = std::abs(chord * (1 + bulge * bulge) / (4 * bulge));
  curve.StartRad = std::atan2(a.Y - curve.Centre.Y, a.X - curve.Centre.X);
  curve.SweepRad = 4 * std::atan(bulge);
  return curve;
}

Point2D CurvePointAt(const SnapCurve& curve, double fraction) {
  if (!curve.IsArc)
    return {curve.A.X + fraction * (curve.B.X - curve.A.X),
            curve.A.Y + fraction * (curve.B.Y - curve.A.Y)};
  const double angle = curve.StartRad + fraction * curve.SweepRad;
  return {curve.Centre.X + curve.Radius * std::cos(angle),
          curve.Centre.Y + curve.Radius * std::sin(angle)};
}

std::optional<SnapPoint> SnapGeometry::Find(const Point2D& at, double tolerance) const {
  std::optional<SnapPoint> best;
  double bestDistance = tolerance;
  auto offer = [&](const Point2D& p, SnapKind kind) {
    const double distance = Distance(p, at);
    if (distance <= bestDistance) {
      // An equal distance keeps the kind found first: ends before middles.
      if (best && distance == bestDistance) return;
      best = SnapPoint{p, kind};
      bestDistance = distance;
    }
  };
  std::vector<const SnapCurve*> near;
  const SnapCurve* nearest = nullptr;
  double nearestDistance = tolerance;
  for (const Point2D& end : mChordEnds) offer(end, SnapKind::Endpoint);
  for (const SnapCurve& curve : mCurves) {
    const bool whole = curve.IsArc && std::abs(curve.SweepRad) >= kTwoPi;
    if (!whole && !curve.Chord) {
      offer(curve.A, SnapKind::Endpoint);
      offer(curve.B, SnapKind::Endpoint);
      offer(CurvePointAt(curve, 0.5), SnapKind::Midpoint);
    }
    if (curve.IsArc) offer(curve.Centre, SnapKind::Centre);
    const double distance = Distance(Nearest(curve, at), at);
    if (distance <= tolerance) {
      if (near.size() < kMaxCrossingCurves) near.push_back(&curve);
      if (distance <= nearestDistance) {
        nearest = &curve;
        nearestDistance = distance;
      }
    }
  }
  for (std::size_t i = 0; i < near.size(); ++i)
    for (std::size_t j = i + 1; j < near.size(); ++j)
      for (const Point2D& p : Intersections(*near[i], *near[j])) offer(p, SnapKind::Intersection);
  if (best) return best;
  if (nearest) return SnapPoint{Nearest(*nearest, at), SnapKind::Nearest};
  return std::nullopt;
}

}  // namespace veerline::cad
