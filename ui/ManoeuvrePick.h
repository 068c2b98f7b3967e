#pragma once

#include <optional>
#include <vector>

#include "run/ExecuteSweep.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::ui {

// The legs of the manoeuvre in the open drawing that the picked polyline
// belongs to, for the run; none for a polyline of no manoeuvre.
std::vector<RunContext::Leg> ManoeuvreOfPick(const cad::DrawingModel* drawing, cad::CadEntity& picked);

// From the first unit's front axle to the last unit's rear axle with the
// vehicle stretched straight, in the vehicle's units; nothing while a field
// it needs does not convert.
std::optional<double> StretchedAxleSpan(const VehicleFields& fields, const NumberSymbols& symbols);

}  // namespace veerline::ui
