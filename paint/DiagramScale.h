#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

#include "engine/RunState.h"

namespace veerline::paint {

// The user scale of a diagram box: the diagram coordinate at the box's left and
// top edges and the extent across it. A negative height makes y grow upward.
struct DiagramScale {
  double left = 0;
  double top = 0;
  double width = 1;
  double height = -1;

  // Diagram coordinates to pixel coordinates in a box of the given size.
  QPointF ToPixel(double x, double y, const QSize& box) const;
  // Pixel position in a box of the given size to diagram coordinates.
  QPointF ToDiagram(const QPointF& pixel, const QSize& box) const;
};

// The x extent shared by both diagrams: the station distance of the last row of
// the steering track. A run without a positive extent (no rows, or one station
// at distance 0) gets an extent of 1 so that grid and labels still show.
double DiagramStationExtent(const RunState& state);

// Scale of the "Turning Report": 0 to the last station across, 100 % at the top
// down to -100 % at the bottom.
DiagramScale TurningDiagramScale(const RunState& state);

// Scale of the "Lock to lock Report": 0 to the last station across, 35 at the
// top down to -5 at the bottom.
DiagramScale SpeedDiagramScale(const RunState& state);

}  // namespace veerline::paint
