#include "engine/BodyGeometry.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "engine/FailureText.h"

namespace veerline {
namespace {

// Pi as the engine defines it everywhere: four times the arctangent of 1.
const double kPi = 4.0 * std::atan(1.0);

// Fixed sizes in metres.
constexpr double kTyreRadiusMetres = 0.51;
constexpr double kTyreWidthMetres = 0.28;
constexpr double kChamferDepthMetres = 0.05;
constexpr double kChamferLengthMetres = 0.15;
constexpr double kTreadInsetMetres = 0.065;
constexpr double kTandemSpacingMetres = 1.3;
constexpr double kDrawbarEyeHalfWidthMetres = 0.05;
constexpr double kDrawbarAxleHalfWidthMetres = 0.3;

// Types with a single rear axle instead of a tandem group: articulated bus, car,
// car with camper.
bool HasSingleRearAxle(int vehicleType) {
  return vehicleType == 5 || vehicleType == 7 || vehicleType == 8;
}

// Places points given in the segment's local frame (u forward, v to the left
// of P1) into the drawing; a result that is not a finite number is an overflow.
// The heading's cosine and sine are taken once for all the segment's points.
class LocalFrame {
 public:
  LocalFrame(const Point2D& origin, double heading)
      : mOrigin(origin), mCos(std::cos(heading)), mSin(std::sin(heading)) {}
  Point2D Place(double u, double v) const {
    return Checked(RotatePoint({mOrigin.X + u, mOrigin.Y + v}, mOrigin, mCos, mSin));
  }
  static Point2D Checked(const Point2D& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) throw std::overflow_error("Overflow");
    return p;
  }

 private:
  Point2D mOrigin;
  double mCos, mSin;
};

// Sizes of the drawn tyre in drawing units.
struct TyreSizes {
  double R, T, chamferDepth, chamferLength, treadInset;
};

using LocalPoint = std::array<double, 2>;
using WheelBlock = std::array<Point2D, 14>;

// The 14 points of one tyre whose axle lies at u = a and centre line at v = c.
WheelBlock PlaceWheelBlock(const LocalFrame& frame, double a, double c, const TyreSizes& s) {
  const double r = c - s.T / 2;
  const double l = c + s.T / 2;
  const std::array<LocalPoint, 14> local{{
      {a - s.R, r + s.chamferDepth},
      {a - s.R + s.chamferLength, r},
      {a + s.R, r + s.chamferDepth},
      {a + s.R - s.chamferLength, r},
      {a - s.R, l - s.chamferDepth},
      {a - s.R + s.chamferLength, l},
      {a + s.R, l - s.chamferDepth},
      {a + s.R - s.chamferLength, l},
      {a + s.R, r + s.treadInset},
      {a - s.R, r + s.treadInset},
      {a + s.R, c},
      {a - s.R, c},
      {a + s.R, l - s.treadInset},
      {a - s.R, l - s.treadInset},
  }};
  WheelBlock block;
  for (int k = 0; k < 14; ++k) block[k] = frame.Place(local[k][0], local[k][1]);
  return block;
}

// A front tyre: placed at the front axle, then turned about its own centre.
WheelBlock PlaceSteeredWheelBlock(const LocalFrame& frame, double c, double wheelAngle,
                                  const TyreSizes& s) {
  WheelBlock block = PlaceWheelBlock(frame, 0, c, s);
  const Point2D centre = frame.Place(0, c);
  const double cosAngle = std::cos(wheelAngle), sinAngle = std::sin(wheelAngle);
  for (Point2D& p : block) p = LocalFrame::Checked(RotatePoint(p, centre, cosAngle, sinAngle));
  return block;
}

// Copies a whole wheel block into consecutive records.
void StoreBlock(SegmentCorners& corners, int first, const WheelBlock& block) {
  for (int k = 0; k < 14; ++k) corners[first + k] = block[k];
}

// Copies a rear axle A block, whose points 8..13 sit after the axle edge record.
void StoreSplitBlock(SegmentCorners& corners, int first, const WheelBlock& block) {
  for (int k = 0; k < 8; ++k) corners[first + k] = block[k];
  for (int k = 8; k < 14; ++k) corners[first + k + 1] = block[k];
}

void AppendSweepRow(RunState& state, SweepTableId table, double unit, double distance,
                    const Point2D& p, double flag) {
  state.sweep[table].push_back(
      {distance, p.X, p.Y, static_cast<float>(unit), static_cast<float>(flag)});
}

}  // namespace

