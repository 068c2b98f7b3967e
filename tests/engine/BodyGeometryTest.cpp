#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GeometryTestHost.h"
#include "engine/BodyGeometry.h"

namespace veerline {
namespace {

const double kPi = 4.0 * std::atan(1.0);
constexpr double kTol = 1e-9;

SegmentRecord Truck() {
  SegmentRecord s;
  s.Kind = SegmentKind::TowingUnit;
  s.WheelWidth = 2.5;
  s.VehicleWidth = 2.6;
  s.Front = 1.5;
  s.Wheelbase = 6;
  s.Back = 2;
  s.Hitch = 1;
  return s;
}

SegmentRecord Drawbar() {
  SegmentRecord s;
  s.Kind = SegmentKind::TowBarLink;
  s.WheelWidth = 2.5;
  s.VehicleWidth = 2.55;
  s.Front = 0;
  s.Wheelbase = 4;
  s.Back = 0;
  return s;
}

void ExpectNear(const Point2D& p, double x, double y) {
  EXPECT_NEAR(p.X, x, kTol);
  EXPECT_NEAR(p.Y, y, kTol);
}

TEST(HeadingAngle, AxisDirectionsAndCoincidentPoints) {
  EXPECT_DOUBLE_EQ(HeadingAngle({0, 5}, {0, 0}), kPi / 2);
  EXPECT_DOUBLE_EQ(HeadingAngle({0, -5}, {0, 0}), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(HeadingAngle({3, 3}, {3, 3}), kPi / 2);
  EXPECT_DOUBLE_EQ(HeadingAngle({5, 0}, {0, 0}), 0);
  EXPECT_DOUBLE_EQ(HeadingAngle({-5, 0}, {0, 0}), kPi);
}

TEST(HeadingAngle, DownwardRightIsJustBelowTwoPi) {
  const double theta = HeadingAngle({10, -0.001}, {0, 0});
  EXPECT_GT(theta, 3 * kPi / 2);
  EXPECT_LT(theta, 2 * kPi);
  EXPECT_NEAR(theta, 2 * kPi - 0.0001, 1e-9);
}

TEST(RotatePoint, QuarterTurnAboutCentre) {
  ExpectNear(RotatePoint({2, 1}, {1, 1}, kPi / 2), 1, 2);
  ExpectNear(RotatePoint({2, 1}, {1, 1}, -kPi / 2), 1, 0);
}

TEST(ATan2, QuadrantsAndGuardedSmallAdjacent) {
  EXPECT_DOUBLE_EQ(ATan2(1, 1), kPi / 4);
  EXPECT_DOUBLE_EQ(ATan2(1, -1), 3 * kPi / 4);
  EXPECT_DOUBLE_EQ(ATan2(-1, -1), -3 * kPi / 4);
  EXPECT_DOUBLE_EQ(ATan2(0, -2), kPi);
  EXPECT_DOUBLE_EQ(ATan2(0, 2), 0);
  // Below 0.0001 the adjacent side counts as zero: no division, +-pi/2.
  EXPECT_DOUBLE_EQ(ATan2(1e-12, 0.00005), kPi / 2);
  EXPECT_DOUBLE_EQ(ATan2(-3, -0.00005), -kPi / 2);
  EXPECT_DOUBLE_EQ(ATan2(2, 0), kPi / 2);
}

TEST(IntersectSegments, CrossingTouchingParallelAndApart) {
  const Intersection cross = IntersectSegments({0, 0, 2, 2}, {0, 2, 2, 0});
  EXPECT_TRUE(cross.found);
  EXPECT_DOUBLE_EQ(cross.X, 1);
  EXPECT_DOUBLE_EQ(cross.Y, 1);

  const Intersection touch = IntersectSegments({0, 0, 1, 0}, {1, 0, 1, 5});
  EXPECT_TRUE(touch.found);
  EXPECT_DOUBLE_EQ(touch.X, 1);
  EXPECT_DOUBLE_EQ(touch.Y, 0);

  const Intersection parallel = IntersectSegments({0, 0, 1, 0}, {0, 1, 1, 1});
  EXPECT_FALSE(parallel.found);
  const Intersection collinear = IntersectSegments({0, 0, 2, 0}, {1, 0, 3, 0});
  EXPECT_FALSE(collinear.found);

  const Intersection apart = IntersectSegments({0, 0, 1, 0}, {2, -1, 2, 1});
  EXPECT_FALSE(apart.found);
  EXPECT_EQ(apart.X, 0);
  EXPECT_EQ(apart.Y, 0);
}

TEST(CalcSegmentCorners, BodyCornersHitchAndAxleEdgesAlongPlusY) {
  RunState state;
  GeometryTestHost host;
  const SegmentCorners c =
      CalcSegmentCorners({0, 10}, {0, 4}, Truck(), 0, 0, 0, 0.2, 2, 1, state, host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(c[0], (Point2D{0, 10}));
  EXPECT_EQ(c[1], (Point2D{0, 4}));
  // Heading +Y: left of the segment is -X.
  ExpectNear(c[3], -1.3, 11.5);  // front-left
  ExpectNear(c[5], 1.3, 11.5);   // front-right
  ExpectNear(c[2], -1.3, 2);     // rear-left
  ExpectNear(c[4], 1.3, 2);      // rear-right
  ExpectNear(c[6], 0, 3);        // hitch 1 behind the rear axle group
  ExpectNear(c[43], -1.25, 4);
  ExpectNear(c[58], 1.25, 4);
}

TEST(CalcSegmentCorners, TyreBlocksInMetres) {
  RunState state;
  GeometryTestHost host;
  // Heading +X so local and drawing axes agree; the front point at the origin.
  const SegmentCorners c =
      CalcSegmentCorners({0, 0}, {-6, 0}, Truck(), 0, 0, 0, 0, 2, 1, state, host);
  const double leftC = 1.25 - 0.14;
  // Left front tyre, block points 0, 1, 10, 13.
  ExpectNear(c[7], -0.51, leftC - 0.14 + 0.05);
  ExpectNear(c[8], -0.51 + 0.15, leftC - 0.14);
  ExpectNear(c[17], 0.51, leftC);
  ExpectNear(c[20], -0.51, leftC + 0.14 - 0.065);
  // Right front tyre centre tread line.
  ExpectNear(c[31], 0.51, -leftC);
  // Rear axle A sits half the tandem spacing ahead of the group centre.
  const double axleA = -6 + 0.65;
  ExpectNear(c[35 + 2], axleA + 0.51, leftC - 0.14 + 0.05);
  ExpectNear(c[44 + 2], axleA + 0.51, leftC);  // block point 10 after the edge record
  ExpectNear(c[59 + 2], axleA + 0.51, -leftC);
  // Axle B: right block first, then left.
  const double axleB = -6 - 0.65;
  ExpectNear(c[65 + 10], axleB + 0.51, -leftC);
  ExpectNear(c[79 + 10], axleB + 0.51, leftC);
}

TEST(CalcSegmentCorners, FixedSizesScaleWithTheDrawingUnit) {
  RunState state;
  GeometryTestHost host;
  SegmentRecord mm = Truck();
  mm.WheelWidth = 2500;
  mm.Wheelbase = 6000;
  const SegmentCorners c =
      CalcSegmentCorners({0, 0}, {-6000, 0}, mm, 0, 0, 0, 0, 2, 0.001, state, host);
  ExpectNear(c[17], 510, 1250 - 140);
  ExpectNear(c[65 + 10], -6000 - 650 + 510, -1250 + 140);
}

TEST(CalcSegmentCorners, SingleRearAxleTypesLeaveTandemRecordsEmpty) {
  for (int type : {5, 7, 8}) {
    RunState state;
    GeometryTestHost host;
    const SegmentCorners c =
        CalcSegmentCorners({0, 0}, {-6, 0}, Truck(), 0, 0, 0, 0, type, 1, state, host);
    for (int k = 65; k < kSegmentCornerCount; ++k) EXPECT_EQ(c[k], (Point2D{})) << type << " " << k;
    // The single axle lies on the rear axle position.
    EXPECT_NEAR(c[44 + 2].X, -6 + 0.51, kTol);
  }
  RunState state;
  GeometryTestHost host;
  const SegmentCorners tandem =
      CalcSegmentCorners({0, 0}, {-6, 0}, Truck(), 0, 0, 0, 0, 1, 1, state, host);
  EXPECT_NE(tandem[65], (Point2D{}));
  EXPECT_NE(tandem[92], (Point2D{}));
}

TEST(CalcSegmentCorners, HitchPointOnlyAboveTypeOne) {
  RunState state;
  GeometryTestHost host;
  const SegmentCorners rigid =
      CalcSegmentCorners({10, 0}, {4, 0}, Truck(), 0, 0, 0, 0, 1, 1, state, host);
  EXPECT_EQ(rigid[6], (Point2D{}));
  const SegmentCorners coupled =
      CalcSegmentCorners({10, 0}, {4, 0}, Truck(), 0, 0, 0, 0, 3, 1, state, host);
  ExpectNear(coupled[6], 3, 0);
}

TEST(CalcSegmentCorners, DrawbarAddsNoSideLinesButFlagZeroBodyRows) {
  RunState state;
  GeometryTestHost host;
  const SegmentCorners c =
      CalcSegmentCorners({0, 0}, {-4, 0}, Drawbar(), 0, 0, 1, 0.4, 9, 1, state, host);
  EXPECT_TRUE(state.segmentLinesLeft.empty());
  EXPECT_TRUE(state.segmentLinesRight.empty());
  for (int t : {kSweepFrontLeft, kSweepFrontRight, kSweepRearLeft, kSweepRearRight}) {
    ASSERT_EQ(state.sweep[t].size(), 1u);
    EXPECT_EQ(state.sweep[t][0].Flag, 0);
    EXPECT_EQ(state.sweep[t][0].Unit, 1);
    EXPECT_EQ(state.sweep[t][0].Distance, 0.4);
  }
  EXPECT_TRUE(state.sweep[kSweepWheelFrontLeft].empty());
  EXPECT_TRUE(state.sweep[kSweepWheelFrontRight].empty());
  ASSERT_EQ(state.sweep[kSweepWheelRearLeft].size(), 1u);
  ASSERT_EQ(state.sweep[kSweepWheelRearRight].size(), 1u);
  EXPECT_EQ(state.sweep[kSweepWheelRearLeft][0].Flag, 1);
  // Narrow wedge: 0.05 at the eye, 0.3 at the axle; no front tyres.
  ExpectNear(c[3], 0, 0.05);
  ExpectNear(c[4], -4, -0.3);
  for (int k = 7; k <= 34; ++k) EXPECT_EQ(c[k], (Point2D{}));
}

TEST(CalcSegmentCorners, FrontCornerTraceFromTheSecondStationOn) {
  RunState state;
  GeometryTestHost host;
  const SegmentRecord truck = Truck();
  CalcSegmentCorners({0, 0}, {-6, 0}, truck, 0, 0, 0, 0, 1, 1, state, host);
  EXPECT_EQ(state.segmentLinesLeft.size(), 1u);  // body side only
  CalcSegmentCorners({0.2, 0}, {-5.8, 0}, truck, 0, 0, 0, 0.2, 1, 1, state, host);
  ASSERT_EQ(state.segmentLinesLeft.size(), 3u);  // body side, trace, body side
  ASSERT_EQ(state.segmentLinesRight.size(), 3u);
  const SegmentLine& trace = state.segmentLinesLeft[2];
  EXPECT_NEAR(trace.X1, 1.5, kTol);
  EXPECT_NEAR(trace.X2, 1.7, kTol);
  EXPECT_NEAR(trace.Y1, 1.3, kTol);
  EXPECT_EQ(trace.Station, 0.2);
  EXPECT_NEAR(state.segmentLinesRight[2].Y2, -1.3, kTol);
  // The body side runs front-left to rear-left.
  const SegmentLine& side = state.segmentLinesLeft[1];
  EXPECT_NEAR(side.X1, 1.7, kTol);
  EXPECT_NEAR(side.X2, 0.2 - 8, kTol);
  // A following segment never traces its front corners.
  CalcSegmentCorners({-7, 0}, {-13, 0}, truck, 0, 0, 1, 0.2, 3, 1, state, host);
  EXPECT_EQ(state.segmentLinesLeft.size(), 4u);
  // Every call of a towing unit adds one row to each of the eight sweep tables.
  for (int t = 0; t < kSweepTableCount; ++t) EXPECT_EQ(state.sweep[t].size(), 3u) << t;
}

TEST(CalcSegmentCorners, WheelAngleTurnsTyreAboutItsOwnCentre) {
  RunState state;
  GeometryTestHost host;
  const SegmentCorners c =
      CalcSegmentCorners({0, 0}, {-6, 0}, Truck(), kPi / 2, -kPi / 2, 0, 0, 1, 1, state, host);
  const double leftC = 1.25 - 0.14;
  // Centre tread line of the left tyre now runs along +Y through the tyre centre.
  ExpectNear(c[7 + 10], 0, leftC + 0.51);
  ExpectNear(c[7 + 11], 0, leftC - 0.51);
  // Right tyre turned the other way about its own centre.
  ExpectNear(c[21 + 10], 0, -leftC - 0.51);
  // Axle edges in the sweep tables are the unsteered ones.
  EXPECT_NEAR(state.sweep[kSweepWheelFrontLeft][0].Y, 1.25, kTol);
  EXPECT_NEAR(state.sweep[kSweepWheelFrontLeft][0].X, 0, kTol);
}

TEST(CalcSegmentCorners, FailureIsReportedAndGivesEmptyRecord) {
  RunState state;
  GeometryTestHost host;
  const SegmentCorners c =
      CalcSegmentCorners({0, 0}, {-6, 0}, Truck(), 0, 0, 0, 0, 1, 0, state, host);
  for (const Point2D& p : c) EXPECT_EQ(p, (Point2D{}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(host.messages[0].title, "Veichle Turning Simulation");
  EXPECT_EQ(host.messages[0].text, "Division by zero CalcSegmentCorners");

  const double nan = std::numeric_limits<double>::quiet_NaN();
  CalcSegmentCorners({nan, 0}, {-6, 0}, Truck(), 0, 0, 0, 0, 1, 1, state, host);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, "Overflow CalcSegmentCorners");
  EXPECT_TRUE(state.segmentLinesLeft.empty());
}

TEST(CalcSegmentCornersLeavingTyres, TyresPlacedLaterMatchTheFullCornersAndRows) {
  // A steered towing unit, a drawbar, single and tandem rear axles, a
  // millimetre drawing; at a point so far out that tyres could overflow they
  // are worked out at once.
  struct Case {
    Point2D p1, p2;
    SegmentRecord segment;
    int type;
    double metresPerUnit;
    bool leftOut;
  };
  const std::vector<Case> cases{{{3, 4}, {-2, 1}, Truck(), 2, 1, true},
                                {{3, 4}, {-1, 4.5}, Drawbar(), 4, 1, true},
                                {{-7, 2}, {-12, -1}, Truck(), 7, 1, true},
                                {{3000, 4000}, {-2000, 1000}, Truck(), 9, 0.001, true},
                                {{1e305, 0}, {1e305 - 6, 0}, Truck(), 2, 1, false}};
  for (const Case& c : cases) {
    RunState full, left;
    GeometryTestHost host;
    const SegmentCorners expected = CalcSegmentCorners(c.p1, c.p2, c.segment, 0.3, 0.25, 0, 0.2,
                                                       c.type, c.metresPerUnit, full, host);
    bool leftOut = false;
    SegmentCorners corners = CalcSegmentCornersLeavingTyres(
        c.p1, c.p2, c.segment, 0.3, 0.25, 0, 0.2, c.type, c.metresPerUnit, left, host, leftOut);
    EXPECT_EQ(leftOut, c.leftOut) << c.type;
    if (leftOut) {
      EXPECT_EQ(corners[7 + 10], (Point2D{}));
      PlaceTyres(corners, c.p1, c.p2, c.segment, 0.3, 0.25, c.type, c.metresPerUnit);
    }
    EXPECT_EQ(corners, expected) << c.type;
    for (int t = 0; t < kSweepTableCount; ++t)
      EXPECT_EQ(left.sweep[t].size(), full.sweep[t].size());
    EXPECT_EQ(left.segmentLinesLeft.size(), full.segmentLinesLeft.size());
  }
}

}  // namespace
}  // namespace veerline
