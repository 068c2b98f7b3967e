#pragma once

// One row of a fleet check: a vehicle of a library, the figures of its run
// over the common path, and in a word or two whether it fits and why not.

#include <string>
#include <vector>

#include "run/BatchHost.h"
#include "run/RunFigures.h"

namespace veerline {

struct FleetRow {
  std::string vehicle;  // the vehicle's name
  std::string library;  // the library file it came from, without folder
  int record = 0;
  RunFigures figures;
  std::string reason;  // why the vehicle does not fit; empty when it does
};

// The row of a finished run. The reason is the first message the run showed
// (title and text), else the last line of failureText (what ended the run
// before it showed anything), else that the run gave nothing to go by.
FleetRow MakeFleetRow(std::string vehicle, std::string library, int record,
                      const RunFigures& figures, const std::vector<RecordedMessage>& messages,
                      const std::string& failureText);

// "fits", or what stopped the vehicle: "steering limit at 12.4",
// "articulation limit at 30.0", "steering-rate limit at 8.2", "clearance
// conflict", "cancelled" or "refused".
std::string FleetVerdict(const FleetRow& row);
bool FleetRowFits(const FleetRow& row);

}  // namespace veerline
