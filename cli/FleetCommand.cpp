// "veerline-cli fleet": every chosen vehicle of a library over the same path,
// on all cores, with one row per vehicle in fleet.json, fleet.csv and
// fleet.html.
//
// Each vehicle runs as "veerline-cli run" would run it, through the same
// parsing and the same code, on a thread of its own: it reads its own copy of
// the drawing and library and has its own host, run state and picture, so
// nothing of one run is shared with another. A row's figures are therefore
// those of a single run, and one vehicle's failure stays in its own row.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/BadInput.h"
#include "cli/Commands.h"
#include "cli/FleetRows.h"
#include "cli/PictureModule.h"
#include "cli/RunCommand.h"
#include "library/VehicleDataFile.h"

namespace veerline::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct FleetArgs {
  std::string drawing;
  std::string library;
  std::vector<std::string> vehicles;
  // Options handed to every vehicle's run unchanged: the path or manoeuvre and
  // the run options.
  std::vector<std::string> runArgs;
  unsigned jobs = 0;
  std::string outDir;
};

void WriteWhole(const fs::path& file, const std::string& text) {
  const fs::path temp = file.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + file.string());
  }
  fs::rename(temp, file);
}

// The vehicles asked for, in library order; every name given must exist.
std::vector<library::NumberedVehicle> ChooseVehicles(const FleetArgs& args) {
  std::error_code ec;
  if (!fs::is_regular_file(args.library, ec))
    throw BadInput(args.library + ": No such file or directory");
  std::vector<library::NumberedVehicle> all = library::ReadVehiclesInUse(args.library);
  if (all.empty()) throw BadInput(args.library + ": the library holds no vehicle");
  if (args.vehicles.empty()) return all;
  std::vector<library::NumberedVehicle> chosen;
  for (const auto& numbered : all)
    if (std::find(args.vehicles.begin(), args.vehicles.end(), numbered.vehicle.Name) !=
        args.vehicles.end())
      chosen.push_back(numbered);
  for (const std::string& name : args.vehicles) {
    const bool found = std::any_of(all.begin(), all.end(),
                                   [&](const auto& n) { return n.vehicle.Name == name; });
    if (found) continue;
    std::string names;
    for (const auto& n : all) names += (names.empty() ? "" : ", ") + n.vehicle.Name;
    throw BadInput("no vehicle named '" + name + "' in " + args.library + " (vehicles: " + names +
                   ")");
  }
  return chosen;
}

// The arguments of the vehicle's "veerline-cli run", after "run".
std::vector<std::string> RunArguments(const FleetArgs& args, int record, const fs::path& stem) {
  std::vector<std::string> list{args.drawing, "--library", args.library, "--record",
                                std::to_string(record)};
  list.insert(list.end(), args.runArgs.begin(), args.runArgs.end());
  list.insert(list.end(), {"--report", stem.string() + ".json", "--picture", stem.string() + ".png"});
  return list;
}

// Runs one vehicle as "veerline-cli run" does and makes its row. A run that
// fails unexpectedly loses its figures and says so in its reason.
FleetFileRow RunRow(const library::NumberedVehicle& numbered, const FleetArgs& args,
                    const fs::path& stem) {
  std::error_code ec;
  for (const char* ext : {".json", ".png"}) fs::remove(stem.string() + ext, ec);
  std::ostringstream out, err;
  RunRecord record;
  int status = kExitFailure;
  try {
    status = RunVehicle(ParseRunArguments(RunArguments(args, numbered.record, stem)), out, err,
                        &record);
  } catch (const std::exception& e) {
    err << "veerline-cli: " << e.what() << "\n";
  }
  constexpr int kExitConflict = 3;
  if (status != kExitOk && status != kExitBadInput && status != kExitConflict) {
    record = RunRecord{};
    err << "the run failed (exit status " << status << ")\n";
  }
  FleetFileRow row{MakeFleetRow(numbered.vehicle.Name, fs::path(args.library).filename().string(),
                                numbered.record, record.figures, record.messages, err.str()),
                   record.thumbnailPng};
  return row;
}