Point2D RotatePoint(const Point2D& point, const Point2D& centre, double angle) {
  return RotatePoint(point, centre, std::cos(angle), std::sin(angle));
}

Point2D RotatePoint(const Point2D& point, const Point2D& centre, double cosAngle, double sinAngle) {
  const double dx = point.X - centre.X;
  const double dy = point.Y - centre.Y;
  return {centre.X + dx * cosAngle - dy * sinAngle, centre.Y + dx * sinAngle + dy * cosAngle};
}

double ATan2(double opp, double adj) {
  const float adjSingle = static_cast<float>(adj);
  double angle = std::fabs(adjSingle) < 0.0001f ? kPi / 2 : std::fabs(std::atan(opp / adjSingle));
  if (adjSingle < 0) angle = kPi - angle;
  if (opp < 0) angle = -angle;
  return angle;
}

void SaveSegmentLines(RunState& state, double myX, double myY, double myX2, double myY2,
                      double myLX, double myLY, double myLX2, double myLY2, double station,
                      int lane) {
  state.segmentLinesLeft.push_back({myX, myY, myX2, myY2, station, lane});
  state.segmentLinesRight.push_back({myLX, myLY, myLX2, myLY2, station, lane});
}

double HeadingAngle(const Point2D& p1, const Point2D& p2) {
  const double dx = p1.X - p2.X;
  const double dy = p1.Y - p2.Y;
  if (dx > 0) {
    const double theta = std::atan(dy / dx);
    return dy < 0 ? theta + 2 * kPi : theta;
  }
  if (dx < 0) return std::atan(dy / dx) + kPi;
  return dy >= 0 ? kPi / 2 : 3 * kPi / 2;
}

