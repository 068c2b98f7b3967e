#pragma once

// "veerline-cli run": one vehicle along a path of a DXF drawing. The fleet
// check runs its vehicles through the same code in the same process.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>


#include "cli/VehicleChoice.h"
#include "run/BatchHost.h"
#include "run/RunFigures.h"

namespace veerline::cli {

struct RunArgs {
  std::string drawing;
  std::string path;
  VehicleChoice vehicle;
  std::string pathUnit;
  std::string speed = "10";
  std::string speedUnit = "km/h";
  std::string lockToLock;
  bool reverse = false;
  bool noPlotVehicle = false;
  std::optional<std::string> spacing;
  bool sweep = false;
  bool noEnvelope = false;
  std::string out, report, picture, diagrams;
  std::string pdf, paper = "a4";  // the design report and its paper size
  std::string animation;          // the run as an MP4 video
  unsigned seed = 0;
  bool seedGiven = false;
  std::vector<std::string> obstacleLayers;
  std::string clearance = "0";
  bool failOnConflict = false;
  std::vector<std::string> legs;  // direction:HANDLE, in order
  bool exact = false;
  // The process ends after this run: what the run built is left to the system.
  bool endsProcess = false;
};

// The width of the thumbnail a run with a picture gives its caller.
inline constexpr int kThumbnailWidth = 480;

// What a run gives a caller in the same process: its figures, the messages
// it showed and, when it wrote a picture, a thumbnail of it as PNG bytes.
struct RunRecord {
  RunFigures figures;
  std::vector<RecordedMessage> messages;
  std::string thumbnailPng;
};

// The code of a speed unit written km/h, mph or m/s; another throws BadInput.
int SpeedUnitCode(const std::string& text);

// The run's options as the command line gives them after "run"; a bad one
// throws BadInput.
RunArgs ParseRunArguments(const std::vector<std::string>& arguments);

// Runs one vehicle, writes the files asked for, prints the summary to out and
// every message and refusal to err. Returns the exit status; fills record
// (when given) once the run has happened.
int RunVehicle(const RunArgs& args, std::ostream& out, std::ostream& err, RunRecord* record);

}  // namespace veerline::cli
