#include "cli/VehicleChoice.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "library/VehicleDataFile.h"
#include "library/VehicleJson.h"

namespace veerline::cli {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

VehicleRecord FromJsonFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw VehicleChoiceError("cannot read " + file);
  std::ostringstream text;
  text << in.rdbuf();
  try {
    auto vehicles = library::VehiclesFromJson(text.str());
    if (vehicles.size() != 1)
      throw VehicleChoiceError(file + ": expected one vehicle, found " + std::to_string(vehicles.size()));
    return vehicles.front();
  } catch (const library::VehicleJsonError& e) {
    throw VehicleChoiceError(file + ": " + e.what());
  }
}

VehicleRecord FromLibrary(const VehicleChoice& choice) {
  const std::string file = choice.library.empty() ? DefaultLibraryPath() : choice.library;
  if (!std::filesystem::exists(file)) throw VehicleChoiceError("vehicle library not found: " + file);
  try {
    const auto listed = library::ListVehicleRecords(file);
    if (choice.record) return library::ReadVehicleRecord(file, *choice.record);
    if (choice.name.empty()) {
      if (listed.empty()) throw VehicleChoiceError(file + " holds no vehicles");
      return library::ReadVehicleRecord(file, listed.front().record);
    }
    std::string names;
    for (const auto& entry : listed) {
      if (Trimmed(entry.name) == choice.name) return library::ReadVehicleRecord(file, entry.record);
      names += (names.empty() ? "" : ", ") + Trimmed(entry.name);
    }
    throw VehicleChoiceError("no vehicle named '" + choice.name + "' in " + file +
                             " (vehicles: " + names + ")");
  } catch (const library::LibraryFileError& e) {
    throw VehicleChoiceError(file + ": " + e.what());
  }
}

}  // namespace

std::string DefaultLibraryPath() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  const auto folder = error ? std::filesystem::current_path() : self.parent_path();
  return (folder / "DefaultVehicles.vdt").string();
}

void AddVehicleChoiceOptions(CLI::App& command, VehicleChoice& choice) {
  auto* library = command.add_option("--library", choice.library,
                                     "Vehicle library (default: DefaultVehicles.vdt beside the program)");
  auto* name = command.add_option("--vehicle", choice.name, "Name of the vehicle in the library");
  auto* record = command.add_option("--record", choice.record, "Record number of the vehicle");
  auto* json = command.add_option("--vehicle-json", choice.json, "One vehicle in JSON form");
  name->excludes(record);
  json->excludes(name)->excludes(record)->excludes(library);
}

VehicleRecord LoadVehicleChoice(const VehicleChoice& choice) {
  return choice.json.empty() ? FromLibrary(choice) : FromJsonFile(choice.json);
}

}  // namespace veerline::cli
