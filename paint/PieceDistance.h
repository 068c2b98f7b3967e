#pragma once

#include <QPointF>
#include <QTransform>

#include "cad/geometry/EntityGeometry.h"

namespace veerline::paint {

// Distance in pixels from a screen point to a piece as it is painted through
// the transform: to its line work, and 0 inside a filled area or a text's box.
double ScreenDistance(const cad::GeometryPiece& piece, const QTransform& toScreen,
                      const QPointF& screen);

}  // namespace veerline::paint
