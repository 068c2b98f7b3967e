#pragma once

// The desktop program's fleet check: every vehicle of a library over one
// path of the open drawing, each run as the Execute button runs it, on a copy
// of the drawing of its own so that runs can go on side by side on threads.

#include <atomic>
#include <string>
#include <vector>

#include "engine/NumberRule.h"
#include "engine/VehicleModel.h"
#include "run/FleetRow.h"
#include "run/RunInputs.h"

namespace veerline {

struct FleetRequest {
  std::string drawingText;  // the drawing as DXF text; every run reads its own copy
  std::string drawingName;
  std::string pathHandle;   // the path every vehicle drives
  RunInputs inputs;         // the window's run options; the vehicle is replaced per run
  NumberSymbols symbols = NumberSymbols::PointDecimal();  // the window's decimal symbol
  std::string library;      // file name of the library, for the rows
};

struct FleetVehicle {
  int record = 0;
  VehicleRecord vehicle;
};

// One vehicle's run and its row. Setting stop ends the run at its next check
// (the row says "cancelled"). Never throws: a failure is the row's reason.
FleetRow RunFleetVehicle(const FleetRequest& request, const FleetVehicle& vehicle,
                         const std::atomic<bool>& stop);

}  // namespace veerline
