#pragma once

#include "engine/SafeSave.h"
#include "run/RunResultModel.h"

namespace veerline {

// Writes the JSON report of one batch run piece by piece to `sink`: outcome,
// messages, figures, the segment chain, stations, tracks, outline stations,
// envelope, blocks, clearance, legs and axles, as an object of sorted keys
// laid out one space a level and ending with a line break. The station
// tables go straight into the text; no tree of the whole report is built.
void WriteRunReport(const RunResultModel& model, const SavePieces& sink);

}  // namespace veerline
