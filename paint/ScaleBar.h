#pragma once

#include <QColor>
#include <QPainter>
#include <QSize>
#include <QString>

#include "engine/NumberRule.h"

namespace veerline::paint {

// Height of the strip along the bottom edge that the scale bar and its label take.
inline constexpr int kScaleBarStripPixels = 30;

// The longest round length (1, 2 or 5 times a power of ten) not above the given
// length; 0 when the given length is not a positive finite number.
double ScaleBarLength(double maxLength);

// Draws a scale bar in the lower left corner of a picture of the given size,
// about a quarter of the picture wide at most, with its label to its right: the
// length in drawing units followed by the unit label, if any.
void PaintScaleBar(QPainter& painter, const QSize& picture, double pixelsPerUnit,
                   const QColor& colour, const QString& unitLabel, const NumberSymbols& symbols);

}  // namespace veerline::paint
