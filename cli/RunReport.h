#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "run/RunResultModel.h"

namespace veerline::cli {

// The JSON report of one batch run: outcome, messages, figures, the segment
// chain, stations, tracks, outline stations, envelope, blocks and clearance.
nlohmann::json MakeRunReport(const RunResultModel& model);

}  // namespace veerline::cli
