#pragma once

// The envelope of a manoeuvre. A vehicle that backs up sweeps back over
// ground it covered going forwards, and its leading end changes at every
// cusp, so the envelope is not traced by probing from one axle's track: it is
// the outline of the area the bodies covered (the union of their outlines at
// every station), split into two sides where the vehicle started and where it
// ended.

#include <optional>

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

// The width of a manoeuvre's swept area at its widest: at every metre of the
// run, the chord of the area through the guided point (the front axle going
// forwards, the last rear axle backing up) square to the vehicle's heading,
// where it reaches no farther than the vehicle's length on either side (a
// longer one runs along another leg's ground rather than across the path).
// The two sides of its envelope run round the area, so the nearest-point
// measure of a forward run would span the legs. Nothing without an envelope.
std::optional<double> ManoeuvreSweptWidth(const RunState& state);

}  // namespace veerline
