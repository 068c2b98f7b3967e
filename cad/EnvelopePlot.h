#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/Envelope.h"
#include "engine/Host.h"
#include "engine/RunState.h"

namespace veerline::cad {

// Draws the two envelope traces as open polylines into the envelope block: the
// right-hand trace in the "EnvelopeLeftColor" colour on the first layer, the
// left-hand trace in "EnvelopeRightColor" on the second. Uses the connection's
// stored application and document. Has no handler: a trace without points or a
// CAD failure throws, for the run to pass over.
void DrawEnvelope(const EnvelopeTraces& traces, const std::string& firstLayer,
                  const std::string& secondLayer, CadConnection& connection,
                  CadBlock& envelopeBlock, ColourSettings& colours, const NumberSymbols& symbols);

// Computes the envelope of the run (sorting its side-line tables) and draws it.
// Throws on failure like DrawEnvelope.
void PlotEnvelope(RunState& state, const std::string& firstLayer, const std::string& secondLayer,
                  CadConnection& connection, CadBlock& envelopeBlock, ColourSettings& colours,
                  Host& host);

}  // namespace veerline::cad
