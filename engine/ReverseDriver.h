#pragma once

// Backing a vehicle along a reverse leg's line. On the line the last unit's
// rear axle is placed on it exactly and the chain is worked out from there
// (ReversePose). Where that would ask the driver for more than the steering
// lock, or for a swing of the wheel faster than the lock-to-lock time allows
// at the run's speed, the driver steers instead, from far enough before the
// place that asks it to turn in gently: a pursuit of the line sets the curve
// the last unit should follow, each unit ahead is turned to the articulation
// that holds that curve, and the towing unit is backed along the arc of its
// steering, the units behind it pushed. The vehicle follows as closely as its
// lock and steering rate allow until it is back on the line.

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/ExactTracking.h"
#include "engine/Geometry.h"
#include "engine/VehicleModel.h"

namespace veerline {

struct ReverseLimits {
  double lockRadians = 0;             // the towing unit's steering lock; 0: none
  double rateDegrees = 1e300;         // largest steering change per station
  double step = 0.2;                  // calculation step, drawing units
  double unit = 1;                    // a metre in drawing units
};

// The pose of one reverse station and what it asked of the driver.
struct ReverseStation {
  ChainPose pose;
  int lockSide = 0;         // +1 or -1 when held at full lock
  // The steering the driver gave (radians); none on the line, where it is
  // worked out from the towing unit's motion.
  std::optional<double> steering;
  double deviation = 0;     // distance of the last rear axle from the line
};

class ReverseDriver {
 public:
  ReverseDriver(const Segments& segments, const ReverseLimits& limits)
      : mSegments(segments), mLimits(limits) {}

  // The leg's first station: the vehicle stands in `pose` (never moved onto
  // the line); gives the distance of its last rear axle from the line's start.
  double StartLeg(const ChainPose& pose, const std::vector<Point2D>& line, std::size_t first,
                  std::size_t last, double steeringDegrees);

  // The pose at station i from the two before; `steeringRadians` and
  // `steeringDegrees` are the towing unit's steering at the station before, as
  // the run worked it out and as the steering-rate check holds it.
  ReverseStation Next(std::size_t i, const ChainPose& before, const ChainPose& older,
                      double steeringRadians, double steeringDegrees);

 private:
  double SteeringOf(const ChainPose& before, const ChainPose& pose, double previous) const;
  bool Rolled(const ChainPose& before, const ChainPose& pose) const;
  bool Steerable(double steering, double previousDegrees) const;
  std::size_t FirstUnsteerable(std::size_t from, std::size_t to, const ChainPose& before,
                               const ChainPose& older, double steeringRadians,
                               double steeringDegrees);
  void LookAhead(std::size_t from, const ChainPose& before, const ChainPose& older,
                 double steeringRadians, double steeringDegrees);
  std::size_t Lead() const;
  double NearestSteerable(double wanted, double previousDegrees) const;
  ReverseStation Pursue(std::size_t i, const ChainPose& before, double steeringRadians,
                        double steeringDegrees);

  const Segments& mSegments;
  ReverseLimits mLimits;
  const std::vector<Point2D>* mLine = nullptr;
  std::size_t mFirst = 0, mLast = 0;
  bool mOffLine = false;
  // The first station ahead that the exact pose cannot take (none: the
  // largest index), as far as the line has been looked at.
  std::size_t mUnsteerable = static_cast<std::size_t>(-1);
  std::size_t mCheckedTo = 0;
  // The poses the look ahead worked out, for the stations from mAheadFrom on.
  std::vector<ChainPose> mAhead;
  std::size_t mAheadFrom = 0, mAheadCount = 0;
};

}  // namespace veerline
