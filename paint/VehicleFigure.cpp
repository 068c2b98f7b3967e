#include "paint/VehicleFigure.h"

#include <QPolygonF>
#include <array>
#include <cmath>

#include "engine/BodyGeometry.h"

namespace veerline::paint {
namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180;
constexpr double kCouplingRadiusMetres = 0.1;

// The first point of each tyre's 14 records and whether its last six sit
// after the rear axle's edge record.
struct TyreAt {
  int first;
  bool aroundEdge;
};

QPolygonF TyreOutline(const SegmentCorners& corners, const TyreAt& tyre, const QTransform& map) {
  QPolygonF outline;
  for (int k : {3, 2, 6, 7, 5, 4, 0, 1}) {
    const int record = tyre.first + k + (tyre.aroundEdge && k >= 8 ? 1 : 0);
    outline << map.map(QPointF(corners[record].X, corners[record].Y));
  }
  return outline;
}

}  // namespace

void PaintVehiclePose(QPainter& painter, const QTransform& toDevice, const Segments& segments,
                      int vehicleType, double metresPerUnit, const std::vector<UnitPose>& units,
                      double steeringDegrees, const VehicleColours& colours, double widthPixels) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  const double scale = std::hypot(toDevice.m11(), toDevice.m12());
  for (std::size_t k = 0; k < units.size() && k < segments.size(); ++k) {
    const UnitPose& unit = units[k];
    const SegmentRecord& segment = segments[k];
    QPolygonF body;
    for (const Point2D& p : unit.body) body << toDevice.map(QPointF(p.X, p.Y));
    painter.setPen(QPen(colours.body, widthPixels));
    painter.setBrush(colours.fill);
    painter.drawPolygon(body);

    if (segment.DrawCoupling && vehicleType > 1) {
      const double rad = unit.heading * kDegrees;
      const double back = segment.Wheelbase + segment.Hitch;
      const QPointF hitch = toDevice.map(QPointF(unit.front.X - back * std::cos(rad),
                                                 unit.front.Y - back * std::sin(rad)));
      const double r = kCouplingRadiusMetres / metresPerUnit * scale;
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(hitch, r, r);
    }

    SegmentCorners corners{};
    const double wheel = k == 0 ? steeringDegrees * kDegrees : 0;
    PlaceTyres(corners, unit.front, unit.rear, segment, wheel, wheel, vehicleType, metresPerUnit);
    std::vector<TyreAt> tyres = {{35, true}, {50, true}};
    if (segment.Kind == SegmentKind::TowingUnit) tyres.insert(tyres.begin(), {{7, false}, {21, false}});
    if (vehicleType != 5 && vehicleType != 7 && vehicleType != 8) {
      tyres.push_back({79, false});
      tyres.push_back({65, false});
    }
    painter.setPen(QPen(colours.wheel, widthPixels));
    painter.setBrush(colours.wheel);
    for (const TyreAt& tyre : tyres) painter.drawPolygon(TyreOutline(corners, tyre, toDevice));
  }
  painter.restore();
}

std::vector<UnitPose> StraightPose(const Segments& segments, double metresPerUnit) {
  std::vector<UnitPose> units;
  double front = 0;  // x of the guided point
  for (const SegmentRecord& s : segments) {
    UnitPose pose;
    pose.front = {front, 0};
    pose.rear = {front - s.Wheelbase, 0};
    const bool drawbar = s.Kind == SegmentKind::TowBarLink;
    // A drawbar is a narrow wedge, as the run draws it.
    const double frontHalf = drawbar ? 0.05 / metresPerUnit : s.VehicleWidth / 2;
    const double rearHalf = drawbar ? 0.3 / metresPerUnit : s.VehicleWidth / 2;
    const double tail = front - s.Wheelbase - s.Back;
    pose.body = {Point2D{front + s.Front, frontHalf}, Point2D{front + s.Front, -frontHalf},
                 Point2D{tail, -rearHalf}, Point2D{tail, rearHalf}};
    units.push_back(pose);
    front -= s.Wheelbase + s.Hitch;
  }
  return units;
}

}  // namespace veerline::paint
