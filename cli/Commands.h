#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace veerline::cli {

// The action a parsed subcommand runs; returns the process exit status.
using Action = std::function<int()>;

// Exit statuses: 0 done, 1 unexpected failure, 2 bad arguments or a refused input.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitBadInput = 2;

void AddLibraryCommands(CLI::App& app, Action& action);
void AddRunCommand(CLI::App& app, Action& action);
void AddPathCommand(CLI::App& app, Action& action);
void AddFleetCommand(CLI::App& app, Action& action);

}  // namespace veerline::cli
