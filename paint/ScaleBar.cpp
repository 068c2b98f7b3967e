#include "paint/ScaleBar.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPen>
#include <cmath>

namespace veerline::paint {

namespace {

constexpr double kCornerPixels = 12;
constexpr double kTickPixels = 5;

}  // namespace

double ScaleBarLength(double maxLength) {
  if (!std::isfinite(maxLength) || maxLength <= 0) return 0;
  const double power = std::pow(10.0, std::floor(std::log10(maxLength)));
  // Rounding can leave the mantissa a hair under 1 or over 10.
  for (double mantissa : {10.0, 5.0, 2.0, 1.0}) {
    if (mantissa * power <= maxLength * (1 + 1e-12)) return mantissa * power;
  }
  return power / 2;
}

void PaintScaleBar(QPainter& painter, const QSize& picture, double pixelsPerUnit,
                   const QColor& colour, const QString& unitLabel, const NumberSymbols& symbols) {
  const double length = ScaleBarLength(picture.width() * 0.25 / pixelsPerUnit);
  const double barPixels = length * pixelsPerUnit;
  if (!(barPixels >= 1)) return;
  const double left = kCornerPixels;
  const double y = picture.height() - kCornerPixels;
  painter.save();
  painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(left, y), QPointF(left + barPixels, y));
  painter.setPen(QPen(colour, 1));
  for (double x : {left, left + barPixels / 2, left + barPixels}) {
    painter.drawLine(QPointF(x, y), QPointF(x, y - kTickPixels));
  }
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QString label = QString::fromStdString(FormatFieldNumber(length, symbols));
    if (!unitLabel.isEmpty()) label += QLatin1Char(' ') + unitLabel;
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(left + barPixels + 6, y + metrics.capHeight() / 2), label);
  }
  painter.restore();
}

}  // namespace veerline::paint
