// Flattening of the area and marker kinds: SOLID, TRACE, 3DFACE, POINT, the
// frame of IMAGE, and WIPEOUT (an area hiding what lies under it).

#include <cmath>

#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

bool Same(const Point2D& a, const Point2D& b) { return a.X == b.X && a.Y == b.Y; }

// SOLID and TRACE: corners in the order 1, 2, 4, 3 make the outline; a
// missing fourth corner repeats the third (a triangle).
void FlattenSolid(const EntityRecord& record, ShapeSink& sink) {
  const auto& body = record.Body;
  sink.SetLocal(OcsToWorld(NormalOf(body), RealOf(body, 30, 0)));
  const Point2D p1 = PointOf(body, 10), p2 = PointOf(body, 11), p3 = PointOf(body, 12);
  const Point2D p4 = PointOf(body, 13, p3);
  std::vector<Point2D> ring{p1, p2, p4};
  if (!Same(p3, p4)) ring.push_back(p3);
  sink.Fill(ring, {}, false, false);
  sink.Polyline(std::move(ring), true);
}

// 3DFACE: its edges, except those its flags hide (1, 2, 4, 8 for edges one to four).
void Flatten3dFace(const EntityRecord& record, ShapeSink& sink) {
  const auto& body = record.Body;
  const Point2D p[4] = {PointOf(body, 10), PointOf(body, 11), PointOf(body, 12),
                        PointOf(body, 13, PointOf(body, 12))};
  const int hidden = IntOf(body, 70, 0);
  const int corners = Same(p[2], p[3]) ? 3 : 4;
  if ((hidden & 15) == 0) {
    sink.Polyline({p, p + corners}, true);
    return;
  }
  for (int k = 0; k < corners; ++k) {
    const int bit = (k == corners - 1) ? 8 : (1 << k);
    if ((hidden & bit) == 0) sink.Polyline({p[k], p[(k + 1) % corners]}, false);
  }
}

// IMAGE and WIPEOUT: the clipping boundary when there is one, else the whole
// picture. Boundary points are pixel positions, y down from the top row.
std::vector<Point2D> ImageFrame(const EntityRecord& record) {
  const auto& body = record.Body;
  const Point2D origin = PointOf(body, 10), u = PointOf(body, 11), v = PointOf(body, 12);
  const Point2D size = PointOf(body, 13, {1, 1});
  std::vector<Point2D> boundary;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i].Code == 14) boundary.push_back({ReadReal(body[i]), 0});
    if (body[i].Code == 24 && !boundary.empty()) boundary.back().Y = ReadReal(body[i]);
  }
  const int clipType = IntOf(body, 71, 1);
  if (clipType == 1 && boundary.size() == 2) {
    const Point2D a = boundary[0], b = boundary[1];
    boundary = {a, {b.X, a.Y}, b, {a.X, b.Y}};
  } else if (boundary.size() < 3) {
    boundary = {
        {-0.5, -0.5}, {size.X - 0.5, -0.5}, {size.X - 0.5, size.Y - 0.5}, {-0.5, size.Y - 0.5}};
  }
  if (boundary.size() > 3 && Same(boundary.front(), boundary.back())) boundary.pop_back();
  std::vector<Point2D> frame;
  for (const Point2D& q : boundary) {
    const double s = q.X + 0.5, t = size.Y - 0.5 - q.Y;
    frame.push_back({origin.X + u.X * s + v.X * t, origin.Y + u.Y * s + v.Y * t});
  }
  return frame;
}

}  // namespace

bool FlattenAreaKind(std::string_view type, const EntityRecord& record, ShapeSink& sink) {
  if (type == "SOLID" || type == "TRACE") {
    FlattenSolid(record, sink);
  } else if (type == "3DFACE") {
    Flatten3dFace(record, sink);
  } else if (type == "POINT") {
    sink.Dot(PointOf(record.Body, 10));
  } else if (type == "IMAGE") {
    sink.Polyline(ImageFrame(record), true);
  } else {
    return false;
  }
  return true;
}

void FlattenWipeout(const EntityRecord& record, bool frame, ShapeSink& sink) {
  std::vector<Point2D> ring = ImageFrame(record);
  sink.Mask(ring);
  if (frame) sink.Polyline(std::move(ring), true);
}

}  // namespace veerline::cad
