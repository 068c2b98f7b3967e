#pragma once

#include <QPolygonF>
#include <QWidget>
#include <functional>
#include <vector>

#include "cad/geometry/SnapPoints.h"

class QPainter;

namespace veerline::ui {

class DrawingView;

// A transparent layer over the drawing view for what is shown but not part
// of the drawing: the selection, a path being drawn, snap markers. It lets
// every mouse event through to the view, follows the view's size, and is
// repainted whenever the view is.
class DrawingOverlay : public QWidget {
 public:
  using PaintStep = std::function<void(QPainter&)>;

  explicit DrawingOverlay(DrawingView& view);
  // Steps are painted in the order they were added.
  void AddPaintStep(PaintStep step) { mSteps.push_back(std::move(step)); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<PaintStep> mSteps;
};

// A curve as widget points, arcs in steps of a few pixels.
QPolygonF CurveOnScreen(const cad::SnapCurve& curve, const DrawingView& view);

}  // namespace veerline::ui
