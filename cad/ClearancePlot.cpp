#include "cad/ClearancePlot.h"

#include "cad/DrawingApplication.h"
#include "cad/DrawingOutput.h"
#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {
namespace {

constexpr double kMarkRadiusMetres = 0.5;
constexpr double kTextHeightMetres = 0.5;
// The dashes of the clearance line: 1 m drawn, 0.5 m gap.
constexpr double kDashMetres = 1.0, kGapMetres = 0.5;

// Makes the clearance layer dashed where the drawing can say so: the layer
// names the linetype, which is added in drawing units unless the drawing has one.
void MakeClearanceLayerDashed(CadDocument& document, double metresPerUnit) {
  auto* application = dynamic_cast<DrawingApplication*>(&document);
  if (application == nullptr) return;
  DrawingModel& drawing = application->Drawing();
  drawing.AddOrGetLayer(kLayerClearance).Linetype = kClearanceLinetype;
  drawing.AddLinetype(
      {kClearanceLinetype,
       "Dashed __ __ __",
       {MetresToUnits(kDashMetres, metresPerUnit), -MetresToUnits(kGapMetres, metresPerUnit)},
       false});
}

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
                       CadBlock& block, double metresPerUnit) {
  if (loops.empty()) return;
  CadApplication& application = connection.Application();
  connection.Document().AddLayer(kLayerClearance);
  MakeClearanceLayerDashed(connection.Document(), metresPerUnit);
  for (const auto& loop : loops) {
    if (loop.size() < 2) continue;
    DrawPolyline(application, block, loop, true, kColorByLayer, kLayerClearance);
  }
}

}  // namespace veerline::cad
