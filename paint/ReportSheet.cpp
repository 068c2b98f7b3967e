#include "paint/ReportSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/Rounding.h"

namespace veerline::paint {
namespace {

constexpr double kFrameMm = 10;    // free border of the page
constexpr double kHeadingMm = 9;   // the heading's band
constexpr double kFooterMm = 6;    // the footer's band

}  // namespace

QFont Sheet::Font(double points, bool bold) const {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(points);
  font.setBold(bold);
  // No ligatures: text copied from the PDF reads as typed ("fl", not one glyph).
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void Sheet::Text(const QRectF& box, int flags, const QString& text, double points, bool bold,
                 const QColor& colour) const {
  painter.save();
  painter.setFont(Font(points, bold));
  painter.setPen(colour);
  painter.drawText(box, flags, text);
  painter.restore();
}

QString Fixed(std::optional<double> value, int decimals, const NumberSymbols& symbols) {
  if (!value || !std::isfinite(*value)) return QStringLiteral("–");
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer,
                                     RoundHalfEven(*value, decimals) + 0.0,  // no "-0.0"
                                     std::chars_format::fixed, decimals);
  std::string text(buffer, written.ec == std::errc() ? written.ptr : buffer);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, symbols.decimal);
  return QString::fromStdString(text);
}

QString SpeedUnitName(int speedUnit) {
  return speedUnit == 1 ? QStringLiteral("mph")
         : speedUnit == 2 ? QStringLiteral("m/s")
                          : QStringLiteral("km/h");
}

double RoundScale(double metres, double millimetres) {
  const double needed = metres * 1000 / std::max(millimetres, 1.0);
  for (double power = 1; power < 1e9; power *= 10)
    for (double n : {1.0, 2.0, 2.5, 5.0})
      if (n * power >= needed) return n * power;
  return 1e9;
}

bool ReportFits(const RunResultModel& model) {
  return model.outcome == RunOutcome::Completed && model.figures.conflicts == 0;
}

QString ReportVerdict(const RunResultModel& model, const NumberSymbols& symbols) {
  const RunFigures& f = model.figures;
  std::optional<double> metres;
  if (f.stopStation) metres = *f.stopStation * model.metresPerUnit;
  const QString at = metres ? QStringLiteral(" at station %1 m").arg(Fixed(metres, 1, symbols))
                            : QString();
  QString stop;
  switch (model.outcome) {
    case RunOutcome::Completed: break;
    case RunOutcome::FrontWheel: stop = QStringLiteral("Steering limit exceeded") + at; break;
    case RunOutcome::Articulation: stop = QStringLiteral("Articulation limit exceeded") + at; break;
    case RunOutcome::LockToLock: stop = QStringLiteral("Steering rate limit exceeded") + at; break;
    case RunOutcome::Cancelled: stop = QStringLiteral("Stopped on request") + at; break;
    case RunOutcome::Ended: stop = QStringLiteral("The run did not start"); break;
  }
  QString conflicts;
  if (f.conflicts > 0)
    conflicts = f.conflicts == 1 ? QStringLiteral("1 clearance conflict")
                                 : QStringLiteral("%1 clearance conflicts").arg(f.conflicts);
  if (stop.isEmpty() && conflicts.isEmpty()) return QStringLiteral("Fits");
  if (stop.isEmpty()) return conflicts;
  if (conflicts.isEmpty()) return stop;
  return stop + QStringLiteral("; ") + conflicts;
}

