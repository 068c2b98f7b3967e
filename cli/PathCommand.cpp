#include <iostream>
#include <memory>
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
#include "engine/ArcPath.h"
#include "engine/NumberRule.h"

namespace veerline::cli {
namespace {

struct PathArgs {
  std::string drawing;
  std::vector<std::string> points;  // each value may hold several blank-separated points
  std::string radius;
  std::string layer = "Path";
  std::string out;
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

// Adds the rounded path to the drawing and writes it; nothing is written
// unless every input is good.
int AddPath(const PathArgs& args) {
  const std::vector<Point2D> points = ParsePoints(args.points);
  const double radius = PointNumber(args.radius, "radius");
  if (args.layer.empty()) throw BadInput("the layer name is empty");
  const ArcPathLayout layout = LayOutArcPath(points, radius);
  if (!layout.Ok()) throw BadInput(layout.Error);

  std::unique_ptr<cad::DrawingModel> drawing = cad::ReadDxfFile(args.drawing);
  const cad::DrawingEntity& polyline = cad::AddPathPolyline(*drawing, layout, args.layer);

  cad::WriteDxfFile(*drawing, args.out.empty() ? args.drawing : args.out);
  std::cout << polyline.Handle() << "\n";
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
  path->add_option("--radius", args->radius, "Radius of the arc at every corner")->required();
  path->add_option("--layer", args->layer, "Layer of the path (default Path, created if missing)");
  path->add_option("--out", args->out, "Write the result here instead of replacing the drawing");
  path->callback([args, &action] {
    action = [args] { return ExitTwoOnBadInput([&] { return AddPath(*args); }); };
  });
}

}  // namespace veerline::cli
