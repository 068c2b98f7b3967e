#pragma once

// The shortest text that reads back as the same double, laid out exactly as
// std::to_chars(first, last, value) lays it out (fixed or scientific,
// whichever is shorter, fixed on a tie), in about two thirds of its time: the
// digits come from the Dragonbox algorithm, and only values outside the range
// that coordinates take fall back to std::to_chars.

namespace veerline::cad {

// Room that WriteShortestReal may need.
inline constexpr int kShortestRealChars = 48;

// Writes `value` at `at` (with room for kShortestRealChars characters);
// returns the end of what it wrote.
char* WriteShortestReal(char* at, double value);

}  // namespace veerline::cad
