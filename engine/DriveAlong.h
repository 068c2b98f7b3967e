#pragma once

// Drives the vehicle along a stretch of path with the run's own step, from a
// chain state kept from an earlier stretch, so an interactive tool can drive
// on from a fixed part of the path instead of from its start. It records the
// body outline of every unit at every station and where a limit is passed.

#include <optional>
#include <vector>

#include "engine/ArcPath.h"
#include "engine/Clearance.h"
#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/VehicleModel.h"

namespace veerline {

// Where every unit stands between two stations: what the step needs to go on.
struct DriveChain {
  std::vector<Point2D> PrevFront, Rear;
  Point2D LastFront;  // the first unit's front point at the last station
  bool Empty() const { return Rear.empty(); }
};

// What a stretch driven gives.
struct DriveTrace {
  std::vector<StationOutline> Outlines;  // every unit at every station, station order
  // First station (distance, counted on from the stretch's start distance) at
  // which the steering lock or the angle between units was passed.
  std::optional<double> SteeringStation, ArticulationStation;
  DriveChain End;
  double EndStation = 0;
};

struct DriveVehicleChain {
  Segments Units;
  int VehicleType = 1;
  double MetresPerUnit = 1;
  double Step = 0.2;  // between stations, drawing units
};

// Drives along the polyline from its first vertex. An empty `from` parks the
// vehicle straight behind the start, as a run does; otherwise the chain goes
// on from there (its front point should be the polyline's start).
// `startStation` numbers the stations on. A polyline that cannot be stationed
// gives an empty trace whose End is `from`.
DriveTrace DriveAlong(const std::vector<ArcPathVertex>& path, const DriveVehicleChain& vehicle,
                      const DriveChain& from, double startStation, Host& host);

}  // namespace veerline
