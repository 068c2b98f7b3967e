#include "cad/LimitMarks.h"

#include <cmath>
#include <stdexcept>

#include "cad/DrawingOutput.h"
#include "engine/NumberRule.h"
#include "engine/Rounding.h"

namespace veerline::cad {
namespace {

constexpr double kArmMetres = 5;
constexpr double kLineWidthMetres = 0.1;
constexpr double kTextHeightMetres = 1;

// The point `length` from `from` in the direction of (to - from) times `sense`.
Point2D Along(const Point2D& from, const Point2D& to, double length, double sense) {
  const double distance = std::hypot(to.X - from.X, to.Y - from.Y);
  if (distance == 0) throw std::domain_error("Division by zero");
  return {from.X + sense * length * (to.X - from.X) / distance,
          from.Y + sense * length * (to.Y - from.Y) / distance};
}

}  // namespace

void PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b, double angleDegrees,
                          const std::string& layer, double metresPerUnit, CadConnection& connection,
                          CadBlock& vehicleBlock, Host& host) {
  try {
    connection.Attach();
    CadApplication& application = connection.Application();
    connection.Document().AddLayer(layer);

    const double arm = MetresToUnits(kArmMetres, metresPerUnit);
    const double width = MetresToUnits(kLineWidthMetres, metresPerUnit);
    const double height = MetresToUnits(kTextHeightMetres, metresPerUnit);
    const Point2D p1 = Along(v, a, arm, 1);
    const Point2D p2 = Along(v, b, arm, -1);

    CadEntity& mark =
        DrawPolyline(application, vehicleBlock, {p1, v, p2}, false, kMarkColorIndex, layer);
    mark.SetWidth(0, width, width);
    mark.SetWidth(1, width, width);

    const Point2D middle{(p1.X + p2.X) / 2, (p1.Y + p2.Y) / 2};
    const std::string value =
        FormatFieldNumber(std::fabs(RoundHalfEven(angleDegrees, 1)), host.Symbols());
    DrawText(application, vehicleBlock, value, middle, height, kMarkColorIndex, layer);
  } catch (...) {
    ReportDrawingFailure(host, " Plot Exceede Segment angle");
  }
}

}  // namespace veerline::cad
