#include "engine/ReverseDriver.h"

#include <algorithm>
#include <cmath>

#include "engine/Manoeuvre.h"
#include "engine/Numerics.h"
#include "engine/ReverseLeg.h"

namespace veerline {
namespace {

// The driver aims at the line this many lengths of the last unit ahead, and
// no nearer than the distance the vehicle travels while the wheel swings from
// lock to lock; each unit's heading settles onto the articulation it is
// steered to over 1.5 m, or over this share of that distance when longer.
// (Tuned on a semitrailer backed round a bay corner at 3 to 15 km/h.)
constexpr double kLookUnits = 0.6;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// The sine of the largest angle between an axle's motion over a station and
// its heading that a placement may show and still count as rolled.
constexpr double kMostSlip = 0.05;
constexpr double kSettleMetres = 1.5;
constexpr double kSettleOfSwing = 0.3;

}  // namespace

double ReverseDriver::SteeringOf(const ChainPose& before, const ChainPose& pose,
                                 double previous) const {
  return SteeringFromMotion(before.rear[0], UnitHeading(before, 0), pose.rear[0],
                            UnitHeading(pose, 0), mSegments[0].Wheelbase, previous);
}

// True when every unit's rear axle moved along its heading from `before` to
// `pose`, as a wheel does: a placement that jumps the chain sideways (the
// exact pose taken again after the vehicle was steered back near the line)
// asks what no steering gives, whatever angle its motion seems to show.
bool ReverseDriver::Rolled(const ChainPose& before, const ChainPose& pose) const {
  for (std::size_t k = 0; k < mSegments.size(); ++k) {
    const Point2D d{pose.rear[k].X - before.rear[k].X, pose.rear[k].Y - before.rear[k].Y};
    const double moved = std::hypot(d.X, d.Y);
    if (moved < 1e-9 * mLimits.unit) continue;
    const Point2D h0 = UnitHeading(before, k), h1 = UnitHeading(pose, k);
    const Point2D mid{h0.X + h1.X, h0.Y + h1.Y};
    const double midLength = std::hypot(mid.X, mid.Y);
    if (midLength == 0) return false;
    if (std::fabs(d.X * mid.Y - d.Y * mid.X) / (moved * midLength) > kMostSlip) return false;
  }
  return true;
}

// Within the lock and the steering rate, both as the run's checks measure them.
bool ReverseDriver::Steerable(double steering, double previousDegrees) const {
  const double degrees =
      WheelAnglesOf(steering, mSegments[0].Wheelbase, mSegments[0].WheelWidth).steeringDegrees;
  if (mLimits.lockRadians > 0 && std::fabs(degrees) > RadToDeg(mLimits.lockRadians)) return false;
  return std::fabs(degrees - previousDegrees) <= mLimits.rateDegrees;
}

// Works the exact pose along the line over stations from..to, as if the
// vehicle stayed on it, and gives the first station it cannot be steered to
// (kNone: it can be steered to them all).
std::size_t ReverseDriver::FirstUnsteerable(std::size_t from, std::size_t to,
                                            const ChainPose& before, const ChainPose& older,
                                            double steeringRadians, double steeringDegrees) {
  mAheadFrom = from;
  mAheadCount = 0;
  const std::vector<Point2D>& line = *mLine;
  // Three poses in turn: the one before the last, the last, the next.
  ChainPose poses[3] = {older, before, {}};
  std::size_t previous = 0, now = 1, next = 2;
  for (std::size_t j = from; j <= to; ++j) {
    const Point2D travel = TravelTangent(line, mFirst, mLast, j);
    ReversePoseInto(mSegments, line[j], {-travel.X, -travel.Y}, poses[now], poses[previous],
                    poses[next]);
    const double steering = SteeringOf(poses[now], poses[next], steeringRadians);
    if (!Rolled(poses[now], poses[next]) || !Steerable(steering, steeringDegrees)) return j;
    // Kept, so that the stations on the line take their poses from here.
    if (mAhead.size() <= mAheadCount) mAhead.resize(mAheadCount + 1);
    mAhead[mAheadCount++] = poses[next];
    steeringRadians = steering;
    steeringDegrees =
        WheelAnglesOf(steering, mSegments[0].Wheelbase, mSegments[0].WheelWidth).steeringDegrees;
    std::swap(previous, now);
    std::swap(now, next);
  }
  return kNone;
}

// Looks ahead along the line from station `from`, whose pose the vehicle
// takes from `before`, over twice the driver's lead, so that the look is
// renewed once every lead on the line.
void ReverseDriver::LookAhead(std::size_t from, const ChainPose& before, const ChainPose& older,
                              double steeringRadians, double steeringDegrees) {
  mCheckedTo = std::min(mLast, from + 8 * Lead());
  mUnsteerable =
      FirstUnsteerable(from, mCheckedTo, before, older, steeringRadians, steeringDegrees);
}

// How many stations before a place the exact pose cannot take the driver
// starts steering for it: one and a half lengths of the last unit, 5 m at least.
std::size_t ReverseDriver::Lead() const {
  const double look = std::max(1.5 * mSegments.back().Wheelbase, 5.0 * mLimits.unit);
  return static_cast<std::size_t>(std::ceil(look / mLimits.step));
}

double ReverseDriver::StartLeg(const ChainPose& pose, const std::vector<Point2D>& line,
                               std::size_t first, std::size_t last, double steeringDegrees) {
  mLine = &line;
  mFirst = first;
  mLast = last;
  const double gap = Distance2D(pose.rear.back(), line[first]);
  mOffLine = gap > 1e-3 * mLimits.unit;
  if (!mOffLine) LookAhead(first + 1, pose, pose, 0, steeringDegrees);
  return gap;
}

ReverseStation ReverseDriver::Next(std::size_t i, const ChainPose& before, const ChainPose& older,
                                   double steeringRadians, double steeringDegrees) {
  const std::vector<Point2D>& line = *mLine;
  const std::size_t last = mSegments.size() - 1;
  const std::size_t lead = Lead();
  // Whether the station is so near a place the exact pose cannot take that
  // the driver must already be steering for it.
  auto near = [&] { return mUnsteerable != kNone && i + lead >= mUnsteerable; };
  if (!mOffLine && mUnsteerable == kNone && i + lead > mCheckedTo && mCheckedTo < mLast)
    LookAhead(i, before, older, steeringRadians, steeringDegrees);
  if (!mOffLine && !near()) {
    // Worked out already by the look ahead, from this very pose.
    const std::size_t at = i - mAheadFrom;
    if (i >= mAheadFrom && at < mAheadCount &&
        (at == 0 || (mAhead[at - 1].rear == before.rear && mAhead[at - 1].front == before.front))) {
      ReverseStation station;
      station.pose = mAhead[at];
      return station;
    }
    const Point2D travel = TravelTangent(line, mFirst, mLast, i);
    ReverseStation station;
    station.pose = ReversePose(mSegments, line[i], {-travel.X, -travel.Y}, before, older);
    if (Rolled(before, station.pose) &&
        Steerable(SteeringOf(before, station.pose, steeringRadians), steeringDegrees))
      return station;
  }
  ReverseStation station = Pursue(i, before, steeringRadians, steeringDegrees);
  // Back on the line (within a centimetre, as straight as it runs): the exact
  // pose is tried again, as far as it can be steered from here.
  const Point2D guided = station.pose.rear[last];
  const Point2D facing = UnitHeading(station.pose, last);
  const Point2D tangent = TravelTangent(line, mFirst, mLast, i);
  const bool wasOffLine = mOffLine;
  mOffLine = !(Distance2D(guided, line[i]) <= 1e-2 * mLimits.unit &&
               std::fabs(AngleBetween({-facing.X, -facing.Y}, tangent)) < DegToRad(0.5));
  if (!mOffLine && (wasOffLine || near())) {
    if (mUnsteerable != kNone && i < mUnsteerable) {
      // Not yet past the place it cannot take: keep steering.
      mOffLine = true;
    } else {
      const double steering = SteeringOf(before, station.pose, steeringRadians);
      LookAhead(i + 1, station.pose, before, steering,
                WheelAnglesOf(steering, mSegments[0].Wheelbase, mSegments[0].WheelWidth)
                    .steeringDegrees);
      mOffLine = near();
    }
  }
  return station;
}

// The steering nearest to `wanted` that lies within the lock and the rate
// from `previousDegrees`, as the checks measure them (the mean of the two
// wheels' angles, which grows faster than the steering angle itself): found
// by halving between the previous steering and the wanted one.
double ReverseDriver::NearestSteerable(double wanted, double previousDegrees) const {
  const double wheelbase = mSegments[0].Wheelbase, track = mSegments[0].WheelWidth;
  auto degrees = [&](double steering) {
    return WheelAnglesOf(steering, wheelbase, track).steeringDegrees;
  };
  // The steering the check holds the previous one at, found by halving too.
  double low = -PiValue() / 2.0 + 1e-9, high = PiValue() / 2.0 - 1e-9;
  for (int halving = 0; halving < 50; ++halving) {
    const double middle = (low + high) / 2.0;
    (degrees(middle) < previousDegrees ? low : high) = middle;
  }
  double reachable = (low + high) / 2.0, beyond = wanted;
  if (!Steerable(reachable, previousDegrees)) return reachable;
  for (int halving = 0; halving < 40; ++halving) {
    const double middle = (reachable + beyond) / 2.0;
    (Steerable(middle, previousDegrees) ? reachable : beyond) = middle;
  }
  return reachable;
}

// One station steered by the driver: a pursuit of a point of the line a unit
// length beyond the station asks for a curve of the last unit's axle, and the
// steering that turns the chain to it, within the rate and the lock, backs
// the towing unit far enough for the last axle to keep abreast of the station.
ReverseStation ReverseDriver::Pursue(std::size_t i, const ChainPose& before,
                                     double steeringRadians, double steeringDegrees) {
  // How far the vehicle travels while the wheel swings from lock to lock.
  const double swing = mLimits.rateDegrees < 1e299 && mLimits.lockRadians > 0
                           ? 2.0 * RadToDeg(mLimits.lockRadians) / mLimits.rateDegrees * mLimits.step
                           : 0.0;
  const std::vector<Point2D>& line = *mLine;
  const std::size_t last = mSegments.size() - 1;
  const double step = mLimits.step, unit = mLimits.unit, lock = mLimits.lockRadians;
  const double wheelbase0 = mSegments[0].Wheelbase;
  const double trailing = mSegments[last].Wheelbase;
  const Point2D g0 = before.rear[last];
  const Point2D u0 = UnitHeading(before, last);
  const Point2D t0{-u0.X, -u0.Y};
  const double look = std::max({kLookUnits * trailing, 5.0 * unit, swing});
  const std::size_t ahead = static_cast<std::size_t>(std::ceil(look / step));
  const std::size_t k = std::min(mLast, i + ahead);
  // Beyond the leg's end the line runs on straight, so that the vehicle ends
  // lined up with it.
  const Point2D endTangent = TravelTangent(line, mFirst, mLast, mLast);
  const double beyond = static_cast<double>(i + ahead - k) * step;
  const Point2D target{line[k].X + beyond * endTangent.X, line[k].Y + beyond * endTangent.Y};
  const Point2D aim{target.X - g0.X, target.Y - g0.Y};
  const double aimLength = std::hypot(aim.X, aim.Y);
  const double wanted = aimLength > 0 ? 2.0 * std::sin(AngleBetween(t0, aim)) / aimLength : 0;
  // The tightest curve of the last unit's axle that the steering lock allows;
  // the articulation limit is not steered round: past it the trailer jackknifes.
  const double tanLock = std::tan(std::min(lock > 0 ? lock : PiValue() / 2.0, DegToRad(89.0)));
  double tightest = tanLock / wheelbase0;
  if (last > 0) {
    const double towRadius = wheelbase0 / tanLock;
    tightest = towRadius > trailing
                   ? 0.9 / std::sqrt(towRadius * towRadius - trailing * trailing)
                   : 1e300;
  }
  const double curvature = std::clamp(wanted, -tightest, tightest);
  // The path's curvature seen going forwards is that of the travel, turned round.
  double steering = std::atan(
      wheelbase0 * TowingCurvatureFor(mSegments, before, -curvature, std::max(kSettleMetres * unit, kSettleOfSwing * swing)));
  if (!Steerable(steering, steeringDegrees)) steering = NearestSteerable(steering, steeringDegrees);
  ReverseStation station;
  if (lock > 0) {
    const double lockDegrees = RadToDeg(lock);
    const double degrees =
        WheelAnglesOf(steering, wheelbase0, mSegments[0].WheelWidth).steeringDegrees;
    if (std::fabs(degrees) >= lockDegrees || std::fabs(steering) >= lock) {
      // Held at full lock: the steering is the lock itself, which the limit check lets pass.
      steering = std::copysign(std::min(std::fabs(steering), lock), steering);
      station.lockSide = steering > 0 ? 1 : -1;
    }
  }
  station.steering = steering;
  // Back the towing unit so far that the last axle keeps abreast of the station.
  const Point2D toStation{line[i].X - g0.X, line[i].Y - g0.Y};
  const double along =
      std::clamp(toStation.X * t0.X + toStation.Y * t0.Y, 0.5 * step, 1.5 * step);
  station.pose = DriveBack(mSegments, before, steering, along);
  const double moved = Distance2D(g0, station.pose.rear[last]);
  if (moved > 1e-9 && last > 0)
    station.pose = DriveBack(mSegments, before, steering, along * along / moved);
  const std::size_t from = i > mFirst + 10 ? i - 10 : mFirst;
  const std::size_t to = std::min(i + 10, mLast);
  station.deviation = DistanceToPoints(line, from, to, station.pose.rear[last]);
  return station;
}

}  // namespace veerline
