#pragma once

// The names of a run's three blocks: a random number of the block's range in
// plain digits followed by the local time stamp, so that runs never share a
// block and a block name tells when its run was made.

#include <string>

#include "cad/DrawingOutput.h"
#include "run/RunHost.h"

namespace veerline {

// A whole number from lowerBound to lowerBound + upperBound - 1: the host's
// random number in [0, 1) times upperBound, rounded down, plus lowerBound.
double Random(int lowerBound, int upperBound, RunHost& host);

// "yyMMddhhmmss".
std::string TimeStamp(const LocalTime& time);

// A run block name: Random(lower, upper) in plain digits, then the current time stamp.
std::string RunBlockName(int lower, int upper, RunHost& host);

// The vehicle (0..998), sweep (999..1997) and envelope (2000..5999) block names, in that order.
cad::RunBlockNames MakeRunBlockNames(RunHost& host);

}  // namespace veerline
