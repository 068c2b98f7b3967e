// The report's vehicle page: the vehicle standing straight, drawn to a round
// scale with its lengths dimensioned, and a table of its dimensions and limits.

#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "paint/ReportSheet.h"
#include "paint/VehicleFigure.h"

namespace veerline::paint {
namespace {

const QColor kDimensionColour(60, 60, 60);


QString KindName(SegmentKind kind, std::size_t index) {
  switch (kind) {
    case SegmentKind::TowingUnit: return index == 0 ? QStringLiteral("Towing unit") : QStringLiteral("Unit");
    case SegmentKind::TowBarLink: return QStringLiteral("Drawbar");
    case SegmentKind::Trailer: return QStringLiteral("Trailer");
    case SegmentKind::None: break;
  }
  return QStringLiteral("Unit");
}

// A horizontal dimension between two device x positions at a device height,
// its text centred above the line.
void Dimension(const Sheet& sheet, double x1, double x2, double y, double reachY, const QString& text,
               bool textBelow = false) {
  if (std::fabs(x2 - x1) < sheet.Mm(0.5)) return;
  QPainter& p = sheet.painter;
  p.save();
  p.setPen(QPen(kDimensionColour, sheet.Mm(0.15)));
  p.drawLine(QPointF(x1, y), QPointF(x2, y));
  p.drawLine(QPointF(x1, reachY), QPointF(x1, y - sheet.Mm(1)));
  p.drawLine(QPointF(x2, reachY), QPointF(x2, y - sheet.Mm(1)));
  for (double x : {x1, x2}) {
    const double d = (x == x1 ? 1 : -1) * (x2 > x1 ? 1 : -1) * sheet.Mm(1.2);
    QPolygonF arrow;
    arrow << QPointF(x, y) << QPointF(x + d, y - sheet.Mm(0.4)) << QPointF(x + d, y + sheet.Mm(0.4));
    p.setBrush(kDimensionColour);
    p.drawPolygon(arrow);
  }
  p.restore();
  const double mid = (x1 + x2) / 2;
  sheet.Text(QRectF(mid - sheet.Mm(15), textBelow ? y + sheet.Mm(0.6) : y - sheet.Mm(4), sheet.Mm(30),
                    sheet.Mm(3.6)),
             Qt::AlignHCenter | (textBelow ? Qt::AlignTop : Qt::AlignBottom), text, 7, false,
             kDimensionColour);
}

}  // namespace

void PaintVehiclePage(const Sheet& sheet, const RunResultModel& model, const ReportTitle& title) {
  const QRectF body = PageBodyMm(sheet);
  const NumberSymbols& s = sheet.symbols;
  const double mpu = model.metresPerUnit > 0 ? model.metresPerUnit : 1;
  const std::vector<UnitPose> units = StraightPose(model.segments, mpu);
  if (units.empty()) return;
  double minX = 0, maxX = 0, halfWidth = 0;
  for (const UnitPose& u : units)
    for (const Point2D& q : u.body) {
      minX = std::min(minX, q.X);
      maxX = std::max(maxX, q.X);
      halfWidth = std::max(halfWidth, std::fabs(q.Y));
    }
  const std::size_t n = units.size();
  const double figureHeightMm = body.height() * 0.55;
  const double dimensionsMm = 7.0 * static_cast<double>(n) + 6;
  const double scale = std::max(RoundScale((maxX - minX) * mpu, body.width() - 30),
                                RoundScale(2 * halfWidth * mpu, figureHeightMm - 2 * dimensionsMm));
  const double unitsPerDevice = 1.0 / sheet.Mm(1000.0 * mpu / scale);
  const double k = 1 / unitsPerDevice;  // device units per drawing unit
  const double cx = sheet.page.left() + sheet.Mm(body.center().x());
  const double cy = sheet.page.top() + sheet.Mm(body.top() + figureHeightMm / 2 + 4);
  const QTransform map(k, 0, 0, -k, cx - (minX + maxX) / 2 * k, cy);

  VehicleColours colours;
  PaintVehiclePose(sheet.painter, map, model.segments, model.vehicleType, mpu, units, 0, colours,
                   sheet.Mm(0.3));

  const QString unit = title.unitLabel;
  auto len = [&](double v) { return Fixed(v, 2, s); };
  const double top = cy - halfWidth * k;
  const double bottom = cy + halfWidth * k;
  for (std::size_t i = 0; i < n; ++i) {
    const SegmentRecord& seg = model.segments[i];
    const UnitPose& u = units[i];
    const double f = u.front.X, front = f + seg.Front, rear = f - seg.Wheelbase,
                 tail = rear - seg.Back;
    const double y = top - sheet.Mm(5 + 7.0 * static_cast<double>(n - 1 - i));
    auto x = [&](double v) { return map.map(QPointF(v, 0)).x(); };
    Dimension(sheet, x(front), x(f), y, top - sheet.Mm(1), len(seg.Front));
    Dimension(sheet, x(f), x(rear), y, top - sheet.Mm(1), len(seg.Wheelbase));
    Dimension(sheet, x(rear), x(tail), y, top - sheet.Mm(1), len(seg.Back));
    if (i + 1 < n && seg.Hitch != 0) {
      const double yb = bottom + sheet.Mm(6 + 7.0 * static_cast<double>(i));
      Dimension(sheet, x(rear), x(rear - seg.Hitch), yb, bottom + sheet.Mm(1),
                QStringLiteral("hitch ") + len(seg.Hitch), true);
    }
  }
  sheet.Text(QRectF(map.map(QPointF(maxX, 0)).x() - sheet.Mm(30), top - sheet.Mm(7.0 * n + 9), sheet.Mm(30),
                    sheet.Mm(4)),
             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("front, direction of travel →"), 7.5,
             true, kDimensionColour);
  // The width at the front of the first unit.
  {
    QPainter& p = sheet.painter;
    const double xw = map.map(QPointF(maxX, 0)).x() + sheet.Mm(6);
    const double w = model.segments.front().VehicleWidth;
    p.save();
    p.setPen(QPen(kDimensionColour, sheet.Mm(0.15)));
    p.drawLine(QPointF(xw, cy - w / 2 * k), QPointF(xw, cy + w / 2 * k));
    p.drawLine(QPointF(xw - sheet.Mm(1), cy - w / 2 * k), QPointF(xw + sheet.Mm(1), cy - w / 2 * k));
    p.drawLine(QPointF(xw - sheet.Mm(1), cy + w / 2 * k), QPointF(xw + sheet.Mm(1), cy + w / 2 * k));
    p.restore();
    sheet.Text(QRectF(xw + sheet.Mm(1.5), cy - sheet.Mm(2), sheet.Mm(25), sheet.Mm(4)),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("width ") + len(w), 7, false,
               kDimensionColour);
  }
  sheet.Text(sheet.MmRect(body.left(), body.top(), body.width(), 5), Qt::AlignLeft | Qt::AlignVCenter,
             title.vehicleName + QStringLiteral(" — plan, scale 1:") + QString::number(scale, 'f', 0) +
                 (unit.isEmpty() ? QString() : QStringLiteral(", lengths in ") + unit),
             9, true);

  const QString deg = QStringLiteral("°");
  std::vector<QStringList> rows;
  for (std::size_t i = 0; i < n; ++i) {
    const SegmentRecord& seg = model.segments[i];
    rows.push_back({QStringLiteral("%1  %2").arg(i + 1).arg(KindName(seg.Kind, i)),
                    len(seg.VehicleWidth), len(seg.WheelWidth), len(seg.Front), len(seg.Wheelbase),
                    len(seg.Back), i + 1 < n ? len(seg.Hitch) : QStringLiteral("–"),
                    i == 0 ? Fixed(seg.MaxTurningAngle, 1, s) + deg : QStringLiteral("–"),
                    i > 0 && seg.Kind != SegmentKind::TowBarLink ? Fixed(seg.MaxSegmentAngle, 1, s) + deg
                                                                 : QStringLiteral("–")});
  }
  const double w = body.width();
  const double tableTop = body.top() + figureHeightMm + 10;
  const double used = PaintTable(
      sheet, body.left(), tableTop,
      {w * 0.16, w * 0.1, w * 0.1, w * 0.11, w * 0.1, w * 0.11, w * 0.1, w * 0.11, w * 0.11},
      {QStringLiteral("Unit"), QStringLiteral("Width"), QStringLiteral("Wheel track"),
       QStringLiteral("Front overhang"), QStringLiteral("Wheelbase"), QStringLiteral("Rear overhang"),
       QStringLiteral("Hitch"), QStringLiteral("Max steering"), QStringLiteral("Max articulation")},
      rows, 8.5);
  QString extra = QStringLiteral("Overall length %1%2").arg(len(model.vehicleLength),
                                                             unit.isEmpty() ? QString() : QStringLiteral(" ") + unit);
  if (title.lockToLock)
    extra += QStringLiteral("   ·   lock-to-lock time %1 s").arg(Fixed(title.lockToLock, 1, s));
  extra += QStringLiteral("   ·   hitch: from the rear axle forward is negative");
  sheet.Text(sheet.MmRect(body.left(), tableTop + used + 2, w, 5), Qt::AlignLeft | Qt::AlignVCenter,
             extra, 8.5);
}

}  // namespace veerline::paint
