#include "cad/ObstacleCollection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/DxfNumber.h"

namespace veerline::cad {
namespace {

// Block references nested deeper than this are not followed (a block that
// refers to itself would never end).
constexpr int kMaxInsertDepth = 16;
// The most chords one arc is cut into, whatever its radius.
constexpr int kMaxArcChords = 100000;

bool SameLayerName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// Appends the arc about the centre from startAngle over sweep (radians,
// counter-clockwise positive) as chords within the tolerance; the first point
// is appended only when the polyline is empty.
void AppendArc(std::vector<Point2D>& out, const Point2D& centre, double radius, double startAngle,
               double sweep, double tolerance) {
  const double r = std::fabs(radius);
  const double maxStep =
      tolerance > 0 && tolerance < r ? 2 * std::acos(1 - tolerance / r) : std::numbers::pi / 2;
  const int chords =
      std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) / maxStep)), 1, kMaxArcChords);
  for (int k = out.empty() ? 0 : 1; k <= chords; ++k) {
    const double angle = startAngle + sweep * k / chords;
    out.push_back({centre.X + r * std::cos(angle), centre.Y + r * std::sin(angle)});
  }
}

// A polyline's segment from a to b with the bulge of a (tan of a quarter of
// the included angle, positive counter-clockwise); appends everything after a.
void AppendBulgedSegment(std::vector<Point2D>& out, const PolylineVertex& a,
                         const PolylineVertex& b, double tolerance) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  if (a.Bulge == 0 || (dx == 0 && dy == 0) || !std::isfinite(a.Bulge)) {
    out.push_back({b.X, b.Y});
    return;
  }
  // The centre lies off the chord's middle by (1 - bulge^2) / (4 bulge) chords.
  const double offset = (1 - a.Bulge * a.Bulge) / (4 * a.Bulge);
  const Point2D centre{(a.X + b.X) / 2 - offset * dy, (a.Y + b.Y) / 2 + offset * dx};
  const double radius = std::hypot(a.X - centre.X, a.Y - centre.Y);
  const double start = std::atan2(a.Y - centre.Y, a.X - centre.X);
  AppendArc(out, centre, radius, start, 4 * std::atan(a.Bulge), tolerance);
  out.back() = {b.X, b.Y};  // end exactly on the next vertex
}

std::vector<Point2D> PolylineCurve(const EntityData& d, double tolerance) {
  std::vector<Point2D> out;
  const auto& v = d.Vertices;
  if (v.empty()) return out;
  out.push_back({v[0].X, v[0].Y});
  for (std::size_t i = 1; i < v.size(); ++i) AppendBulgedSegment(out, v[i - 1], v[i], tolerance);
  if (d.Closed && v.size() > 1) AppendBulgedSegment(out, v.back(), v.front(), tolerance);
  return out;
}

// Where a point of a block definition lies in the drawing: an affine map
// built from the references around it, and how much it may enlarge.
struct Placement {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;  // x' = A x + B y + E, y' = C x + D y + F
  double Enlargement = 1;

  Point2D Apply(const Point2D& p) const { return {A * p.X + B * p.Y + E, C * p.X + D * p.Y + F}; }

  // This placement followed by (applied after) the reference's own.
  Placement Inner(const EntityData& insert, const CadPoint& base) const {
    const double angle = insert.RotationDeg * std::numbers::pi / 180;
    const double cosA = std::cos(angle), sinA = std::sin(angle);
    // Reference: p -> insertion + R * S * (p - base).
    const double a = cosA * insert.ScaleX, b = -sinA * insert.ScaleY;
    const double c = sinA * insert.ScaleX, d = cosA * insert.ScaleY;
    const double e = insert.Insertion.X - a * base.X - b * base.Y;
    const double f = insert.Insertion.Y - c * base.X - d * base.Y;
    Placement inner;
    inner.A = A * a + B * c;
    inner.B = A * b + B * d;
    inner.C = C * a + D * c;
    inner.D = C * b + D * d;
    inner.E = A * e + B * f + E;
    inner.F = C * e + D * f + F;
    inner.Enlargement = Enlargement * std::max(std::fabs(insert.ScaleX), std::fabs(insert.ScaleY));
    return inner;
  }
};

// The first value of a group code in an entity's own record (before any
// follower), or nothing when it is missing or no number.
std::optional<double> GroupReal(const DrawingEntity& entity, int code) {
  const auto tags = entity.Tags();
  for (std::size_t i = 1; i < tags.size() && tags[i].Code != 0; ++i)
    if (tags[i].Code == code) return ParseDxfReal(tags[i].Value);
  return std::nullopt;
}

// Points and solids, which the drawing keeps as read: a point, or the filled
// outline of a solid (its third and fourth corners are given crosswise).
void AddKeptCurves(const DrawingEntity& entity, EntityCurves& curves) {
  const auto corner = [&](int n) -> std::optional<Point2D> {
    const auto x = GroupReal(entity, 10 + n), y = GroupReal(entity, 20 + n);
    if (!x || !y) return std::nullopt;
    return Point2D{*x, *y};
  };
  if (entity.TypeName() == "POINT") {
    if (const auto p = corner(0)) curves.Points.push_back(*p);
  } else if (entity.TypeName() == "SOLID") {
    const auto a = corner(0), b = corner(1), c = corner(2), d = corner(3);
    if (a && b && c) curves.Polylines.push_back({*a, *b, d ? *d : *c, *c, *a});
  }
}

