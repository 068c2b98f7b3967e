#pragma once

// The drawn geometry of one segment at one station, and the small plane
// routines the engine shares: point rotation, the guarded arctangent and the
// intersection of two line segments.

#include <optional>

#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/RunState.h"
#include "engine/VehicleModel.h"

namespace veerline {

// Result of IntersectSegments: the meeting point, or (0, 0) and found false.
struct Intersection {
  double X = 0;
  double Y = 0;
  bool found = false;
};

// Rotates a point about a centre by an angle in radians, counter-clockwise positive.
Point2D RotatePoint(const Point2D& point, const Point2D& centre, double angle);
// The same with the angle's cosine and sine already taken, for many points
// turned by one angle; gives exactly the same results.
Point2D RotatePoint(const Point2D& point, const Point2D& centre, double cosAngle, double sinAngle);

// Angle of (adj, opp) in (-pi, pi]; adj is taken in single precision and an adj
// below 0.0001 in size counts as zero (+-pi/2 by the sign of opp, no division).
double ATan2(double opp, double adj);

// Where two line segments meet, end points included; parallel or collinear
// segments never meet. Inline because the envelope calls it for every side
// line against every probe; u is only worked out when t lies on a.
inline Intersection IntersectSegments(const LineSegment2D& a, const LineSegment2D& b) {
  const double dax = a.X2 - a.X1, day = a.Y2 - a.Y1;
  const double dbx = b.X2 - b.X1, dby = b.Y2 - b.Y1;
  const double den = dby * dax - dbx * day;
  if (den == 0) return {};
  const double t = ((a.Y1 - b.Y1) * dbx - dby * (a.X1 - b.X1)) / den;
  if (t < 0 || t > 1) return {};
  const double u = ((a.Y1 - b.Y1) * dax - (a.X1 - b.X1) * day) / den;
  if (u < 0 || u > 1) return {};
  return {a.X1 + t * dax, a.Y1 + t * day, true};
}

// Appends the left line (myX, myY)-(myX2, myY2) to SegmentLinesLeft and the
// right line (myLX, myLY)-(myLX2, myLY2) to SegmentLinesRight, both with the
// station distance and lane.
void SaveSegmentLines(RunState& state, double myX, double myY, double myX2, double myY2,
                      double myLX, double myLY, double myLX2, double myLY2, double station,
                      int lane = 0);

// Heading from p2 to p1 in [0, 2*pi); p1 == p2 gives pi/2.
double HeadingAngle(const Point2D& p1, const Point2D& p2);

// Body corners, hitch point and tyre points of one segment at one station (93
// points, see Geometry.h), appending its body corners, axle edges and side
// lines to the run's tables. A failure is reported with " CalcSegmentCorners"
// and gives all points at (0, 0); rows appended before it stay.
SegmentCorners CalcSegmentCorners(const Point2D& p1, const Point2D& p2,
                                  const SegmentRecord& segment, double leftWheelAngle,
                                  double rightWheelAngle, double segmentIndex,
                                  double stationDistance, int vehicleType, double metresPerUnit,
                                  RunState& state, Host& host);

// The same as CalcSegmentCorners, except that where the tyre blocks (points
// 7..92 other than the rear axle edges 43 and 58) certainly come out as finite
// numbers, they are left at (0, 0) and tyresLeftOut is set; PlaceTyres adds
// them later with the same values. The station loop draws tyres at a few
// stations only.
SegmentCorners CalcSegmentCornersLeavingTyres(const Point2D& p1, const Point2D& p2,
                                              const SegmentRecord& segment, double leftWheelAngle,
                                              double rightWheelAngle, double segmentIndex,
                                              double stationDistance, int vehicleType,
                                              double metresPerUnit, RunState& state, Host& host,
                                              bool& tyresLeftOut);

// The same into corners, for the station loop: where the tyres are left out,
// their entries are not written and keep what they held, so that the loop's
// one set of points is not cleared at every step. heading receives
// HeadingAngle(p1, p2) once that is worked out (the loop needs it as well),
// and is left alone otherwise.
void CalcSegmentCornersLeavingTyres(SegmentCorners& corners, const Point2D& p1, const Point2D& p2,
                                    const SegmentRecord& segment, double leftWheelAngle,
                                    double rightWheelAngle, double segmentIndex,
                                    double stationDistance, int vehicleType, double metresPerUnit,
                                    RunState& state, Host& host, bool& tyresLeftOut,
                                    std::optional<double>& heading);

// Adds the tyre blocks that CalcSegmentCornersLeavingTyres left out, given the
// same points, segment, wheel angles, type and unit.
void PlaceTyres(SegmentCorners& corners, const Point2D& p1, const Point2D& p2,
                const SegmentRecord& segment, double leftWheelAngle, double rightWheelAngle,
                int vehicleType, double metresPerUnit);

}  // namespace veerline
