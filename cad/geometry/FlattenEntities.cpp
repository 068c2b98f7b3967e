// Flattening of the line-work kinds: lines, arcs, circles, polylines (with
// bulges and widths), ellipses, splines, polyface and polygon meshes.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegToRad = kPi / 180;

Point2D At(const PolylineVertex& v) { return {v.X, v.Y}; }

// The band a wide polyline segment covers, as one ring: its left edge
// forward, its right edge back. Widths change linearly along the segment.
std::vector<Point2D> SegmentBand(const PolylineVertex& a, const PolylineVertex& b,
                                 double tolerance) {
  const double dx = b.X - a.X, dy = b.Y - a.Y, chord = std::hypot(dx, dy);
  std::vector<Point2D> ring;
  if (chord == 0) return ring;
  if (a.Bulge == 0 || !std::isfinite(a.Bulge)) {
    const double nx = -dy / chord, ny = dx / chord;
    ring = {{a.X + nx * a.StartWidth / 2, a.Y + ny * a.StartWidth / 2},
            {b.X + nx * a.EndWidth / 2, b.Y + ny * a.EndWidth / 2},
            {b.X - nx * a.EndWidth / 2, b.Y - ny * a.EndWidth / 2},
            {a.X - nx * a.StartWidth / 2, a.Y - ny * a.StartWidth / 2}};
    return ring;
  }
  const double offset = (1 - a.Bulge * a.Bulge) / (4 * a.Bulge);
  const Point2D centre{(a.X + b.X) / 2 - offset * dy, (a.Y + b.Y) / 2 + offset * dx};
  const double radius = std::hypot(a.X - centre.X, a.Y - centre.Y);
  const double start = std::atan2(a.Y - centre.Y, a.X - centre.X);
  const double sweep = 4 * std::atan(a.Bulge);
  std::vector<Point2D> spine;
  AppendArc(spine, {0, 0}, radius + std::max(a.StartWidth, a.EndWidth) / 2, 0, std::fabs(sweep),
            tolerance);
  const int chords = std::max(1, static_cast<int>(spine.size()) - 1);
  // Left of the direction of travel is outward for a clockwise arc.
  const double side = sweep > 0 ? -1 : 1;
  std::vector<Point2D> right;
  for (int k = 0; k <= chords; ++k) {
    const double t = static_cast<double>(k) / chords, angle = start + sweep * t;
    const double half = (a.StartWidth + (a.EndWidth - a.StartWidth) * t) / 2;
    const double outer = radius + side * half, inner = std::max(0.0, radius - side * half);
    ring.push_back({centre.X + outer * std::cos(angle), centre.Y + outer * std::sin(angle)});
    right.push_back({centre.X + inner * std::cos(angle), centre.Y + inner * std::sin(angle)});
  }
  ring.insert(ring.end(), right.rbegin(), right.rend());
  return ring;
}

// The rings of a wide polyline: one band per segment with width, and a
// bevel where two such segments meet so that corners close.
void AddWidthBands(const EntityData& d, ShapeSink& sink) {
  const auto& v = d.Vertices;
  const std::size_t segments = d.Closed ? v.size() : v.size() - 1;
  std::vector<Point2D> points;
  std::vector<std::uint32_t> ends;
  std::vector<std::vector<Point2D>> bands(segments);
  for (std::size_t i = 0; i < segments; ++i) {
    const PolylineVertex& a = v[i];
    if (a.StartWidth <= 0 && a.EndWidth <= 0) continue;
    bands[i] = SegmentBand(a, v[(i + 1) % v.size()], sink.Tolerance());
  }
  auto addRing = [&](const std::vector<Point2D>& ring) {
    if (ring.size() < 3) return;
    points.insert(points.end(), ring.begin(), ring.end());
    ends.push_back(static_cast<std::uint32_t>(points.size()));
  };
  for (std::size_t i = 0; i < segments; ++i) {
    addRing(bands[i]);
    const std::size_t next = i + 1 < segments ? i + 1 : (d.Closed ? 0 : segments);
    if (next == segments || bands[i].empty() || bands[next].empty() || next == i) continue;
    // The end corners of this band and the start corners of the next.
    const std::size_t half = bands[i].size() / 2;
    addRing({bands[i][half - 1], bands[next][0], bands[next].back(), bands[i][half]});
  }
  if (!points.empty()) sink.Fill(std::move(points), std::move(ends), true, false);
}

