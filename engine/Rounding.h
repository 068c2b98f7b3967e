#pragma once

namespace veerline {

// Rounds to the given number of decimals, sending exact halves to the even
// neighbour (12.25 to one decimal gives 12.2). Every rounding in the engine
// goes through here so that diagrams, reports and texts agree.
double RoundHalfEven(double value, int decimals = 0);

}  // namespace veerline
