#include "paint/DesignReport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "paint/DrawingPainter.h"
#include "paint/ScaleBar.h"
#include "paint/VehicleFigure.h"

namespace veerline::paint {
namespace {

constexpr int kDotsPerInch = 300;
const QColor kFitColour(0, 120, 60);
const QColor kFailColour(190, 20, 20);

// The figures of the run, as the summary lists them.
std::vector<QStringList> SummaryRows(const RunResultModel& model, const ReportTitle& title,
                                     const NumberSymbols& symbols) {
  const RunFigures& f = model.figures;
  const QString unit = title.unitLabel.isEmpty() ? QString() : QStringLiteral(" ") + title.unitLabel;
  const QString deg = QStringLiteral("°");
  std::vector<QStringList> rows;
  const double steerLimit = model.segments.empty() ? 0 : model.segments.front().MaxTurningAngle;
  double articulationLimit = 0;
  for (std::size_t k = 1; k < model.segments.size(); ++k)
    if (model.segments[k].Kind != SegmentKind::TowBarLink)
      articulationLimit = articulationLimit == 0
                              ? model.segments[k].MaxSegmentAngle
                              : std::min(articulationLimit, model.segments[k].MaxSegmentAngle);
  rows.push_back({QStringLiteral("Path length"), Fixed(model.pathLength, 2, symbols) + unit});
  rows.push_back({QStringLiteral("Max steering"),
                  Fixed(f.maxSteeringAngle, 1, symbols) + deg + QStringLiteral("  (limit ") +
                      Fixed(steerLimit, 1, symbols) + deg + QStringLiteral(")")});
  if (model.segments.size() > 1)
    rows.push_back({QStringLiteral("Max articulation"),
                    Fixed(f.maxArticulationAngle, 1, symbols) + deg + QStringLiteral("  (limit ") +
                        Fixed(articulationLimit, 1, symbols) + deg + QStringLiteral(")")});
  rows.push_back({QStringLiteral("Lowest speed"),
                  Fixed(f.lowestSpeed, 1, symbols) + QStringLiteral(" ") + SpeedUnitName(model.speedUnit)});
  rows.push_back({QStringLiteral("Swept width"), Fixed(f.sweptWidth, 2, symbols) + (f.sweptWidth ? unit : QString())});
  if (model.clearance.Checked) {
    rows.push_back({QStringLiteral("Minimum clearance"),
                    Fixed(f.minimumClearance, 2, symbols) + (f.minimumClearance ? unit : QString())});
    rows.push_back({QStringLiteral("Clearance margin"), Fixed(model.clearance.Margin, 2, symbols) + unit});
    rows.push_back({QStringLiteral("Clearance conflicts"), QString::number(f.conflicts)});
  }
  return rows;
}

QString DirectionText(const RunResultModel& model) {
  if (model.legs.size() <= 1)
    return !model.legs.empty() && model.legs.front().reverse ? QStringLiteral("reverse")
                                                             : QStringLiteral("forward");
  QStringList legs;
  for (const ManoeuvreLeg& leg : model.legs)
    legs << (leg.reverse ? QStringLiteral("reverse ") : QStringLiteral("forward ")) +
                QString::fromStdString(leg.handle);
  return QStringLiteral("%1 legs: ").arg(model.legs.size()) + legs.join(QStringLiteral(", "));
}

// The column beside the drawing: the verdict, the title block, the figures
// and what the drawing's marks mean.
void PaintSidebar(const Sheet& sheet, const RunResultModel& model, const ReportTitle& title,
                  const QRectF& column) {
  const NumberSymbols& symbols = sheet.symbols;
  const double x = column.left(), w = column.width();
  const bool fits = ReportFits(model);
  const QRectF verdictBox = sheet.MmRect(x, column.top(), w, 17);
  sheet.painter.save();
  sheet.painter.setPen(Qt::NoPen);
  sheet.painter.setBrush(fits ? QColor(225, 244, 232) : QColor(252, 228, 228));
  sheet.painter.drawRect(verdictBox);
  sheet.painter.restore();
  // The verdict as large as it fits, a line for the stop and one for the conflicts.
  const QString verdict = ReportVerdict(model, symbols).replace(QStringLiteral("; "), QStringLiteral("\n"));
  const QRectF inner = verdictBox.adjusted(sheet.Mm(3), sheet.Mm(1), -sheet.Mm(2), -sheet.Mm(1));
  double points = fits ? 18 : 13;
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
  while (points > 7) {
    sheet.painter.setFont(sheet.Font(points, true));
    const QRectF needed = sheet.painter.boundingRect(inner, flags, verdict);
    if (needed.width() <= inner.width() && needed.height() <= inner.height()) break;
    points -= 0.5;
  }
  sheet.Text(inner, flags, verdict, points, true, fits ? kFitColour : kFailColour);

  const QString speed = title.speed ? Fixed(title.speed, 1, symbols) + QStringLiteral(" ") +
                                          SpeedUnitName(model.speedUnit)
                                    : QStringLiteral("–");
  const std::vector<QStringList> block = {
      {QStringLiteral("Drawing"), title.drawingFile},
      {QStringLiteral("Date"), title.date},
      {QStringLiteral("Vehicle"), title.vehicleName},
      {QStringLiteral("Source"), title.vehicleSource},
      {QStringLiteral("Speed"), speed},
      {model.legs.size() > 1 ? QStringLiteral("Legs") : QStringLiteral("Direction"),
       DirectionText(model)}};
  double y = column.top() + 21;
  for (const QStringList& row : block) {
    sheet.Text(sheet.MmRect(x, y, 17, 4.6), Qt::AlignLeft | Qt::AlignVCenter, row[0], 8, true,
               QColor(70, 70, 70));
    sheet.Text(sheet.MmRect(x + 17, y, w - 17, 4.6), Qt::AlignLeft | Qt::AlignVCenter, row[1], 8);
    y += 4.6;
  }
  y += 3;
  y += PaintTable(sheet, x, y, {w * 0.47, w * 0.53}, {QStringLiteral("Figure"), QStringLiteral("Value")},
                  SummaryRows(model, title, symbols), 7.5) + 5;

  // The legend of the drawing's marks.
  QPainter& p = sheet.painter;
  auto key = [&](const QString& text, auto&& draw) {
    p.save();
    draw(sheet.MmRect(x + 1, y + 0.8, 6, 3));
    p.restore();
    sheet.Text(sheet.MmRect(x + 9, y, w - 9, 4.6), Qt::AlignLeft | Qt::AlignVCenter, text, 7.5);
    y += 4.6;
  };
  key(QStringLiteral("swept envelope"), [&](const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 150, 0, 80));
    p.drawRect(r);
  });
  key(QStringLiteral("outlines, sweep lines (drawing colours)"), [&](const QRectF& r) {
    p.setPen(QPen(QColor(0, 160, 0), sheet.Mm(0.3)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, r.height() * 0.2, 0, -r.height() * 0.2));
  });
  if (!model.clearance.Conflicts.empty())
    key(QStringLiteral("conflict, numbered as in the table"), [&](const QRectF& r) {
      p.setPen(QPen(kFailColour, sheet.Mm(0.4)));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(r.center(), r.height() / 2, r.height() / 2);
    });
}

