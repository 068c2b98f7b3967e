#include "engine/SweepRun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "engine/BodyGeometry.h"
#include "engine/ExactTracking.h"
#include "engine/Numerics.h"
#include "engine/ReverseDriver.h"
#include "engine/ReverseLeg.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

constexpr double kStraightRadius = 999999999;
constexpr double kTrailingDistanceFactor = 1.02;
constexpr const char* kVehicleLayer = "Turn_Vehicle";
constexpr const char* kReverseLayer = "Turn_Reverse";
constexpr const char* kMarkLayer = "Draftkit_ErrNotes";

// The value itself, or a NumericFailure when it is not a finite number.
double Finite(double value) {
  if (std::isnan(value)) throw NumericFailure("Invalid procedure call or argument");
  if (std::isinf(value)) throw NumericFailure("Overflow");
  return value;
}

bool IsFinite(const Point2D& p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// Runs one step of the loop; a step that fails is passed over.
template <class Step>
void Skip(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

// The rear point on the line from f towards r, 1.02 x wheelbase from f (f
// itself when r coincides with f or the wheelbase is 0).
Point2D RearOnLineTowards(const Point2D& f, const Point2D& r, double wheelbase) {
  const double length = Distance2D(f, r);
  if (length == 0) return f;
  const double scale = kTrailingDistanceFactor * wheelbase / length;
  return {f.X + scale * (r.X - f.X), f.Y + scale * (r.Y - f.Y)};
}

}  // namespace

SweepStep SweepPath(const Point2D& f, double wheelbase, const Point2D& a, const Point2D& r,
                    double wheelWidth, Host& host) {
  SweepStep step;
  bool rearPlaced = false;
  try {
    if (!IsFinite(f) || !IsFinite(a) || !IsFinite(r) || !std::isfinite(wheelbase) ||
        !std::isfinite(wheelWidth)) {
      throw NumericFailure("Invalid procedure call or argument");
    }
    double b = Distance2D(a, f);
    if (b == 0) b = 0.001;
    const double alpha = AngleAtVertex(f, a, r);
    const double theta =
        Finite(std::atan(std::sin(alpha) / (2.0 * wheelbase / b - std::cos(alpha))));
    const Point2D m{r.X + std::cos(theta) * (a.X - r.X), r.Y + std::cos(theta) * (a.Y - r.Y)};
    const LineCircleHits hits =
        LineCircleIntersection(f, kTrailingDistanceFactor * wheelbase, r, m);
    if (hits.Count == 2) {
      step.RearPoint =
          Distance2D(r, hits.First) < Distance2D(r, hits.Second) ? hits.First : hits.Second;
    } else if (hits.Count == 1) {
      step.RearPoint = hits.First;
    } else {
      // No candidate: keep the rear axle on its line to the front point.
      step.RearPoint = RearOnLineTowards(f, r, wheelbase);
    }
    rearPlaced = true;

    const double chord = Distance2D(r, step.RearPoint);
    const double sinTheta = std::sin(theta);
    const double radius = sinTheta == 0 ? kStraightRadius : chord / 2.0 / sinTheta;
    step.FrontPoint = f;
    step.LeftTrackRadius = radius - wheelWidth / 2.0;
    step.LeftWheelAngle = Finite(std::atan(wheelbase / (radius - wheelWidth / 2.0)));
    step.RightWheelAngle = Finite(std::atan(wheelbase / (radius + wheelWidth / 2.0)));
    step.SteeringAngle = RadToDeg((step.LeftWheelAngle + step.RightWheelAngle) / 2.0);
    step.IntersectionCount = static_cast<std::int16_t>(hits.Count);
  } catch (const std::exception& failure) {
    if (!rearPlaced) {
      const Point2D fallback = RearOnLineTowards(f, r, wheelbase);
      step.RearPoint = IsFinite(fallback) ? fallback : r;
    }
    Skip([&] {
      host.ShowMessage(MessageKind::Warning, kFailureTitle,
                       std::string(failure.what()) + " SweepPath(Module)");
    });
  }
  return step;
}

double SpeedForDisplay(double speedMetresPerSecond, int speedUnitCode) {
  double shown;
  if (speedUnitCode == 1) {
    shown = speedMetresPerSecond * 0.62137 * 3.6;
  } else if (speedUnitCode == 2) {
    shown = speedMetresPerSecond;
  } else {
    shown = speedMetresPerSecond * 3.6;
  }
  return RoundHalfEven(shown, 1);
}

double AllowedSpeed(double steeringChange, double maxTurningAngle, double lockToLockSeconds,
                    double calculationStep, double metresPerUnit) {
  return std::fabs((2.0 * maxTurningAngle / lockToLockSeconds) /
                   (steeringChange / calculationStep / metresPerUnit));
}

double AllowedSteeringChange(double speedMetresPerSecond, double maxTurningAngle,
                             double lockToLockSeconds, double calculationStep,
                             double metresPerUnit) {
  return (2.0 * maxTurningAngle / lockToLockSeconds) /
         (speedMetresPerSecond / calculationStep / metresPerUnit);
}

double PlotIntervalFor(double pathLength, double fordonslen, double& plotSpacing,
                       bool onlyFirstAndLast, double calculationStep) {
  if (onlyFirstAndLast) return pathLength;
  double n = RoundToStep(pathLength / (fordonslen + plotSpacing), 1, false);
  if (n == 0) n = 1;
  plotSpacing = (pathLength - n * fordonslen) / n;
  return fordonslen + plotSpacing - calculationStep;
}

VehiclePlacement InitialPlacement(const PathStations& stations, const Segments& segments,
                                  double calculationStep) {
  VehiclePlacement placement;
  placement.PrevFrontPoints.resize(segments.size());
  placement.RearPoints.resize(segments.size());
  if (stations.empty() || segments.empty()) return placement;

  // The direction comes from the first later station that differs from the
  // first one; a reversed path may repeat its first point.
  const Point2D p0 = stations[0].StationPoint;
  std::size_t k = 1;
  while (k < stations.size() && stations[k].StationPoint == p0) ++k;
  Point2D chord;
  double chordLength = calculationStep;
  if (k < stations.size()) {
    chord = {stations[k].StationPoint.X - p0.X, stations[k].StationPoint.Y - p0.Y};
    chordLength = static_cast<double>(k) * calculationStep;
  }
  const auto behind = [&](double d) {
    const double share = d / chordLength;
    return Point2D{p0.X - share * chord.X, p0.Y - share * chord.Y};
  };

  placement.PrevFrontPoints[0] = behind(calculationStep);
  double d = calculationStep + segments[0].Wheelbase;
  placement.RearPoints[0] = behind(d);
  for (std::size_t j = 1; j < segments.size(); ++j) {
    placement.PrevFrontPoints[j] = behind(d + segments[j - 1].Hitch);
    placement.RearPoints[j] = behind(d + segments[j - 1].Hitch + segments[j].Wheelbase);
    d = d + segments[j - 1].Hitch + segments[j].Wheelbase;
  }
  return placement;
}

namespace {

// True when every number the loop computes with is finite.
bool LoopInputsFinite(const RunState& state, const SweepOptions& options) {
  for (const SegmentRecord& s : state.segments) {
    for (double v : {s.WheelWidth, s.VehicleWidth, s.Front, s.Wheelbase, s.Back, s.Hitch,
                     s.MaxTurningAngle, s.MaxSegmentAngle}) {
      if (!std::isfinite(v)) return false;
    }
  }
  for (double v : {options.speedMetresPerSecond, options.lockToLockSeconds, options.metresPerUnit,
                   options.calculationStep}) {
    if (!std::isfinite(v)) return false;
  }
  for (const PathStation& station : state.stations) {
    if (!IsFinite(station.StationPoint)) return false;
  }
  return true;
}

enum class StepEnd { Continue, LimitStop, StopRequested };

// One segment's points at one station. Where its tyres were left out (they
// certainly come out finite), only the points the loop reads are kept, with
// what it takes to add the tyres when the segment is drawn, so that copying it
// from station to station costs little; otherwise all 93 points are kept, on
// the heap, so that the common case stays small.
class StationCorners {
 public:
  StationCorners() : mAll(std::make_unique<SegmentCorners>()) {}
  StationCorners(const SegmentCorners& points, bool tyresLeftOut, std::size_t segment,
                 const Point2D& p1, const Point2D& p2, double leftWheelAngle,
                 double rightWheelAngle)
      : mSegment(segment),
        mP1(p1),
        mP2(p2),
        mLeftWheelAngle(leftWheelAngle),
        mRightWheelAngle(rightWheelAngle) {
    if (!tyresLeftOut) {
      mAll = std::make_unique<SegmentCorners>(points);
      return;
    }
    std::copy(points.begin(), points.begin() + mBody.size(), mBody.begin());
    mRearEdges = {points[kRearEdgeLeft], points[kRearEdgeRight]};
  }
  StationCorners(const StationCorners& other)
      : mBody(other.mBody),
        mRearEdges(other.mRearEdges),
        mAll(other.mAll ? std::make_unique<SegmentCorners>(*other.mAll) : nullptr),
        mSegment(other.mSegment),
        mP1(other.mP1),
        mP2(other.mP2),
        mLeftWheelAngle(other.mLeftWheelAngle),
        mRightWheelAngle(other.mRightWheelAngle) {}
  StationCorners(StationCorners&&) noexcept = default;
  StationCorners& operator=(const StationCorners& other) {
    if (this != &other) {
      if (other.mAll && mAll) {
        *mAll = *other.mAll;
      } else {
        mAll = other.mAll ? std::make_unique<SegmentCorners>(*other.mAll) : nullptr;
      }
      mBody = other.mBody;
      mRearEdges = other.mRearEdges;
      mSegment = other.mSegment;
      mP1 = other.mP1;
      mP2 = other.mP2;
      mLeftWheelAngle = other.mLeftWheelAngle;
      mRightWheelAngle = other.mRightWheelAngle;
    }
    return *this;
  }
  StationCorners& operator=(StationCorners&&) noexcept = default;

  // Point 0 (front point), 1 (rear axle) or 6 (hitch).
  const Point2D& operator[](int index) const { return mAll ? (*mAll)[index] : mBody[index]; }

  // All 93 points, the tyres added where they were left out.
  SegmentCorners Complete(const Segments& segments, int vehicleType, double metresPerUnit) const {
    if (mAll) return *mAll;
    SegmentCorners points{};
    std::copy(mBody.begin(), mBody.end(), points.begin());
    points[kRearEdgeLeft] = mRearEdges[0];
    points[kRearEdgeRight] = mRearEdges[1];
    PlaceTyres(points, mP1, mP2, segments[mSegment], mLeftWheelAngle, mRightWheelAngle, vehicleType,
               metresPerUnit);
    return points;
  }

 private:
  static constexpr int kRearEdgeLeft = 43, kRearEdgeRight = 58;
  std::array<Point2D, 7> mBody{};  // points 0..6
  std::array<Point2D, 2> mRearEdges{};
  std::unique_ptr<SegmentCorners> mAll;  // all points, when the tyres were not left out
  std::size_t mSegment = 0;  // whose record the points were worked out with
  Point2D mP1, mP2;
  double mLeftWheelAngle = 0, mRightWheelAngle = 0;
};

// One run of the station loop and its working state.
class StationLoop {
 public:
  StationLoop(RunState& state, const SweepOptions& options, bool& plotVehicle,
              SweepDrawing& drawing, Host& host)
      : mState(state),
        mSegments(state.segments),
        mOptions(options),
        mPlotVehicle(plotVehicle),
        mDrawing(drawing),
        mHost(host),
        mSymbols(host.Symbols()) {}

  LoopEnd Run();

 private:
  StepEnd SegmentStep(std::size_t k, std::size_t i, double s);
  bool SteeringAndSpeed(const SweepStep& step, std::size_t i, double s);
  bool FrontWheelLimit(const SweepStep& step, std::size_t i, double s);
  bool Articulation(std::size_t k, std::size_t i, double s);
  void DrawStoppedVehicle(std::size_t k, std::size_t i);
  void DrawOutline(const StationCorners& corners, std::size_t k, std::size_t i);
  void ReserveTracks();
  bool StartLeg(std::size_t leg, std::size_t i);
  void PlaceExact(std::size_t i);
  void PlaceReverse(std::size_t i, const ManoeuvreLeg& leg);
  ChainPose CurrentPose() const;

  RunState& mState;
  const Segments& mSegments;
  const SweepOptions& mOptions;
  bool& mPlotVehicle;
  SweepDrawing& mDrawing;
  Host& mHost;
  NumberSymbols mSymbols;

  std::vector<Point2D> mFrontPoints, mPrevFrontPoints, mRearPoints;
  std::vector<StationCorners> mStoredCorners;
  StationCorners mCorners;  // keeps its last value when a corner computation fails
  SegmentCorners mPoints{};  // the points of the segment step being worked out
  bool mPlotThisStation = true;
  double mPlotCounter = 0;
  int mArticulationCounter = 0;
  double mPrevSteeringAngle = 0;
  double mSteeringChange = 0;
  double mAllowedSpeed = 0;
  double mShownStation = std::numeric_limits<double>::quiet_NaN();  // in mStatusText
  std::string mStatusText;

  // Exact kinematics (reverse legs, exact tracking): the pose worked out for
  // the station before the segment steps, the step each segment then takes,
  // the pose of the station before the last one, and the leg being driven.
  bool mExact = false;
  ChainPose mPose, mOlderPose;
  std::vector<SweepStep> mExactSteps;
  double mSteeringRad = 0;
  std::size_t mLeg = 0;
  bool mReverse = false;
  std::optional<ReverseDriver> mReverseDriver;
  int mLockSide = 0;  // +1 or -1 while a reverse step is held at full lock
  std::optional<double> mDriverSteering;  // what the driver steered a reverse step with
  double mPlotInterval = 0;
};

ChainPose StationLoop::CurrentPose() const { return {mPrevFrontPoints, mRearPoints}; }

// The first station of a leg after the first: refuses a leg that does not
// start at the point it guides, and starts its outlines afresh.
bool StationLoop::StartLeg(std::size_t leg, std::size_t i) {
  const ManoeuvreLeg& next = mState.legs[leg];
  const Point2D guided = next.reverse ? mRearPoints.back() : mPrevFrontPoints.front();
  const double gap = Distance2D(guided, mState.guidedPoints[i]);
  if (gap > kLegStartToleranceMetres / mOptions.metresPerUnit) {
    const double gapMetres = gap * mOptions.metresPerUnit;
    mState.refusal = "Leg " + std::to_string(leg + 1) + " (" +
                     (next.reverse ? "reverse" : "forward") + ", polyline " + next.handle +
                     ") starts " + FormatFieldNumber(RoundHalfEven(gapMetres, 2), mSymbols) +
                     " m from the vehicle's " +
                     (next.reverse ? "last rear axle" : "front axle") +
                     " at the end of leg " + std::to_string(leg) +
                     "; a leg must start within 0.5 m of it. Start the leg's polyline where "
                     "the vehicle stands after leg " + std::to_string(leg) +
                     ", or draw the manoeuvre again with the Path tool.";
    Skip([&] { mHost.ShowMessage(MessageKind::Error, "Manoeuvre", mState.refusal); });
    return false;
  }
  mPlotThisStation = true;
  mPlotCounter = mOptions.calculationStep;
  mPlotInterval = next.plotInterval;
  return true;
}

// Works out the pose of the station with exact kinematics, and the step each
// segment takes to it.
void StationLoop::PlaceExact(std::size_t i) {
  const ChainPose before = CurrentPose();
  const ManoeuvreLeg& leg = mState.legs[mLeg];
  mLockSide = 0;
  mDriverSteering.reset();
  if (leg.reverse) {
    PlaceReverse(i, leg);
  } else {
    mPose = before;
    mPose.front[0] = mState.stations[i].StationPoint;
    FollowChain(mPose, before, mSegments, 0);
  }
  // At full lock the steering is the lock itself, which the limit check lets pass.
  const double lockDegrees = mSegments[0].MaxTurningAngle;
  mSteeringRad = mLockSide != 0  ? mLockSide * DegToRad(lockDegrees)
                 : mDriverSteering ? *mDriverSteering
                                   : SteeringFromMotion(before.rear[0], UnitHeading(before, 0), mPose.rear[0],
                                          UnitHeading(mPose, 0), mSegments[0].Wheelbase,
                                          mSteeringRad);
  mOlderPose = before;
  for (std::size_t k = 0; k < mSegments.size(); ++k) {
    SweepStep& step = mExactSteps[k];
    const double steering = k == 0 ? mSteeringRad
                                   : SteeringFromMotion(before.rear[k], UnitHeading(before, k),
                                                        mPose.rear[k], UnitHeading(mPose, k),
                                                        mSegments[k].Wheelbase, 0);
    const WheelAngles angles =
        WheelAnglesOf(steering, mSegments[k].Wheelbase, mSegments[k].WheelWidth);
    step.FrontPoint = mPose.front[k];
    step.RearPoint = mPose.rear[k];
    step.LeftWheelAngle = angles.left;
    step.RightWheelAngle = angles.right;
    step.SteeringAngle =
        k == 0 && mLockSide != 0 ? mLockSide * lockDegrees : angles.steeringDegrees;
    step.LeftTrackRadius = 0;
    step.IntersectionCount = 2;
  }
}

// The reverse step: the driver backs the vehicle along the leg's line.
void StationLoop::PlaceReverse(std::size_t i, const ManoeuvreLeg& leg) {
  const ChainPose before = CurrentPose();
  ManoeuvreLeg& driven = mState.legs[mLeg];
  if (i == leg.firstStation) {
    // The vehicle stands where the leg starts (never moved onto the line).
    const double speed = mOptions.speedMetresPerSecond;
    ReverseLimits limits;
    limits.lockRadians = DegToRad(mSegments[0].MaxTurningAngle);
    if (speed > 0 && mOptions.lockToLockSeconds > 0)
      limits.rateDegrees =
          0.95 * AllowedSteeringChange(speed, mSegments[0].MaxTurningAngle,
                                       mOptions.lockToLockSeconds, mOptions.calculationStep,
                                       mOptions.metresPerUnit);
    limits.step = mOptions.calculationStep;
    limits.unit = 1.0 / mOptions.metresPerUnit;
    mReverseDriver.emplace(mSegments, limits);
    mPose = before;
    mOlderPose = before;
    const double gap = mReverseDriver->StartLeg(before, mState.guidedPoints, leg.firstStation,
                                                leg.lastStation, mPrevSteeringAngle);
    driven.maxPathDeviation = std::max(driven.maxPathDeviation, gap);
    return;
  }
  ReverseStation station =
      mReverseDriver->Next(i, before, mOlderPose, mSteeringRad, mPrevSteeringAngle);
  mPose = std::move(station.pose);
  mLockSide = station.lockSide;
  mDriverSteering = station.steering;
  driven.maxPathDeviation = std::max(driven.maxPathDeviation, station.deviation);
}

void StationLoop::ReserveTracks() {
  const std::size_t n = mState.stations.size();
  mState.stationTrack.reserve(mState.stationTrack.size() + n);
  mState.steeringTrack.reserve(mState.steeringTrack.size() + n);
  mState.speedTrack.reserve(mState.speedTrack.size() + n);
  int articulations = 0;
  for (std::size_t k = 1; k < mSegments.size(); ++k) {
    if (mSegments[k].Kind != SegmentKind::TowBarLink) ++articulations;
  }
  Track* tracks[] = {&mState.articulationTrack1, &mState.articulationTrack2,
                     &mState.articulationTrack3};
  for (int t = 0; t < articulations && t < 3; ++t) tracks[t]->reserve(tracks[t]->size() + n);

  // Every segment adds a row to each body and rear-wheel sweep table at every
  // station, a towing unit to the front-wheel ones; each body adds a side line
  // per side, and the first segment its front-corner trace.
  std::size_t towing = 0, bodies = 1;
  for (const SegmentRecord& segment : mSegments) {
    if (segment.Kind == SegmentKind::TowingUnit) ++towing;
    if (segment.Kind != SegmentKind::TowBarLink) ++bodies;
  }
  for (int table = 0; table < kSweepTableCount; ++table) {
    const bool frontWheel = table == kSweepWheelFrontLeft || table == kSweepWheelFrontRight;
    SweepTable& rows = mState.sweep[table];
    rows.reserve(rows.size() + n * (frontWheel ? towing : mSegments.size()));
  }
  for (SegmentLines* lines : {&mState.segmentLinesLeft, &mState.segmentLinesRight})
    lines->reserve(lines->size() + n * bodies);
  mState.axles.reserve(mState.axles.size() + n * mSegments.size());
}

LoopEnd StationLoop::Run() {
  const std::size_t segmentCount = mSegments.size();
  VehiclePlacement placement =
      InitialPlacement(mState.stations, mSegments, mOptions.calculationStep);
  mPrevFrontPoints = std::move(placement.PrevFrontPoints);
  mRearPoints = std::move(placement.RearPoints);
  mPlotInterval = mOptions.plotInterval;
  const bool manoeuvre = !mState.legs.empty() && mState.guidedPoints.size() == mState.stations.size();
  if (manoeuvre) {
    mExact = mState.exactTracking;
    for (const ManoeuvreLeg& leg : mState.legs) mExact = mExact || leg.reverse;
    mExactSteps.assign(segmentCount, SweepStep{});
    if (mState.legs.front().reverse) {
      // Stretched straight along the leg's first direction, facing away from its travel.
      const ManoeuvreLeg& first = mState.legs.front();
      const Point2D travel = TravelTangent(mState.guidedPoints, first.firstStation,
                                           first.lastStation, first.firstStation);
      const ChainPose pose =
          StraightPoseBehind(mSegments, mState.guidedPoints[0], {-travel.X, -travel.Y});
      mPrevFrontPoints = pose.front;
      mRearPoints = pose.rear;
    }
    mOlderPose = CurrentPose();
  }
  mFrontPoints.assign(segmentCount, Point2D{});
  mStoredCorners.assign(segmentCount, StationCorners{});
  ReserveTracks();

  const double step = mOptions.calculationStep;
  const std::string lengthText =
      " (" + FormatFieldNumber(RoundHalfEven(mState.pathLength), mSymbols) + ")";
  for (std::size_t i = 0; i < mState.stations.size(); ++i) {
    const double s = static_cast<double>(i) * step;
    Skip([&] { mHost.SetProgressValue(static_cast<double>(i)); });
    Skip([&] {
      // The shown station changes only every few steps; its text is made again only then.
      const double shown = RoundHalfEven(s);
      if (!(shown == mShownStation && std::signbit(shown) == std::signbit(mShownStation))) {
        mStatusText = "Calculating Sweep " + FormatFieldNumber(shown, mSymbols) + lengthText;
        mShownStation = shown;
      }
      mHost.SetStatusText(0, mStatusText);
    });
    if (manoeuvre) {
      while (mLeg + 1 < mState.legs.size() && i >= mState.legs[mLeg + 1].firstStation) {
        ++mLeg;
        if (!StartLeg(mLeg, i)) return LoopEnd::Refused;
      }
      mReverse = mState.legs[mLeg].reverse;
      if (i == 0) mPlotInterval = mState.legs[0].plotInterval;
    }
    mPlotCounter += step;
    if (mPlotCounter >= mPlotInterval) {
      mPlotThisStation = true;
      mPlotCounter = 0;
    }
    if (mExact) {
      PlaceExact(i);
      mState.stations[i].StationPoint = mPose.front[0];
    }
    const Point2D point = mState.stations[i].StationPoint;
    mFrontPoints[0] = point;
    mState.stationTrack.push_back({point.X, point.Y, s});
    mArticulationCounter = 0;
    for (std::size_t k = 0; k < segmentCount; ++k) {
      const StepEnd end = SegmentStep(k, i, s);
      if (end == StepEnd::StopRequested) return LoopEnd::StopRequested;
      if (end == StepEnd::LimitStop) return LoopEnd::LimitStop;
    }
    mPlotThisStation = false;
  }
  return LoopEnd::Completed;
}

StepEnd StationLoop::SegmentStep(std::size_t k, std::size_t i, double s) {
  Skip([&] { mHost.ProcessPendingEvents(); });
  if (mState.stopRequested) return StepEnd::StopRequested;

  const SegmentRecord& segment = mSegments[k];
  SweepStep step;
  if (mExact) {
    mFrontPoints[k] = mPose.front[k];
    step = mExactSteps[k];
  } else {
    Skip([&] {
      step = SweepPath(mFrontPoints[k], segment.Wheelbase, mPrevFrontPoints[k], mRearPoints[k],
                       segment.WheelWidth, mHost);
    });
  }
  // The heading of the segment, worked out once for its corners and its axle row.
  std::optional<double> heading;
  Skip([&] {
    bool tyresLeftOut = false;
    CalcSegmentCornersLeavingTyres(mPoints, mFrontPoints[k], step.RearPoint, segment,
                                   step.LeftWheelAngle, step.RightWheelAngle,
                                   static_cast<double>(k), s, mOptions.vehicleType,
                                   mOptions.metresPerUnit, mState, mHost, tyresLeftOut, heading);
    mCorners = StationCorners(mPoints, tyresLeftOut, k, mFrontPoints[k], step.RearPoint,
                              step.LeftWheelAngle, step.RightWheelAngle);
  });
  if (k == 0) {
    if (SteeringAndSpeed(step, i, s)) return StepEnd::LimitStop;
    if (FrontWheelLimit(step, i, s)) return StepEnd::LimitStop;
  }
  if (k >= 1 && i >= 1 && Articulation(k, i, s)) return StepEnd::LimitStop;

  mStoredCorners[k] = mCorners;
  if (mPlotVehicle && mPlotThisStation) DrawOutline(mStoredCorners[k], k, i);
  mPrevFrontPoints[k] = mFrontPoints[k];
  mRearPoints[k] = step.RearPoint;
  if (!heading) heading = HeadingAngle(mFrontPoints[k], step.RearPoint);
  mState.axles.push_back({step.RearPoint.X, step.RearPoint.Y, RadToDeg(*heading)});
  if (k + 1 < mSegments.size()) mFrontPoints[k + 1] = mExact ? mPose.front[k + 1] : mCorners[6];
  return StepEnd::Continue;
}

bool StationLoop::SteeringAndSpeed(const SweepStep& step, std::size_t i, double s) {
  const double angle = step.SteeringAngle;
  const double maxTurning = mSegments[0].MaxTurningAngle;
  const double lockToLock = mOptions.lockToLockSeconds;
  const double stepLength = mOptions.calculationStep;
  const double metresPerUnit = mOptions.metresPerUnit;

  TrackRow& steering = mState.steeringTrack.emplace_back(TrackRow{s, std::nullopt});
  Skip([&] { steering.Value = maxTurning > 0 ? Finite(angle / maxTurning * 100.0) : 0.0; });

  // A difference of magnitudes: a swing from left to right counts as no change.
  Skip([&] {
    mSteeringChange = Finite(std::fabs(mPrevSteeringAngle) - std::fabs(angle));
    if (mSteeringChange == 0) mSteeringChange = 1e-14;
  });
  Skip([&] { mPrevSteeringAngle = Finite(RoundHalfEven(angle, 2)); });
  Skip([&] {
    mAllowedSpeed =
        Finite(AllowedSpeed(mSteeringChange, maxTurning, lockToLock, stepLength, metresPerUnit));
  });
  const double shown = SpeedForDisplay(mAllowedSpeed, mOptions.speedUnitCode);
  if (shown < mState.lowestSpeed) mState.lowestSpeed = shown;
  mState.speedTrack.push_back({s, shown >= 30 ? 30.0 : shown});

  const double speed = mOptions.speedMetresPerSecond;
  if (!(speed > 0)) return false;
  const double allowedChange =
      AllowedSteeringChange(speed, maxTurning, lockToLock, stepLength, metresPerUnit);
  if (!(std::fabs(mSteeringChange) > allowedChange)) return false;

  Skip([&] {
    mHost.ShowMessage(
        MessageKind::Error, "Decrease speed",
        "Lock to Lock exceeded at station " + FormatFieldNumber(RoundHalfEven(s, 1), mSymbols));
  });
  mPlotVehicle = true;
  DrawStoppedVehicle(0, i);
  mState.stopKind = StopKind::LockToLock;
  mState.lockToLockStation = s;
  return true;
}

bool StationLoop::FrontWheelLimit(const SweepStep& step, std::size_t i, double s) {
  const double angle = std::fabs(step.SteeringAngle);
  if (angle > mState.maxSteeringAngle) mState.maxSteeringAngle = angle;
  if (!(angle > mSegments[0].MaxTurningAngle)) return false;
  mState.outcome.TurnExceeded = true;
  mState.outcome.TurnExceededStation = s;
  mState.outcome.TurnExceededAngle = angle;
  mPlotVehicle = true;
  DrawStoppedVehicle(0, i);
  mState.stopKind = StopKind::FrontWheel;
  return true;
}

bool StationLoop::Articulation(std::size_t k, std::size_t i, double s) {
  const SegmentRecord& segment = mSegments[k];
  const Point2D ahead = mStoredCorners[k - 1][0];
  const StationCorners& corners = mCorners;
  const double angle = RadToDeg(AngleAtVertex(corners[1], ahead, corners[0]));

  if (segment.Kind != SegmentKind::TowBarLink) {
    ++mArticulationCounter;
    Track* track = mArticulationCounter == 1   ? &mState.articulationTrack1
                   : mArticulationCounter == 2 ? &mState.articulationTrack2
                   : mArticulationCounter == 3 ? &mState.articulationTrack3
                                               : nullptr;
    if (track) {
      TrackRow& row = track->emplace_back(TrackRow{s, std::nullopt});
      Skip([&] {
        row.Value = std::fabs(angle) > 0 ? Finite(angle / segment.MaxSegmentAngle * 100.0) : 0.0;
      });
    }
  }
  if (std::fabs(angle) > mState.maxArticulationAngle) {
    mState.maxArticulationAngle = std::fabs(angle);
  }
  if (!(std::fabs(angle) > segment.MaxSegmentAngle)) return false;

  mState.outcome.SegmentExceeded = true;
  mState.outcome.SegmentExceededStation = s;
  mState.outcome.SegmentExceededAngle = angle;
  mPlotVehicle = true;
  DrawStoppedVehicle(k, i);
  Skip([&] {
    mDrawing.PlotSegmentAngleMark(ahead, corners[0], corners[1], angle, kMarkLayer,
                                  mOptions.metresPerUnit);
  });
  mState.stopKind = StopKind::Articulation;
  return true;
}

// Draws every segment from its last stored record: the others first, then the
// one that stopped (which, with those behind it, still stands at the previous station).
void StationLoop::DrawStoppedVehicle(std::size_t k, std::size_t i) {
  for (std::size_t j = 0; j < mSegments.size(); ++j) {
    if (j != k) DrawOutline(mStoredCorners[j], j, i);
  }
  DrawOutline(mStoredCorners[k], k, i);
}

void StationLoop::DrawOutline(const StationCorners& corners, std::size_t k, std::size_t i) {
  const SegmentCorners points =
      corners.Complete(mSegments, mOptions.vehicleType, mOptions.metresPerUnit);
  Skip([&] {
    mDrawing.PlotSegment(points, mReverse ? kReverseLayer : kVehicleLayer, mSegments[k],
                         mOptions.vehicleType, mOptions.metresPerUnit);
  });
  const int station = static_cast<int>(i);
  if (mState.outlineStations.empty() || mState.outlineStations.back() != station) {
    mState.outlineStations.push_back(station);
  }
}

}  // namespace

LoopEnd RunStationLoop(RunState& state, const SweepOptions& options, bool& plotVehicle,
                       SweepDrawing& drawing, Host& host) {
  if (!LoopInputsFinite(state, options)) {
    Skip([&] {
      host.ShowMessage(MessageKind::Warning, kFailureTitle,
                       "The vehicle cannot be run: a vehicle dimension, the speed, the "
                       "lock-to-lock time or a path point is not a finite number.");
    });
    return LoopEnd::Refused;
  }
  if (state.stations.empty() || state.segments.empty()) return LoopEnd::Completed;
  StationLoop loop(state, options, plotVehicle, drawing, host);
  return loop.Run();
}

}  // namespace veerline
