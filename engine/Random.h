#pragma once

#include "engine/Host.h"

namespace veerline {

// A whole number from lowerBound to lowerBound + upperBound - 1: the host's
// random number in [0, 1) times upperBound, rounded down, plus lowerBound.
double Random(int lowerBound, int upperBound, Host& host);

}  // namespace veerline
