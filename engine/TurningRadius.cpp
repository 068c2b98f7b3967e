#include "engine/TurningRadius.h"

#include <cmath>

#include "engine/Numerics.h"
#include "engine/Rounding.h"

namespace veerline {

std::optional<double> MinCentrelineRadius(const VehicleFields& fields,
                                          const NumberSymbols& symbols) {
  const auto angle = fields.TryNumber(Dimension::MaxTurningAngle, symbols);
  const auto wheelbase = fields.TryNumber(Dimension::Wheelbase, symbols);
  if (!angle || !wheelbase || *angle == 0) return std::nullopt;
  const double radius = RoundHalfEven(*wheelbase / std::sin(DegToRad(*angle)), 2);
  if (!std::isfinite(radius) || radius <= 0) return std::nullopt;
  return radius;
}

double PathCornerRadius(double minCentrelineRadius) {
  return std::ceil(minCentrelineRadius * 2) / 2;
}

}  // namespace veerline
