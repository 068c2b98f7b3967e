#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Numerics.h"
#include "engine/PathPreparation.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

using sweeptest::RecordingHost;

PathPolyline Polyline(std::initializer_list<PathVertex> vertices) {
  PathPolyline path;
  path.vertices = vertices;
  return path;
}

struct Prepared {
  RunState state;
  double pathLength = 0;
  RecordingHost host;
};

void Prepare(Prepared& out, PathPolyline path, double step) {
  PreparePathStations(path, step, out.pathLength, out.state, out.host);
}

TEST(PreparePathStations, LineOfTenWithStepOneGivesElevenStations) {
  Prepared p;
  Prepare(p, Polyline({{0, 0, 0, 0}, {10, 0, 0, 0}}), 1);
  EXPECT_DOUBLE_EQ(p.pathLength, 10);
  ASSERT_EQ(p.state.stations.size(), 11u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_DOUBLE_EQ(p.state.stations[i].StationDistance, i);
    EXPECT_DOUBLE_EQ(p.state.stations[i].StationPoint.X, i);
  }
  // The station at the very end repeats the one before it.
  EXPECT_DOUBLE_EQ(p.state.stations[10].StationDistance, 10);
  EXPECT_EQ(p.state.stations[10].StationPoint, (Point2D{9, 0}));

  EXPECT_EQ(p.host.progressMaximum, 10);
  EXPECT_EQ(p.host.progressValue, 10);
  ASSERT_EQ(p.host.status.size(), 12u);
  EXPECT_EQ(p.host.status.front(), "Evaluating Vehicle Path 0 (9)");
  EXPECT_EQ(p.host.status[10], "Evaluating Vehicle Path 10 (9)");
  EXPECT_EQ(p.host.status.back(), " ");
}

TEST(PreparePathStations, RepeatedVertexChangesNothing) {
  Prepared plain, repeated;
  Prepare(plain, Polyline({{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 3, 0, 0}}), 0.5);
  Prepare(repeated, Polyline({{0, 0, 0, 0}, {4, 0, 0, 0}, {4, 0, 0, 0}, {4, 3, 0, 0}}), 0.5);
  ASSERT_EQ(plain.state.stations.size(), repeated.state.stations.size());
  for (std::size_t i = 0; i < plain.state.stations.size(); ++i) {
    EXPECT_EQ(plain.state.stations[i].StationPoint, repeated.state.stations[i].StationPoint) << i;
  }
}

TEST(PreparePathStations, ClosedSquareEndsOnTheClosingSide) {
  Prepared p;
  Prepare(p, Polyline({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}, {0, 0, 0, 0}}),
          1);
  EXPECT_DOUBLE_EQ(p.pathLength, 40);
  ASSERT_EQ(p.state.stations.size(), 41u);
  EXPECT_NEAR(p.state.stations[35].StationPoint.X, 0, 1e-12);
  EXPECT_NEAR(p.state.stations[35].StationPoint.Y, 5, 1e-12);
  EXPECT_NEAR(p.state.stations[39].StationPoint.Y, 1, 1e-12);
  EXPECT_EQ(p.state.stations[40].StationPoint, p.state.stations[39].StationPoint);
}

TEST(PreparePathStations, StationsOnAnArcLieOnItsCircleOneStepApart) {
  // Quarter circle of radius 10 about (0, 10), counter-clockwise from (0, 0) to (10, 10).
  Prepared p;
  Prepare(p, Polyline({{0, 0, std::tan(PiValue() / 8), 0}, {10, 10, 0, 0}}), 0.2);
  EXPECT_NEAR(p.pathLength, 5 * PiValue(), 1e-12);
  const double chord = 2 * 10 * std::sin(0.2 / 10 / 2);
  for (std::size_t i = 0; i < p.state.stations.size(); ++i) {
    const Point2D& q = p.state.stations[i].StationPoint;
    EXPECT_NEAR(Distance2D(q, {0, 10}), 10, 1e-9) << i;
    if (i > 0 && i + 1 < p.state.stations.size()) {
      EXPECT_NEAR(Distance2D(q, p.state.stations[i - 1].StationPoint), chord, 1e-9) << i;
    }
  }
}

