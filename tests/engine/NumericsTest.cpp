#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Numerics.h"

namespace veerline {
namespace {

TEST(RoundToStep, DownGivesTheMultipleStrictlyBelowAndUpTheOneNotBelow) {
  struct Row {
    double value, step;
    bool up;
    double expected;
  };
  const Row rows[] = {
      {10, 1, false, 9},   {10.3, 1, false, 10}, {10, 1, true, 10},   {10.3, 1, true, 11},
      {0, 1, false, 0},    {0.4, 1, false, 0},   {3.0, 0.5, true, 3}, {3.1, 0.5, false, 3},
      {-2.5, 1, true, -2}, {2, 1, false, 1},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(RoundToStep(row.value, row.step, row.up), row.expected)
        << row.value << " step " << row.step << (row.up ? " up" : " down");
  }
}

TEST(RoundToStep, NotANumberGivesZero) {
  EXPECT_EQ(RoundToStep(std::numeric_limits<double>::quiet_NaN(), 1, false), 0);
}

TEST(RoundToStep, QuotientBeyondSixteenBitsOverflows) {
  EXPECT_DOUBLE_EQ(RoundToStep(32767.2, 1, false), 32767);
  try {
    RoundToStep(40000, 1, false);
    FAIL() << "no overflow";
  } catch (const NumericFailure& failure) {
    EXPECT_STREQ(failure.what(), "Overflow");
  }
  EXPECT_THROW(RoundToStep(std::numeric_limits<double>::infinity(), 1, true), NumericFailure);
}

TEST(AngleAtVertex, SignedCounterClockwiseFromFirstRayToSecond) {
  const double pi = PiValue();
  struct Row {
    Point2D p, v, q;
    double expected;
  };
  const Row rows[] = {
      {{1, 0}, {0, 0}, {0, 1}, pi / 2},      {{1, 0}, {0, 0}, {0, -1}, -pi / 2},
      {{1, 0}, {0, 0}, {-1, 0}, pi},         {{1, 0}, {0, 0}, {2, 0}, 0},
      {{1, 0}, {0, 0}, {-1, 1}, 3 * pi / 4}, {{1, 0}, {0, 0}, {-1, -1}, -3 * pi / 4},
      {{3, 1}, {2, 1}, {3, 2}, pi / 4},      {{0, 1}, {0, 0}, {1, 0}, -pi / 2},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(AngleAtVertex(row.p, row.v, row.q), row.expected, 1e-12)
        << "(" << row.q.X << ", " << row.q.Y << ")";
  }
}

TEST(AngleAtVertex, DotProductBelowTheSinglePrecisionThresholdCountsAsRightAngle) {
  // Exactly pi/2, although the true angle is a little less (or more).
  EXPECT_EQ(AngleAtVertex({1, 0}, {0, 0}, {0.00005, 1}), PiValue() / 2);
  EXPECT_EQ(AngleAtVertex({1, 0}, {0, 0}, {-0.00005, 1}), PiValue() / 2);
  EXPECT_EQ(AngleAtVertex({1, 0}, {0, 0}, {0.00005, -1}), -PiValue() / 2);
  EXPECT_LT(AngleAtVertex({1, 0}, {0, 0}, {0.0002, 1}), PiValue() / 2);
}

TEST(LineCircleIntersection, CountsAndOrdersTheCrossings) {
  const LineCircleHits two = LineCircleIntersection({0, 0}, 1, {-2, 0}, {2, 0});
  ASSERT_EQ(two.Count, 2);
  EXPECT_DOUBLE_EQ(two.First.X, 1);
  EXPECT_DOUBLE_EQ(two.Second.X, -1);

  const LineCircleHits tangent = LineCircleIntersection({0, 0}, 1, {-2, 1}, {2, 1});
  ASSERT_EQ(tangent.Count, 1);
  EXPECT_DOUBLE_EQ(tangent.First.X, 0);
  EXPECT_DOUBLE_EQ(tangent.First.Y, 1);

  EXPECT_EQ(LineCircleIntersection({0, 0}, 1, {-2, 2}, {2, 2}).Count, 0);
  // A line of (almost) no length has no direction.
  EXPECT_EQ(LineCircleIntersection({0, 0}, 1, {0.5, 0}, {0.5, 0.0001}).Count, 0);
}

}  // namespace
}  // namespace veerline
