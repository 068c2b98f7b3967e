#pragma once

#include <vector>

#include "run/ExecuteSweep.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::ui {

// The legs of the manoeuvre in the open drawing that the picked polyline
// belongs to, for the run; none for a polyline of no manoeuvre.
std::vector<RunContext::Leg> ManoeuvreOfPick(const cad::DrawingModel* drawing, cad::CadEntity& picked);

}  // namespace veerline::ui
