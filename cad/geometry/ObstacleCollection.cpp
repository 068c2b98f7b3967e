#include "cad/geometry/ObstacleCollection.h"

#include <algorithm>
#include <unordered_map>

#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {
namespace {

bool SameLayerName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

bool Chosen(const std::vector<std::string>& layers, const std::string& layer) {
  return std::any_of(layers.begin(), layers.end(),
                     [&](const std::string& chosen) { return SameLayerName(chosen, layer); });
}

// Adds one piece of geometry to its obstacle: a polyline (closed ones repeat
// their first point), each ring of a filled area as a closed polyline, or a point.
void AddPiece(const GeometryPiece& piece, Obstacle& obstacle) {
  const auto& points = piece.Points;
  switch (piece.Kind) {
    case PieceKind::Polyline: {
      if (points.empty()) return;
      auto& line = obstacle.Polylines.emplace_back(points);
      if (piece.Closed && points.size() > 2) line.push_back(points.front());
      return;
    }
    case PieceKind::Fill: {
      std::size_t begin = 0;
      for (const std::uint32_t end : piece.RingEnds) {
        if (end > points.size() || end <= begin) continue;
        auto& ring = obstacle.Polylines.emplace_back(points.begin() + begin, points.begin() + end);
        ring.push_back(ring.front());
        begin = end;
      }
      return;
    }
    case PieceKind::Point:
      obstacle.Points.insert(obstacle.Points.end(), points.begin(), points.end());
      return;
    case PieceKind::Text:
      return;
  }
}

}  // namespace

std::vector<Obstacle> CollectObstacles(const DrawingModel& drawing,
                                       const std::vector<std::string>& layers,
                                       double chordTolerance) {
  std::vector<Obstacle> obstacles;
  if (layers.empty()) return obstacles;
  GeometryOptions options;
  options.ChordTolerance = chordTolerance;
  // A chosen layer counts even while it is off or frozen in the drawing.
  options.HiddenLayersToo = true;
  const DrawingGeometry geometry = BuildDrawingGeometry(drawing, options);
  std::vector<char> chosen(geometry.LayerNames.size());
  for (std::size_t i = 0; i < chosen.size(); ++i)
    chosen[i] = Chosen(layers, geometry.LayerNames[i]);

  std::unordered_map<const DrawingEntity*, std::size_t> byOwner;
  for (const GeometryPiece& piece : geometry.Pieces) {
    if (piece.Owner == nullptr || piece.Kind == PieceKind::Text) continue;
    if (piece.Layer >= chosen.size() || !chosen[piece.Layer]) continue;
    auto [at, added] = byOwner.try_emplace(piece.Owner, obstacles.size());
    if (added) {
      // A reference on a chosen layer is reported on it, whatever its parts are on.
      const std::string& own = piece.Owner->Data().Layer;
      obstacles.push_back({piece.Owner->Handle(),
                           Chosen(layers, own) ? own : geometry.LayerNames[piece.Layer],
                           {},
                           {}});
    }
    AddPiece(piece, obstacles[at->second]);
  }
  std::erase_if(obstacles,
                [](const Obstacle& o) { return o.Polylines.empty() && o.Points.empty(); });
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
