#pragma once

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRgb>
#include <cstddef>
#include <optional>

namespace veerline::paint {

// An image a painter draws on and the rectangle it may draw in.
struct DirectCanvas {
  QImage* Image = nullptr;
  QRect Clip;
};

// The image a painter draws on when one-pixel lines may be written into it
// directly: a 32-bit image painted without transform, clipped to a rectangle
// at most. Nothing for any other device (a widget, a picture, a 16-bit image).
std::optional<DirectCanvas> DirectTarget(QPainter& painter);

// One-pixel lines and dots of one opaque colour written straight into the
// image (Bresenham), without antialiasing. In a dense view the raster
// engine's per-pixel calls cost several times as much for the same pixels.
void DrawThinLines(const DirectCanvas& canvas, const QLineF* lines, std::size_t count, QRgb colour);
void DrawDots(const DirectCanvas& canvas, const QPointF* dots, std::size_t count, QRgb colour);

}  // namespace veerline::paint
