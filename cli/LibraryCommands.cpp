#include "cli/Commands.h"

namespace veerline::cli {

void AddLibraryCommands(CLI::App&, Action&) {}

}  // namespace veerline::cli
