#pragma once

#include <QLineF>
#include <QRectF>
#include <optional>

namespace veerline::paint {

// The part of a line segment inside a rectangle (Liang-Barsky), or nothing when
// it misses the rectangle or has a non-finite end. Painting clips with it first
// so that far-off points never reach the raster engine's fixed-point maths.
std::optional<QLineF> ClipSegment(const QLineF& line, const QRectF& rect);

}  // namespace veerline::paint
