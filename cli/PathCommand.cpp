#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfError.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"
#include "cad/PathPolyline.h"
#include "cli/BadInput.h"
#include "cli/Commands.h"
#include "cli/RunCommand.h"
#include "cli/VehicleChoice.h"
#include "engine/ArcPath.h"
#include "engine/DrivablePath.h"
#include "engine/NumberRule.h"
#include "engine/Rounding.h"

namespace veerline::cli {
namespace {

struct PathArgs {
  std::string drawing;
  std::vector<std::string> points;  // each value may hold several blank-separated points
  std::string radius;
  std::string layer = "Path";
  std::string out;
  // A path the vehicle can drive at the speed: easings and arcs at the corners.
  bool drive = false;
  VehicleChoice vehicle;
  std::string speed, speedUnit = "km/h", superelevation, friction;
};

// A number written with a point; what names it in the message.
double PointNumber(const std::string& text, const std::string& what) {
  const auto value = TryParseFieldNumber(text, NumberSymbols::PointDecimal());
  if (!value) throw BadInput(what + " '" + text + "' is not a number");
  return *value;
}

// "X,Y X,Y ..." in any number of option values.
std::vector<Point2D> ParsePoints(const std::vector<std::string>& values) {
  std::vector<Point2D> points;
  for (const std::string& value : values) {
    std::istringstream words(value);
    std::string word;
    while (words >> word) {
      const std::string where = "point " + std::to_string(points.size() + 1);
      const auto comma = word.find(',');
      if (comma == std::string::npos || word.find(',', comma + 1) != std::string::npos)
        throw BadInput(where + " '" + word + "' is not of the form X,Y");
      points.push_back({PointNumber(word.substr(0, comma), where + ": X"),
                        PointNumber(word.substr(comma + 1), where + ": Y")});
    }
  }
  return points;
}

std::optional<double> OptionalNumber(const std::string& text, const std::string& what) {
  if (text.empty()) return std::nullopt;
  return PointNumber(text, what);
}

std::string Figure(double value) {
  return FormatFieldNumber(RoundHalfEven(value, 2), NumberSymbols::PointDecimal());
}

// The drivable layout, its corners printed one a line after the handle.
ArcPathLayout DriveLayout(const PathArgs& args, const std::vector<Point2D>& points,
                          std::string& cornerLines) {
  if (args.speed.empty()) throw BadInput("--drive needs the design speed (--speed)");
  const VehicleRecord vehicle = LoadVehicleChoice(args.vehicle);
  DriveSettings settings;
  settings.SpeedMetresPerSecond =
      SpeedToMetresPerSecond(PointNumber(args.speed, "speed"), SpeedUnitCode(args.speedUnit));
  settings.MetresPerUnit = MetresPerUnit(vehicle.Unit);
  settings.Superelevation = OptionalNumber(args.superelevation, "superelevation");
  settings.Friction = OptionalNumber(args.friction, "side friction");
  settings.Radius = OptionalNumber(args.radius, "radius");
  const DrivePathLayout drive = LayOutDrivePath(points, DriveVehicleOf(vehicle), settings);
  if (!drive.Ok()) throw BadInput(drive.Error);
  for (const DriveCorner& c : drive.Corners)
    cornerLines += "corner at point " + std::to_string(c.PointNumber) + ": radius " +
                   Figure(c.Radius) + ", easing in " + Figure(c.EasingLength) + ", arc " +
                   Figure(c.ArcLength) + ", easing out " + Figure(c.EasingLength) + "\n";
  ArcPathLayout layout;
  layout.Vertices = drive.Vertices;
  return layout;
}

// Adds the rounded path to the drawing and writes it; nothing is written
// unless every input is good.
int AddPath(const PathArgs& args) {
  const std::vector<Point2D> points = ParsePoints(args.points);
  if (args.layer.empty()) throw BadInput("the layer name is empty");
  std::string cornerLines;
  ArcPathLayout layout;
  if (args.drive) {
    layout = DriveLayout(args, points, cornerLines);
  } else {
    if (!args.speed.empty() || !args.superelevation.empty() || !args.friction.empty() ||
        !args.vehicle.name.empty() || !args.vehicle.json.empty())
      throw BadInput("the vehicle, speed, superelevation and friction are options of --drive");
    if (args.radius.empty()) throw BadInput("give the corner radius with --radius, or --drive");
    layout = LayOutArcPath(points, PointNumber(args.radius, "radius"));
    if (!layout.Ok()) throw BadInput(layout.Error);
  }

  std::unique_ptr<cad::DrawingModel> drawing = cad::ReadDxfFile(args.drawing);
  const cad::DrawingEntity& polyline = cad::AddPathPolyline(*drawing, layout, args.layer);

  cad::WriteDxfFile(*drawing, args.out.empty() ? args.drawing : args.out);
  std::cout << polyline.Handle() << "\n" << cornerLines;
  return kExitOk;
}

}  // namespace

void AddPathCommand(CLI::App& app, Action& action) {
  auto args = std::make_shared<PathArgs>();
  CLI::App* path = app.add_subcommand(
      "path",
      "Add a path polyline of straight legs and tangent arcs of one radius to a DXF drawing");
  path->add_option("drawing", args->drawing, "The DXF drawing")
      ->required()
      ->check(CLI::ExistingFile);
  path->add_option("--points", args->points, "The points, \"X,Y X,Y ...\"")->required();
  path->add_option("--radius", args->radius,
                   "Radius of the arc at every corner (with --drive: a larger one than the least)");
  path->add_option("--layer", args->layer, "Layer of the path (default Path, created if missing)");
  path->add_option("--out", args->out, "Write the result here instead of replacing the drawing");
  path->add_flag(
      "--drive", args->drive,
      "Lay out a path the vehicle can drive at the speed: easing, arc, easing at each corner");
  AddVehicleChoiceOptions(*path, args->vehicle);
  path->add_option("--speed", args->speed, "Design speed of a --drive path");
  path->add_option("--speed-unit", args->speedUnit, "km/h|mph|m/s (default km/h)");
  path->add_option("--superelevation", args->superelevation,
                   "Superelevation e of the speed radius (default: low-speed turning value)");
  path->add_option("--friction", args->friction,
                   "Side friction f of the speed radius (default: low-speed turning value)");
  path->callback([args, &action] {
    action = [args] { return ExitTwoOnBadInput([&] { return AddPath(*args); }); };
  });
}

}  // namespace veerline::cli
