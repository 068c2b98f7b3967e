#pragma once

// The envelope of a manoeuvre. A vehicle that backs up sweeps back over
// ground it covered going forwards, and its leading end changes at every
// cusp, so the envelope is not traced by probing from one axle's track: it is
// the outline of the area the bodies covered (the union of their outlines at
// every station), split into two sides where the vehicle started and where it
// ended.

#include "engine/Envelope.h"
#include "engine/RunState.h"

namespace veerline {

// True for a run with a leg driven in reverse.
bool HasReverseLeg(const RunState& state);

// The two sides of the swept area's outline, each from the trailing end of
// the vehicle where it started to its leading end where it stopped; the
// right-hand one leaves the start on the vehicle's right. Both are empty when
// the run placed no body.
EnvelopeTraces SweptAreaEnvelope(const RunState& state);

}  // namespace veerline
