#pragma once

#include "engine/VehicleModel.h"
#include "run/RunHost.h"

namespace veerline::ui {

// Recomputes the vehicle summary (total length and minimum turning radius) of
// the given type from the fields and shows it through the host.
double AskSummary(int vehicleType, const VehicleFields& fields, RunHost& host);

}  // namespace veerline::ui
