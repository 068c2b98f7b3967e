#pragma once

#include <iosfwd>
#include <stdexcept>

#include "cli/Commands.h"

namespace veerline::cli {

// A command-line error: one line on stderr and exit status 2.
struct BadInput : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Runs a command; a refused input (BadInput, a vehicle that cannot be
// chosen, a drawing that cannot be read or written) prints its one line and
// gives exit status 2.
int ExitTwoOnBadInput(const Action& command);
// The same, with the line printed to err.
int ExitTwoOnBadInput(const Action& command, std::ostream& err);

}  // namespace veerline::cli
