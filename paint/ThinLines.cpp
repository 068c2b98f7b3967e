#include "paint/ThinLines.h"

#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "paint/SegmentClip.h"

namespace veerline::paint {

namespace {

bool DirectFormat(QImage::Format format) {
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

std::optional<DirectCanvas> DirectTarget(QPainter& painter) {
  if (painter.device() == nullptr || painter.device()->devType() != QInternal::Image) {
    return std::nullopt;
  }
  auto* image = static_cast<QImage*>(painter.device());
  if (!DirectFormat(image->format()) || image->devicePixelRatio() != 1) return std::nullopt;
  if (!painter.transform().isIdentity()) return std::nullopt;
  QRect clip = image->rect();
  if (painter.hasClipping()) {
    const QRegion region = painter.clipRegion();
    if (region.rectCount() != 1) return std::nullopt;
    clip &= region.boundingRect();
  }
  return DirectCanvas{image, clip};
}

void DrawThinLines(const DirectCanvas& canvas, const QLineF* lines, std::size_t count,
                   QRgb colour) {
  const QRect& c = canvas.Clip;
  if (c.isEmpty()) return;
  // Pixel centres lie on whole coordinates once rounded; the clip keeps every
  // rounded point inside the rectangle.
  const QRectF inside(c.left() - 0.49, c.top() - 0.49, c.width() - 0.02, c.height() - 0.02);
  const double left = inside.left(), right = inside.right(), top = inside.top(),
               bottom = inside.bottom();
  uchar* bits = canvas.Image->bits();
  const qsizetype stride = canvas.Image->bytesPerLine();
  const QRgb pixel = colour | 0xFF000000u;
  for (std::size_t i = 0; i < count; ++i) {
    QLineF line = lines[i];
    // Most lines lie wholly inside; only the others need clipping.
    const bool within =
        std::min(line.x1(), line.x2()) >= left && std::max(line.x1(), line.x2()) <= right &&
        std::min(line.y1(), line.y2()) >= top && std::max(line.y1(), line.y2()) <= bottom;
    if (!within) {
      const auto clipped = ClipSegment(line, inside);
      if (!clipped) continue;
      line = *clipped;
    }
    // Inside the rectangle every coordinate is above -0.5, so adding a half
    // and truncating rounds to the nearest pixel.
    int x0 = static_cast<int>(line.x1() + 0.5), y0 = static_cast<int>(line.y1() + 0.5);
    const int x1 = static_cast<int>(line.x2() + 0.5), y1 = static_cast<int>(line.y2() + 0.5);
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
      reinterpret_cast<QRgb*>(bits + y0 * stride)[x0] = pixel;
      if (x0 == x1 && y0 == y1) break;
      const int twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x0 += sx;
      }
      if (twice <= dx) {
        error += dx;
        y0 += sy;
      }
    }
  }
}

void DrawDots(const DirectCanvas& canvas, const QPointF* dots, std::size_t count, QRgb colour) {
  const QRgb pixel = colour | 0xFF000000u;
  for (std::size_t i = 0; i < count; ++i) {
    const int x = static_cast<int>(std::lround(dots[i].x()));
    const int y = static_cast<int>(std::lround(dots[i].y()));
    if (!canvas.Clip.contains(x, y)) continue;
    reinterpret_cast<QRgb*>(canvas.Image->scanLine(y))[x] = pixel;
  }
}

}  // namespace veerline::paint
