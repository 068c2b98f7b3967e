#include "cad/VehicleOutline.h"

#include <array>
#include <vector>

namespace veerline::cad {
namespace {

constexpr double kCouplingRadiusMetres = 0.1;

// Record indices of one tyre's 14 block points.
using TyreRecords = std::array<int, 14>;

// A tyre stored in 14 consecutive records.
TyreRecords Consecutive(int first) {
  TyreRecords records;
  for (int k = 0; k < 14; ++k) records[k] = first + k;
  return records;
}

// A rear axle A tyre: points 0..7 from `first`, points 8..13 after the axle edge record.
TyreRecords AroundEdge(int first) {
  TyreRecords records;
  for (int k = 0; k < 14; ++k) records[k] = first + k + (k >= 8 ? 1 : 0);
  return records;
}

struct OutlineStyle {
  CadApplication& application;
  CadBlock& block;
  const std::string& layer;
  int wheelColour;
  int treadColour;
};

// One tyre: the chamfered octagon, then the three tread lines.
void DrawTyre(const OutlineStyle& style, const SegmentCorners& corners,
              const TyreRecords& records) {
  std::vector<Point2D> outline;
  for (int k : {3, 2, 6, 7, 5, 4, 0, 1}) outline.push_back(corners[records[k]]);
  DrawPolyline(style.application, style.block, outline, true, style.wheelColour, style.layer);
  for (int k : {8, 10, 12}) {
    DrawPolyline(style.application, style.block, {corners[records[k]], corners[records[k + 1]]},
                 false, style.treadColour, style.layer);
  }
}

}  // namespace

void PlotSegment(const SegmentCorners& corners, const std::string& layer,
                 const SegmentRecord& segment, int vehicleType, double metresPerUnit,
                 CadConnection& connection, CadBlock& vehicleBlock, ColourSettings& colours,
                 Host& host) {
  try {
    connection.AttachApplication();
    CadApplication& application = connection.Application();
    connection.Document().AddLayer(layer);
    host.SetStatusText(0, "Plotting Vehicle....Please Wait");

    const NumberSymbols symbols = host.Symbols();
    // Outlines of reverse legs have a colour of their own.
    const int bodyColour = ReadColour(
        colours, layer == kLayerReverse ? kVehicleReverseOutlineColor : kVehicleBodyOutlineColor,
        symbols);
    const int wheelColour = ReadColour(colours, kWheelOutlineColor, symbols);
    const int treadColour = ReadColour(colours, kTyreTreadColor, symbols);

    DrawPolyline(application, vehicleBlock, {corners[3], corners[5], corners[4], corners[2]}, true,
                 bodyColour, layer);
    if (segment.DrawCoupling) {
      DrawCircle(application, vehicleBlock, corners[6],
                 MetresToUnits(kCouplingRadiusMetres, metresPerUnit), bodyColour, layer);
    }

    const OutlineStyle style{application, vehicleBlock, layer, wheelColour, treadColour};
    if (segment.Kind == SegmentKind::TowingUnit) {
      DrawTyre(style, corners, Consecutive(7));
      DrawTyre(style, corners, Consecutive(21));
    }
    DrawTyre(style, corners, AroundEdge(35));
    DrawTyre(style, corners, AroundEdge(50));
    if (vehicleType == 5 || vehicleType == 7 || vehicleType == 8) return;
    DrawTyre(style, corners, Consecutive(79));
    DrawTyre(style, corners, Consecutive(65));
  } catch (...) {
    ReportDrawingFailure(host, " PlotSegment");
  }
}

}  // namespace veerline::cad
