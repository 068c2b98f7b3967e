#pragma once

// The one way from what the user gave (RunInputs) to the options of a run: the
// Execute button's own checks in their order, and the numbers they read. The
// button runs with the options or shows the message; the window asks it before
// a run to know whether the button will refuse.

#include <variant>

#include "engine/NumberRule.h"
#include "run/RunChecks.h"
#include "run/RunInputs.h"

namespace veerline {

// The run's options, or the message the Execute button shows instead of running.
std::variant<ExecuteParams, RunMessage> MakeRunOptions(const RunInputs& inputs,
                                                       const NumberSymbols& symbols);

}  // namespace veerline
