#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QTransform>

namespace veerline::paint {

// Maps drawing coordinates (y up) to screen pixels (y down) by a uniform scale
// and the drawing point shown at the screen's top-left corner.
class ViewTransform {
 public:
  QPointF WorldToScreen(const QPointF& world) const;
  QPointF ScreenToWorld(const QPointF& screen) const;
  // The same mapping as a QTransform, for painting paths given in drawing units.
  QTransform ToScreen() const;

  double PixelsPerUnit() const { return mPixelsPerUnit; }

  // Fits the rectangle into the screen less the margin on every side, centred.
  // A rectangle without width or height is fitted by its other side; a point is
  // shown at one pixel per unit.
  void ZoomToExtents(const QRectF& world, const QSize& screen, int marginPixels);
  // Fits the rectangle into an area of the screen, centred there; the same
  // fallbacks as ZoomToExtents.
  void FitInto(const QRectF& world, const QRectF& screenArea);
  // Multiplies the scale by the factor, keeping the drawing point under the
  // screen position where it is.
  void ZoomAt(const QPointF& screen, double factor);
  // Moves the picture by a distance in pixels.
  void Pan(const QPointF& deltaPixels);

 private:
  void SetScale(double pixelsPerUnit);

  double mPixelsPerUnit = 1;
  double mLeft = 0;  // drawing x at the screen's left edge
  double mTop = 0;   // drawing y at the screen's top edge
};

}  // namespace veerline::paint