class Collector {
 public:
  Collector(const DrawingModel& drawing, const std::vector<std::string>& layers, double tolerance)
      : mDrawing(drawing), mLayers(layers), mTolerance(tolerance) {}

  // Adds the entity's curves on chosen layers to the obstacle; `layer` is the
  // layer it counts on (its own, or its reference's for layer "0" in a block).
  void Add(const DrawingEntity& entity, const std::string& layer, const Placement& placement,
           int depth, Obstacle& obstacle) {
    if (entity.Erased()) return;
    if (entity.Kind() == EntityKind::Insert) {
      const EntityData& d = entity.Data();
      const DrawingBlock* block = mDrawing.FindBlock(d.BlockName);
      if (block == nullptr || depth >= kMaxInsertDepth) return;
      const Placement inner = placement.Inner(d, block->Origin());
      for (const auto& child : block->Entities()) {
        const std::string& own = child->Data().Layer;
        Add(*child, own == "0" ? layer : own, inner, depth + 1, obstacle);
      }
      return;
    }
    if (!Chosen(layer)) return;
    const double tolerance = mTolerance / std::max(placement.Enlargement, 1e-12);
    EntityCurves curves = CurvesOf(entity, tolerance);
    if (curves.Polylines.empty() && curves.Points.empty()) return;
    if (obstacle.Layer.empty()) obstacle.Layer = layer;
    for (auto& line : curves.Polylines) {
      for (Point2D& p : line) p = placement.Apply(p);
      obstacle.Polylines.push_back(std::move(line));
    }
    for (const Point2D& p : curves.Points) obstacle.Points.push_back(placement.Apply(p));
  }

  bool Chosen(const std::string& layer) const {
    return std::any_of(mLayers.begin(), mLayers.end(),
                       [&](const std::string& chosen) { return SameLayerName(chosen, layer); });
  }

 private:
  const DrawingModel& mDrawing;
  const std::vector<std::string>& mLayers;
  double mTolerance;
};

}  // namespace

EntityCurves CurvesOf(const DrawingEntity& entity, double chordTolerance) {
  EntityCurves curves;
  const EntityData& d = entity.Data();
  switch (entity.Kind()) {
    case EntityKind::Line:
      curves.Polylines.push_back({{d.Start.X, d.Start.Y}, {d.End.X, d.End.Y}});
      break;
    case EntityKind::LwPolyline:
    case EntityKind::Polyline2d:
    case EntityKind::Polyline3d:
      if (!d.Vertices.empty()) curves.Polylines.push_back(PolylineCurve(d, chordTolerance));
      break;
    case EntityKind::Circle:
    case EntityKind::Arc: {
      const double start = entity.Kind() == EntityKind::Circle ? 0 : d.StartAngleDeg;
      double sweep = entity.Kind() == EntityKind::Circle ? 360 : d.EndAngleDeg - d.StartAngleDeg;
      sweep = std::fmod(sweep, 360.0);
      if (sweep <= 0) sweep += 360;  // arcs run counter-clockwise; equal angles make a full turn
      auto& arc = curves.Polylines.emplace_back();
      AppendArc(arc, {d.Centre.X, d.Centre.Y}, d.Radius, start * std::numbers::pi / 180,
                sweep * std::numbers::pi / 180, chordTolerance);
      break;
    }
    case EntityKind::Unknown:
      AddKeptCurves(entity, curves);
      break;
    case EntityKind::Text:
    case EntityKind::Insert:
      break;
  }
  return curves;
}

std::vector<Obstacle> CollectObstacles(const DrawingModel& drawing,
                                       const std::vector<std::string>& layers,
                                       double chordTolerance) {
  std::vector<Obstacle> obstacles;
  if (layers.empty()) return obstacles;
  Collector collector(drawing, layers, chordTolerance);
  for (const auto& entity : drawing.ModelSpace().Entities()) {
    Obstacle obstacle;
    obstacle.Handle = entity->Handle();
    collector.Add(*entity, entity->Data().Layer, Placement{}, 0, obstacle);
    if (obstacle.Polylines.empty() && obstacle.Points.empty()) continue;
    // A reference on a chosen layer is reported on it, whatever its parts are on.
    if (collector.Chosen(entity->Data().Layer)) obstacle.Layer = entity->Data().Layer;
    obstacles.push_back(std::move(obstacle));
  }
  return obstacles;
}

std::optional<std::string> MissingLayer(const DrawingModel& drawing,
                                        const std::vector<std::string>& layers) {
  for (const std::string& name : layers) {
    const bool found =
        std::any_of(drawing.Layers().begin(), drawing.Layers().end(),
                    [&](const DrawingLayer& l) { return SameLayerName(l.Name, name); });
    if (!found) return name;
  }
  return std::nullopt;
}

}  // namespace veerline::cad
