#pragma once

#include <QPoint>
#include <QPointF>
#include <QTransform>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "paint/DrawingPainter.h"
#include "paint/PictureCache.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::ui {

// Shows model space of a drawing: the middle or left button drags the picture,
// the wheel zooms about the pointer. A left or right click that does not drag
// is reported with its position, so a pick can use it; Escape is reported too.
class DrawingView : public QWidget {
  Q_OBJECT

 public:
  explicit DrawingView(QWidget* parent = nullptr);
  ~DrawingView() override;

  // A drawing tool takes the view: the view's events pass through the tool
  // first, and the pointer is followed, shown as a cross, and given the keys.
  void TakeFor(QObject* tool);
  // Gives the view back from the tool.
  void ReleaseFrom(QObject* tool);

  // The drawing to show, or none; the view fits it into the window.
  void SetDrawing(const cad::DrawingModel* drawing);
  const cad::DrawingModel* Drawing() const { return mDrawing; }
  // Reads the drawing again after it changed; the view stays where it is
  // unless it showed nothing before.
  void Refresh();
  void ZoomToExtents();
  // Moves the view, at its scale, so that the drawing point is in the middle.
  void CentreOn(const QPointF& world);
  // Zooms in on a drawing point so that at least the given distance around it
  // shows on every side; a view closer in already only moves.
  void ZoomOn(const QPointF& world, double around);

  // The entity drawn nearest to a widget position, within the pick tolerance.
  std::optional<std::string> HitTest(const QPoint& position) const;
  // The entity a path pick takes at a widget position: the nearest polyline
  // within the pick tolerance, since the outputs of earlier runs lie over the
  // path where users click; the nearest entity when no polyline is that near.
  std::optional<std::string> PathHitTest(const QPoint& position) const;
  // Draws one entity thicker in the highlight colour; an empty handle ends it.
  void SetHighlight(const std::string& handle);
  const std::string& Highlight() const { return mHighlight; }

  // What is painted over the drawing on every frame, through the mapping from
  // drawing units to the widget (the vehicle a playback shows); none for nothing.
  using Overlay = std::function<void(QPainter& painter, const QTransform& toScreen)>;
  void SetOverlay(Overlay overlay);

  // Widget position of a drawing point, and back.
  QPointF ToScreen(const QPointF& world) const;
  QPointF ToWorld(const QPointF& screen) const;
  double PixelsPerUnit() const;

  // Pixels around a click in which an entity counts as hit.
  static constexpr double kPickTolerancePixels = 6;

 signals:
  // A click of the left or right button without a drag.
  void clicked(QPoint position, Qt::MouseButton button);
  void escapePressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  paint::RenderOptions Options() const;
  void PaintHighlight(QPainter& painter) const;

  const cad::DrawingModel* mDrawing = nullptr;
  std::unique_ptr<paint::DrawingPainter> mPainter;
  paint::PictureCache mPicture;  // the drawing as last painted, reused while panning
  std::string mHighlight;
  Overlay mOverlay;
  bool mFitted = false;
  Qt::MouseButton mPressButton = Qt::NoButton;
  QPoint mPressPosition;
  QPoint mLastDragPosition;
  bool mDragging = false;
  bool mUserMoved = false;  // panned or zoomed since the last fit
};

}  // namespace veerline::ui