// The drawing around the swept path at a round scale, the envelope shaded,
// the conflicts marked and numbered, with the scale stated and a scale bar.
void PaintRunDrawing(const Sheet& sheet, const cad::DrawingModel& drawing,
                     const RunResultModel& model, const ReportTitle& title, const QRectF& boxMm) {
  QPainter& p = sheet.painter;
  // The drawing's frame, and below it the scale.
  const QRectF areaMm(boxMm.left(), boxMm.top(), boxMm.width(), boxMm.height() - 9);
  const QRectF area = sheet.MmRect(areaMm.left(), areaMm.top(), areaMm.width(), areaMm.height());
  const std::optional<QRectF> run = RunBounds(model);
  DrawingPainter painter(drawing);
  QRectF region = run ? *run : painter.Extents().value_or(QRectF(0, 0, 1, 1));
  const double pad = std::max(region.width(), region.height()) * 0.03;
  region.adjust(-pad, -pad, pad, pad);
  const double mpu = model.metresPerUnit > 0 ? model.metresPerUnit : 1;
  const double n = std::max(RoundScale(region.width() * mpu, areaMm.width()),
                            RoundScale(region.height() * mpu, areaMm.height()));
  const double pixelsPerUnit = sheet.Mm(1000.0 * mpu / n);
  const QSizeF world(area.width() / pixelsPerUnit, area.height() / pixelsPerUnit);
  const QRectF shown(region.center().x() - world.width() / 2,
                     region.center().y() - world.height() / 2, world.width(), world.height());
  const QSize screen(static_cast<int>(area.width()), static_cast<int>(area.height()));
  painter.View().FitInto(shown, QRectF(QPointF(0, 0), QSizeF(screen)));

  p.save();
  p.translate(area.topLeft());
  p.setClipRect(QRectF(QPointF(0, 0), QSizeF(screen)));
  RenderOptions options;
  options.scaleBar = false;
  options.symbols = sheet.symbols;
  painter.Paint(p, screen, options);

  const QTransform toScreen = painter.View().ToScreen();
  if (!model.envelopeRight.empty() && !model.envelopeLeft.empty()) {
    QPolygonF envelope;
    for (const Point2D& q : model.envelopeRight) envelope << toScreen.map(QPointF(q.X, q.Y));
    for (auto it = model.envelopeLeft.rbegin(); it != model.envelopeLeft.rend(); ++it)
      envelope << toScreen.map(QPointF(it->X, it->Y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 150, 0, 55));
    p.drawPolygon(envelope);
  }
  // A run stopped by a limit: the vehicle where it stopped, in the stop's colour.
  if (model.figures.stopStation) {
    if (const std::optional<std::size_t> stop = model.StopPose()) {
      VehicleColours colours;
      colours.body = kFailColour;
      colours.fill = QColor(190, 20, 20, 45);
      colours.wheel = kFailColour;
      const StationReadings readings = model.ReadingsAt(*stop);
      PaintVehiclePose(p, toScreen, model.segments, model.vehicleType, mpu, model.poses[*stop],
                       readings.steering.value_or(0), colours, sheet.Mm(0.3));
      const Point2D at = model.poses[*stop].front().front;
      const QPointF label = toScreen.map(QPointF(at.X, at.Y));
      sheet.Text(QRectF(label.x() + sheet.Mm(3), label.y() - sheet.Mm(6), sheet.Mm(40), sheet.Mm(4)),
                 Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("stop at %1 m").arg(Fixed(*model.figures.stopStation * mpu, 1, sheet.symbols)),
                 7.5, true, kFailColour);
    }
  }
  int number = 0;
  for (const ObstacleClearance& c : model.clearance.Conflicts) {
    const QPointF at = toScreen.map(QPointF(c.Nearest.X, c.Nearest.Y));
    const double r = sheet.Mm(2.2);
    p.setPen(QPen(kFailColour, sheet.Mm(0.4)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, r, r);
    const QRectF label(at.x() + r * 0.8, at.y() - r * 2.6, sheet.Mm(5), sheet.Mm(4));
    p.setBrush(kFailColour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(label.center(), sheet.Mm(2), sheet.Mm(2));
    sheet.Text(label, Qt::AlignCenter, QString::number(++number), 7, true, Qt::white);
  }
  p.restore();

  // The scale stated, and a bar of a round length, under the frame.
  const double unitsPerMm = n / 1000.0 / mpu;  // drawing units a millimetre of paper holds
  const double barUnits = ScaleBarLength(areaMm.width() / 4 * unitsPerMm);
  const double barMm = barUnits / unitsPerMm;
  const QString paper = sheet.WidthMm() > 350 ? QStringLiteral("A3") : QStringLiteral("A4");
  const double y0 = areaMm.bottom() + 2;
  sheet.Text(sheet.MmRect(areaMm.left(), y0, 40, 6), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Scale 1:%1 on %2").arg(QString::number(n, 'f', 0), paper), 8, true);
  const double x0 = areaMm.left() + 42;
  p.save();
  p.setPen(QPen(Qt::black, sheet.Mm(0.2)));
  for (int i = 0; i < 4; ++i) {
    p.setBrush(i % 2 == 0 ? QBrush(Qt::black) : QBrush(Qt::white));
    p.drawRect(sheet.MmRect(x0 + barMm * i / 4, y0 + 3.7, barMm / 4, 1.4));
  }
  p.restore();
  const QString unit = title.unitLabel.isEmpty() ? QString() : QStringLiteral(" ") + title.unitLabel;
  sheet.Text(sheet.MmRect(x0 - 4, y0, 8, 3.6), Qt::AlignCenter, QStringLiteral("0"), 6.5);
  sheet.Text(sheet.MmRect(x0 + barMm - 10, y0, 20, 3.6), Qt::AlignCenter,
             Fixed(barUnits, barUnits < 1 ? 2 : 0, sheet.symbols) + unit, 6.5);
  p.save();
  p.setPen(QPen(Qt::black, sheet.Mm(0.25)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area);
  p.restore();
}

void PaintRunPage(const Sheet& sheet, const cad::DrawingModel& drawing, const RunResultModel& model,
                  const ReportTitle& title) {
  const QRectF body = PageBodyMm(sheet);
  const double column = 64;
  PaintRunDrawing(sheet, drawing, model, title,
                  QRectF(body.left(), body.top(), body.width() - column - 5, body.height()));
  PaintSidebar(sheet, model, title,
               QRectF(body.right() - column, body.top(), column, body.height()));
}

// The conflicts, nearest first, numbered as on the first page's drawing;
// rows that do not fit go on to further pages.
int ClearanceTablePages(const Sheet* sheet, const RunResultModel& model, const ReportTitle& title,
                        int firstPage, int count) {
  const std::vector<ObstacleClearance>& conflicts = model.clearance.Conflicts;
  if (conflicts.empty()) return 0;
  const int perPage = sheet == nullptr ? 26 : std::max(1, static_cast<int>((PageBodyMm(*sheet).height() - 20) / 4.7));
  const int pages = (static_cast<int>(conflicts.size()) + perPage - 1) / perPage;
  if (sheet == nullptr) return pages;
  const NumberSymbols& s = sheet->symbols;
  const QString unit = title.unitLabel.isEmpty() ? QString() : QStringLiteral(" (") + title.unitLabel + QStringLiteral(")");
  for (int page = 0; page < pages; ++page) {
    if (page > 0) static_cast<QPagedPaintDevice*>(sheet->painter.device())->newPage();
    PaintPageFrame(*sheet, QStringLiteral("Clearance conflicts"), title, firstPage + page, count);
    const QRectF body = PageBodyMm(*sheet);
    sheet->Text(sheet->MmRect(body.left(), body.top(), body.width(), 6), Qt::AlignLeft | Qt::AlignVCenter,
                QStringLiteral("Obstacles on layer(s) %1 within the margin of %2%3, nearest first.")
                    .arg(QString::fromStdString([&] {
                           std::string text;
                           for (const std::string& l : model.clearance.Layers) text += (text.empty() ? "" : ", ") + l;
                           return text;
                         }()),
                         Fixed(model.clearance.Margin, 2, s), title.unitLabel.isEmpty() ? QString() : QStringLiteral(" ") + title.unitLabel),
                9);
    std::vector<QStringList> rows;
    for (int i = page * perPage; i < std::min<int>(conflicts.size(), (page + 1) * perPage); ++i) {
      const ObstacleClearance& c = conflicts[i];
      rows.push_back({QString::number(i + 1), QString::fromStdString(c.Layer), QString::fromStdString(c.Handle),
                      Fixed(c.Distance, 2, s), Fixed(c.Station, 1, s), Fixed(c.Nearest.X, 2, s),
                      Fixed(c.Nearest.Y, 2, s), Fixed(c.FirstStation, 1, s), Fixed(c.LastStation, 1, s)});
    }
    const double w = body.width();
    PaintTable(*sheet, body.left(), body.top() + 8,
               {w * 0.06, w * 0.16, w * 0.1, w * 0.11, w * 0.11, w * 0.12, w * 0.12, w * 0.11, w * 0.11},
               {QStringLiteral("No."), QStringLiteral("Layer"), QStringLiteral("Handle"),
                QStringLiteral("Distance") + unit, QStringLiteral("At station"), QStringLiteral("X"),
                QStringLiteral("Y"), QStringLiteral("From station"), QStringLiteral("To station")},
               rows, 9);
  }
  return pages;
}

}  // namespace

int ReportPageCount(const RunResultModel& model) {
  return 3 + ClearanceTablePages(nullptr, model, {}, 0, 0);
}

QByteArray DesignReportPdf(const cad::DrawingModel& drawing, const RunResultModel& model,
                           const ReportTitle& title, Paper paper, const NumberSymbols& symbols) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kDotsPerInch);
    writer.setTitle(QStringLiteral("Swept path design check: ") + title.vehicleName);
    writer.setCreator(QStringLiteral("Veerline"));
    writer.setPageLayout(QPageLayout(QPageSize(paper == Paper::A3 ? QPageSize::A3 : QPageSize::A4),
                                     QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    const double unitsPerMm = kDotsPerInch / 25.4;
    const QRectF page(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
    const Sheet sheet{painter, unitsPerMm, page, symbols};
    const int count = ReportPageCount(model);
    PaintPageFrame(sheet, QStringLiteral("Swept path on the drawing"), title, 1, count);
    PaintRunPage(sheet, drawing, model, title);
    writer.newPage();
    PaintPageFrame(sheet, QStringLiteral("Vehicle"), title, 2, count);
    PaintVehiclePage(sheet, model, title);
    writer.newPage();
    PaintPageFrame(sheet, QStringLiteral("Steering, articulation and speed"), title, 3, count);
    PaintDiagramPage(sheet, model, title);
    if (count > 3) {
      writer.newPage();
      ClearanceTablePages(&sheet, model, title, 4, count);
    }
  }
  return bytes;
}

}  // namespace veerline::paint
