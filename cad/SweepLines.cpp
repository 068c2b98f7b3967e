#include "cad/SweepLines.h"

#include <array>
#include <cstddef>
#include <vector>

namespace veerline::cad {
namespace {

struct SweepLine {
  SweepTableId table;
  const ColourKey* colour;
  int layer;  // 0 left, 1 right, 2 wheel
};

constexpr std::array<SweepLine, 8> kSweepLines{{
    {kSweepFrontLeft, &kVehicleSweepLeftFrontColor, 0},
    {kSweepFrontRight, &kVehicleSweepRightFrontColor, 1},
    {kSweepWheelFrontRight, &kWheelSweepRightFrontColor, 2},
    {kSweepWheelFrontLeft, &kWheelSweepLeftFrontColor, 2},
    {kSweepRearLeft, &kVehicleSweepLeftBackColor, 0},
    {kSweepRearRight, &kVehicleSweepRightBackColor, 1},
    {kSweepWheelRearRight, &kWheelSweepRightBackColor, 2},
    {kSweepWheelRearLeft, &kWheelSweepLeftBackColor, 2},
}};

// The vertices of every unit's trace (units 0 .. units - 1) in station order,
// as (x, y, 0) triples, in one pass over the table; nothing for a unit one of
// whose rows carries the drawbar flag 0. The rows of the units take turns, so
// each trace is given room for an even share of the table at the start.
std::vector<std::vector<double>> UnitTraces(const SweepTable& table, int units) {
  std::vector<std::vector<double>> traces(static_cast<std::size_t>(units));
  if (traces.empty()) return traces;
  std::vector<bool> drawbar(traces.size(), false);
  for (std::vector<double>& trace : traces) trace.reserve(3 * (table.size() / traces.size() + 1));
  for (const SweepRow& row : table) {
    // The unit a row belongs to, or none when its unit number is not one of them.
    if (!(row.Unit >= 0 && row.Unit < static_cast<float>(units))) continue;
    const auto unit = static_cast<std::size_t>(row.Unit);
    if (static_cast<float>(unit) != row.Unit) continue;
    if (row.Flag == 0) drawbar[unit] = true;
    if (drawbar[unit]) continue;
    std::vector<double>& trace = traces[unit];
    trace.push_back(row.X);
    trace.push_back(row.Y);
    trace.push_back(0);
  }
  for (std::size_t unit = 0; unit < traces.size(); ++unit) {
    if (drawbar[unit]) std::vector<double>().swap(traces[unit]);
  }
  return traces;
}

}  // namespace

void PlotSweeplines(const std::string& leftLayer, const std::string& rightLayer,
                    const std::string& wheelLayer, CadConnection& connection, CadBlock& sweepBlock,
                    const RunState& state, ColourSettings& colours, Host& host) {
  try {
    connection.AttachApplication();
    CadApplication& application = connection.Application();
    CadDocument& document = connection.Document();
    const std::array<const std::string*, 3> layers{&leftLayer, &rightLayer, &wheelLayer};
    for (const std::string* layer : layers) document.AddLayer(*layer);

    const NumberSymbols symbols = host.Symbols();
    std::array<int, 8> colourIndex{};
    for (std::size_t n = 0; n < kSweepLines.size(); ++n) {
      colourIndex[n] = ReadColour(colours, *kSweepLines[n].colour, symbols);
    }

    host.SetProgressVisible(true);
    host.SetProgressMaximum(8);
    const int units = static_cast<int>(state.segments.size());
    for (std::size_t n = 0; n < kSweepLines.size(); ++n) {
      const int lineNumber = static_cast<int>(n) + 1;
      host.SetProgressValue(lineNumber);
      host.SetStatusText(0, "Plotting sweep lines " + std::to_string(lineNumber) + " (8)");
      const SweepLine& line = kSweepLines[n];
      const std::vector<std::vector<double>> traces = UnitTraces(state.sweep[line.table], units);
      for (const std::vector<double>& xyz : traces) {
        // A trace of fewer than two points (a unit without rows in this table,
        // or a single station) draws nothing visible and is left out.
        if (xyz.size() < 2 * 3) continue;
        DrawPolyline(application, sweepBlock, xyz, std::nullopt, colourIndex[n],
                     *layers[line.layer]);
      }
    }
    host.SetProgressVisible(false);
  } catch (...) {
    ReportDrawingFailure(host, " PlotSweeplines");
  }
}

}  // namespace veerline::cad
