#include "paint/ViewTransform.h"

#include <algorithm>
#include <cmath>

namespace veerline::paint {

namespace {

// Scales beyond these make the mapping lose all precision.
constexpr double kMinScale = 1e-9;
constexpr double kMaxScale = 1e9;

}  // namespace

QPointF ViewTransform::WorldToScreen(const QPointF& world) const {
  return {(world.x() - mLeft) * mPixelsPerUnit, (mTop - world.y()) * mPixelsPerUnit};
}

QPointF ViewTransform::ScreenToWorld(const QPointF& screen) const {
  return {mLeft + screen.x() / mPixelsPerUnit, mTop - screen.y() / mPixelsPerUnit};
}

QTransform ViewTransform::ToScreen() const {
  const double s = mPixelsPerUnit;
  return QTransform(s, 0, 0, -s, -mLeft * s, mTop * s);
}

void ViewTransform::SetScale(double pixelsPerUnit) {
  if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0) return;
  mPixelsPerUnit = std::clamp(pixelsPerUnit, kMinScale, kMaxScale);
}

void ViewTransform::ZoomToExtents(const QRectF& world, const QSize& screen, int marginPixels) {
  FitInto(world, QRectF(marginPixels, marginPixels, screen.width() - 2.0 * marginPixels,
                        screen.height() - 2.0 * marginPixels));
}

void ViewTransform::FitInto(const QRectF& world, const QRectF& screenArea) {
  const double usableW = std::max(1.0, screenArea.width());
  const double usableH = std::max(1.0, screenArea.height());
  double scale = 1;
  if (world.width() > 0 && world.height() > 0) {
    scale = std::min(usableW / world.width(), usableH / world.height());
  } else if (world.width() > 0) {
    scale = usableW / world.width();
  } else if (world.height() > 0) {
    scale = usableH / world.height();
  }
  mPixelsPerUnit = 1;
  SetScale(scale);
  const QPointF centre = world.center();
  const QPointF areaCentre = screenArea.center();
  mLeft = centre.x() - areaCentre.x() / mPixelsPerUnit;
  mTop = centre.y() + areaCentre.y() / mPixelsPerUnit;
}

void ViewTransform::ZoomAt(const QPointF& screen, double factor) {
  const QPointF fixed = ScreenToWorld(screen);
  SetScale(mPixelsPerUnit * factor);
  mLeft = fixed.x() - screen.x() / mPixelsPerUnit;
  mTop = fixed.y() + screen.y() / mPixelsPerUnit;
}

void ViewTransform::Pan(const QPointF& deltaPixels) {
  mLeft -= deltaPixels.x() / mPixelsPerUnit;
  mTop += deltaPixels.y() / mPixelsPerUnit;
}

}  // namespace veerline::paint
