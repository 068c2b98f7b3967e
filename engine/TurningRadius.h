#pragma once

// The smallest radius the vehicle's front axle centre line can turn on, as
// the vehicle summary shows it, and the corner radius a drawn path starts with.

#include <optional>

#include "engine/NumberRule.h"
#include "engine/VehicleModel.h"

namespace veerline {

// Wheelbase over the sine of the largest steering angle, to two decimals;
// nothing while either field does not convert or the angle is 0.
std::optional<double> MinCentrelineRadius(const VehicleFields& fields,
                                          const NumberSymbols& symbols);

// The radius rounded up to the next half unit, the default for path corners.
double PathCornerRadius(double minCentrelineRadius);

}  // namespace veerline
