#pragma once

#include <QImage>
#include <QSize>
#include <QTransform>

#include "paint/DrawingPainter.h"

namespace veerline::paint {

// A window's picture of the drawing, kept between repaints: one with the same
// view and drawing only shows it again, a pan moves it and paints just the
// strips it uncovers, anything else paints it anew. The scale bar and other
// overlays are not part of it.
class PictureCache {
 public:
  // The picture for the painter's current view, brought up to date.
  const QImage& Picture(const DrawingPainter& painter, const QSize& size,
                        const RenderOptions& options);
  void Clear() { mImage = QImage(); }

 private:
  bool Shift(const DrawingPainter& painter, const RenderOptions& options);

  QImage mImage;
  QTransform mView;
  int mGeneration = -1;
  bool mDark = false;
};

}  // namespace veerline::paint
