#include "paint/TextPainting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPolygonF>
#include <cmath>

namespace veerline::paint {

namespace {

constexpr double kFontPixels = 100;  // glyphs are laid out at this size and scaled
// Texts whose capitals stand lower than this many pixels are shown as a bar,
// lower than the second not at all; taller than the third they are left to
// the bar too, as glyphs that large would only slow painting down.
constexpr double kReadablePixels = 4;
constexpr double kVisiblePixels = 1;
constexpr double kLargestGlyphPixels = 20000;

bool HaveFonts() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

const QFont& TextFont() {
  static const QFont font = [] {
    QFont f = QGuiApplication::font();
    f.setPixelSize(static_cast<int>(kFontPixels));
    return f;
  }();
  return font;
}

}  // namespace

void PaintText(QPainter& painter, const cad::GeometryText& text, const QString& value,
               float& advance, const QTransform& toScreen, const QColor& colour) {
  const QPointF origin(text.Origin.X, text.Origin.Y), along(text.Along.X, text.Along.Y),
      up(text.Up.X, text.Up.Y);
  const QPointF upOnScreen = toScreen.map(origin + up) - toScreen.map(origin);
  const double heightPixels = std::hypot(upOnScreen.x(), upOnScreen.y());
  if (heightPixels < kVisiblePixels) return;
  const bool fonts = HaveFonts();
  if (!fonts || heightPixels < kReadablePixels || heightPixels > kLargestGlyphPixels) {
    QColor faint = colour;
    faint.setAlphaF(0.5);
    const QPolygonF box =
        toScreen.map(QPolygonF({origin, origin + along, origin + along + up, origin + up}));
    painter.setPen(Qt::NoPen);
    painter.setBrush(faint);
    painter.drawPolygon(box);
    painter.setBrush(Qt::NoBrush);
    return;
  }
  const QFont& font = TextFont();
  static const double capHeight = [&] {
    const double h = QFontMetricsF(font).capHeight();
    return h > 0 ? h : kFontPixels * 0.7;
  }();
  if (advance < 0) advance = static_cast<float>(QFontMetricsF(font).horizontalAdvance(value));
  if (!(advance > 0)) return;
  // Glyph space (x along the base line, y down) onto the text's box.
  const QTransform glyphs(along.x() / advance, along.y() / advance, -up.x() / capHeight,
                          -up.y() / capHeight, origin.x(), origin.y());
  painter.save();
  painter.setTransform(glyphs * toScreen, true);
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(QPointF(0, 0), value);
  painter.restore();
}

}  // namespace veerline::paint
