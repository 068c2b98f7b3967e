// Flattening of the line kinds read from their own groups: XLINE and RAY
// (lines without end, which the sink cuts where the drawing ends), MLINE (its
// element lines, closed or with the end caps of its style) and MESH (the edges
// of its faces, as its control mesh lies).

#include <algorithm>
#include <cmath>

#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

void FlattenEndlessLine(const EntityRecord& record, bool bothWays, ShapeSink& sink) {
  const Point2D base = PointOf(record.Body, 10), direction = PointOf(record.Body, 11);
  if (direction.X == 0 && direction.Y == 0) return sink.Dot(base);  // seen end on
  sink.InfiniteLine(base, direction, bothWays);
}

// One vertex of a multiline: where it lies, the way its miter runs, and each
// element's distance from it along the miter.
struct MLineVertex {
  Point2D At, Miter;
  std::vector<double> Offsets;
};

std::vector<MLineVertex> MLineVertices(std::span<const DxfTag> body) {
  std::vector<MLineVertex> vertices;
  bool firstParameter = false;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const DxfTag& tag = body[i];
    if (tag.Code == 11) {
      vertices.emplace_back().At = {ReadReal(tag), 0};
    } else if (vertices.empty()) {
      continue;
    } else if (tag.Code == 21) {
      vertices.back().At.Y = ReadReal(tag);
    } else if (tag.Code == 13) {
      vertices.back().Miter.X = ReadReal(tag);
    } else if (tag.Code == 23) {
      vertices.back().Miter.Y = ReadReal(tag);
    } else if (tag.Code == 74) {
      firstParameter = true;
      if (ReadInt(tag) == 0) {
        vertices.back().Offsets.push_back(0);
        firstParameter = false;
      }
    } else if (tag.Code == 41 && firstParameter) {
      // The first parameter places the element; the others mark its breaks.
      vertices.back().Offsets.push_back(ReadReal(tag));
      firstParameter = false;
    }
  }
  return vertices;
}

// The end cap flags of the multiline's style: 16 a line at the start, 64
// an outer arc at the start, 256 and 1024 the same at the end.
void AddMLineCap(const std::vector<Point2D>& ends, bool round, const Point2D& outward,
                 ShapeSink& sink) {
  if (ends.size() < 2) return;
  const Point2D& a = ends.front();
  const Point2D& b = ends.back();
  if (!round) return sink.Polyline({a, b}, false);
  // A half circle from one outer element to the other, bulging outward.
  const double turn = (b.X - a.X) * outward.Y - (b.Y - a.Y) * outward.X;
  std::vector<Point2D> arc{a};
  AppendBulge(arc, a, b, turn > 0 ? 1 : -1, sink.Tolerance());
  sink.Polyline(std::move(arc), false);
}

void FlattenMLine(const EntityRecord& record, std::span<const DxfTag> style, ShapeSink& sink) {
  const std::vector<MLineVertex> vertices = MLineVertices(record.Body);
  if (vertices.empty()) return;
  const bool closed = (IntOf(record.Body, 71, 0) & 2) != 0;
  std::size_t elements = vertices.front().Offsets.size();
  for (const MLineVertex& v : vertices) elements = std::min(elements, v.Offsets.size());
  // Elements by their offset, so the outermost two come first and last.
  std::vector<std::size_t> order(elements);
  for (std::size_t e = 0; e < elements; ++e) order[e] = e;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return vertices.front().Offsets[a] < vertices.front().Offsets[b];
  });
  std::vector<Point2D> starts, ends;
  for (std::size_t e : order) {
    std::vector<Point2D> line;
    for (const MLineVertex& v : vertices) {
      line.push_back({v.At.X + v.Miter.X * v.Offsets[e], v.At.Y + v.Miter.Y * v.Offsets[e]});
    }
    starts.push_back(line.front());
    ends.push_back(line.back());
    sink.Polyline(std::move(line), closed && vertices.size() > 2);
  }
  if (closed || vertices.size() < 2) return;
  const int own = IntOf(record.Body, 71, 0), caps = IntOf(style, 70, 0);
  const Point2D& first = vertices[0].At;
  const Point2D& second = vertices[1].At;
  const Point2D& last = vertices.back().At;
  const Point2D& beforeLast = vertices[vertices.size() - 2].At;
  if ((own & 4) == 0 && (caps & (16 | 64)) != 0) {
    AddMLineCap(starts, (caps & 64) != 0, {first.X - second.X, first.Y - second.Y}, sink);
  }
  if ((own & 8) == 0 && (caps & (256 | 1024)) != 0) {
    AddMLineCap(ends, (caps & 1024) != 0, {last.X - beforeLast.X, last.Y - beforeLast.Y}, sink);
  }
}

