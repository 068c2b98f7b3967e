#pragma once

// The state a run leaves for the window that owns it: path stations, station
// tracks, sweep and side-line tables, the limit outcome and the running
// extremes. A run resets it at its start; it stays until the next run.
//
// Tables hold their data rows only. Where the classic tables kept a sentinel
// row (the all-zero row 0 of the sweep tables, the empty last row of the
// side-line tables and the station track, the empty row 0 of the diagram
// tracks) that row is implicit: readers simply see the data rows.

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "engine/Clearance.h"
#include "engine/Geometry.h"
#include "engine/Manoeuvre.h"
#include "engine/VehicleModel.h"

namespace veerline {

struct PathStation {
  double StationDistance = 0;
  Point2D StationPoint;  // z is always 0
};
using PathStations = std::vector<PathStation>;

// One station of the front point: X, Y and the station distance i × step.
struct StationTrackRow {
  double X = 0, Y = 0, Distance = 0;
};

// One diagram row: station distance and a value; an empty value is a cell that
// failed to compute.
struct TrackRow {
  double Distance = 0;
  std::optional<double> Value;
};
using Track = std::vector<TrackRow>;

// One row of a sweep table: station distance, X, Y, unit index and flag (1
// for a body or wheel edge, 0 for a drawbar's body corner). The unit and flag
// are small whole numbers; kept as floats, a row takes 32 bytes instead of 40.
struct SweepRow {
  double Distance = 0, X = 0, Y = 0;
  float Unit = 0, Flag = 0;
};
using SweepTable = std::vector<SweepRow>;

enum SweepTableId : int {
  kSweepFrontLeft, kSweepFrontRight, kSweepRearLeft, kSweepRearRight,
  kSweepWheelFrontLeft, kSweepWheelFrontRight, kSweepWheelRearLeft, kSweepWheelRearRight,
  kSweepTableCount
};

// One body side line (or front-corner trace) with its station distance and its
// lane: which body side or trace it belongs to. Lines of one lane lie close
// together from station to station; the envelope scan groups them by it.
struct SegmentLine {
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, Station = 0;
  int Lane = 0;
};
using SegmentLines = std::vector<SegmentLine>;

struct LimitOutcome {
  bool TurnExceeded = false;
  double TurnExceededStation = 0;
  double TurnExceededAngle = 0;
  bool SegmentExceeded = false;
  double SegmentExceededStation = 0;
  double SegmentExceededAngle = 0;
};

// Which of its three ends the station loop reached, or that it refused to
// start (input that is not a finite number).
enum class LoopEnd { Completed, LimitStop, StopRequested, Refused };
// Which limit stopped the vehicle, if any.
enum class StopKind { None, FrontWheel, Articulation, LockToLock };

inline constexpr double kNoPreviousFront = -99999;

struct RunState {
  Segments segments;
  PathStations stations;
  double pathLength = 0;
  double calculationStep = 0.2;
  double metresPerUnit = 1;
  double vehicleLength = 0;

  std::vector<StationTrackRow> stationTrack;
  Track steeringTrack, articulationTrack1, articulationTrack2, articulationTrack3, speedTrack;

  std::array<SweepTable, kSweepTableCount> sweep;
  SegmentLines segmentLinesLeft, segmentLinesRight;
  Point2D prevFrontLeft{kNoPreviousFront, 0};
  Point2D prevFrontRight;

  LimitOutcome outcome;
  StopKind stopKind = StopKind::None;
  std::optional<double> lockToLockStation;  // station distance of a lock-to-lock stop
  bool stopRequested = false;

  double maxSteeringAngle = -9999;
  double maxArticulationAngle = 0;
  double lowestSpeed = std::pow(999.0, 12);

  std::vector<int> outlineStations;  // station indices at which outlines were drawn
  // The envelope traces as drawn: right- and left-hand side of travel.
  std::vector<Point2D> envelopeRight, envelopeLeft;
  // The clearance check against the chosen obstacle layers, when one was made.
  ClearanceResult clearance;

  // The manoeuvre: its legs in order (one forward leg for a plain run), the
  // point of its leg's line at every station (the guided point's target) and
  // whether forward legs use the exact kinematics. `stations` always holds
  // the first unit's front-axle centre; on reverse legs the loop writes it.
  std::vector<ManoeuvreLeg> legs;
  std::vector<Point2D> guidedPoints;
  bool exactTracking = false;
  // Every unit's rear-axle centre and heading (degrees), station by station
  // (segments.size() rows a station) for the stations reached.
  std::vector<std::array<double, 3>> axles;
  // Why the loop refused to go on (a leg that does not start where the vehicle stands).
  std::string refusal;

  // Back to the state a run starts from.
  void Reset() { *this = RunState{}; }
};

}  // namespace veerline
