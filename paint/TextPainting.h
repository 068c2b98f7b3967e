#pragma once

#include <QColor>
#include <QPainter>
#include <QString>
#include <QTransform>

#include "cad/geometry/EntityGeometry.h"

namespace veerline::paint {

// Paints one line of text: the glyphs of the application's font stretched
// into the text's box, so the picture matches the extents and the pick. A
// text too small on the screen to read is shown as a faint bar, and one too
// small to see not at all. `advance` caches the font's width of the string
// (negative until measured). Without a QGuiApplication there are no fonts and
// only the bar is drawn.
void PaintText(QPainter& painter, const cad::GeometryText& text, const QString& value,
               float& advance, const QTransform& toScreen, const QColor& colour);

}  // namespace veerline::paint
