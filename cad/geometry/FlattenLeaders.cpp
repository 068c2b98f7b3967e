// Flattening of LEADER (its vertices and arrowhead) and MULTILEADER (leader
// lines, arrowheads, dog-legs and the text of its content).

#include <cmath>

#include "cad/dxf/DxfText.h"
#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

// A closed arrowhead with its tip at `tip`, pointing away from `from`.
void AddArrowhead(const Point2D& tip, const Point2D& from, double size, ShapeSink& sink) {
  const double dx = tip.X - from.X, dy = tip.Y - from.Y, length = std::hypot(dx, dy);
  if (!(size > 0) || !(length > 0)) return;
  const double ux = dx / length, uy = dy / length, half = size / 6;
  const Point2D back{tip.X - ux * size, tip.Y - uy * size};
  sink.Fill(
      {tip, {back.X - uy * half, back.Y + ux * half}, {back.X + uy * half, back.Y - ux * half}}, {},
      false, false);
}

// The arrowhead size a leader's own dimension-style overrides set
// (extended data: group 1070 naming DIMASZ (41), then its 1040 value).
double OverriddenArrowSize(std::span<const DxfTag> body, double fallback) {
  for (std::size_t i = 0; i + 1 < body.size(); ++i) {
    if (body[i].Code == 1070 && ReadInt(body[i]) == 41 && body[i + 1].Code == 1040) {
      return ReadReal(body[i + 1]);
    }
  }
  return fallback;
}

}  // namespace

void FlattenLeader(const EntityRecord& record, double arrowSize, ShapeSink& sink) {
  std::vector<Point2D> vertices;
  for (const DxfTag& tag : record.Body) {
    if (tag.Code == 10) vertices.push_back({ReadReal(tag), 0});
    if (tag.Code == 20 && !vertices.empty()) vertices.back().Y = ReadReal(tag);
  }
  if (vertices.size() < 2) return;
  if (IntOf(record.Body, 71, 1) != 0) {
    AddArrowhead(vertices[0], vertices[1], OverriddenArrowSize(record.Body, arrowSize), sink);
  }
  if (IntOf(record.Body, 72, 0) == 1) {
    std::vector<Point2D> curve;
    AppendFitSpline(curve, vertices, {}, {}, false, sink.Tolerance());
    vertices = std::move(curve);
  }
  sink.Polyline(std::move(vertices), false);
}

void FlattenMultiLeader(const EntityRecord& record, ShapeSink& sink) {
  enum class Scope { Entity, Context, Leader, Line };
  Scope scope = Scope::Entity;
  MTextFrame frame;
  std::string content;
  double arrowSize = 0;
  bool lineTypeSeen = false, linesShown = true;
  Point2D lastPoint, dogleg;
  double doglegLength = 0;
  std::vector<Point2D> line;
  std::vector<std::vector<Point2D>> lines;
  std::vector<std::pair<Point2D, Point2D>> doglegs;
  for (const DxfTag& tag : record.Body) {
    const int code = tag.Code;
    if (code == 300) scope = Scope::Context;
    if (code == 301) scope = Scope::Entity;
    if (code == 302) scope = Scope::Leader, doglegLength = 0;
    if (code == 303) {
      scope = Scope::Context;
      if (doglegLength > 0) {
        doglegs.push_back(
            {lastPoint,
             {lastPoint.X + dogleg.X * doglegLength, lastPoint.Y + dogleg.Y * doglegLength}});
      }
    }
    if (code == 304 && scope == Scope::Leader) {
      scope = Scope::Line;
      line.clear();
      continue;
    }
    if (code == 305) {
      scope = Scope::Leader;
      line.push_back(lastPoint);
      lines.push_back(line);
    }
    switch (scope) {
      case Scope::Context:
        if (code == 304) content = tag.Value;
        if (code == 41) frame.Height = ReadReal(tag);
        if (code == 140) arrowSize = ReadReal(tag);
        if (code == 12) frame.Insertion.X = ReadReal(tag);
        if (code == 22) frame.Insertion.Y = ReadReal(tag);
        if (code == 13) frame.Direction.X = ReadReal(tag);
        if (code == 23) frame.Direction.Y = ReadReal(tag);
        if (code == 43) frame.WrapWidth = ReadReal(tag);
        if (code == 45) frame.LineSpacing = ReadReal(tag);
        if (code == 171) frame.Attachment = ReadInt(tag);
        break;
      case Scope::Leader:
        if (code == 10) lastPoint.X = ReadReal(tag);
        if (code == 20) lastPoint.Y = ReadReal(tag);
        if (code == 11) dogleg.X = ReadReal(tag);
        if (code == 21) dogleg.Y = ReadReal(tag);
        if (code == 40) doglegLength = ReadReal(tag);
        break;
      case Scope::Line:
        if (code == 10) line.push_back({ReadReal(tag), 0});
        if (code == 20 && !line.empty()) line.back().Y = ReadReal(tag);
        break;
      case Scope::Entity:
        // Leader line type: 0 hides the lines.
        if (code == 170 && !lineTypeSeen) {
          linesShown = ReadInt(tag) != 0;
          lineTypeSeen = true;
        }
        break;
    }
  }
  if (linesShown) {
    for (auto& points : lines) {
      if (points.size() >= 2) AddArrowhead(points[0], points[1], arrowSize, sink);
      sink.Polyline(std::move(points), false);
    }
    for (const auto& [from, to] : doglegs) sink.Polyline({from, to}, false);
  }
  if (!content.empty()) LayOutMText(PlainMText(DecodeDxfText(content, record.Coding)), frame, sink);
}

}  // namespace veerline::cad
