#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "library/VehicleDataFile.h"
#include "library/VehicleJson.h"

namespace veerline::cli {
namespace {

namespace fs = std::filesystem;
using library::LibraryFileError;
using library::VehicleJsonError;

// Reports a refused input on one line and gives the matching exit status.
int Refuse(const std::string& message) {
  std::cerr << "veerline-cli: " << message << "\n";
  return kExitBadInput;
}

// Runs a library action, turning library and JSON failures into a refusal
// that names the file concerned.
template <typename Body>
int Guarded(const std::string& path, Body body) {
  try {
    return body();
  } catch (const LibraryFileError& e) {
    return Refuse(path + ": " + e.what());
  } catch (const VehicleJsonError& e) {
    return Refuse(path + ": " + e.what());
  }
}

// An existing library is required: listing or deleting must not create one.
bool CheckExisting(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  Refuse(path + ": No such file or directory");
  return false;
}

// Display name of a type code, or the bare code for one that does not exist.
std::string TypeName(int code) {
  const VehicleTypeInfo* info = FindVehicleType(code);
  return info ? std::string(info->displayName) : "unknown type " + std::to_string(code);
}

int ListLibrary(const std::string& path) {
  if (!CheckExisting(path)) return kExitBadInput;
  return Guarded(path, [&] {
    for (const auto& [record, vehicle] : library::ReadVehiclesInUse(path))
      std::cout << record << '\t' << vehicle.Name << '\t' << TypeName(vehicle.Type) << '\n';
    return kExitOk;
  });
}

int ExportLibrary(const std::string& path) {
  if (!CheckExisting(path)) return kExitBadInput;
  return Guarded(path, [&] {
    std::cout << library::VehiclesToJson(library::ReadVehiclesInUse(path));
    return kExitOk;
  });
}

int ImportVehicles(const std::string& path, const std::string& jsonPath, bool quiet) {
  std::ifstream in(jsonPath, std::ios::binary);
  if (!in) return Refuse(jsonPath + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<VehicleRecord> vehicles;
  try {
    vehicles = library::VehiclesFromJson(text.str());
  } catch (const VehicleJsonError& e) {
    return Refuse(jsonPath + ": " + e.what());
  }
  return Guarded(path, [&] {
    // Refuse before writing anything when the library has no room for all.
    if (library::RecordsAddable(path) < static_cast<std::int64_t>(vehicles.size()))
      return Refuse(path + ": not enough room for " + std::to_string(vehicles.size()) +
                    " vehicles; a library holds at most 32767 records");
    for (const VehicleRecord& vehicle : vehicles) {
      const std::int32_t record = library::AddVehicleRecord(path, vehicle);
      if (!quiet) std::cout << record << '\n';
    }
    return kExitOk;
  });
}

int DeleteVehicle(const std::string& path, std::int32_t record) {
  if (!CheckExisting(path)) return kExitBadInput;
  return Guarded(path, [&] {
    bool inUse = false;
    for (const auto& listed : library::ListVehicleRecords(path)) inUse |= listed.record == record;
    if (!inUse) return Refuse(path + ": record " + std::to_string(record) + " holds no vehicle");
    library::DeleteVehicleRecord(path, record);
    return kExitOk;
  });
}

}  // namespace

// Adds "library list|export|import|delete".
void AddLibraryCommands(CLI::App& app, Action& action) {
  CLI::App* libraryCommand = app.add_subcommand("library", "Manage a vehicle library file (.vdt)");
  libraryCommand->require_subcommand(1);

  auto path = std::make_shared<std::string>();
  auto jsonPath = std::make_shared<std::string>();
  auto quiet = std::make_shared<bool>(false);
  auto record = std::make_shared<std::int32_t>(0);

  CLI::App* list = libraryCommand->add_subcommand("list", "List the vehicles: record, name, type");
  list->add_option("LIB", *path, "Vehicle library file")->required();
  list->callback([&action, path] { action = [path] { return ListLibrary(*path); }; });

  CLI::App* exportCommand =
      libraryCommand->add_subcommand("export", "Write the vehicles as a JSON array to stdout");
  exportCommand->add_option("LIB", *path, "Vehicle library file")->required();
  exportCommand->callback([&action, path] { action = [path] { return ExportLibrary(*path); }; });

  CLI::App* import = libraryCommand->add_subcommand(
      "import", "Add the vehicles of a JSON file (array or single object) to a library");
  import->add_option("LIB", *path, "Vehicle library file (created when missing)")->required();
  import->add_option("FILE", *jsonPath, "JSON file")->required();
  import->add_flag("--quiet", *quiet, "Do not print the record numbers used");
  import->callback([&action, path, jsonPath, quiet] {
    action = [path, jsonPath, quiet] { return ImportVehicles(*path, *jsonPath, *quiet);
};
}  // namespace veerline::cli
);

CLI::App* remove = libraryCommand->add_subcommand("delete", "Mark a vehicle's record free");
remove->add_option("LIB", *path, "Vehicle library file")->required();
remove->add_option("RECORD", *record, "Record number")->required();
remove->callback([&action, path, record] {
  action = [path, record] { return DeleteVehicle(*path, *record); };
});
}

}  // namespace veerline::cli
