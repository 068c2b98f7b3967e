#include "paint/DiagramScale.h"

#include <algorithm>
#include <cmath>

namespace veerline::paint {

namespace {

// Box sides below one pixel would make the inverse mapping divide by zero.
double Side(int pixels) { return std::max(pixels, 1); }

}  // namespace

QPointF DiagramScale::ToPixel(double x, double y, const QSize& box) const {
  return {(x - left) / width * Side(box.width()), (y - top) / height * Side(box.height())};
}

QPointF DiagramScale::ToDiagram(const QPointF& pixel, const QSize& box) const {
  return {left + pixel.x() / Side(box.width()) * width,
          top + pixel.y() / Side(box.height()) * height};
}

double DiagramStationExtent(const RunState& state) {
  if (state.steeringTrack.empty()) return 1;
  const double last = state.steeringTrack.back().Distance;
  return (std::isfinite(last) && last > 0) ? last : 1;
}

DiagramScale TurningDiagramScale(const RunState& state) {
  return {0, 100, DiagramStationExtent(state), -200};
}

DiagramScale SpeedDiagramScale(const RunState& state) {
  return {0, 35, DiagramStationExtent(state), -40};
}

}  // namespace veerline::paint