int Fleet(const FleetArgs& args) {
  const std::vector<library::NumberedVehicle> vehicles = ChooseVehicles(args);
  const fs::path outDir(args.outDir);
  std::error_code ec;
  fs::create_directories(outDir / "rows", ec);
  if (ec) throw BadInput(args.outDir + ": " + ec.message());

  // Loaded here, before any run starts, so that the module's GUI application
  // is made on this thread: every run paints its picture through it.
  Pictures();
  const unsigned jobs = std::min<unsigned>(
      args.jobs > 0 ? args.jobs : std::max(1u, std::thread::hardware_concurrency()),
      static_cast<unsigned>(vehicles.size()));
  std::vector<FleetFileRow> rows(vehicles.size());
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < vehicles.size(); i = next++) {
      char number[24];
      std::snprintf(number, sizeof number, "%03zu", i + 1);
      rows[i] = RunRow(vehicles[i], args, outDir / "rows" / number);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(work);
  work();
  for (std::thread& thread : threads) thread.join();

  json run = {{"drawing", args.drawing}, {"library", args.library}, {"arguments", args.runArgs}};
  WriteWhole(outDir / "fleet.json", FleetJson(rows, run).dump(1) + "\n");
  WriteWhole(outDir / "fleet.csv", FleetCsv(rows));
  std::string speedUnit = "km/h";
  for (std::size_t i = 0; i + 1 < args.runArgs.size(); ++i)
    if (args.runArgs[i] == "--speed-unit") speedUnit = args.runArgs[i + 1];
  WriteWhole(outDir / "fleet.html",
             FleetHtml(rows,
                       "Fleet check: " + fs::path(args.library).filename().string() + " on " +
                           fs::path(args.drawing).filename().string(),
                       speedUnit));
  int fitting = 0;
  for (const FleetFileRow& row : rows) {
    fitting += FleetRowFits(row.row);
    std::cout << row.row.vehicle << '\t' << FleetVerdict(row.row) << '\n';
  }
  std::cout << fitting << " of " << rows.size() << " vehicles fit\n";
  return kExitOk;
}

}  // namespace

void AddFleetCommand(CLI::App& app, Action& action) {
  auto args = std::make_shared<FleetArgs>();
  CLI::App* fleet = app.add_subcommand(
      "fleet", "Run every vehicle of a library over the same path and list which ones fit");
  fleet->add_option("drawing", args->drawing, "The DXF drawing")->required()->check(CLI::ExistingFile);
  fleet->add_option("--library", args->library, "Vehicle library (.vdt)")->required();
  fleet->add_option("--vehicle", args->vehicles, "Only this vehicle (repeatable; default: all)")
      ->allow_extra_args(false);
  fleet->add_option("--jobs", args->jobs, "Runs at the same time (default: the number of cores)")
      ->check(CLI::PositiveNumber);
  fleet->add_option("--out-dir", args->outDir, "Folder for fleet.json, fleet.csv, fleet.html")
      ->required();

  // Options every run gets as they are.
  auto pass = [fleet, args](const std::string& option, const std::string& help) {
    fleet->add_option_function<std::vector<std::string>>(
             option,
             [args, option](const std::vector<std::string>& values) {
               for (const std::string& v : values) args->runArgs.insert(args->runArgs.end(), {option, v});
             },
             help)
        ->allow_extra_args(false);
  };
  auto flag = [fleet, args](const std::string& option, const std::string& help) {
    fleet->add_flag_callback(option, [args, option] { args->runArgs.push_back(option); }, help);
  };
  pass("--path", "Handle of the path entity (default: the only polyline)");
  pass("--leg", "A leg of a manoeuvre, as the run takes it (repeatable)");
  pass("--path-unit", "Meter|Decimeter|Centimeter|Millimeter|Feet|Inches");
  pass("--speed", "Lowest speed to check");
  pass("--speed-unit", "km/h|mph|m/s");
  pass("--lock-to-lock", "Lock-to-lock time in seconds");
  pass("--spacing", "Outline spacing in drawing units");
  pass("--obstacle-layer", "Check the clearance to this layer (repeatable)");
  pass("--clearance", "Clearance margin in drawing units");
  pass("--seed", "Seed of the random block-name numbers");
  flag("--reverse", "Drive the path from its end to its start");
  flag("--exact", "Exact tracking on forward legs");
  flag("--sweep", "Draw the sweep lines");
  flag("--no-envelope", "Do not draw the swept envelope");
  flag("--no-plot-vehicle", "Draw no vehicle outlines");
  fleet->callback([args, &action] {
    action = [args] { return ExitTwoOnBadInput([&] { return Fleet(*args); }); };
  });
}

}  // namespace veerline::cli
