#pragma once

// The legs of a run: stationing each leg's polyline into one sequence of
// stations, the outline spacing of each leg, and how far each leg got.

#include <vector>

#include "cad/CadInterface.h"
#include "engine/Host.h"
#include "engine/RunState.h"
#include "run/RunInputs.h"

namespace veerline {

// Stations every leg's polyline in order into state.stations (distances
// running on from leg to leg) and state.guidedPoints, and fills state.legs and
// state.pathLength. False when a leg could not be stationed.
bool PrepareLegs(const RunInputs& inputs, const std::vector<cad::CadEntity*>& entities,
                 RunState& state, Host& host);

// The one leg of a plain run on the stations already prepared.
void SingleLeg(const RunInputs& inputs, const std::string& handle, RunState& state);

// Each leg's outline spacing: a single leg keeps the run's; in a manoeuvre each
// leg spaces its outlines over its own length.
void SetLegPlotIntervals(const ExecuteParams& params, double wantedSpacing, double runInterval,
                         RunState& state);

// Where each leg ended once the loop has: completed, the outcome of the leg
// it stopped on, or not reached.
void FinishLegs(LoopEnd end, RunOutcome outcome, RunState& state);

}  // namespace veerline
