#pragma once

// A path the vehicle can drive at a design speed: straight legs between given
// points, and at every corner an easing, an arc and an easing. In an easing
// the steering angle of the front unit changes at a steady rate, a little
// below the rate the lock-to-lock time allows at the design speed, so a run
// at that speed keeps up with the wheel; the arc is no tighter than the
// vehicle can steer, nor than side friction allows at the speed. The front
// axle path of an easing is the one a vehicle of the front unit's wheelbase
// drives with the wheel turning steadily; it is laid out as arcs (bulges).

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/ArcPath.h"
#include "engine/Geometry.h"
#include "engine/VehicleModel.h"

namespace veerline {

// What of the vehicle shapes the path: its front unit.
struct DriveVehicle {
  double Wheelbase = 0;        // drawing units
  double WheelWidth = 0;       // drawing units
  double MaxTurningAngle = 0;  // degrees
  double LockToLockSeconds = 0;
};
DriveVehicle DriveVehicleOf(const VehicleRecord& vehicle);

struct DriveSettings {
  double SpeedMetresPerSecond = 0;  // 0: the wheel turns at once, no easings
  double MetresPerUnit = 1;         // of the points and the vehicle
  // Superelevation and side friction of the speed radius; by default the
  // low-speed turning values for the speed (DefaultSuperelevation/-Friction).
  std::optional<double> Superelevation, Friction;
  // A corner radius wanted instead of the smallest the vehicle and speed allow.
  std::optional<double> Radius;
};

// Low-speed turning values of superelevation and side friction for a speed.
double DefaultSuperelevation(double speedKmh);
double DefaultSideFriction(double speedKmh);

// The smallest radius of the front axle centre that a run steers round within
// the steering lock: a little above wheelbase / sin(lock), because a run
// measures the mean angle of the two front wheels (drawing units).
double DrivableMinimumRadius(const DriveVehicle& vehicle);

struct DriveCorner {
  int PointNumber = 0;  // 1-based position of the corner's point in the input
  Point2D Point;
  double Radius = 0;        // of its arc; the tightest radius of the curve when it has none
  double ArcLength = 0;     // 0 when the easings alone make the turn
  double EasingLength = 0;  // of each of the two easings
  double TangentIn = 0, TangentOut = 0;  // from the point back and on to the curve's ends
  bool TooTight = false;                 // left sharp in the layout
};

struct DrivePathLayout {
  std::vector<ArcPathVertex> Vertices;  // empty when the input is unusable
  std::vector<DriveCorner> Corners;
  double ArcRadius = 0;  // the radius every full corner is given
  std::string Error;     // empty when the path can be made; else names the first bad corner
  bool Ok() const { return Error.empty(); }
};

// Lays out the path. Repeats and points in line with their neighbours make no
// corner. A corner whose curve would overrun a leg, or the curve before it on
// that leg, is refused by its point as the arc path does, and left sharp.
DrivePathLayout LayOutDrivePath(std::span<const Point2D> points, const DriveVehicle& vehicle,
                                const DriveSettings& settings);

// Distance from p to the arc (or line) from a to b with the given bulge.
double DistanceToBulge(const Point2D& p, const Point2D& a, const Point2D& b, double bulge);

}  // namespace veerline
