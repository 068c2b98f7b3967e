#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "engine/VehicleModel.h"

namespace veerline::cli {

// Which vehicle a batch run uses: a library record by name or number (the
// library's first vehicle when neither is given), or one vehicle in JSON.
struct VehicleChoice {
  std::string library;  // empty: the default library beside the program
  std::string name;
  std::optional<int> record;
  std::string json;
};

// The chosen vehicle cannot be had; the text says why (and lists the names).
struct VehicleChoiceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void AddVehicleChoiceOptions(CLI::App& command, VehicleChoice& choice);
VehicleRecord LoadVehicleChoice(const VehicleChoice& choice);
// "DefaultVehicles.vdt" in the folder of the running program.
std::string DefaultLibraryPath();

}  // namespace veerline::cli
