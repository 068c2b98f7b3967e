#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/NumberRule.h"
#include "paint/DrawingScene.h"
#include "paint/ViewTransform.h"

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
// under a screen point. The drawing is flattened once into a scene; call
// Rebuild() after the drawing changes. Only the pieces in view are painted,
// and detail smaller than a pixel is left out.
class DrawingPainter {
 public:
  explicit DrawingPainter(const cad::DrawingModel& model);
  ~DrawingPainter();

  // Reads the drawing again.
  void Rebuild();
  const DrawingScene& Scene() const { return *mScene; }
  // Counts the rebuilds, so a picture of the drawing can tell it is out of date.
  int Generation() const { return mGeneration; }
  // Bounds of everything drawn, in drawing units; nothing for an empty drawing.
  const std::optional<QRectF>& Extents() const { return mScene->Bounds(); }

  ViewTransform& View() { return mView; }
  const ViewTransform& View() const { return mView; }
  // Fits the drawing's extents into a screen of the given size, inside the
  // options' margin and above the scale bar's strip when there is one.
  void ZoomToExtents(const QSize& screen, const RenderOptions& options);

  // Fills the background and draws every piece in view and, if asked, the scale bar.
  void Paint(QPainter& painter, const QSize& screen, const RenderOptions& options) const;
  // The background and the pieces of one area of the screen only, clipped to it.
  void PaintArea(QPainter& painter, const QSize& screen, const RenderOptions& options,
                 const QRect& area) const;
  // What stays in place on the screen whatever the view: the scale bar, if asked.
  void PaintOverlay(QPainter& painter, const QSize& screen, const RenderOptions& options) const;
  // Draws the pieces of one model-space entity again on top, outlined in the colour.
  void PaintHighlight(QPainter& painter, const std::string& handle, const QColor& colour,
                      double widthPixels) const;

  // Handle of the model-space entity drawn nearest to the screen point, if one
  // lies within the tolerance; entities in a block reference give the
  // reference. A point inside a filled area or a text's box is on it. With
  // preferPolylines, the nearest polyline within the tolerance wins over
  // anything nearer that is not one.
  std::optional<std::string> HitTest(const QPointF& screen, double tolerancePixels,
                                     bool preferPolylines = false) const;

 private:
  const cad::DrawingModel& mModel;
  std::unique_ptr<DrawingScene> mScene;
  ViewTransform mView;
  int mGeneration = 0;
  mutable std::vector<std::uint32_t> mVisible;  // reused between frames
  mutable std::vector<float> mTextAdvances;     // font width of each text, -1 until measured
};

// A picture of the drawing of exactly the given size (null for an empty size),
// fitted to the extents with the options' margin.
QImage RenderDrawing(const cad::DrawingModel& model, const QSize& size,
                     const RenderOptions& options = {});

}  // namespace veerline::paint
