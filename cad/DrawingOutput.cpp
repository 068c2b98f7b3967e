#include "cad/DrawingOutput.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "engine/Rounding.h"

namespace veerline::cad {

int ListIndexToColor(int position) {
  if (position >= 1 && position <= 7) return position;
  return kColorByLayer;
}

int ReadColour(ColourSettings& settings, const ColourKey& key, const NumberSymbols& symbols) {
  const std::string text = settings.Read(key.key, key.defaultValue);
  const std::optional<double> value = TryParseFieldNumber(text, symbols);
  if (!value) throw ConversionError{};
  const double position = RoundHalfEven(*value);
  if (!(position >= -32768 && position <= 32767)) throw std::overflow_error("Overflow");
  return ListIndexToColor(static_cast<int>(position));
}

double MetresToUnits(double metres, double metresPerUnit) {
  if (metresPerUnit == 0) throw std::domain_error("Division by zero");
  return metres / metresPerUnit;
}

CadEntity& DrawPolyline(CadApplication& application, CadBlock& block,
                        const std::vector<Point2D>& vertices, std::optional<bool> closed,
                        int colorIndex, const std::string& layer) {
  std::vector<double> xyz;
  xyz.reserve(vertices.size() * 3);
  for (const Point2D& p : vertices) {
    xyz.push_back(p.X);
    xyz.push_back(p.Y);
    xyz.push_back(0);
  }
  return DrawPolyline(application, block, xyz, closed, colorIndex, layer);
}

CadEntity& DrawPolyline(CadApplication& application, CadBlock& block,
                        const std::vector<double>& xyz, std::optional<bool> closed,
                        int colorIndex, const std::string& layer) {
  CadEntity& entity = block.AddLightWeightPolyline(application.ConvertArrayToPoints(xyz));
  if (closed) entity.SetClosed(*closed);
  entity.SetColorIndex(colorIndex);
  entity.SetLayer(layer);
  return entity;
}

namespace {

// A point from the CAD application's library, set to (x, y, 0).
CadPoint MakePoint(CadApplication& application, const Point2D& p) {
  CadPoint point = application.CreatePoint();
  point.X = p.X;
  point.Y = p.Y;
  point.Z = 0;
  return point;
}

}  // namespace

CadEntity& DrawCircle(CadApplication& application, CadBlock& block, const Point2D& centre,
                      double radius, int colorIndex, const std::string& layer) {
  CadEntity& entity = block.AddCircle(MakePoint(application, centre), radius);
  entity.SetColorIndex(colorIndex);
  entity.SetLayer(layer);
  return entity;
}

CadEntity& DrawText(CadApplication& application, CadBlock& block, const std::string& value,
                    const Point2D& at, double height, int colorIndex, const std::string& layer) {
  const CadPoint point = MakePoint(application, at);
  CadEntity& entity = block.AddText(value, point, height);
  entity.SetHorizontalAlignment(kAlignMiddle);
  entity.SetTextAlignmentPoint(point);
  entity.SetInsertionPoint(point);
  entity.SetColorIndex(colorIndex);
  entity.SetLayer(layer);
  return entity;
}

RunBlocks CreateRunBlocks(CadApplication& application, CadDocument& document,
                          const RunBlockNames& names) {
  const CadPoint origin = application.CreatePoint();
  RunBlocks blocks;
  blocks.vehicle = &document.AddBlock(origin, names.vehicle);
  blocks.sweep = &document.AddBlock(origin, names.sweep);
  blocks.envelope = &document.AddBlock(origin, names.envelope);
  return blocks;
}

void InsertRunBlock(CadDocument& document, const std::string& name) {
  document.InsertBlock(CadPoint{0, 0, 0}, name, 1, 1, 1, 0);
}

void ReportDrawingFailure(Host& host, const std::string& tag) {
  host.ShowMessage(MessageKind::Warning, kFailureTitle, CurrentFailureDescription() + tag);
}

}  // namespace veerline::cad
