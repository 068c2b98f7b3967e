#include "cad/ClearancePlot.h"

#include "cad/DrawingOutput.h"

namespace veerline::cad {
namespace {

constexpr double kMarkRadiusMetres = 0.5;
constexpr double kTextHeightMetres = 0.5;

}  // namespace

void DrawConflictMarks(const std::vector<ObstacleClearance>& conflicts, CadConnection& connection,
                       CadBlock& block, double metresPerUnit, const NumberSymbols& symbols) {
  if (conflicts.empty()) return;
  CadApplication& application = connection.Application();
  connection.Document().AddLayer(kLayerConflict);
  const double radius = MetresToUnits(kMarkRadiusMetres, metresPerUnit);
  const double height = MetresToUnits(kTextHeightMetres, metresPerUnit);
  for (const ObstacleClearance& c : conflicts) {
    DrawCircle(application, block, c.Nearest, radius, kMarkColorIndex, kLayerConflict);
    const Point2D textAt{c.Nearest.X, c.Nearest.Y + radius + height};
    DrawText(application, block, DistanceText(c.Distance, symbols), textAt, height, kMarkColorIndex,
             kLayerConflict);
  }
}

void DrawClearanceLine(const std::vector<std::vector<Point2D>>& loops, CadConnection& connection,
                       CadBlock& block) {
  if (loops.empty()) return;
  CadApplication& application = connection.Application();
  connection.Document().AddLayer(kLayerClearance);
  for (const auto& loop : loops) {
    if (loop.size() < 2) continue;
    DrawPolyline(application, block, loop, true, kColorByLayer, kLayerClearance);
  }
}

}  // namespace veerline::cad