void FlattenPolyline(const EntityRecord& record, ShapeSink& sink) {
  const DrawingEntity& entity = record.Entity;
  const EntityData& d = entity.Data();
  if (d.Vertices.empty()) return;
  const bool planar = entity.Kind() != EntityKind::Polyline3d;
  if (planar) sink.SetLocal(OcsToWorld(NormalOf(record.Body), d.Elevation));
  std::vector<Point2D> line;
  const auto& v = d.Vertices;
  const std::size_t segments = d.Closed ? v.size() : v.size() - 1;
  line.push_back(At(v[0]));
  for (std::size_t i = 0; i < segments; ++i) {
    const PolylineVertex& b = v[(i + 1) % v.size()];
    AppendBulge(line, At(v[i]), At(b), planar ? v[i].Bulge : 0, sink.Tolerance());
  }
  const bool wide = planar && std::any_of(v.begin(), v.end(), [](const PolylineVertex& p) {
                      return p.StartWidth > 0 || p.EndWidth > 0;
                    });
  if (wide) AddWidthBands(d, sink);
  if (d.Closed && line.size() > 2) line.pop_back();  // the ring closes itself
  sink.Polyline(std::move(line), d.Closed && v.size() > 2);
}

// Minor axis of an ellipse: the normal crossed with the major axis, scaled by the ratio.
Point2D MinorAxis(const Vector3& normal, double majorX, double majorY, double majorZ,
                  double ratio) {
  const double length = std::sqrt(normal.X * normal.X + normal.Y * normal.Y + normal.Z * normal.Z);
  if (!(length > 0)) return {-majorY * ratio, majorX * ratio};
  const double nx = normal.X / length, ny = normal.Y / length, nz = normal.Z / length;
  return {(ny * majorZ - nz * majorY) * ratio, (nz * majorX - nx * majorZ) * ratio};
}

void FlattenEllipse(const EntityRecord& record, ShapeSink& sink) {
  const auto& body = record.Body;
  const Point2D centre = PointOf(body, 10);
  const double mx = RealOf(body, 11, 1), my = RealOf(body, 21, 0), mz = RealOf(body, 31, 0);
  const double ratio = RealOf(body, 40, 1);
  double start = RealOf(body, 41, 0), end = RealOf(body, 42, 2 * kPi);
  if (!(std::fabs(end - start) < 1e6)) return;
  while (end <= start) end += 2 * kPi;
  std::vector<Point2D> points;
  AppendEllipse(points, centre, {mx, my}, MinorAxis(NormalOf(body), mx, my, mz, ratio), start, end,
                sink.Tolerance());
  const bool full = end - start >= 2 * kPi - 1e-9;
  if (full && points.size() > 2) points.pop_back();
  sink.Polyline(std::move(points), full);
}

void FlattenSpline(const EntityRecord& record, ShapeSink& sink) {
  int degree = 3, flags = 0;
  std::vector<double> knots, weights;
  std::vector<Point2D> control, fit;
  Point2D startTangent, endTangent;
  for (const DxfTag& tag : record.Body) {
    switch (tag.Code) {
      case 70:
        flags = ReadInt(tag);
        break;
      case 71:
        degree = ReadInt(tag);
        break;
      case 40:
        knots.push_back(ReadReal(tag));
        break;
      case 41:
        weights.push_back(ReadReal(tag));
        break;
      case 10:
        control.push_back({ReadReal(tag), 0});
        break;
      case 20:
        if (!control.empty()) control.back().Y = ReadReal(tag);
        break;
      case 11:
        fit.push_back({ReadReal(tag), 0});
        break;
      case 21:
        if (!fit.empty()) fit.back().Y = ReadReal(tag);
        break;
      case 12:
        startTangent.X = ReadReal(tag);
        break;
      case 22:
        startTangent.Y = ReadReal(tag);
        break;
      case 13:
        endTangent.X = ReadReal(tag);
        break;
      case 23:
        endTangent.Y = ReadReal(tag);
        break;
      default:
        break;
    }
  }
  std::vector<Point2D> points;
  const bool closed = (flags & 1) != 0;
  if (static_cast<int>(control.size()) > degree && degree >= 1) {
    AppendNurbs(points, degree, control, knots, weights, sink.Tolerance());
  } else {
    AppendFitSpline(points, fit, startTangent, endTangent, closed, sink.Tolerance());
  }
  sink.Polyline(std::move(points), false);
}

