#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <optional>
#include <string>
#include <vector>

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::paint {

// One drawn piece of the drawing in drawing units: line work as a point chain
// (lines, polylines, arcs and circles, bulges already turned into short
// segments) or a text as a filled outline. Entities of a block reference are
// already placed by the reference's point, scale and rotation.
struct SceneItem {
  std::string handle;  // the model-space entity: the block reference for its contents
  int colorIndex = 7;  // resolved colour index, 1 to 255
  std::vector<QPointF> points;
  std::vector<double> widths;  // per segment, drawing units; empty for thin line work
  bool closed = false;
  QPainterPath text;  // outline of a text; empty for line work

  bool IsText() const { return !text.isEmpty(); }
  // Bounds in drawing units, widths included.
  QRectF Bounds() const;
};

using Scene = std::vector<SceneItem>;

// Everything model space shows, in drawing order: entities on hidden layers are
// left out, block references expanded (nested up to a fixed depth, so a block
// that refers to itself ends), colours resolved through "by layer" and "by
// block". Texts need a running QGuiApplication for their fonts; without one
// they are left out.
Scene BuildDrawingScene(const cad::DrawingModel& model);

// The points of a polyline segment from `from` to `to` with the given bulge
// (tangent of a quarter of the included angle, positive counter-clockwise):
// the points after `from`, ending exactly at `to`; just `to` for a straight one.
std::vector<QPointF> BulgeArcPoints(const QPointF& from, const QPointF& to, double bulge);

// The bounds of all items, or nothing for an empty scene.
std::optional<QRectF> SceneBounds(const Scene& scene);

}  // namespace veerline::paint
