#include "paint/PictureCache.h"

#include <QPainter>
#include <cmath>

namespace veerline::paint {

namespace {

// Whether a value is a whole number of pixels, so a picture can move by it.
bool Whole(double pixels) { return std::fabs(pixels - std::round(pixels)) < 1e-6; }

}  // namespace

const QImage& PictureCache::Picture(const DrawingPainter& painter, const QSize& size,
                                    const RenderOptions& options) {
  const QTransform view = painter.View().ToScreen();
  const bool sameDrawing = mImage.size() == size && mGeneration == painter.Generation() &&
                           mDark == options.darkBackground;
  if (sameDrawing && view == mView) return mImage;
  if (!(sameDrawing && Shift(painter, options))) {
    mImage = QImage(size, QImage::Format_RGB32);
    QPainter p(&mImage);
    RenderOptions bare = options;
    bare.scaleBar = false;
    painter.Paint(p, size, bare);
  }
  mView = view;
  mGeneration = painter.Generation();
  mDark = options.darkBackground;
  return mImage;
}

// Moves the picture by the pan since it was painted and paints the strips
// that come into view; false when the view changed otherwise.
bool PictureCache::Shift(const DrawingPainter& painter, const RenderOptions& options) {
  const QTransform view = painter.View().ToScreen();
  if (view.m11() != mView.m11() || view.m22() != mView.m22()) return false;
  const double dx = view.dx() - mView.dx(), dy = view.dy() - mView.dy();
  const int width = mImage.width(), height = mImage.height();
  if (!Whole(dx) || !Whole(dy) || std::fabs(dx) >= width || std::fabs(dy) >= height) return false;
  const int sx = static_cast<int>(std::round(dx)), sy = static_cast<int>(std::round(dy));
  QImage moved(mImage.size(), mImage.format());
  QPainter p(&moved);
  p.drawImage(sx, sy, mImage);
  RenderOptions bare = options;
  bare.scaleBar = false;
  const QSize size = mImage.size();
  if (sx != 0) {
    painter.PaintArea(p, size, bare,
                      sx > 0 ? QRect(0, 0, sx, height) : QRect(width + sx, 0, -sx, height));
  }
  if (sy != 0) {
    painter.PaintArea(p, size, bare,
                      sy > 0 ? QRect(0, 0, width, sy) : QRect(0, height + sy, width, -sy));
  }
  p.end();
  mImage = std::move(moved);
  return true;
}

}  // namespace veerline::paint
