#include "ui/paint/DrawingPainter.h"

#include <QLineF>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

#include "cad/DrawingModel.h"
#include "ui/paint/AciColors.h"
#include "ui/paint/ScaleBar.h"
#include "ui/paint/SegmentClip.h"

namespace veerline::paint {

namespace {

// Distance from a point to a line segment, all in pixels.
double PointSegmentDistance(const QPointF& p, const QPointF& a, const QPointF& b) {
  const QPointF ab = b - a;
  const double lengthSquared = QPointF::dotProduct(ab, ab);
  double t = lengthSquared > 0 ? QPointF::dotProduct(p - a, ab) / lengthSquared : 0;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF nearest = a + ab * t;
  return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// Distance from a point to a rectangle; 0 inside.
double PointRectDistance(const QPointF& p, const QRectF& r) {
  const double dx = std::max({r.left() - p.x(), 0.0, p.x() - r.right()});
  const double dy = std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()});
  return std::hypot(dx, dy);
}

// Segment i of an item: from point i to the next, the last one closing the ring.
std::size_t SegmentCount(const SceneItem& item) {
  if (item.points.size() < 2) return 0;
  return item.closed ? item.points.size() : item.points.size() - 1;
}

}  // namespace

DrawingPainter::DrawingPainter(const cad::DrawingModel& model) : mModel(model) { Rebuild(); }

void DrawingPainter::Rebuild() {
  mScene = BuildDrawingScene(mModel);
  mExtents = SceneBounds(mScene);
}

void DrawingPainter::ZoomToExtents(const QSize& screen, const RenderOptions& options) {
  const double margin = options.marginPixels;
  const double bottom = options.scaleBar ? std::max(margin, double{kScaleBarStripPixels}) : margin;
  mView.FitInto(mExtents.value_or(QRectF()), QRectF(margin, margin, screen.width() - 2 * margin,
                                                    screen.height() - margin - bottom));
}

void DrawingPainter::PaintLineWork(QPainter& painter, const SceneItem& item,
                                   const QRectF& visible) const {
  const double scale = mView.PixelsPerUnit();
  const std::size_t count = SegmentCount(item);
  for (std::size_t i = 0; i < count; ++i) {
    const double widthPixels = item.widths.empty() ? 1 : std::max(1.0, item.widths[i] * scale);
    const double grow = std::min(widthPixels, 1e5);
    const QLineF line(mView.WorldToScreen(item.points[i]),
                      mView.WorldToScreen(item.points[(i + 1) % item.points.size()]));
    const auto clipped = ClipSegment(line, visible.adjusted(-grow, -grow, grow, grow));
    if (!clipped) continue;
    if (widthPixels > 1) {
      painter.setPen(
          QPen(painter.pen().color(), widthPixels, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else if (painter.pen().widthF() != 1) {
      painter.setPen(QPen(painter.pen().color(), 1));
    }
    painter.drawLine(*clipped);
  }
}

void DrawingPainter::Paint(QPainter& painter, const QSize& screen,
                           const RenderOptions& options) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, options.antialiasing);
  const QColor background = options.darkBackground ? QColor(0, 0, 0) : QColor(255, 255, 255);
  painter.fillRect(QRect(QPoint(0, 0), screen), background);
  const QRectF visible(QPointF(0, 0), QSizeF(screen));
  const QTransform toScreen = mView.ToScreen();
  for (const SceneItem& item : mScene) {
    const QColor colour = AciColor(item.colorIndex, options.darkBackground);
    if (item.IsText()) {
      if (!toScreen.mapRect(item.text.boundingRect()).intersects(visible)) continue;
      painter.save();
      painter.setTransform(toScreen, true);
      painter.fillPath(item.text, colour);
      painter.restore();
    } else {
      painter.setPen(QPen(colour, 1));
      PaintLineWork(painter, item, visible);
    }
  }
  if (options.scaleBar && mExtents) {
    const QColor ink = options.darkBackground ? QColor(255, 255, 255) : QColor(0, 0, 0);
    PaintScaleBar(painter, screen, mView.PixelsPerUnit(), ink, options.unitLabel, options.symbols);
  }
  painter.restore();
}

double DrawingPainter::ScreenDistance(const SceneItem& item, const QPointF& screen) const {
  if (item.IsText()) return PointRectDistance(screen, mView.ToScreen().mapRect(item.Bounds()));
  const double scale = mView.PixelsPerUnit();
  double best = std::numeric_limits<double>::infinity();
  const std::size_t count = SegmentCount(item);
  for (std::size_t i = 0; i < count; ++i) {
    const double halfWidth = item.widths.empty() ? 0 : item.widths[i] * scale / 2;
    const double d =
        PointSegmentDistance(screen, mView.WorldToScreen(item.points[i]),
                             mView.WorldToScreen(item.points[(i + 1) % item.points.size()]));
    best = std::min(best, std::max(0.0, d - halfWidth));
  }
  return best;
}

std::optional<std::string> DrawingPainter::HitTest(const QPointF& screen,
                                                   double tolerancePixels) const {
  std::optional<std::string> found;
  double best = tolerancePixels;
  // Later items are drawn on top, so they win a tie.
  for (const SceneItem& item : mScene) {
    const double d = ScreenDistance(item, screen);
    if (d <= best) {
      best = d;
      found = item.handle;
    }
  }
  return found;
}

QImage RenderDrawing(const cad::DrawingModel& model, const QSize& size,
                     const RenderOptions& options) {
  if (size.width() <= 0 || size.height() <= 0) return {};
  QImage image(size, QImage::Format_RGB32);
  DrawingPainter drawing(model);
  drawing.ZoomToExtents(size, options);
  QPainter painter(&image);
  drawing.Paint(painter, size, options);
  return image;
}

}  // namespace veerline::paint
