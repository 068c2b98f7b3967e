#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QStringList>

#include "engine/RunState.h"
#include "engine/VehicleModel.h"

namespace veerline::paint {

// Background and label font of the two diagram boxes. The curves, grid and
// labels have fixed colours; white grid lines need a dark background.
struct DiagramStyle {
  QColor background = Qt::black;
  QFont font = DefaultDiagramFont();
  // The legend of the "Turning Report", one line per curve in the curves'
  // order (red, yellow, green, blue); empty for the generic " Truck",
  // " Segment #1" to " Segment #3".
  QStringList legend;

  // The label font used when the caller gives none.
  static QFont DefaultDiagramFont();
};

// Draws the "Turning Report" onto a painter covering a box of the given size:
// the steering track in red and the articulation tracks in yellow, green and
// blue, in percent of their limits, with the grid at 0 and +-50 % and the labels
// and legend.
void PaintTurningDiagram(QPainter& painter, const QSize& box, const RunState& state,
                         const DiagramStyle& style = {});

// Draws the "Lock to lock Report": the speed track in red between -5 and 35,
// with the grid at 0, 10, 20 and 30 and labels in the given speed unit.
void PaintSpeedDiagram(QPainter& painter, const QSize& box, const RunState& state, SpeedUnit unit,
                       const DiagramStyle& style = {});

// The "Turning Report" as an image of exactly the box size (null for an empty size).
QImage RenderTurningDiagram(const RunState& state, const QSize& box,
                            const DiagramStyle& style = {});

// The "Lock to lock Report" as an image of exactly the box size (null for an empty size).
QImage RenderSpeedDiagram(const RunState& state, const QSize& box, SpeedUnit unit,
                          const DiagramStyle& style = {});

// The unit text the speed labels carry: " mph", " m/s" or " km/h".
QString SpeedUnitSuffix(SpeedUnit unit);

}  // namespace veerline::paint
