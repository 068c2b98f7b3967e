#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/RunState.h"
#include "run/RunHost.h"
#include "run/RunInputs.h"

namespace veerline {

// Everything a run talks to: the window, the drawing and the colour settings,
// and the run state the window owns.
struct RunContext {
  RunHost& host;
  cad::CadConnection& connection;
  cad::ColourSettings& colours;
  RunState& state;
  // When the run's inputs name no legs: the legs, in order, of the manoeuvre
  // the picked polyline belongs to; none when it belongs to none, and the
  // picked polyline runs on its own.
  struct Leg {
    cad::CadEntity* entity = nullptr;
    bool reverse = false;
  };
  std::function<std::vector<Leg>(cad::CadEntity& picked)> manoeuvreOf = {};
};

inline constexpr const char* kPickPrompt = "Select path (Polyline) in Drawing";

// What a run made beside the state it leaves: how it ended, the names of its
// blocks (empty when they could not be made) and the blocks it inserted.
struct RunResult {
  RunOutcome outcome = RunOutcome::Ended;
  cad::RunBlockNames blocks;
  std::vector<std::string> insertedBlocks;  // in insertion order
  // Memory ran out: the envelope was not drawn, or the run did not finish.
  bool outOfMemory = false;
};

// Performs one run: pick, checks, segment chain, blocks, path, station loop,
// output and clean-up. Reports what it must through the host.
RunResult ExecuteSweep(ExecuteParams& params, const RunInputs& inputs, RunContext& context);

// The Execute button: its own checks (MakeRunOptions), the run, then the
// front-wheel or articulation report.
RunResult ExecuteButton(const RunInputs& inputs, RunContext& context);

// The summary line a run leaves in the first status panel.
std::string RunSummary(const RunState& state, int speedUnit, const NumberSymbols& symbols);

}  // namespace veerline
