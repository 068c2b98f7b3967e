#include "paint/PieceDistance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veerline::paint {

namespace {

double SegmentDistance(const QPointF& p, const QPointF& a, const QPointF& b) {
  const QPointF ab = b - a;
  const double lengthSquared = QPointF::dotProduct(ab, ab);
  const double t =
      lengthSquared > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / lengthSquared, 0.0, 1.0) : 0;
  const QPointF offset = p - (a + ab * t);
  return std::hypot(offset.x(), offset.y());
}

// Distance to the edges of points [first, end), closed into a ring when asked,
// and whether the point lies inside that ring (crossing count).
double RingDistance(const std::vector<QPointF>& points, std::size_t first, std::size_t end,
                    bool closed, const QPointF& p, bool& inside) {
  double best = std::numeric_limits<double>::infinity();
  const std::size_t count = end - first;
  if (count == 1) return std::hypot(p.x() - points[first].x(), p.y() - points[first].y());
  const std::size_t segments = closed ? count : count - 1;
  for (std::size_t k = 0; k < segments; ++k) {
    const QPointF& a = points[first + k];
    const QPointF& b = points[first + (k + 1) % count];
    best = std::min(best, SegmentDistance(p, a, b));
    if (closed && (a.y() > p.y()) != (b.y() > p.y()) &&
        p.x() < a.x() + (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y())) {
      inside = !inside;
    }
  }
  return best;
}

}  // namespace

double ScreenDistance(const cad::GeometryPiece& piece, const QTransform& toScreen,
                      const QPointF& screen) {
  std::vector<QPointF> points;
  points.reserve(piece.Points.size());
  for (const Point2D& p : piece.Points) points.push_back(toScreen.map(QPointF(p.X, p.Y)));
  if (points.empty()) return std::numeric_limits<double>::infinity();
  double best = std::numeric_limits<double>::infinity();
  if (piece.Kind != cad::PieceKind::Fill) {
    bool inside = false;
    const bool closed = piece.Closed || piece.Kind == cad::PieceKind::Text;
    best = RingDistance(points, 0, points.size(), closed, screen, inside);
    return piece.Kind == cad::PieceKind::Text && inside ? 0 : best;
  }
  // Fills: inside alternates across rings, or holds for any ring of a union.
  bool insideAlternating = false, insideAny = false;
  std::size_t first = 0;
  for (std::uint32_t end : piece.RingEnds) {
    if (end <= first || end > points.size()) break;
    bool inside = false;
    best = std::min(best, RingDistance(points, first, end, true, screen, inside));
    insideAlternating = insideAlternating != inside;
    insideAny = insideAny || inside;
    first = end;
  }
  return (piece.Union ? insideAny : insideAlternating) ? 0 : best;
}

}  // namespace veerline::paint
