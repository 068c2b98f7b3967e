#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/Host.h"
#include "engine/RunState.h"
#include "run/RunInputs.h"

namespace veerline {

// Everything a run talks to: the window, the drawing and the colour settings,
// and the run state the window owns.
struct RunContext {
  Host& host;
  cad::CadConnection& connection;
  cad::ColourSettings& colours;
  RunState& state;
};

inline constexpr const char* kPickPrompt = "Select path (Polyline) in Drawing";

// Performs one run: pick, checks, segment chain, blocks, path, station loop,
// output and clean-up. Reports what it must through the host; returns how the
// run ended.
RunOutcome ExecuteSweep(ExecuteParams& params, const RunInputs& inputs, RunContext& context);

// The Execute button: its own checks, the run, then the front-wheel or
// articulation report.
RunOutcome ExecuteButton(const RunInputs& inputs, RunContext& context);

// The summary line a run leaves in the first status panel.
std::string RunSummary(const RunState& state, int speedUnit, const NumberSymbols& symbols);

}  // namespace veerline
