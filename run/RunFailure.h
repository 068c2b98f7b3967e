#pragma once

// The run's failure handler: the main window back, then one warning.

#include <string>

#include "cad/CadInterface.h"
#include "run/RunHost.h"

namespace veerline {

// "Reading from drawing" for an application that cannot be reached, otherwise
// the description followed by " Execute sweep".
void ReportRunFailure(RunHost& host, const cad::CadError& error);
// The same for a failure that is no CAD failure (a conversion, for instance).
void ReportRunFailure(RunHost& host, const std::string& description);

}  // namespace veerline