TEST(GetPointOnPolylinePreparePath, SemicircleWithPositiveBulgeBulgesToTheRight) {
  PathPolyline path = Polyline({{0, 0, 1, 0}, {10, 0, 0, 0}});
  double length = 0;
  MeasurePath(path, length);
  EXPECT_NEAR(path.vertices[0].SegmentLength, 5 * PiValue(), 1e-12);
  const auto point = GetPointOnPolylinePreparePath(path, 0, 2.5 * PiValue());
  ASSERT_TRUE(point);
  EXPECT_NEAR(point->X, 5, 1e-12);
  EXPECT_NEAR(point->Y, -5, 1e-12);

  path.vertices[0].Bulge = -1;
  const auto mirrored = GetPointOnPolylinePreparePath(path, 0, 2.5 * PiValue());
  ASSERT_TRUE(mirrored);
  EXPECT_NEAR(mirrored->X, 5, 1e-12);
  EXPECT_NEAR(mirrored->Y, 5, 1e-12);
}

TEST(GetPointOnPolylinePreparePath, StraightSegmentsInEveryDirection) {
  struct Row {
    Point2D from, to, expected;
  };
  const Row rows[] = {
      {{0, 0}, {0, 10}, {0, 3}},        {{0, 0}, {0, -10}, {0, -3}},  {{10, 0}, {0, 0}, {7, 0}},
      {{0, 0}, {-6, -8}, {-1.8, -2.4}}, {{1, 1}, {4, 5}, {2.8, 3.4}},
  };
  for (const Row& row : rows) {
    const PathPolyline path =
        Polyline({{row.from.X, row.from.Y, 0, 0}, {row.to.X, row.to.Y, 0, 0}});
    const auto point = GetPointOnPolylinePreparePath(path, 0, 3);
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->X, row.expected.X, 1e-12) << row.to.X << "," << row.to.Y;
    EXPECT_NEAR(point->Y, row.expected.Y, 1e-12) << row.to.X << "," << row.to.Y;
  }
}

TEST(GetPointOnPolylinePreparePath, CoincidentEndsOrMissingRowGiveNoPoint) {
  const PathPolyline path = Polyline({{2, 2, 0, 0}, {2, 2, 0, 0}});
  EXPECT_FALSE(GetPointOnPolylinePreparePath(path, 0, 0));
  EXPECT_FALSE(GetPointOnPolylinePreparePath(path, 1, 0));
}

TEST(ReversePathStations, FirstBecomesLastWithDistancesUnchanged) {
  Prepared p;
  Prepare(p, Polyline({{0, 0, 0, 0}, {10, 0, 0, 0}}), 1);
  PathStations reversed = p.state.stations;
  ReversePathStations(reversed);
  ASSERT_EQ(reversed.size(), 11u);
  EXPECT_DOUBLE_EQ(reversed.front().StationDistance, 10);
  EXPECT_EQ(reversed.front().StationPoint, (Point2D{9, 0}));
  EXPECT_DOUBLE_EQ(reversed.back().StationDistance, 0);
  EXPECT_EQ(reversed.back().StationPoint, (Point2D{0, 0}));
}

TEST(PreparePathStations, PathBeyondTheSixteenBitCountIsRefusedWithItsLengthAndLeavesNothingPrepared) {
  Prepared p;
  p.state.stations.push_back({});
  try {
    Prepare(p, Polyline({{0, 0, 0, 0}, {10000, 0, 0, 0}}), 0.2);
    FAIL() << "no overflow";
  } catch (const NumericFailure& failure) {
    EXPECT_STREQ(failure.what(),
                 "The path is 10000 m long (50000 calculation steps of 0.2 m); a run takes at "
                 "most 32767 steps, which is a path of 6553.4 m. Split the path into parts of at "
                 "most 6553.4 m and run each part on its own.");
  }
  EXPECT_TRUE(p.state.stations.empty());
  EXPECT_EQ(p.pathLength, 0);
}

TEST(PreparePathStations, RefusesNonFiniteVerticesAndSteps) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const PathPolyline bad[] = {
      Polyline({{0, 0, 0, 0}, {nan, 0, 0, 0}}), Polyline({{0, inf, 0, 0}, {1, 0, 0, 0}}),
      Polyline({{0, 0, nan, 0}, {1, 0, 0, 0}}),
      Polyline({{-1e308, 0, 0, 0}, {1e308, 0, 0, 0}}),  // length beyond a double
  };
  for (const PathPolyline& path : bad) {
    Prepared p;
    EXPECT_THROW(Prepare(p, path, 0.2), NumericFailure);
    EXPECT_TRUE(p.state.stations.empty());
    EXPECT_EQ(p.pathLength, 0);
  }
  for (double step : {0.0, -0.2, nan}) {
    Prepared p;
    EXPECT_THROW(Prepare(p, Polyline({{0, 0, 0, 0}, {1, 0, 0, 0}}), step), NumericFailure);
  }
}

}  // namespace
}  // namespace veerline
