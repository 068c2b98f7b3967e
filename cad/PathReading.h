#pragma once

// Reads the picked path polyline through the CAD interface and prepares its
// calculation stations.

#include "cad/CadInterface.h"
#include "engine/Host.h"
#include "engine/PathPreparation.h"
#include "engine/RunState.h"

namespace veerline {

// The entity's "Coordinates", "GetBulge" and "Closed" as a vertex table; a
// closed polyline gets its closing row. Throws the CadError of a failing call.
PathPolyline ReadPathPolyline(const cad::CadEntity& entity);

// Reads the entity, measures it (adding every segment's length to pathLength)
// and fills state.stations. Every failure is reported here in one message box
// and the procedure returns normally; after a failure state.stations is empty.
void Prepare_VehiclePath(cad::CadEntity& entity, double calculationStep, double& pathLength,
                         RunState& state, Host& host);

}  // namespace veerline
