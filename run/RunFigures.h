#pragma once

// The figures by which one run is weighed against another: how it ended and
// where, its largest angles, its lowest speed, its smallest clearance and the
// width of its swept path. The run report and the fleet check's rows both
// take them from here, so a fleet row says what a single run says.

#include <optional>

#include "engine/RunState.h"
#include "run/RunInputs.h"

namespace veerline {

struct RunFigures {
  RunOutcome outcome = RunOutcome::Ended;
  // Where a limit stopped the vehicle and the angle there (no angle for the
  // steering-rate limit).
  std::optional<double> stopStation, stopAngle;
  // Present once the station loop has run; never a value that is not finite.
  std::optional<double> maxSteeringAngle, maxArticulationAngle, lowestSpeed;
  std::optional<double> minimumClearance;  // over all obstacles; none without any
  std::optional<double> sweptWidth;        // none without an envelope
  int conflicts = 0;                       // obstacles within the clearance margin
};

RunFigures MeasureRun(RunOutcome outcome, const RunState& state);

}  // namespace veerline
