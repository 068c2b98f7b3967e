#pragma once

// The three files that show a fleet check's rows: fleet.json, fleet.csv and
// a self-contained fleet.html with a thumbnail of every run.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "run/FleetRow.h"

namespace veerline::cli {

struct FleetFileRow {
  FleetRow row;
  std::string picturePng;  // the thumbnail as PNG bytes, empty when there is none
};

nlohmann::json FleetJson(const std::vector<FleetFileRow>& rows, const nlohmann::json& run);
std::string FleetCsv(const std::vector<FleetFileRow>& rows);
// speedUnit names the unit of the lowest speeds ("km/h", "mph", "m/s").
std::string FleetHtml(const std::vector<FleetFileRow>& rows, const std::string& title,
                      const std::string& speedUnit);

}  // namespace veerline::cli
