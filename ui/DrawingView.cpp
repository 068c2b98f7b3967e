#include "ui/DrawingView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "cad/DrawingModel.h"
#include "ui/UserLocale.h"

namespace veerline::ui {
namespace {

// Movement in pixels after which a pressed button drags instead of clicking.
constexpr int kDragThresholdPixels = 4;
// Zoom per wheel notch (120 units of angle delta).
constexpr double kZoomPerNotch = 1.25;
const QColor kHighlightColour(255, 128, 0);

// Whether a model-space entity is a polyline of any kind, the entities a path can be.
bool IsPolyline(const cad::DrawingModel& drawing, const std::string& handle) {
  const cad::DrawingEntity* entity = drawing.FindEntity(handle);
  if (entity == nullptr) return false;
  const int type = entity->EntityType();
  return type == cad::kEntityLightWeightPolyline || type == cad::kEntityPolyline ||
         type == cad::kEntity3dPolyline;
}

// Screen distance in pixels from a point to an item's line work, line widths included.
double LineWorkDistance(const paint::SceneItem& item, const paint::ViewTransform& view,
                        const QPointF& screen) {
  double best = std::numeric_limits<double>::infinity();
  const std::size_t count = item.closed ? item.points.size() : item.points.size() - 1;
  for (std::size_t i = 0; item.points.size() > 1 && i < count; ++i) {
    const QPointF a = view.WorldToScreen(item.points[i]);
    const QPointF ab = view.WorldToScreen(item.points[(i + 1) % item.points.size()]) - a;
    const double lengthSquared = QPointF::dotProduct(ab, ab);
    const double t = lengthSquared > 0
                         ? std::clamp(QPointF::dotProduct(screen - a, ab) / lengthSquared, 0.0, 1.0)
                         : 0.0;
    const QPointF offset = screen - (a + ab * t);
    const double halfWidth = item.widths.empty() ? 0 : item.widths[i] * view.PixelsPerUnit() / 2;
    best = std::min(best, std::max(0.0, std::hypot(offset.x(), offset.y()) - halfWidth));
  }
  return best;
}

}  // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DrawingView"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setMinimumSize(200, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

DrawingView::~DrawingView() = default;

paint::RenderOptions DrawingView::Options() const {
  paint::RenderOptions options;
  options.darkBackground = true;
  options.symbols = UserNumberSymbols();
  return options;
}

void DrawingView::SetDrawing(const cad::DrawingModel* drawing) {
  mDrawing = drawing;
  mHighlight.clear();
  mPainter = drawing ? std::make_unique<paint::DrawingPainter>(*drawing) : nullptr;
  mFitted = false;
  ZoomToExtents();
}

void DrawingView::Refresh() {
  if (!mPainter) return;
  mPainter->Rebuild();
  if (!mFitted) ZoomToExtents();
  update();
}

void DrawingView::ZoomToExtents() {
  mUserMoved = false;
  if (mPainter) {
    mPainter->ZoomToExtents(size(), Options());
    mFitted = mPainter->Extents().has_value();
  }
  update();
}

void DrawingView::CentreOn(const QPointF& world) {
  if (!mPainter) return;
  mPainter->View().Pan(QPointF(width() / 2.0, height() / 2.0) - ToScreen(world));
  mUserMoved = true;
  update();
}

std::optional<std::string> DrawingView::HitTest(const QPoint& position) const {
  if (!mPainter) return std::nullopt;
  return mPainter->HitTest(QPointF(position), kPickTolerancePixels);
}

std::optional<std::string> DrawingView::PathHitTest(const QPoint& position) const {
  const std::optional<std::string> nearest = HitTest(position);
  if (!nearest || mDrawing == nullptr || IsPolyline(*mDrawing, *nearest)) return nearest;
  std::optional<std::string> found;
  double best = kPickTolerancePixels;
  for (const paint::SceneItem& item : mPainter->Items()) {
    if (item.IsText() || !IsPolyline(*mDrawing, item.handle)) continue;
    const double d = LineWorkDistance(item, mPainter->View(), QPointF(position));
    if (d <= best) {
      best = d;
      found = item.handle;
    }
  }
  return found ? found : nearest;
}

void DrawingView::SetHighlight(const std::string& handle) {
  mHighlight = handle;
  update();
}

QPointF DrawingView::ToScreen(const QPointF& world) const {
  return mPainter ? mPainter->View().WorldToScreen(world) : QPointF();
}

QPointF DrawingView::ToWorld(const QPointF& screen) const {
  return mPainter ? mPainter->View().ScreenToWorld(screen) : QPointF();
}

double DrawingView::PixelsPerUnit() const {
  return mPainter ? mPainter->View().PixelsPerUnit() : 1;
}

void DrawingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!mPainter) {
    painter.fillRect(rect(), QColor(64, 64, 64));
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, tr("No drawing open"));
    return;
  }
  mPainter->Paint(painter, size(), Options());
  PaintHighlight(painter);
}

// The highlighted entity is drawn again on top, three pixels wide.
void DrawingView::PaintHighlight(QPainter& painter) const {
  if (mHighlight.empty()) return;
  const paint::ViewTransform& view = mPainter->View();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kHighlightColour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (const paint::SceneItem& item : mPainter->Items()) {
    if (item.handle != mHighlight) continue;
    if (item.IsText()) {
      painter.drawRect(view.ToScreen().mapRect(item.Bounds()));
      continue;
    }
    QPolygonF line;
    for (const QPointF& point : item.points) line << view.WorldToScreen(point);
    if (item.closed) {
      painter.drawPolygon(line);
    } else {
      painter.drawPolyline(line);
    }
  }
}

void DrawingView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Until the user moves the picture it keeps filling the window.
  if (!mUserMoved) ZoomToExtents();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
  if (mPressButton != Qt::NoButton) return;
  mPressButton = event->button();
  mPressPosition = event->position().toPoint();
  mLastDragPosition = mPressPosition;
  mDragging = mPressButton == Qt::MiddleButton;
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
  const bool panButton = mPressButton == Qt::LeftButton || mPressButton == Qt::MiddleButton;
  if (!panButton || !mPainter) return;
  const QPoint position = event->position().toPoint();
  if (!mDragging && (position - mPressPosition).manhattanLength() < kDragThresholdPixels) return;
  mDragging = true;
  mUserMoved = true;
  mPainter->View().Pan(QPointF(position - mLastDragPosition));
  mLastDragPosition = position;
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != mPressButton) return;
  const bool wasDrag = mDragging;
  const Qt::MouseButton button = mPressButton;
  mPressButton = Qt::NoButton;
  mDragging = false;
  if (!wasDrag && (button == Qt::LeftButton || button == Qt::RightButton))
    emit clicked(event->position().toPoint(), button);
}

void DrawingView::wheelEvent(QWheelEvent* event) {
  if (!mPainter) return;
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  mPainter->View().ZoomAt(event->position(), std::pow(kZoomPerNotch, notches));
  mUserMoved = true;
  update();
  event->accept();
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit escapePressed();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace veerline::ui
