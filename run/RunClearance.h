#pragma once

// The run's clearance step: obstacles read from the drawing before the
// station loop, the check over the stations reached, and its marks and
// clearance line in the envelope block.

#include <vector>

#include "engine/Clearance.h"
#include "run/ExecuteSweep.h"

namespace veerline {

// The obstacles on the chosen layers, with arcs cut to chords within 1 mm.
// Only the in-memory drawing can be read this way; another gives none.
std::vector<Obstacle> ReadObstacles(const RunInputs& inputs, RunContext& context);

// Measures the obstacles against the outlines of every station reached and
// keeps the result in the run state. Does nothing without chosen layers.
void CheckRunClearance(const std::vector<Obstacle>& obstacles, const RunInputs& inputs,
                       double margin, RunState& state);

// Draws the conflict marks and, for a margin above 0 on a run that was not
// stopped by a limit, the clearance line (working out the envelope when the
// run did not). Returns true when it drew anything. CAD failures pass to the caller.
bool DrawRunClearance(RunContext& context, cad::CadBlock& envelopeBlock);

}  // namespace veerline
