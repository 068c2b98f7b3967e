// The texts of complex linetypes ("GAS" in a gas main's line) along the line
// work drawn with them: at the end of their pattern element in every repeat
// of the pattern, turned along the line where they lie.

#include <cmath>
#include <numbers>

#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
// A line takes no more repeats of its texts than this (a pattern far finer
// than the line would otherwise fill the memory with unreadable text).
constexpr double kMaxRepeats = 5000;

}  // namespace

std::vector<GeometryText> LinetypeTextsAlong(const std::vector<Point2D>& points, bool closed,
                                             const DrawingLinetype& linetype, double scale) {
  std::vector<GeometryText> texts;
  double period = 0;
  for (double d : linetype.Pattern) period += std::fabs(d) * scale;
  if (linetype.Texts.empty() || points.size() < 2 || !(period > 0) || !std::isfinite(period))
    return texts;
  // The distance along the line at which each vertex lies.
  std::vector<Point2D> line = points;
  if (closed) line.push_back(points.front());
  std::vector<double> at{0};
  for (std::size_t i = 1; i < line.size(); ++i)
    at.push_back(at.back() + std::hypot(line[i].X - line[i - 1].X, line[i].Y - line[i - 1].Y));
  const double length = at.back();
  if (!(length / period < kMaxRepeats)) return texts;
  for (const LinetypeText& written : linetype.Texts) {
    double end = 0;
    for (std::size_t e = 0; e <= written.Element && e < linetype.Pattern.size(); ++e)
      end += std::fabs(linetype.Pattern[e]) * scale;
    const double height = written.Height * scale;
    if (!(height > 0)) continue;
    std::size_t segment = 1;
    for (double from = end; from <= length; from += period) {
      while (segment + 1 < at.size() && at[segment] < from) ++segment;
      const Point2D& a = line[segment - 1];
      const Point2D& b = line[segment];
      const double span = at[segment] - at[segment - 1];
      if (!(span > 0)) continue;
      const Point2D tangent{(b.X - a.X) / span, (b.Y - a.Y) / span};
      const Point2D normal{-tangent.Y, tangent.X};
      const double t = from - at[segment - 1];
      const double x = written.OffsetX * scale, y = written.OffsetY * scale;
      const double turn = written.RotationDeg * kDegToRad +
                          (written.AbsoluteRotation ? 0 : std::atan2(tangent.Y, tangent.X));
      const Point2D dir{std::cos(turn), std::sin(turn)};
      const double textLength = TextLength(written.Text, height, 1);
      GeometryText text;
      text.Value = written.Text;
      text.Origin = {a.X + tangent.X * (t + x) + normal.X * y,
                     a.Y + tangent.Y * (t + x) + normal.Y * y};
      text.Along = {dir.X * textLength, dir.Y * textLength};
      text.Up = {-dir.Y * height, dir.X * height};
      texts.push_back(std::move(text));
    }
  }
  return texts;
}

}  // namespace veerline::cad
