#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/Host.h"
#include "engine/RunState.h"

namespace veerline::cad {

// Draws the traces of the four body corners and the four axle edges into the
// sweep block, one open polyline per unit and trace, in the order front-left,
// front-right, front wheel right, front wheel left, rear-left, rear-right, rear
// wheel right, rear wheel left. A drawbar unit gets no body traces. A failure
// is reported with " PlotSweeplines"; what was drawn stays.
void PlotSweeplines(const std::string& leftLayer, const std::string& rightLayer,
                    const std::string& wheelLayer, CadConnection& connection, CadBlock& sweepBlock,
                    const RunState& state, ColourSettings& colours, Host& host);

}  // namespace veerline::cad
