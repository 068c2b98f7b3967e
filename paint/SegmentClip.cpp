#include "paint/SegmentClip.h"

#include <cmath>

namespace veerline::paint {

std::optional<QLineF> ClipSegment(const QLineF& line, const QRectF& rect) {
  const double x1 = line.x1(), y1 = line.y1(), dx = line.dx(), dy = line.dy();
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(dx) || !std::isfinite(dy)) {
    return std::nullopt;
  }
  double t0 = 0, t1 = 1;
  // Each boundary as p * t <= q; p = 0 means the segment runs parallel to it.
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - rect.left(), rect.right() - x1, y1 - rect.top(), rect.bottom() - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return std::nullopt;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return std::nullopt;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return std::nullopt;
      if (t < t1) t1 = t;
    }
  }
  return QLineF(x1 + t0 * dx, y1 + t0 * dy, x1 + t1 * dx, y1 + t1 * dy);
}

}  // namespace veerline::paint
