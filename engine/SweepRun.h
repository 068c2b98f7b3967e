#pragma once

// The sweep run: the closed-form step that drags a segment's rear axle behind
// its front point, the outline spacing, the parked start of the vehicle and the
// station loop with its steering, speed and articulation limits.

#include <cstdint>
#include <vector>

#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/RunState.h"
#include "engine/SweepDrawing.h"
#include "engine/VehicleModel.h"

namespace veerline {

// Result of one SweepPath call.
struct SweepStep {
  Point2D RearPoint;
  Point2D FrontPoint;
  double LeftTrackRadius = 0;  // rear-axle turning radius minus half the wheel width, + to the left
  double LeftWheelAngle = 0;   // radians, positive to the left
  double RightWheelAngle = 0;  // radians
  double SteeringAngle = 0;    // degrees, mean of the two wheel angles
  std::int16_t IntersectionCount = 0;
};

// Moves a segment whose front point went from a to f: its rear axle at r
// follows and ends 1.02 x wheelbase from f. Failures are reported through the
// host with " SweepPath(Module)"; the fields computed before them are kept.
SweepStep SweepPath(const Point2D& f, double wheelbase, const Point2D& a, const Point2D& r,
                    double wheelWidth, Host& host);

// A speed in metres per second in the unit of the SpeedUnit code, to 1 decimal.
double SpeedForDisplay(double speedMetresPerSecond, int speedUnitCode);

// The speed in metres per second at which a full lock-to-lock sweep of the
// wheel keeps up with a steering change (degrees per step).
double AllowedSpeed(double steeringChange, double maxTurningAngle, double lockToLockSeconds,
                    double calculationStep, double metresPerUnit);

// The largest steering change per step (degrees) the lock-to-lock time allows at a speed.
double AllowedSteeringChange(double speedMetresPerSecond, double maxTurningAngle,
                             double lockToLockSeconds, double calculationStep,
                             double metresPerUnit);

// Distance travelled between drawn outlines. Without onlyFirstAndLast the
// wanted gap plotSpacing is replaced by the gap actually used. Throws
// NumericFailure("Overflow") when the path holds too many vehicle lengths.
double PlotIntervalFor(double pathLength, double fordonslen, double& plotSpacing,
                       bool onlyFirstAndLast, double calculationStep);

// The parked vehicle before the first station: per segment its front point one
// station earlier and its rear axle, on the line of the path's first chord.
struct VehiclePlacement {
  std::vector<Point2D> PrevFrontPoints;
  std::vector<Point2D> RearPoints;
};
VehiclePlacement InitialPlacement(const PathStations& stations, const Segments& segments,
                                  double calculationStep);

// What the station loop needs besides the run state.
struct SweepOptions {
  int vehicleType = 1;
  double speedMetresPerSecond = 0;
  double lockToLockSeconds = 0;
  int speedUnitCode = 0;
  double plotInterval = 0;
  double metresPerUnit = 1;
  double calculationStep = 0.2;
};

// Drives state.segments along state.stations: fills the station tracks, the
// extremes, the limit outcome and state.outlineStations, draws outlines while
// plotVehicle is set, and stops at the first exceeded limit (setting
// plotVehicle). Vehicle dimensions, speed or stations that are not finite
// numbers are refused with a message before the first station; that ends like
// a stop on request, without output.
LoopEnd RunStationLoop(RunState& state, const SweepOptions& options, bool& plotVehicle,
                       SweepDrawing& drawing, Host& host);

}  // namespace veerline
