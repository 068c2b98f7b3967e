#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/VehicleModel.h"

namespace veerline::cad {

// Draws one unit at one station into the vehicle block: the closed body
// outline, the coupling circle where the unit asks for one, and every tyre as
// a closed outline with three tread lines (front tyres only for the steered
// unit, a second rear axle except for types 5, 7 and 8). A failure is reported
// with " PlotSegment"; what was drawn stays.
void PlotSegment(const SegmentCorners& corners, const std::string& layer,
                 const SegmentRecord& segment, int vehicleType, double metresPerUnit,
                 CadConnection& connection, CadBlock& vehicleBlock, ColourSettings& colours,
                 Host& host);

}  // namespace veerline::cad