// A subdivision mesh: its vertices (92 and 10) and its faces as a list of
// counts each followed by that many vertex indices (93, then 90s).
void FlattenSubdivisionMesh(const EntityRecord& record, ShapeSink& sink) {
  const auto& body = record.Body;
  std::vector<Point2D> vertices;
  std::vector<int> faceList;
  std::size_t i = 0;
  while (i < body.size() && body[i].Code != 92) ++i;
  if (i == body.size()) return;
  const int vertexCount = ReadInt(body[i++]);
  for (; i < body.size() && body[i].Code != 93; ++i) {
    if (body[i].Code == 10 && static_cast<int>(vertices.size()) < vertexCount)
      vertices.push_back({ReadReal(body[i]), 0});
    if (body[i].Code == 20 && !vertices.empty()) vertices.back().Y = ReadReal(body[i]);
  }
  if (i == body.size()) return;
  const int listSize = ReadInt(body[i++]);
  for (; i < body.size() && body[i].Code == 90 && static_cast<int>(faceList.size()) < listSize; ++i)
    faceList.push_back(ReadInt(body[i]));
  for (std::size_t k = 0; k < faceList.size();) {
    const int count = faceList[k++];
    if (count <= 0 || k + count > faceList.size()) break;
    std::vector<Point2D> face;
    for (int j = 0; j < count; ++j) {
      const int index = faceList[k + j];
      if (index >= 0 && index < static_cast<int>(vertices.size())) face.push_back(vertices[index]);
    }
    k += count;
    sink.Polyline(std::move(face), count > 2);
  }
}

}  // namespace

void CutEndlessLines(DrawingGeometry& geometry, const std::vector<EndlessLine>& lines) {
  if (lines.empty()) return;
  std::vector<bool> endless(geometry.Pieces.size(), false);
  for (const EndlessLine& line : lines) endless[line.Piece] = true;
  DrawingExtents box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  auto grow = [&box](const DrawingExtents& more) {
    box = {std::min(box.MinX, more.MinX), std::min(box.MinY, more.MinY),
           std::max(box.MaxX, more.MaxX), std::max(box.MaxY, more.MaxY)};
  };
  for (std::size_t i = 0; i < geometry.Pieces.size(); ++i) {
    if (!endless[i]) grow(PieceBounds(geometry.Pieces[i]));
  }
  for (const EndlessLine& line : lines) {
    const Point2D& base = geometry.Pieces[line.Piece].Points.front();
    grow({base.X, base.Y, base.X, base.Y});
  }
  const double diagonal = std::hypot(box.MaxX - box.MinX, box.MaxY - box.MinY);
  const double margin = diagonal > 0 ? diagonal / 50 : 1;
  box = {box.MinX - margin, box.MinY - margin, box.MaxX + margin, box.MaxY + margin};
  for (const EndlessLine& line : lines) {
    std::vector<Point2D>& points = geometry.Pieces[line.Piece].Points;
    const Point2D base = points.front();
    const Point2D d{points.back().X - base.X, points.back().Y - base.Y};
    // The base lies in the box: the line leaves it once each way.
    double from = line.BothWays ? -INFINITY : 0, to = INFINITY;
    const double low[2] = {box.MinX - base.X, box.MinY - base.Y};
    const double high[2] = {box.MaxX - base.X, box.MaxY - base.Y};
    const double step[2] = {d.X, d.Y};
    for (int axis = 0; axis < 2; ++axis) {
      if (step[axis] == 0) continue;
      const double a = low[axis] / step[axis], b = high[axis] / step[axis];
      from = std::max(from, std::min(a, b));
      to = std::min(to, std::max(a, b));
    }
    points = {{base.X + d.X * from, base.Y + d.Y * from}, {base.X + d.X * to, base.Y + d.Y * to}};
  }
}

bool FlattenLineKind(std::string_view type, const EntityRecord& record,
                     std::span<const DxfTag> style, ShapeSink& sink) {
  if (type == "XLINE" || type == "RAY") {
    FlattenEndlessLine(record, type == "XLINE", sink);
  } else if (type == "MLINE") {
    FlattenMLine(record, style, sink);
  } else if (type == "MESH") {
    FlattenSubdivisionMesh(record, sink);
  } else {
    return false;
  }
  return true;
}

}  // namespace veerline::cad
