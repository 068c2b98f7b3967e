#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "cli/CliHost.h"
#include "engine/RunState.h"
#include "run/ExecuteSweep.h"
#include "run/RunInputs.h"

namespace veerline::cli {

// The JSON report of one batch run: outcome, messages, figures, the segment
// chain, stations, tracks, outline stations, envelope, blocks and clearance.
nlohmann::json MakeRunReport(const RunResult& run, const RunState& state, const CliHost& host,
                             int speedUnit, const std::string& summary);

}  // namespace veerline::cli