namespace {

// The drawn tyre's sizes and where the tyres sit across and along the segment.
struct TyreLayout {
  TyreSizes tyre;
  double halfTrack, leftC, rightC;
  double tandem;  // spacing of the two rear axles; 0 for a single rear axle
};

TyreLayout LayTyres(const SegmentRecord& segment, int vehicleType, double metresPerUnit) {
  TyreLayout layout;
  layout.tyre = {kTyreRadiusMetres / metresPerUnit, kTyreWidthMetres / metresPerUnit,
                 kChamferDepthMetres / metresPerUnit, kChamferLengthMetres / metresPerUnit,
                 kTreadInsetMetres / metresPerUnit};
  layout.halfTrack = segment.WheelWidth / 2;
  layout.leftC = layout.halfTrack - layout.tyre.T / 2;
  layout.rightC = -layout.halfTrack + layout.tyre.T / 2;
  layout.tandem = HasSingleRearAxle(vehicleType) ? 0 : kTandemSpacingMetres / metresPerUnit;
  return layout;
}

// True when every tyre point certainly comes out as a finite number, given
// that the body corners did (so the heading's cosine and sine are finite): all
// sizes and offsets then stay far below the largest double.
bool TyresCertainlyFinite(const Point2D& p1, const SegmentRecord& segment, double leftWheelAngle,
                          double rightWheelAngle, double metresPerUnit) {
  constexpr double kSafe = 1e300;
  const auto small = [](double v) { return std::fabs(v) <= kSafe; };  // false for NaN
  return small(p1.X) && small(p1.Y) && small(segment.Wheelbase) && small(segment.WheelWidth) &&
         std::isfinite(leftWheelAngle) && std::isfinite(rightWheelAngle) && small(metresPerUnit) &&
         std::fabs(metresPerUnit) >= 1e-290;
}

// The body and, unless left out (see CalcSegmentCornersLeavingTyres), the
// tyres, into corners. Where the tyres are left out, the tyre entries other
// than the rear axle edges are not written and keep what they held; every
// other entry is written, or set to (0, 0).
void SegmentCornersInto(SegmentCorners& corners, const Point2D& p1, const Point2D& p2,
                        const SegmentRecord& segment, double leftWheelAngle,
                        double rightWheelAngle, double segmentIndex, double stationDistance,
                        int vehicleType, double metresPerUnit, RunState& state, Host& host,
                        bool* tyresLeftOut, std::optional<double>* headingOut) {
  if (tyresLeftOut != nullptr) *tyresLeftOut = false;
  const bool leaveTyres =
      tyresLeftOut != nullptr &&
      TyresCertainlyFinite(p1, segment, leftWheelAngle, rightWheelAngle, metresPerUnit);
  if (leaveTyres) {
    corners[6] = Point2D{};  // the hitch of a single unit
  } else {
    corners = SegmentCorners{};
  }
  try {
    if (metresPerUnit == 0) throw std::domain_error("Division by zero");
    const double heading = HeadingAngle(p1, p2);
    if (headingOut != nullptr) *headingOut = heading;
    const LocalFrame frame(p1, heading);
    corners[0] = p1;
    corners[1] = p2;

    // Body corners: a drawbar is drawn as a narrow wedge and flagged 0.
    const double rearU = -segment.Wheelbase - segment.Back;
    const bool drawbar = segment.Kind == SegmentKind::TowBarLink;
    const double frontHalf =
        drawbar ? kDrawbarEyeHalfWidthMetres / metresPerUnit : segment.VehicleWidth / 2;
    const double rearHalf =
        drawbar ? kDrawbarAxleHalfWidthMetres / metresPerUnit : segment.VehicleWidth / 2;
    const double bodyFlag = drawbar ? 0 : 1;
    const Point2D frontLeft = frame.Place(segment.Front, frontHalf);
    const Point2D frontRight = frame.Place(segment.Front, -frontHalf);
    const Point2D rearLeft = frame.Place(rearU, rearHalf);
    const Point2D rearRight = frame.Place(rearU, -rearHalf);
    corners[2] = rearLeft;
    corners[3] = frontLeft;
    corners[4] = rearRight;
    corners[5] = frontRight;

    // Each segment's sides have a lane of their own, the front-corner trace the
    // one after the first segment's.
    const int sideLane =
        segmentIndex >= 0 && segmentIndex < 64 ? 2 * static_cast<int>(segmentIndex) : 0;
    if (!drawbar) {
      SaveSegmentLines(state, frontLeft.X, frontLeft.Y, rearLeft.X, rearLeft.Y, frontRight.X,
                       frontRight.Y, rearRight.X, rearRight.Y, stationDistance, sideLane);
    }
    // The first segment's front corners also trace a line from station to station.
    if (segmentIndex == 0) {
      if (state.prevFrontLeft.X != kNoPreviousFront) {
        SaveSegmentLines(state, state.prevFrontLeft.X, state.prevFrontLeft.Y, frontLeft.X,
                         frontLeft.Y, state.prevFrontRight.X, state.prevFrontRight.Y, frontRight.X,
                         frontRight.Y, stationDistance, sideLane + 1);
      }
      state.prevFrontLeft = frontLeft;
      state.prevFrontRight = frontRight;
    }
    AppendSweepRow(state, kSweepFrontLeft, segmentIndex, stationDistance, frontLeft, bodyFlag);
    AppendSweepRow(state, kSweepFrontRight, segmentIndex, stationDistance, frontRight, bodyFlag);
    AppendSweepRow(state, kSweepRearLeft, segmentIndex, stationDistance, rearLeft, bodyFlag);
    AppendSweepRow(state, kSweepRearRight, segmentIndex, stationDistance, rearRight, bodyFlag);

    if (vehicleType > 1) corners[6] = frame.Place(-segment.Wheelbase - segment.Hitch, 0);

    const TyreLayout layout = LayTyres(segment, vehicleType, metresPerUnit);
    const TyreSizes& tyre = layout.tyre;
    const double halfTrack = layout.halfTrack, leftC = layout.leftC, rightC = layout.rightC;
    if (leaveTyres) *tyresLeftOut = true;

    if (segment.Kind == SegmentKind::TowingUnit) {
      if (!leaveTyres) {
        StoreBlock(corners, 7, PlaceSteeredWheelBlock(frame, leftC, leftWheelAngle, tyre));
        StoreBlock(corners, 21, PlaceSteeredWheelBlock(frame, rightC, rightWheelAngle, tyre));
      }
      AppendSweepRow(state, kSweepWheelFrontLeft, segmentIndex, stationDistance,
                     frame.Place(0, halfTrack), bodyFlag);
      AppendSweepRow(state, kSweepWheelFrontRight, segmentIndex, stationDistance,
                     frame.Place(0, -halfTrack), bodyFlag);
    }

    const double d = layout.tandem;
    const double axleA = -segment.Wheelbase + d / 2;
    if (!leaveTyres) {
      StoreSplitBlock(corners, 35, PlaceWheelBlock(frame, axleA, leftC, tyre));
      StoreSplitBlock(corners, 50, PlaceWheelBlock(frame, axleA, rightC, tyre));
    }
    corners[43] = frame.Place(-segment.Wheelbase, halfTrack);
    corners[58] = frame.Place(-segment.Wheelbase, -halfTrack);
    AppendSweepRow(state, kSweepWheelRearLeft, segmentIndex, stationDistance, corners[43], 1);
    AppendSweepRow(state, kSweepWheelRearRight, segmentIndex, stationDistance, corners[58], 1);

    if (d != 0 && !leaveTyres) {
      const double axleB = -segment.Wheelbase - d / 2;
      StoreBlock(corners, 65, PlaceWheelBlock(frame, axleB, rightC, tyre));
      StoreBlock(corners, 79, PlaceWheelBlock(frame, axleB, leftC, tyre));
    }
  } catch (...) {
    if (tyresLeftOut != nullptr) *tyresLeftOut = false;
    host.ShowMessage(MessageKind::Warning, kFailureTitle,
                     CurrentFailureDescription() + " CalcSegmentCorners");
    corners = SegmentCorners{};
  }
}

}  // namespace

