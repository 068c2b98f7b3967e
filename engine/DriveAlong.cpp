#include "engine/DriveAlong.h"

#include <cmath>

#include "engine/BodyGeometry.h"
#include "engine/Numerics.h"
#include "engine/PathPreparation.h"
#include "engine/RunState.h"
#include "engine/SweepRun.h"

namespace veerline {

DriveTrace DriveAlong(const std::vector<ArcPathVertex>& path, const DriveVehicleChain& vehicle,
                      const DriveChain& from, double startStation, Host& host) {
  DriveTrace trace;
  trace.End = from;
  trace.EndStation = startStation;
  const Segments& units = vehicle.Units;
  if (path.size() < 2 || units.empty()) return trace;

  // Scratch state: the stations, and the side-line tables the body geometry fills.
  RunState scratch;
  scratch.metresPerUnit = vehicle.MetresPerUnit;
  PathPolyline polyline;
  for (const ArcPathVertex& v : path) polyline.vertices.push_back({v.X, v.Y, v.Bulge, 0});
  double length = 0;
  try {
    PreparePathStations(polyline, vehicle.Step, length, scratch, host);
  } catch (const std::exception&) {
    return trace;
  }
  if (scratch.stations.empty()) return trace;

  std::vector<Point2D> prevFront = from.PrevFront, rear = from.Rear;
  std::size_t first = 0;
  if (from.Empty()) {
    VehiclePlacement parked = InitialPlacement(scratch.stations, units, vehicle.Step);
    prevFront = std::move(parked.PrevFrontPoints);
    rear = std::move(parked.RearPoints);
  } else if (std::hypot(scratch.stations[0].StationPoint.X - from.LastFront.X,
                        scratch.stations[0].StationPoint.Y - from.LastFront.Y) < vehicle.Step / 2) {
    first = 1;  // the stretch before ended on this station
  }

  std::vector<Point2D> front(units.size());
  trace.Outlines.reserve((scratch.stations.size() - first) * units.size());
  double station = startStation;
  for (std::size_t i = first; i < scratch.stations.size(); ++i) {
    station = startStation + static_cast<double>(i) * vehicle.Step;
    front[0] = scratch.stations[i].StationPoint;
    for (std::size_t k = 0; k < units.size(); ++k) {
      const SegmentRecord& unit = units[k];
      const SweepStep step =
          SweepPath(front[k], unit.Wheelbase, prevFront[k], rear[k], unit.WheelWidth, host);
      bool tyresLeftOut = false;
      const SegmentCorners corners = CalcSegmentCornersLeavingTyres(
          front[k], step.RearPoint, unit, step.LeftWheelAngle, step.RightWheelAngle,
          static_cast<double>(k), station, vehicle.VehicleType, vehicle.MetresPerUnit, scratch,
          host, tyresLeftOut);
      trace.Outlines.push_back(
          {station, {corners[3], corners[5], corners[4], corners[2]}, static_cast<int>(k)});
      if (k == 0 && !trace.SteeringStation && std::abs(step.SteeringAngle) > unit.MaxTurningAngle)
        trace.SteeringStation = station;
      if (k > 0 && !trace.ArticulationStation) {
        const double angle = RadToDeg(AngleAtVertex(step.RearPoint, front[k - 1], front[k]));
        if (std::abs(angle) > unit.MaxSegmentAngle) trace.ArticulationStation = station;
      }
      prevFront[k] = front[k];
      rear[k] = step.RearPoint;
      if (k + 1 < units.size()) front[k + 1] = corners[6];
    }
    // The side lines are not needed: keep the scratch tables from growing.
    scratch.segmentLinesLeft.clear();
    scratch.segmentLinesRight.clear();
    for (auto& table : scratch.sweep) table.clear();
  }
  trace.End = {prevFront, rear, front[0]};
  trace.EndStation = station;
  return trace;
}

}  // namespace veerline
