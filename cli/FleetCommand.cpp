// "veerline-cli fleet": every chosen vehicle of a library over the same path,
// on all cores, with one row per vehicle in fleet.json, fleet.csv and
// fleet.html.
//
// Each vehicle runs as a child "veerline-cli run" with its own report and
// picture. A row's figures are therefore those of a single run by
// construction; a vehicle that crashes or hangs its run costs only its own
// row; and no drawing, host or painter is shared between runs, so nothing in
// the run path has to be safe for threads.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QStringList>

#include "cli/BadInput.h"
#include "cli/Commands.h"
#include "cli/FleetRows.h"
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

// Thumbnails in fleet.html: wide enough to see the vehicle, small enough that
// the page of a whole library stays light.
constexpr int kThumbnailWidth = 480;

std::string ReadWhole(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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

// The run's picture made small, as PNG bytes; empty when there is none.
std::string Thumbnail(const fs::path& picture) {
  QImage image;
  if (!fs::exists(picture) || !image.load(QString::fromStdString(picture.string()))) return {};
  const QImage small = image.scaledToWidth(kThumbnailWidth, Qt::SmoothTransformation);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  small.save(&buffer, "PNG");
  return bytes.toStdString();
}

struct Job {
  std::size_t row = 0;
  fs::path stem;  // rows/NNN: .json report, .png picture, .err messages
  std::unique_ptr<QProcess> process;
};

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

QStringList RunArguments(const FleetArgs& args, int record, const fs::path& stem) {
  QStringList list{"run", QString::fromStdString(args.drawing), "--library",
                   QString::fromStdString(args.library), "--record", QString::number(record)};
  for (const std::string& a : args.runArgs) list << QString::fromStdString(a);
  list << "--report" << QString::fromStdString(stem.string() + ".json") << "--picture"
       << QString::fromStdString(stem.string() + ".png");
  return list;
}

FleetRow FinishRow(const library::NumberedVehicle& numbered, const FleetArgs& args,
                   const Job& job) {
  const fs::path reportFile = job.stem.string() + ".json";
  json report;
  if (fs::exists(reportFile)) {
    try {
      report = json::parse(ReadWhole(reportFile));
    } catch (const json::exception&) {
      report = nullptr;
    }
  }
  std::string errorText = ReadWhole(job.stem.string() + ".err");
  const QProcess& p = *job.process;
  const bool crashed = p.exitStatus() != QProcess::NormalExit ||
                       (p.exitCode() != kExitOk && p.exitCode() != kExitBadInput && p.exitCode() != 3);
  if (crashed) {
    report = nullptr;
    errorText += "the run failed (exit status " + std::to_string(p.exitCode()) + ")";
  }
  FleetRow row = MakeFleetRow(numbered.vehicle.Name, fs::path(args.library).filename().string(),
                              numbered.record, report, errorText);
  row.picturePng = Thumbnail(job.stem.string() + ".png");
  return row;
}

int Fleet(const FleetArgs& args) {
  const std::vector<library::NumberedVehicle> vehicles = ChooseVehicles(args);
  const fs::path outDir(args.outDir);
  std::error_code ec;
  fs::create_directories(outDir / "rows", ec);
  if (ec) throw BadInput(args.outDir + ": " + ec.message());

  static int argc = 1;
  static char name[] = "veerline-cli";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (QCoreApplication::instance() == nullptr) app = std::make_unique<QCoreApplication>(argc, argv);
  const QString self = QCoreApplication::applicationFilePath();

  const unsigned jobs =
      args.jobs > 0 ? args.jobs : std::max(1u, std::thread::hardware_concurrency());
  std::vector<FleetRow> rows(vehicles.size());
  std::vector<Job> running;
  std::size_t next = 0;
  while (next < vehicles.size() || !running.empty()) {
    while (next < vehicles.size() && running.size() < jobs) {
      Job job;
      job.row = next;
      char number[16];
      std::snprintf(number, sizeof number, "%03zu", next + 1);
      job.stem = outDir / "rows" / number;
      for (const char* ext : {".json", ".png", ".err"}) fs::remove(job.stem.string() + ext, ec);
      job.process = std::make_unique<QProcess>();
      job.process->setStandardOutputFile(QProcess::nullDevice());
      job.process->setStandardErrorFile(QString::fromStdString(job.stem.string() + ".err"));
      job.process->start(self, RunArguments(args, vehicles[next].record, job.stem));
      running.push_back(std::move(job));
      ++next;
    }
    for (auto it = running.begin(); it != running.end();) {
      QProcess& p = *it->process;
      if (p.state() != QProcess::NotRunning && !p.waitForFinished(20)) {
        ++it;
        continue;
      }
      rows[it->row] = FinishRow(vehicles[it->row], args, *it);
      it = running.erase(it);
    }
  }

  json run = {{"drawing", args.drawing}, {"library", args.library}, {"arguments", args.runArgs}};
  WriteWhole(outDir / "fleet.json", FleetJson(rows, run).dump(1) + "\n");
  WriteWhole(outDir / "fleet.csv", FleetCsv(rows));
  WriteWhole(outDir / "fleet.html",
             FleetHtml(rows, "Fleet check: " + fs::path(args.library).filename().string() +
                                 " on " + fs::path(args.drawing).filename().string()));
  int fitting = 0;
  for (const FleetRow& row : rows) {
    const std::string verdict = FleetVerdict(row);
    fitting += verdict == "fits";
    std::cout << row.vehicle << '\t' << verdict << '\n';
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
  flag("--sweep", "Draw the sweep lines");
  flag("--no-envelope", "Do not draw the swept envelope");
  flag("--no-plot-vehicle", "Draw no vehicle outlines");
  fleet->callback([args, &action] {
    action = [args] { return ExitTwoOnBadInput([&] { return Fleet(*args); }); };
  });
}

}  // namespace veerline::cli