SegmentCorners CalcSegmentCorners(const Point2D& p1, const Point2D& p2,
                                  const SegmentRecord& segment, double leftWheelAngle,
                                  double rightWheelAngle, double segmentIndex,
                                  double stationDistance, int vehicleType, double metresPerUnit,
                                  RunState& state, Host& host) {
  SegmentCorners corners{};
  SegmentCornersInto(corners, p1, p2, segment, leftWheelAngle, rightWheelAngle, segmentIndex,
                     stationDistance, vehicleType, metresPerUnit, state, host, nullptr, nullptr);
  return corners;
}

SegmentCorners CalcSegmentCornersLeavingTyres(const Point2D& p1, const Point2D& p2,
                                              const SegmentRecord& segment, double leftWheelAngle,
                                              double rightWheelAngle, double segmentIndex,
                                              double stationDistance, int vehicleType,
                                              double metresPerUnit, RunState& state, Host& host,
                                              bool& tyresLeftOut) {
  SegmentCorners corners{};
  SegmentCornersInto(corners, p1, p2, segment, leftWheelAngle, rightWheelAngle, segmentIndex,
                     stationDistance, vehicleType, metresPerUnit, state, host, &tyresLeftOut,
                     nullptr);
  return corners;
}

void CalcSegmentCornersLeavingTyres(SegmentCorners& corners, const Point2D& p1, const Point2D& p2,
                                    const SegmentRecord& segment, double leftWheelAngle,
                                    double rightWheelAngle, double segmentIndex,
                                    double stationDistance, int vehicleType, double metresPerUnit,
                                    RunState& state, Host& host, bool& tyresLeftOut,
                                    std::optional<double>& heading) {
  SegmentCornersInto(corners, p1, p2, segment, leftWheelAngle, rightWheelAngle, segmentIndex,
                     stationDistance, vehicleType, metresPerUnit, state, host, &tyresLeftOut,
                     &heading);
}

void PlaceTyres(SegmentCorners& corners, const Point2D& p1, const Point2D& p2,
                const SegmentRecord& segment, double leftWheelAngle, double rightWheelAngle,
                int vehicleType, double metresPerUnit) {
  const LocalFrame frame(p1, HeadingAngle(p1, p2));
  const TyreLayout layout = LayTyres(segment, vehicleType, metresPerUnit);
  if (segment.Kind == SegmentKind::TowingUnit) {
    StoreBlock(corners, 7,
               PlaceSteeredWheelBlock(frame, layout.leftC, leftWheelAngle, layout.tyre));
    StoreBlock(corners, 21,
               PlaceSteeredWheelBlock(frame, layout.rightC, rightWheelAngle, layout.tyre));
  }
  const double d = layout.tandem;
  const double axleA = -segment.Wheelbase + d / 2;
  StoreSplitBlock(corners, 35, PlaceWheelBlock(frame, axleA, layout.leftC, layout.tyre));
  StoreSplitBlock(corners, 50, PlaceWheelBlock(frame, axleA, layout.rightC, layout.tyre));
  if (d != 0) {
    const double axleB = -segment.Wheelbase - d / 2;
    StoreBlock(corners, 65, PlaceWheelBlock(frame, axleB, layout.rightC, layout.tyre));
    StoreBlock(corners, 79, PlaceWheelBlock(frame, axleB, layout.leftC, layout.tyre));
  }
}

}  // namespace veerline
