#include <exception>
#include <iostream>

#include "cli/Commands.h"

int main(int argc, char** argv) {
  using namespace veerline::cli;
  CLI::App app{"veerline-cli: swept-path analysis of road vehicles on DXF drawings, and vehicle libraries"};
  app.require_subcommand(1);
  Action action;
  AddLibraryCommands(app, action);
  AddRunCommand(app, action);
  AddPathCommand(app, action);
  AddFleetCommand(app, action);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help
    std::cerr << "veerline-cli: " << e.what() << "\n";
    return kExitBadInput;
  }
  if (!action) return kExitBadInput;
  try {
    return action();
  } catch (const std::exception& e) {
    std::cerr << "veerline-cli: " << e.what() << "\n";
    return kExitFailure;
  }
}