// The vertices of an old-style polyline's VERTEX followers, with their flags
// and the face indices of polyface records.
struct MeshVertex {
  Point2D At;
  int Flags = 0;
  int Index[4] = {0, 0, 0, 0};
};

std::vector<MeshVertex> MeshVertices(const DrawingEntity& entity) {
  std::vector<MeshVertex> vertices;
  for (std::span<const DxfTag> record : Followers(entity.Tags())) {
    if (record.front().Value != "VERTEX") continue;
    const auto body = RecordBody(record);
    MeshVertex v;
    v.At = PointOf(body, 10);
    v.Flags = IntOf(body, 70, 0);
    for (int k = 0; k < 4; ++k) v.Index[k] = IntOf(body, 71 + k, 0);
    vertices.push_back(v);
  }
  return vertices;
}

// Polyface meshes draw the visible edges of their faces; polygon meshes
// their grid of M by N vertices.
void FlattenMesh(const EntityRecord& record, ShapeSink& sink) {
  const int flags = IntOf(record.Body, 70, 0);
  const std::vector<MeshVertex> all = MeshVertices(record.Entity);
  if ((flags & 64) != 0) {
    std::vector<Point2D> corners;
    for (const MeshVertex& v : all) {
      if ((v.Flags & 64) != 0) corners.push_back(v.At);
    }
    for (const MeshVertex& face : all) {
      if ((face.Flags & 192) != 128) continue;
      int count = 0;
      while (count < 4 && face.Index[count] != 0) ++count;
      for (int k = 0; k < count; ++k) {
        const int from = face.Index[k], to = std::abs(face.Index[(k + 1) % count]);
        if (from <= 0) continue;  // a negative index hides the edge it starts
        if (from > static_cast<int>(corners.size()) || to == 0 ||
            to > static_cast<int>(corners.size())) {
          continue;
        }
        sink.Polyline({corners[from - 1], corners[to - 1]}, false);
      }
    }
    return;
  }
  const int m = IntOf(record.Body, 71, 0), n = IntOf(record.Body, 72, 0);
  if (m < 1 || n < 1 || static_cast<std::size_t>(m) * n > all.size()) return;
  for (int i = 0; i < m; ++i) {
    std::vector<Point2D> row;
    for (int j = 0; j < n; ++j) row.push_back(all[i * n + j].At);
    sink.Polyline(std::move(row), (flags & 32) != 0);
  }
  for (int j = 0; j < n; ++j) {
    std::vector<Point2D> column;
    for (int i = 0; i < m; ++i) column.push_back(all[i * n + j].At);
    sink.Polyline(std::move(column), (flags & 1) != 0);
  }
}

}  // namespace

void FlattenDecoded(const EntityRecord& record, ShapeSink& sink) {
  const DrawingEntity& entity = record.Entity;
  const EntityData& d = entity.Data();
  switch (entity.Kind()) {
    case EntityKind::Line:
      sink.Polyline({{d.Start.X, d.Start.Y}, {d.End.X, d.End.Y}}, false);
      break;
    case EntityKind::Circle:
    case EntityKind::Arc: {
      sink.SetLocal(OcsToWorld(NormalOf(record.Body), d.Centre.Z));
      const bool circle = entity.Kind() == EntityKind::Circle;
      double sweep = circle ? 360 : std::fmod(d.EndAngleDeg - d.StartAngleDeg, 360.0);
      if (!(sweep > 0)) sweep += 360;  // counter-clockwise; equal angles make a full turn
      std::vector<Point2D> points;
      const double start = circle ? 0 : d.StartAngleDeg * kDegToRad;
      AppendArc(points, {d.Centre.X, d.Centre.Y}, d.Radius, start, sweep * kDegToRad,
                sink.Tolerance());
      if (circle && points.size() > 2) points.pop_back();
      sink.Polyline(std::move(points), circle);
      break;
    }
    case EntityKind::LwPolyline:
    case EntityKind::Polyline2d:
    case EntityKind::Polyline3d:
      FlattenPolyline(record, sink);
      break;
    default:
      break;
  }
}

bool FlattenCurveKind(std::string_view type, const EntityRecord& record, ShapeSink& sink) {
  if (type == "ELLIPSE") {
    FlattenEllipse(record, sink);
  } else if (type == "SPLINE" || type == "HELIX") {
    FlattenSpline(record, sink);
  } else if (type == "POLYLINE") {
    FlattenMesh(record, sink);
  } else {
    return false;
  }
  return true;
}

}  // namespace veerline::cad
