#pragma once

// The rows of a fleet check, one per vehicle, and the three files that show
// them: fleet.json, fleet.csv and a self-contained fleet.html.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace veerline::cli {

struct FleetRow {
  std::string vehicle;  // the vehicle's name
  std::string library;  // the library file it came from
  int record = 0;
  // The figures of the vehicle's run report, under the report's own names
  // (outcome, stopStation, maxSteeringAngle, maxArticulationAngle,
  // lowestSpeed, clearance.minimumDistance, sweptWidth); null where the run
  // gave none.
  nlohmann::json figures = nlohmann::json::object();
  int conflicts = 0;       // obstacles within the clearance margin
  std::string reason;      // why the vehicle does not fit, empty when it does
  std::string picturePng;  // the thumbnail as PNG bytes, empty when there is none
};

// "fits", or what stopped the vehicle: "steering limit at 12.4", "clearance
// conflict", "refused" and so on.
std::string FleetVerdict(const FleetRow& row);

// The row of a finished run: its report (null when the run wrote none) and
// the error text the run printed.
FleetRow MakeFleetRow(std::string vehicle, std::string library, int record,
                      const nlohmann::json& report, const std::string& errorText);

nlohmann::json FleetJson(const std::vector<FleetRow>& rows, const nlohmann::json& run);
std::string FleetCsv(const std::vector<FleetRow>& rows);
std::string FleetHtml(const std::vector<FleetRow>& rows, const std::string& title);

}  // namespace veerline::cli
