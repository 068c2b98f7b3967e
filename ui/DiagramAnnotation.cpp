#include "ui/DiagramAnnotation.h"

#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/Rounding.h"

namespace veerline::ui {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kCursor(190, 190, 190);
const std::array<QColor, 4> kCurveColours{QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0),
                                          QColor(0, 0, 255)};
// Room the left-hand labels of the diagrams take ("-100%", " 0 km/h").
constexpr int kLeftLabels = 64;

// The units of each vehicle type in order: the steered unit, then each
// towed body (a drawbar has no body and no articulation of its own).
QStringList UnitNames(int vehicleType) {
  switch (vehicleType) {
    case 1:
      return {QStringLiteral("Truck")};
    case 2:
      return {QStringLiteral("Tractor"), QStringLiteral("Semi-trailer")};
    case 3:
      return {QStringLiteral("Truck"), QStringLiteral("Trailer")};
    case 4:
      return {QStringLiteral("Truck"), QStringLiteral("Centre-axle trailer")};
    case 5:
      return {QStringLiteral("Front section"), QStringLiteral("Rear section")};
    case 6:
      return {QStringLiteral("Bus")};
    case 7:
      return {QStringLiteral("Car")};
    case 8:
      return {QStringLiteral("Car"), QStringLiteral("Caravan")};
    case 9:
      return {QStringLiteral("Tractor"), QStringLiteral("Semi-trailer"), QStringLiteral("Trailer")};
    case 10:
      return {QStringLiteral("Tractor"), QStringLiteral("Semi-trailer"),
              QStringLiteral("Trailer 1"), QStringLiteral("Trailer 2")};
    case 11:
    case 13:
      return {QStringLiteral("Truck"), QStringLiteral("Trailer 1"), QStringLiteral("Trailer 2")};
    case 12:
      return {QStringLiteral("Truck"), QStringLiteral("Trailer"),
              QStringLiteral("Centre-axle trailer")};
    default:
      return {};
  }
}

QString Number(double value, int decimals, const NumberSymbols& symbols) {
  return QString::fromStdString(FormatFieldNumber(RoundHalfEven(value, decimals), symbols));
}

// A round step between axis ticks (1, 2 or 5 times a power of ten) at least
// as long as the given one.
double RoundStep(double least) {
  if (!(least > 0) || !std::isfinite(least)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * power >= least) return factor * power;
  return 10 * power;
}

}  // namespace

QStringList TurningLegend(int vehicleType) {
  QStringList legend;
  const QStringList units = UnitNames(vehicleType);
  for (int i = 0; i < units.size(); ++i)
    legend << (i == 0 ? QStringLiteral(" %1 (steering)").arg(units[i])
                      : QStringLiteral(" %1").arg(units[i]));
  return legend;
}

std::optional<double> TrackValueAt(const Track& track, double station) {
  if (track.empty() || !std::isfinite(station)) return std::nullopt;
  const auto after =
      std::lower_bound(track.begin(), track.end(), station,
                       [](const TrackRow& row, double at) { return row.Distance < at; });
  if (after == track.end()) return std::nullopt;
  if (after->Distance == station || after == track.begin())
    return after->Distance == station ? after->Value : std::nullopt;
  const TrackRow& before = *(after - 1);
  if (!before.Value || !after->Value) return std::nullopt;
  const double t = (station - before.Distance) / (after->Distance - before.Distance);
  return *before.Value + t * (*after->Value - *before.Value);
}

QString PathUnitSymbol(int pathUnit) {
  static const std::array<const char*, 7> symbols{"", "m", "dm", "cm", "mm", "ft", "in"};
  return pathUnit >= 0 && pathUnit < static_cast<int>(symbols.size())
             ? QString::fromLatin1(symbols[pathUnit])
             : QString();
}

std::vector<CursorReading> TurningReadings(const RunState& state, const DiagramRun& run,
                                           double station, const NumberSymbols& symbols) {
  const std::array<const Track*, 4> tracks{&state.steeringTrack, &state.articulationTrack1,
                                           &state.articulationTrack2, &state.articulationTrack3};
  const QStringList legend = TurningLegend(run.vehicleType);
  const std::size_t lines = legend.isEmpty() ? tracks.size() : legend.size();
  std::vector<CursorReading> readings;
  for (std::size_t i = 0; i < lines && i < tracks.size(); ++i) {
    const std::optional<double> value = TrackValueAt(*tracks[i], station);
    readings.push_back(
        {value ? Number(*value, 1, symbols) + QStringLiteral(" %") : QStringLiteral("-"),
         kCurveColours[i]});
  }
  return readings;
}

