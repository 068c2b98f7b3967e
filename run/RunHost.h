#pragma once

// What a run needs of the window that runs it beyond the engine's host: the
// main window stepping aside during the pick, the random numbers and the clock
// of the block names, and the figures the window shows after a run. The
// desktop program moves its windows; the command-line tool and tests do not.

#include <string>

#include "engine/Host.h"

namespace veerline {

// Local date and time, for the "yyMMddhhmmss" block name stamps.
struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class RunHost : public Host {
 public:
  virtual void MinimiseMainWindow() = 0;
  virtual void RestoreMainWindow() = 0;
  // A pseudo-random number in [0, 1).
  virtual double NextRandom() = 0;
  virtual LocalTime Now() = 0;
  // Draws the steering-angle and speed diagrams of the run just made.
  virtual void DrawRunDiagrams() {}
  // Caption of the main window's total-length label.
  virtual void SetTotalLengthCaption(const std::string& /*caption*/) {}
};

}  // namespace veerline
