#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "engine/NumberRule.h"
#include "ui/paint/DrawingScene.h"
#include "ui/paint/ViewTransform.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::paint {

struct RenderOptions {
  bool darkBackground = false;  // black instead of white; colour 7 switches to white
  int marginPixels = 20;        // free border around the drawing's extents
  bool scaleBar = true;
  QString unitLabel;  // written after the scale bar's length, e.g. "m"
  NumberSymbols symbols = NumberSymbols::PointDecimal();
  bool antialiasing = true;
};

// Paints model space of a drawing through a view transform and finds the entity
// under a screen point. The drawing is read once into a scene; call Rebuild()
// after the drawing changes.
class DrawingPainter {
 public:
  explicit DrawingPainter(const cad::DrawingModel& model);

  // Reads the drawing again.
  void Rebuild();
  const Scene& Items() const { return mScene; }
  // Bounds of everything drawn, in drawing units; nothing for an empty drawing.
  const std::optional<QRectF>& Extents() const { return mExtents; }

  ViewTransform& View() { return mView; }
  const ViewTransform& View() const { return mView; }
  // Fits the drawing's extents into a screen of the given size, inside the
  // options' margin and above the scale bar's strip when there is one.
  void ZoomToExtents(const QSize& screen, const RenderOptions& options);

  // Fills the background and draws every item and, if asked, the scale bar.
  void Paint(QPainter& painter, const QSize& screen, const RenderOptions& options) const;

  // Handle of the model-space entity drawn nearest to the screen point, if one
  // lies within the tolerance; entities in a block reference give the reference.
  // Line widths count: a point on a wide polyline is on it.
  std::optional<std::string> HitTest(const QPointF& screen, double tolerancePixels) const;

 private:
  void PaintLineWork(QPainter& painter, const SceneItem& item, const QRectF& visible) const;
  double ScreenDistance(const SceneItem& item, const QPointF& screen) const;

  const cad::DrawingModel& mModel;
  Scene mScene;
  std::optional<QRectF> mExtents;
  ViewTransform mView;
};

// A picture of the drawing of exactly the given size (null for an empty size),
// fitted to the extents with the options' margin.
QImage RenderDrawing(const cad::DrawingModel& model, const QSize& size,
                     const RenderOptions& options = {});

}  // namespace veerline::paint
