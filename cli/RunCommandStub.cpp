#include "cli/Commands.h"

namespace veerline::cli {

void AddRunCommand(CLI::App&, Action&) {}

}  // namespace veerline::cli
