#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "engine/Geometry.h"
#include "engine/Host.h"

namespace veerline::cad {

// Marks an exceeded articulation at the coupling point v: two 5 m arms, one
// towards a (along the towing unit) and one continuing the line from b through
// v, drawn 0.1 m wide, and the angle's size to one decimal, 1 m high, midway
// between the arm ends; colour index 1 on the given layer, into the vehicle
// block. A failure (also a or b on v) is reported with " Plot Exceede Segment angle".
void PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b, double angleDegrees,
                          const std::string& layer, double metresPerUnit, CadConnection& connection,
                          CadBlock& vehicleBlock, Host& host);

}  // namespace veerline::cad
