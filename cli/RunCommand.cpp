#include <ctime>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>

#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/DrawingOutput.h"
#include "cad/dxf/DxfError.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"
#include "cad/geometry/ObstacleCollection.h"
#include "cad/ScriptedPicker.h"
#include "cli/BadInput.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/PictureModule.h"
#include "cli/RunCommand.h"
#include "run/RunReport.h"
#include "cli/VehicleChoice.h"
#include "engine/SafeSave.h"
#include "run/ExecuteSweep.h"

namespace veerline::cli {
namespace {


// Exit status of a run with --fail-on-conflict when an obstacle is within the margin.
constexpr int kExitConflict = 3;

// Checks that a number given on the command line reads with a point.
std::string PointNumber(const std::string& text, const std::string& what) {
  if (!TryParseFieldNumber(text, NumberSymbols::PointDecimal()))
    throw BadInput(what + " '" + text + "' is not a number");
  return text;
}

// The path entity: the handle given, or the only polyline in model space.
std::string FindPathHandle(const cad::DrawingModel& drawing, const std::string& wanted) {
  if (!wanted.empty()) {
    if (drawing.FindEntity(wanted) == nullptr)
      throw BadInput("no entity with handle " + wanted + " in model space");
    return wanted;
  }
  std::vector<std::string> handles;
  for (const auto& entity : drawing.ModelSpace().Entities()) {
    const int type = entity->EntityType();
    if (type == cad::kEntityLightWeightPolyline || type == cad::kEntityPolyline ||
        type == cad::kEntity3dPolyline)
      handles.push_back(entity->Handle());
  }
  if (handles.empty()) throw BadInput("the drawing has no polyline to use as path");
  if (handles.size() > 1) {
    std::string list;
    for (const auto& h : handles) list += (list.empty() ? "" : ", ") + h;
    throw BadInput("the drawing has several polylines; choose one with --path (handles: " + list +
                   ")");
  }
  return handles.front();
}

// The --leg options, direction:HANDLE each, as the run's legs in order.
std::vector<RunInputs::Leg> ParseLegs(const std::vector<std::string>& texts,
                                      const cad::DrawingModel& drawing) {
  std::vector<RunInputs::Leg> legs;
  for (const std::string& text : texts) {
    const auto colon = text.find(':');
    const std::string direction = text.substr(0, colon);
    if (colon == std::string::npos || (direction != "forward" && direction != "reverse"))
      throw BadInput("leg '" + text + "' is not forward:HANDLE or reverse:HANDLE");
    RunInputs::Leg leg;
    leg.reverse = direction == "reverse";
    leg.handle = text.substr(colon + 1);
    const cad::DrawingEntity* entity = drawing.FindEntity(leg.handle);
    if (entity == nullptr)
      throw BadInput("leg " + std::to_string(legs.size() + 1) + ": no entity with handle " +
                     leg.handle + " in model space");
    const int type = entity->EntityType();
    if (type != cad::kEntityLightWeightPolyline && type != cad::kEntityPolyline)
      throw BadInput("leg " + std::to_string(legs.size() + 1) + ": entity " + leg.handle +
                     " is not a polyline");
    legs.push_back(leg);
  }
  return legs;
}

RunInputs MakeInputs(const RunArgs& args, const VehicleRecord& vehicle) {
  const NumberSymbols point = NumberSymbols::PointDecimal();
  RunInputs inputs;
  inputs.vehicle = VehicleFields::FromRecordExact(vehicle, point);
  if (!args.lockToLock.empty())
    inputs.vehicle.SetText(Dimension::LockToLockTime, PointNumber(args.lockToLock, "lock-to-lock time"));
  if (args.pathUnit.empty()) {
    inputs.pathUnit = vehicle.Unit;
  } else {
    const auto unit = LengthUnitFromText(args.pathUnit);
    if (!unit || *unit == 0)
      throw BadInput("unknown path unit '" + args.pathUnit +
                     "' (use Meter, Decimeter, Centimeter, Millimeter, Feet or Inches)");
    inputs.pathUnit = *unit;
  }
  inputs.speedUnit = SpeedUnitCode(args.speedUnit);
  inputs.txt_Speed = PointNumber(args.speed, "speed");
  inputs.plotVehicle = !args.noPlotVehicle;
  inputs.plotOnlyFirstAndLast = !args.spacing.has_value();
  inputs.txt_plotSpacing = args.spacing ? PointNumber(*args.spacing, "spacing") : "5";
  inputs.plotSweep = args.sweep;
  inputs.plotPerimeter = !args.noEnvelope;
  inputs.reverse = args.reverse;
  inputs.exactTracking = args.exact;
  inputs.obstacleLayers = args.obstacleLayers;
  inputs.txt_ClearanceMargin = PointNumber(args.clearance, "clearance margin");
  if (*TryParseFieldNumber(args.clearance, point) < 0)
    throw BadInput("clearance margin '" + args.clearance + "' is below 0");
  return inputs;
}

// Short unit name for the picture's scale bar.
std::string UnitAbbreviation(int lengthUnit) {
  static const char* const kNames[] = {"", "m", "dm", "cm", "mm", "ft", "in"};
  return lengthUnit >= 0 && lengthUnit <= 6 ? kNames[lengthUnit] : "";
}

ReportPaper PaperOf(const std::string& text) {
  if (text == "a4" || text == "A4") return ReportPaper::A4;
  if (text == "a3" || text == "A3") return ReportPaper::A3;
  throw BadInput("unknown paper '" + text + "' (use a4 or a3)");
}

// Today's date where the program runs, as YYYY-MM-DD.
std::string LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[16];
  return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d", &local));
}

std::string Trimmed(const std::string& text) {
  const char* const blanks = " \t\r\n\f\v";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

// What the design report says of the run beside its results.
ReportTitleText MakeReportTitle(const RunArgs& args, const RunInputs& inputs,
                                const VehicleRecord& vehicle) {
  const NumberSymbols point = NumberSymbols::PointDecimal();
  namespace fs = std::filesystem;
  ReportTitleText title;
  title.drawingFile = fs::path(args.drawing).filename().string();
  title.date = LocalDate();
  title.vehicleName = Trimmed(vehicle.Name);
  const std::string library = args.vehicle.library.empty() ? DefaultLibraryPath() : args.vehicle.library;
  title.vehicleSource = args.vehicle.json.empty()
                            ? "library " + fs::path(library).filename().string()
                            : "vehicle file " + fs::path(args.vehicle.json).filename().string();
  title.unitLabel = UnitAbbreviation(inputs.pathUnit);
  title.speed = TryParseFieldNumber(inputs.txt_Speed, point);
  title.lockToLock = TryParseFieldNumber(inputs.vehicle[Dimension::LockToLockTime], point);
  return title;
}

bool RunHappened(RunOutcome outcome) { return outcome != RunOutcome::Ended; }

int RunOnce(const RunArgs& args, std::ostream& out, std::ostream& err, RunRecord* record) {
  const ReportPaper paper = PaperOf(args.paper);
  const VehicleRecord vehicle = LoadVehicleChoice(args.vehicle);
  RunInputs inputs = MakeInputs(args, vehicle);

  // The picture module is loaded before the run, so that a program without
  // it refuses at once and writes nothing.
  if (!args.picture.empty() || !args.diagrams.empty() || !args.pdf.empty() || !args.animation.empty())
    Pictures();

  std::unique_ptr<cad::DrawingModel> drawing = cad::ReadDxfFile(args.drawing);
  inputs.legs = ParseLegs(args.legs, *drawing);
  if (!inputs.legs.empty() && !args.path.empty())
    throw BadInput("give the path either with --path or as --leg options, not both");
  if (!inputs.legs.empty() && args.reverse)
    throw BadInput("--reverse runs one path from its end; give reverse legs as --leg reverse:HANDLE");
  const std::string handle =
      inputs.legs.empty() ? FindPathHandle(*drawing, args.path) : inputs.legs.front().handle;
  if (const auto missing = cad::MissingLayer(*drawing, inputs.obstacleLayers))
    throw BadInput("the drawing has no layer '" + *missing + "'");

  // What the run builds lives on the heap: a process that ends after this run
  // leaves it to the system rather than taking it apart piece by piece.
  struct RunObjects {
    cad::ScriptedPicker picker;
    cad::DrawingAttacher attacher;
    RunState state;
    std::unique_ptr<RunResultModel> model;
  };
  auto objects = std::make_unique<RunObjects>();
  struct LeaveToExit {
    std::unique_ptr<RunObjects>& objects;
    bool leave;
    ~LeaveToExit() {
      [[maybe_unused]] static RunObjects* volatile left = nullptr;  // still reachable: no leak checker minds
      if (leave) left = objects.release();
    }
  } leaveToExit{objects, args.endsProcess};
  cad::ScriptedPicker& picker = objects->picker;
  picker.PickHandle(handle);
  for (std::size_t leg = 1; leg < inputs.legs.size(); ++leg) picker.PickHandle(inputs.legs[leg].handle);
  cad::DrawingAttacher& attacher = objects->attacher;
  attacher.Open(std::move(drawing));
  attacher.Application()->SetPicker(&picker);
  cad::CadConnection connection(attacher);
  cad::DefaultColourSettings colours;
  const unsigned seed = args.seedGiven ? args.seed : std::random_device{}();
  CliHost host(err, seed);
  RunState& state = objects->state;
  RunContext context{host, connection, colours, state};

  const RunResult run = ExecuteButton(inputs, context);
  const RunOutcome outcome = run.outcome;
  // Measured once, for the caller, the report and the design report alike.
  const RunFigures figures = MeasureRun(outcome, state);
  if (record != nullptr) {
    record->figures = figures;
    record->messages = host.Messages();
  }
  const std::string summary = RunHappened(outcome) ? host.StatusText() : std::string();

  // One model of the run for the report and the design report, made when the
  // first of them needs it. It takes the run's tables out of the state unless
  // the diagrams still draw from them: a long run's report then holds no
  // second copy.
  const bool designReport = !args.pdf.empty() || !args.animation.empty();
  auto runModel = [&]() -> const RunResultModel& {
    if (!objects->model) {
      const WithPoses poses = designReport ? WithPoses::Yes : WithPoses::No;
      objects->model = std::make_unique<RunResultModel>(
          args.diagrams.empty()
              ? MakeRunResultModel(run, std::move(state), host.Messages(), inputs.speedUnit,
                                   inputs.vehicle.Type, summary, poses, figures)
              : MakeRunResultModel(run, state, host.Messages(), inputs.speedUnit,
                                   inputs.vehicle.Type, summary, poses, figures));
    }
    return *objects->model;
  };
  // The report is written into its file as it is put together; `before` runs
  // once it is on the disk, before it replaces the old file.
  auto writeReport = [&](const std::function<void()>& before) {
    const RunResultModel& model = runModel();
    SaveFileSafely(
        args.report, [&](const SavePieces& sink) { WriteRunReport(model, sink); }, before);
  };
  if (!state.refusal.empty()) {
    // A manoeuvre whose leg does not start where the vehicle stands: nothing is written.
    err << "veerline-cli: " << state.refusal << "\n";
    return kExitBadInput;
  }
  if (!RunHappened(outcome)) {
    if (!args.report.empty()) writeReport(nullptr);
    // A refusal always says why: the message the run showed, or else its status line.
    if (host.Messages().empty()) {
      const std::string reason = host.StatusText();
      err << "veerline-cli: " << (reason.empty() ? "the run ended before it started" : reason)
                << "\n";
    }
    return kExitBadInput;
  }

  cad::DrawingModel& result = *attacher.Current();
  // The drawing is saved on a second thread while this one writes the report;
  // the report replaces its file only once the drawing is saved, so that a
  // drawing that cannot be saved leaves no report either.
  if (!args.out.empty()) {
    std::future<void> drawingSaved;
    try {
      drawingSaved = std::async(std::launch::async, [&] { cad::WriteDxfFile(result, args.out); });
    } catch (const std::system_error&) {
      cad::WriteDxfFile(result, args.out);  // no thread to be had
    }
    try {
      if (!args.report.empty()) writeReport([&] {
          if (drawingSaved.valid()) drawingSaved.get();
        });
    } catch (...) {
      if (drawingSaved.valid()) drawingSaved.wait();
      throw;
    }
    if (drawingSaved.valid()) drawingSaved.get();
  } else if (!args.report.empty()) {
    writeReport(nullptr);
  }
  if (!args.picture.empty()) {
    std::string thumbnail = Pictures().DrawingPicture(result, UnitAbbreviation(inputs.pathUnit),
                                                      args.picture, record ? kThumbnailWidth : 0);
    if (record != nullptr) record->thumbnailPng = std::move(thumbnail);
  }
  if (!args.diagrams.empty()) Pictures().Diagrams(state, inputs.speedUnit, args.diagrams);
  if (designReport) {
    const RunResultModel& run = runModel();
    const ReportTitleText title = MakeReportTitle(args, inputs, vehicle);
    if (!args.pdf.empty()) Pictures().DesignReport(result, run, title, paper, args.pdf);
    if (!args.animation.empty()) {
      const double perUnit = inputs.speedUnit == 1 ? 0.44704 : inputs.speedUnit == 2 ? 1 : 1 / 3.6;
      Pictures().Animation(result, run, title, title.speed.value_or(0) * perUnit, args.animation);
    }
  }
  out << summary << "\n";
  if (args.failOnConflict && !state.clearance.Conflicts.empty()) return kExitConflict;
  return kExitOk;
}

void AddRunOptions(CLI::App* run, const std::shared_ptr<RunArgs>& args) {
  run->add_option("drawing", args->drawing, "The DXF drawing")
      ->required()
      ->check(CLI::ExistingFile);
  run->add_option("--path", args->path, "Handle of the path entity (default: the only polyline)");
  AddVehicleChoiceOptions(*run, args->vehicle);
  run->add_option(
      "--path-unit", args->pathUnit,
      "Meter|Decimeter|Centimeter|Millimeter|Feet|Inches (default: the vehicle's unit)");
  run->add_option("--speed", args->speed, "Lowest speed to check (default 10)");
  run->add_option("--speed-unit", args->speedUnit, "km/h|mph|m/s (default km/h)");
  run->add_option("--lock-to-lock", args->lockToLock,
                  "Lock-to-lock time in seconds (default: the vehicle's)");
  run->add_flag("--reverse", args->reverse, "Drive the path from its end to its start");
  run->add_option("--leg", args->legs,
                  "A leg of a manoeuvre, forward:HANDLE or reverse:HANDLE (repeatable, in order)")
      ->allow_extra_args(false);
  run->add_flag("--exact", args->exact, "Exact tracking on forward legs (no step lag)");
  run->add_flag("--no-plot-vehicle", args->noPlotVehicle, "Draw no vehicle outlines");
  run->add_option(
      "--spacing", args->spacing,
      "Draw outlines about every so far (drawing units); default: first and last station only");
  run->add_flag("--sweep", args->sweep, "Draw the sweep lines");
  run->add_flag("--no-envelope", args->noEnvelope, "Do not draw the swept envelope");
  run->add_option("--out", args->out, "Write the drawing with the run's blocks to this DXF file");
  run->add_option("--report", args->report, "Write a JSON report");
  run->add_option("--picture", args->picture, "Write a PNG picture of the result");
  run->add_option("--diagrams", args->diagrams, "Write PREFIX-turning.png and PREFIX-speed.png");
  run->add_option("--pdf", args->pdf, "Write the design report as a PDF file");
  run->add_option("--paper", args->paper, "Paper of the design report, landscape: a4|a3 (default a4)");
  run->add_option("--animation", args->animation,
                  "Write the run as an MP4 video (needs ffmpeg), at the speed checked");
  run->add_option("--obstacle-layer", args->obstacleLayers,
                  "Check the clearance to the entities on this layer (repeatable)")
      ->allow_extra_args(false);
  run->add_option("--clearance", args->clearance,
                  "Clearance margin in drawing units (default 0: touching only)");
  run->add_flag("--fail-on-conflict", args->failOnConflict,
                "Exit with status 3 when an obstacle is within the clearance margin");
  run->add_option("--seed", args->seed, "Seed of the random block-name numbers")
      ->each([args](const std::string&) { args->seedGiven = true; });
}

}  // namespace

int SpeedUnitCode(const std::string& text) {
  if (text == "km/h") return 0;
  if (text == "mph") return 1;
  if (text == "m/s") return 2;
  throw BadInput("unknown speed unit '" + text + "' (use km/h, mph or m/s)");
}

int RunVehicle(const RunArgs& args, std::ostream& out, std::ostream& err, RunRecord* record) {
  return ExitTwoOnBadInput([&] { return RunOnce(args, out, err, record); }, err);
}

void AddRunCommand(CLI::App& app, Action& action) {
  auto args = std::make_shared<RunArgs>();
  CLI::App* run =
      app.add_subcommand("run", "Drive a vehicle along a path polyline of a DXF drawing");
  AddRunOptions(run, args);
  run->callback([args, &action] {
    action = [args] {
      args->endsProcess = true;
      return RunVehicle(*args, std::cout, std::cerr, nullptr);
    };
  });
}

RunArgs ParseRunArguments(const std::vector<std::string>& arguments) {
  auto args = std::make_shared<RunArgs>();
  CLI::App run;
  AddRunOptions(&run, args);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    run.parse(reversed);
  } catch (const CLI::ParseError& e) {
    throw BadInput(e.what());
  }
  return *args;
}

}  // namespace veerline::cli