CursorReading SpeedReading(const RunState& state, double station, SpeedUnit unit,
                           const NumberSymbols& symbols) {
  const std::optional<double> value = TrackValueAt(state.speedTrack, station);
  const QString suffix = unit == SpeedUnit::MilesPerHour      ? QStringLiteral(" mph")
                         : unit == SpeedUnit::MetresPerSecond ? QStringLiteral(" m/s")
                                                              : QStringLiteral(" km/h");
  return {value ? Number(*value, 2, symbols) + suffix : QStringLiteral("-"), kCurveColours[0]};
}

QString StationText(double station, const DiagramRun& run, const NumberSymbols& symbols) {
  const QString unit = PathUnitSymbol(run.pathUnit);
  return Number(station, 2, symbols) + (unit.isEmpty() ? QString() : QStringLiteral(" ") + unit);
}

void PaintStationAxis(QPainter& painter, const QSize& box, double extent, const QString& unit,
                      const QFont& font) {
  if (box.width() < 2 || !(extent > 0)) return;
  painter.save();
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double pixelsPerUnit = box.width() / extent;
  const double step = RoundStep(90 / pixelsPerUnit);
  const double bottom = box.height() - 1;
  painter.setPen(QPen(kWhite, 1));
  painter.drawLine(QPointF(0, bottom), QPointF(box.width(), bottom));
  // The ticks first, then the labels from the right so that the last shown carries the unit.
  std::vector<double> ticks;
  for (double at = 0; at <= extent * (1 + 1e-9); at += step) ticks.push_back(at);
  for (double at : ticks) {
    const double x = at * pixelsPerUnit;
    painter.drawLine(QPointF(x, bottom - 5), QPointF(x, bottom));
  }
  bool unitShown = unit.isEmpty();
  double leftmostLabel = box.width();
  for (auto it = ticks.rbegin(); it != ticks.rend(); ++it) {
    QString label = QString::number(*it, 'g', 10);
    if (!unitShown) label += QStringLiteral(" ") + unit;
    const double width = metrics.horizontalAdvance(label);
    const double x = std::min(*it * pixelsPerUnit + 2, box.width() - width - 2);
    if (x < kLeftLabels || x + width + 4 > leftmostLabel) continue;
    painter.drawText(QPointF(x, bottom - 6 - metrics.descent()), label);
    leftmostLabel = x;
    unitShown = true;
  }
  painter.restore();
}

void PaintVehicleName(QPainter& painter, const QSize& box, const QString& name, const QFont& font) {
  if (name.isEmpty()) return;
  painter.save();
  painter.setFont(font);
  painter.setPen(kWhite);
  const QFontMetricsF metrics(font);
  const QString shown = metrics.elidedText(name, Qt::ElideRight, box.width() / 2.0);
  painter.drawText(
      QPointF(box.width() - metrics.horizontalAdvance(shown) - 4, metrics.ascent() + 2), shown);
  painter.restore();
}

void PaintCursor(QPainter& painter, const QSize& box, int x, const QString& station,
                 const QStringList& legend, const std::vector<CursorReading>& readings,
                 const QFont& font) {
  painter.save();
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double line = metrics.height();
  painter.setPen(QPen(kCursor, 1, Qt::SolidLine));
  painter.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, box.height()));
  // Beside the line, on the side with room: the station, then a lone reading.
  QStringList texts{station};
  if (legend.isEmpty() && readings.size() == 1) texts << readings.front().value;
  double widest = 0;
  for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
  const double textX = x + 4 + widest < box.width() ? x + 4 : x - 4 - widest;
  for (int i = 0; i < texts.size(); ++i) {
    painter.setPen(i == 0 ? kWhite : readings.front().colour);
    painter.drawText(QPointF(textX, line * (1 + i) + metrics.ascent() + 2), texts[i]);
  }
  // Each curve's value beside its legend line; the legend starts on the
  // third text line, under the "100%" label and a blank line.
  if (!legend.isEmpty()) {
    double legendWidth = 0;
    for (const QString& entry : legend)
      legendWidth = std::max(legendWidth, metrics.horizontalAdvance(entry));
    for (std::size_t i = 0; i < readings.size(); ++i) {
      painter.setPen(readings[i].colour);
      painter.drawText(QPointF(legendWidth + 8, line * (2 + i) + metrics.ascent()),
                       readings[i].value);
    }
  }
  painter.restore();
}

}  // namespace veerline::ui
