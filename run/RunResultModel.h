#pragma once

// What one run leaves to be reported, shown and played back: how it ended and
// the messages it showed, its figures, the vehicle's chain and the path's
// stations, the station tracks, the envelope, the blocks, the clearance check,
// the legs, and where every unit stood at every station reached. Built once
// from the run state; the JSON report, the design report, the desktop tabs
// and the playback all read this one structure.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cad/DrawingOutput.h"
#include "engine/Clearance.h"
#include "engine/Manoeuvre.h"
#include "engine/RunState.h"
#include "run/BatchHost.h"
#include "run/ExecuteSweep.h"
#include "run/RunFigures.h"

namespace veerline {

// Where one unit stands at one station: the point it is guided by (the front
// axle of the first unit, the hitch of the others), its rear-axle centre, its
// heading in degrees and its body outline (front-left, front-right,
// rear-right, rear-left).
struct UnitPose {
  Point2D front, rear;
  double heading = 0;
  std::array<Point2D, 4> body;
};

// The readings at one station: the steering angle and each articulation angle
// in degrees, the speed in the run's speed unit; none where the run recorded
// nothing.
struct StationReadings {
  std::optional<double> steering, speed;
  std::array<std::optional<double>, 3> articulation;
};

struct RunResultModel {
  RunOutcome outcome = RunOutcome::Ended;
  RunFigures figures;
  std::vector<RecordedMessage> messages;
  std::string summary;
  int speedUnit = 0;  // 0 km/h, 1 mph, 2 m/s
  int vehicleType = 0;

  double pathLength = 0, calculationStep = 0.2, metresPerUnit = 1, vehicleLength = 0;
  Segments segments;
  PathStations stations;
  // Steering and articulation in percent of their limits; speed as shown, 30 at most.
  Track steering, articulation1, articulation2, articulation3, speed;
  std::vector<int> outlineStations;
  std::vector<Point2D> envelopeRight, envelopeLeft;
  cad::RunBlockNames blocks;
  std::vector<std::string> insertedBlocks;
  ClearanceResult clearance;

  // The legs in order (one forward leg for a plain run) and, per station, the
  // leg it lies on and whether that leg is driven in reverse.
  std::vector<ManoeuvreLeg> legs;
  std::vector<int> legAt;
  std::vector<bool> reverseAt;
  // Per station reached, per unit: rear-axle centre and heading (degrees), as
  // the run recorded them.
  std::vector<std::array<double, 3>> axles;
  // Per station with a pose, every unit's pose; the last may be the station a
  // limit stopped the vehicle at.
  std::vector<std::vector<UnitPose>> poses;

  bool RunHappened() const { return outcome != RunOutcome::Ended; }
  std::size_t UnitCount() const { return segments.size(); }
  // Station distance of a pose (pose i stands at station i).
  double StationDistance(std::size_t station) const;
  // The readings at a station, the angles in degrees.
  StationReadings ReadingsAt(std::size_t station) const;
  // The pose nearest the stop station, or the last one; none without poses.
  std::optional<std::size_t> StopPose() const;
};

// Builds the model of a run from the state it left, the messages it showed
// and its summary line. The poses are only made when asked for: a report
// that does not draw the vehicle need not hold them. The figures are
// measured unless the caller has measured them already.
enum class WithPoses { No, Yes };
RunResultModel MakeRunResultModel(const RunResult& run, const RunState& state,
                                  std::vector<RecordedMessage> messages, int speedUnit,
                                  int vehicleType, std::string summary,
                                  WithPoses poses = WithPoses::Yes,
                                  const std::optional<RunFigures>& figures = std::nullopt);
// The same, taking the run's tables (stations, tracks, outline stations,
// envelope, axles) out of the state instead of copying them, for a caller
// that needs no more of the state than the rest.
RunResultModel MakeRunResultModel(const RunResult& run, RunState&& state,
                                  std::vector<RecordedMessage> messages, int speedUnit,
                                  int vehicleType, std::string summary,
                                  WithPoses poses = WithPoses::Yes,
                                  const std::optional<RunFigures>& figures = std::nullopt);

}  // namespace veerline
