#pragma once

#include <string>
#include <vector>

#include "engine/VehicleModel.h"

namespace veerline {

// What the main window hands to a run: the vehicle as its fields show it, the
// list positions and texts of the run options, and the output check boxes.
struct RunInputs {
  VehicleFields vehicle;      // Type = item data of Combo1, Unit = position of Combo3
  int pathUnit = 0;           // position of Combo2
  int speedUnit = 0;          // position of Combo4
  std::string txt_Speed = "10";
  std::string txt_plotSpacing = "5";
  bool plotVehicle = true;           // chk_PlotVehicle
  bool plotOnlyFirstAndLast = true;  // Check1
  bool plotSweep = false;            // chk_plotSweep
  bool plotPerimeter = true;         // Check2
  bool reverse = false;              // Chk_reverse
  bool exactTracking = false;        // chk_ExactTracking: exact kinematics on forward legs
  // A manoeuvre: the legs in order, each picked in turn. Empty: one forward
  // leg, the polyline the user picks.
  struct Leg {
    bool reverse = false;
    std::string handle;  // what the batch tool picks; the window fills it from the drawing
  };
  std::vector<Leg> legs;
  // The clearance check: the layers whose entities are obstacles (none: no
  // check) and the margin in drawing units as its field shows it.
  std::vector<std::string> obstacleLayers;
  std::string txt_ClearanceMargin = "0";
};

// The parameters of one run, as the Execute button reads them from RunInputs.
struct ExecuteParams {
  int VType = 0;
  double PlotSpacing = 0;      // replaced by the gap actually used
  bool PlotVehicle = true;     // set by a limit stop
  bool PlotSweep = false;
  bool PlotOnlyFirstandLast = true;
  bool Reverse = false;
  double LockToLock = 0;
  double VehicleSpeed = 0;     // converted in place to metres per second
  bool plotPerimeter = true;
  double ClearanceMargin = 0;  // drawing units
};

// How a run attempt ended, for the window and the batch report.
enum class RunOutcome {
  Completed,    // the vehicle reached the last station
  FrontWheel,   // stopped at the front-wheel steering limit
  Articulation, // stopped at the articulation limit
  LockToLock,   // stopped at the steering-rate limit
  Cancelled,    // stopped on request
  Ended,        // a check, the pick, a refusal or a failure ended the run
};

const char* RunOutcomeKey(RunOutcome outcome);

}  // namespace veerline
