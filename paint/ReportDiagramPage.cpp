// The report's diagram page: the steering angle, the articulation angles and
// the speed along the path, with axes in metres and in degrees or speed, the
// limits as lines and the stop station marked.

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "paint/ReportSheet.h"

namespace veerline::paint {
namespace {

const QColor kLimitColour(200, 30, 30);
const QColor kGridColour(215, 215, 215);

struct Series {
  const Track* track;
  double scale;  // track value to the axis' unit
  QColor colour;
  QString name;
};

struct Limit {
  double value;
  QString name;
};

// A round step for about `count` divisions of a span.
double NiceStep(double span, int count) {
  if (!(span > 0)) return 1;
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

class Chart {
 public:
  Chart(const Sheet& sheet, const QRectF& boxMm, double xMax, double yMin, double yMax)
      : mSheet(sheet), mXMax(xMax > 0 ? xMax : 1), mYMin(yMin), mYMax(yMax > yMin ? yMax : yMin + 1) {
    // Room on the left for the values, below for the stations.
    mPlot = sheet.MmRect(boxMm.left() + 16, boxMm.top() + 6, boxMm.width() - 20, boxMm.height() - 14);
  }

  QPointF At(double x, double y) const {
    return {mPlot.left() + x / mXMax * mPlot.width(),
            mPlot.bottom() - (y - mYMin) / (mYMax - mYMin) * mPlot.height()};
  }

  void Axes(const QString& heading, const QString& yUnit) const {
    QPainter& p = mSheet.painter;
    const NumberSymbols& s = mSheet.symbols;
    const double xStep = NiceStep(mXMax, 10), yStep = NiceStep(mYMax - mYMin, 6);
    p.save();
    p.setPen(QPen(kGridColour, mSheet.Mm(0.12)));
    for (double x = 0; x <= mXMax * (1 + 1e-9); x += xStep) {
      p.drawLine(At(x, mYMin), At(x, mYMax));
      mSheet.Text(QRectF(At(x, mYMin).x() - mSheet.Mm(8), mPlot.bottom() + mSheet.Mm(0.8), mSheet.Mm(16),
                         mSheet.Mm(3.5)),
                  Qt::AlignHCenter | Qt::AlignTop, Fixed(x, xStep < 1 ? 1 : 0, s), 7);
    }
    for (double y = std::ceil(mYMin / yStep) * yStep; y <= mYMax * (1 + 1e-9) + 1e-12; y += yStep) {
      p.setPen(QPen(std::fabs(y) < 1e-9 ? QColor(150, 150, 150) : kGridColour, mSheet.Mm(0.12)));
      p.drawLine(At(0, y), At(mXMax, y));
      mSheet.Text(QRectF(mPlot.left() - mSheet.Mm(15), At(0, y).y() - mSheet.Mm(1.8), mSheet.Mm(14),
                         mSheet.Mm(3.6)),
                  Qt::AlignRight | Qt::AlignVCenter, Fixed(y, yStep < 1 ? 1 : 0, s), 7);
    }
    p.setPen(QPen(Qt::black, mSheet.Mm(0.25)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(mPlot);
    p.restore();
    mSheet.Text(QRectF(mPlot.left(), mPlot.top() - mSheet.Mm(5.5), mPlot.width(), mSheet.Mm(5)),
                Qt::AlignLeft | Qt::AlignVCenter, heading + QStringLiteral(" (") + yUnit + QStringLiteral(")"),
                9, true);
    mSheet.Text(QRectF(mPlot.left(), mPlot.top() - mSheet.Mm(5.5), mPlot.width(), mSheet.Mm(5)),
                Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("station along the path (m)"), 7);
  }

  void Curve(const Series& series, double metresPerUnit) const {
    QPainterPath path;
    bool open = false;
    for (const TrackRow& row : *series.track) {
      if (!row.Value || !std::isfinite(*row.Value)) {
        open = false;
        continue;
      }
      const double y = std::clamp(*row.Value * series.scale, mYMin, mYMax);
      const QPointF q = At(row.Distance * metresPerUnit, y);
      if (open) path.lineTo(q); else path.moveTo(q);
      open = true;
    }
    QPainter& p = mSheet.painter;
    p.save();
    p.setClipRect(mPlot);
    p.setPen(QPen(series.colour, mSheet.Mm(0.35)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
  }

  void LimitLine(const Limit& limit) const {
    if (limit.value < mYMin || limit.value > mYMax) return;
    QPainter& p = mSheet.painter;
    p.save();
    p.setPen(QPen(kLimitColour, mSheet.Mm(0.3), Qt::DashLine));
    p.drawLine(At(0, limit.value), At(mXMax, limit.value));
    p.restore();
    const double y = At(0, limit.value).y();
    const bool below = limit.value > 0;
    mSheet.Text(QRectF(At(mXMax, limit.value).x() - mSheet.Mm(60),
                       below ? y + mSheet.Mm(0.3) : y - mSheet.Mm(3.7), mSheet.Mm(59), mSheet.Mm(3.4)),
                (below ? Qt::AlignTop : Qt::AlignBottom) | Qt::AlignRight, limit.name, 6.5, false,
                kLimitColour);
  }

  void Stop(double x, const QString& text) const {
    QPainter& p = mSheet.painter;
    p.save();
    p.setPen(QPen(kLimitColour, mSheet.Mm(0.4)));
    p.drawLine(At(x, mYMin), At(x, mYMax));
    p.restore();
    p.save();
    p.setFont(mSheet.Font(6.5, true));
    const QRectF box = p.boundingRect(QRectF(At(x, 0).x() + mSheet.Mm(0.8), mPlot.top() + mSheet.Mm(4),
                                             mSheet.Mm(40), mSheet.Mm(3.4)),
                                      Qt::AlignLeft | Qt::AlignTop, text);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRect(box.adjusted(-mSheet.Mm(0.4), 0, mSheet.Mm(0.4), 0));
    p.restore();
    mSheet.Text(box, Qt::AlignLeft | Qt::AlignTop, text, 6.5, true, kLimitColour);
  }

  // The curves' names in the plot's upper left corner.
  void Legend(const std::vector<Series>& series) const {
    QPainter& p = mSheet.painter;
    double y = mPlot.top() + mSheet.Mm(1.5);
    for (const Series& c : series) {
      const QRectF box(mPlot.left() + mSheet.Mm(1.5), y, mSheet.Mm(5 + 1.5 * c.name.size()), mSheet.Mm(3.6));
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 220));
      p.drawRect(box);
      p.setPen(QPen(c.colour, mSheet.Mm(0.6)));
      p.drawLine(QPointF(box.left() + mSheet.Mm(0.5), box.center().y()),
                 QPointF(box.left() + mSheet.Mm(3.5), box.center().y()));
      p.restore();
      mSheet.Text(box.adjusted(mSheet.Mm(4.5), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, c.name, 7);
      y += mSheet.Mm(3.8);
    }
  }

 private:
  const Sheet& mSheet;
  QRectF mPlot;
  double mXMax, mYMin, mYMax;
};

double Extreme(const std::vector<Series>& series, const std::vector<Limit>& limits) {
  double top = 1;
  for (const Series& s : series)
    for (const TrackRow& row : *s.track)
      if (row.Value && std::isfinite(*row.Value)) top = std::max(top, std::fabs(*row.Value * s.scale));
  for (const Limit& l : limits) top = std::max(top, std::fabs(l.value));
  return top * 1.1;
}

}  // namespace

void PaintDiagramPage(const Sheet& sheet, const RunResultModel& model, const ReportTitle& title) {
  const QRectF body = PageBodyMm(sheet);
  if (model.segments.empty()) return;
  const NumberSymbols& s = sheet.symbols;
  const double mpu = model.metresPerUnit > 0 ? model.metresPerUnit : 1;
  double xMax = model.pathLength * mpu;
  if (!model.steering.empty()) xMax = std::max(xMax, model.steering.back().Distance * mpu);
  const std::optional<double> stop =
      model.figures.stopStation ? std::optional<double>(*model.figures.stopStation * mpu) : std::nullopt;
  const QString stopText = stop ? QStringLiteral("stop at %1 m").arg(Fixed(stop, 1, s)) : QString();
  const QString deg = QStringLiteral("°");
  const double h = body.height() / 3;

  const SegmentRecord& first = model.segments.front();
  const std::vector<Series> steering = {
      {&model.steering, first.MaxTurningAngle / 100, QColor(200, 40, 40), QStringLiteral("steering angle")}};
  const std::vector<Limit> steerLimits = {
      {first.MaxTurningAngle, QStringLiteral("limit ") + Fixed(first.MaxTurningAngle, 1, s) + deg},
      {-first.MaxTurningAngle, QStringLiteral("limit −") + Fixed(first.MaxTurningAngle, 1, s) + deg}};
  const double steerTop = Extreme(steering, steerLimits);
  Chart steer(sheet, QRectF(body.left(), body.top(), body.width(), h), xMax, -steerTop, steerTop);
  steer.Axes(QStringLiteral("Steering angle"), deg);
  for (const Limit& l : steerLimits) steer.LimitLine(l);
  for (const Series& c : steering) steer.Curve(c, mpu);
  if (stop) steer.Stop(*stop, stopText);

  std::vector<Series> articulation;
  std::vector<Limit> articulationLimits;
  const Track* tracks[3] = {&model.articulation1, &model.articulation2, &model.articulation3};
  const QColor colours[3] = {QColor(200, 140, 0), QColor(30, 140, 50), QColor(30, 70, 200)};
  for (std::size_t k = 1, next = 0; k < model.segments.size() && next < 3; ++k) {
    const SegmentRecord& seg = model.segments[k];
    if (seg.Kind == SegmentKind::TowBarLink) continue;
    articulation.push_back({tracks[next], seg.MaxSegmentAngle / 100, colours[next],
                            QStringLiteral("unit %1 to the one ahead").arg(k + 1)});
    const QString text = Fixed(seg.MaxSegmentAngle, 1, s) + deg;
    if (std::none_of(articulationLimits.begin(), articulationLimits.end(),
                     [&](const Limit& l) { return l.value == seg.MaxSegmentAngle; })) {
      articulationLimits.push_back({seg.MaxSegmentAngle, QStringLiteral("limit ") + text});
      articulationLimits.push_back({-seg.MaxSegmentAngle, QStringLiteral("limit −") + text});
    }
    ++next;
  }
  const double artTop = Extreme(articulation, articulationLimits);
  Chart art(sheet, QRectF(body.left(), body.top() + h, body.width(), h), xMax, -artTop, artTop);
  art.Axes(QStringLiteral("Articulation angle"), deg);
  if (articulation.empty()) {
    sheet.Text(sheet.MmRect(body.left(), body.top() + h + h / 2 - 3, body.width(), 6), Qt::AlignCenter,
               QStringLiteral("A single unit: no articulation"), 9, false, QColor(110, 110, 110));
  }
  for (const Limit& l : articulationLimits) art.LimitLine(l);
  for (const Series& c : articulation) art.Curve(c, mpu);
  if (articulation.size() > 1) art.Legend(articulation);
  if (stop) art.Stop(*stop, stopText);

  const QString unit = SpeedUnitName(model.speedUnit);
  const std::vector<Series> speed = {{&model.speed, 1, QColor(30, 70, 200), QStringLiteral("allowed speed")}};
  std::vector<Limit> speedLimits;
  if (title.speed) speedLimits.push_back({*title.speed, QStringLiteral("speed checked ") + Fixed(title.speed, 1, s) + QStringLiteral(" ") + unit});
  Chart fast(sheet, QRectF(body.left(), body.top() + 2 * h, body.width(), h), xMax, 0,
             std::max(Extreme(speed, speedLimits), 5.0));
  fast.Axes(QStringLiteral("Allowed speed"), unit + QStringLiteral(", shown up to 30"));
  for (const Limit& l : speedLimits) fast.LimitLine(l);
  for (const Series& c : speed) fast.Curve(c, mpu);
  if (stop) fast.Stop(*stop, stopText);
}

}  // namespace veerline::paint