// The drawing region the run covers: its envelope, stations and bodies.
std::optional<QRectF> RunBounds(const RunResultModel& model) {
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  auto add = [&](const Point2D& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
    minX = std::min(minX, p.X);
    minY = std::min(minY, p.Y);
    maxX = std::max(maxX, p.X);
    maxY = std::max(maxY, p.Y);
  };
  for (const Point2D& p : model.envelopeRight) add(p);
  for (const Point2D& p : model.envelopeLeft) add(p);
  for (const PathStation& s : model.stations) add(s.StationPoint);
  for (const auto& station : model.poses)
    for (const UnitPose& unit : station)
      for (const Point2D& p : unit.body) add(p);
  if (!(minX <= maxX)) return std::nullopt;
  return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

bool PoseIsStop(const RunResultModel& model, std::size_t pose) {
  return model.figures.stopStation && !model.poses.empty() && model.StopPose() == pose;
}

QString StationReadout(const RunResultModel& model, std::size_t pose, const NumberSymbols& symbols) {
  const double mpu = model.metresPerUnit > 0 ? model.metresPerUnit : 1;
  const StationReadings r = model.ReadingsAt(pose);
  const QString deg = QStringLiteral("°");
  QStringList parts;
  parts << QStringLiteral("Station %1 m").arg(Fixed(model.StationDistance(pose) * mpu, 1, symbols));
  const bool reverse = pose < model.reverseAt.size() && model.reverseAt[pose];
  parts << (reverse ? QStringLiteral("reverse") : QStringLiteral("forward"));
  parts << QStringLiteral("steering %1").arg(Fixed(r.steering, 1, symbols) + deg);
  QStringList articulation;
  for (const std::optional<double>& a : r.articulation)
    if (a) articulation << Fixed(a, 1, symbols) + deg;
  if (!articulation.isEmpty())
    parts << QStringLiteral("articulation %1").arg(articulation.join(QStringLiteral(" / ")));
  parts << QStringLiteral("speed %1 %2").arg(Fixed(r.speed, 1, symbols), SpeedUnitName(model.speedUnit));
  QString text = parts.join(QStringLiteral("  ·  "));
  if (PoseIsStop(model, pose))
    text += QStringLiteral("  ·  STOP: ") + ReportVerdict(model, symbols);
  return text;
}

QRectF PageBodyMm(const Sheet& sheet) {
  constexpr double kPad = 4;
  return {kFrameMm + kPad, kFrameMm + kHeadingMm + kPad, sheet.WidthMm() - 2 * (kFrameMm + kPad),
          sheet.HeightMm() - 2 * kFrameMm - kHeadingMm - kFooterMm - 2 * kPad};
}

void PaintPageFrame(const Sheet& sheet, const QString& heading, const ReportTitle& title,
                    int page, int count) {
  QPainter& p = sheet.painter;
  const double w = sheet.WidthMm() - 2 * kFrameMm;
  const double h = sheet.HeightMm() - 2 * kFrameMm;
  p.save();
  p.setPen(QPen(Qt::black, sheet.Mm(0.35)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(sheet.MmRect(kFrameMm, kFrameMm, w, h));
  p.drawLine(QPointF(sheet.page.left() + sheet.Mm(kFrameMm),
                     sheet.page.top() + sheet.Mm(kFrameMm + kHeadingMm)),
             QPointF(sheet.page.left() + sheet.Mm(kFrameMm + w),
                     sheet.page.top() + sheet.Mm(kFrameMm + kHeadingMm)));
  const double footerTop = kFrameMm + h - kFooterMm;
  p.setPen(QPen(Qt::black, sheet.Mm(0.2)));
  p.drawLine(QPointF(sheet.page.left() + sheet.Mm(kFrameMm), sheet.page.top() + sheet.Mm(footerTop)),
             QPointF(sheet.page.left() + sheet.Mm(kFrameMm + w),
                     sheet.page.top() + sheet.Mm(footerTop)));
  p.restore();
  sheet.Text(sheet.MmRect(kFrameMm + 3, kFrameMm, w - 6, kHeadingMm),
             Qt::AlignLeft | Qt::AlignVCenter, heading, 13, true);
  sheet.Text(sheet.MmRect(kFrameMm + 3, kFrameMm, w - 6, kHeadingMm),
             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Swept path design check"), 9);
  const QString footer = title.drawingFile + QStringLiteral("  ·  ") + title.vehicleName +
                         QStringLiteral("  ·  ") + title.date;
  sheet.Text(sheet.MmRect(kFrameMm + 3, footerTop, w - 6, kFooterMm),
             Qt::AlignLeft | Qt::AlignVCenter, footer, 7);
  sheet.Text(sheet.MmRect(kFrameMm + 3, footerTop, w - 6, kFooterMm),
             Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("Veerline  ·  page %1 of %2").arg(page).arg(count), 7);
}

double PaintTable(const Sheet& sheet, double xMm, double yMm, const std::vector<double>& widthsMm,
                  const QStringList& header, const std::vector<QStringList>& rows,
                  double points) {
  const double rowMm = points * 0.55;
  QPainter& p = sheet.painter;
  double total = 0;
  for (double w : widthsMm) total += w;
  auto cells = [&](const QStringList& texts, double y, bool bold) {
    double x = xMm;
    for (int c = 0; c < texts.size() && c < static_cast<int>(widthsMm.size()); ++c) {
      sheet.Text(sheet.MmRect(x + 1, y, widthsMm[c] - 2, rowMm),
                 (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, texts[c], points,
                 bold);
      x += widthsMm[c];
    }
  };
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(225, 230, 238));
  p.drawRect(sheet.MmRect(xMm, yMm, total, rowMm));
  p.restore();
  cells(header, yMm, true);
  double y = yMm + rowMm;
  for (std::size_t r = 0; r < rows.size(); ++r, y += rowMm) {
    if (r % 2 == 1) {
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(244, 246, 249));
      p.drawRect(sheet.MmRect(xMm, y, total, rowMm));
      p.restore();
    }
    cells(rows[r], y, false);
  }
  p.save();
  p.setPen(QPen(QColor(120, 120, 120), sheet.Mm(0.15)));
  p.drawLine(QPointF(sheet.page.left() + sheet.Mm(xMm), sheet.page.top() + sheet.Mm(y)),
             QPointF(sheet.page.left() + sheet.Mm(xMm + total), sheet.page.top() + sheet.Mm(y)));
  p.restore();
  return y - yMm;
}

}  // namespace veerline::paint
