#include "ui/DrawingView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "cad/dxf/DrawingModel.h"
#include "ui/UserLocale.h"

namespace veerline::ui {
namespace {

// Movement in pixels after which a pressed button drags instead of clicking.
constexpr int kDragThresholdPixels = 4;
// Zoom per wheel notch (120 units of angle delta).
constexpr double kZoomPerNotch = 1.25;
const QColor kHighlightColour(255, 128, 0);

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

void DrawingView::TakeFor(QObject* tool) {
  installEventFilter(tool);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
  setFocus(Qt::OtherFocusReason);
}

void DrawingView::ReleaseFrom(QObject* tool) {
  removeEventFilter(tool);
  setMouseTracking(false);
  unsetCursor();
}

void DrawingView::SetDrawing(const cad::DrawingModel* drawing) {
  mDrawing = drawing;
  mHighlight.clear();
  mPainter = drawing ? std::make_unique<paint::DrawingPainter>(*drawing) : nullptr;
  mPicture.Clear();
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

void DrawingView::ZoomOn(const QPointF& world, double around) {
  if (!mPainter) return;
  const double shownNow = std::min(width(), height()) / (2 * PixelsPerUnit());
  if (around > 0 && std::isfinite(around) && shownNow > around) {
    mPainter->View().ZoomToExtents(
        QRectF(world.x() - around, world.y() - around, 2 * around, 2 * around), size(), 0);
  }
  CentreOn(world);
}

std::optional<std::string> DrawingView::HitTest(const QPoint& position) const {
  if (!mPainter) return std::nullopt;
  return mPainter->HitTest(QPointF(position), kPickTolerancePixels);
}

std::optional<std::string> DrawingView::PathHitTest(const QPoint& position) const {
  if (!mPainter) return std::nullopt;
  return mPainter->HitTest(QPointF(position), kPickTolerancePixels, true);
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
  const paint::RenderOptions options = Options();
  painter.drawImage(0, 0, mPicture.Picture(*mPainter, size(), options));
  mPainter->PaintOverlay(painter, size(), options);
  PaintHighlight(painter);
  if (mOverlay) mOverlay(painter, mPainter->View().ToScreen());
}

void DrawingView::SetOverlay(Overlay overlay) {
  mOverlay = std::move(overlay);
  update();
}

// The highlighted entity is drawn again on top, three pixels wide.
void DrawingView::PaintHighlight(QPainter& painter) const {
  mPainter->PaintHighlight(painter, mHighlight, kHighlightColour, 3);
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
