#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/ArcPath.h"

namespace veerline {
namespace {

constexpr double kPi = std::numbers::pi;

struct Fillet {
  const char* name;
  std::vector<Point2D> points;
  double radius;
  std::vector<ArcPathVertex> expected;
};

// Fillets worked out by hand: tangent length R tan(turn / 2), bulge tan(turn / 4).
const std::vector<Fillet>& Fillets() {
  static const double s3 = std::sqrt(3.0), r2 = std::sqrt(0.5);
  static const double t45 = 10 * std::tan(kPi / 8);
  static const std::vector<Fillet> fillets = {
      {"RightAnglesLeftThenRight",
       {{0, 0}, {50, 0}, {50, 40}, {90, 40}},
       12,
       {{0, 0, 0},
        {38, 0, std::tan(kPi / 8)},
        {50, 12, 0},
        {50, 28, -std::tan(kPi / 8)},
        {62, 40, 0},
        {90, 40, 0}}},
      // Turn of 120 degrees to the left: tangent length 5 tan 60.
      {"Acute",
       {{0, 0}, {20, 0}, {10, 10 * s3}},
       5,
       {{0, 0, 0}, {20 - 5 * s3, 0, std::tan(kPi / 6)}, {20 - 2.5 * s3, 7.5, 0}, {10, 10 * s3, 0}}},
      // Turn of 45 degrees to the right.
      {"Obtuse",
       {{0, 0}, {10, 0}, {20, -10}},
       10,
       {{0, 0, 0},
        {10 - t45, 0, -std::tan(kPi / 16)},
        {10 + t45 * r2, -t45 * r2, 0},
        {20, -10, 0}}},
      // The arc takes the whole first leg: the start point carries its bulge.
      {"ArcFromTheStartPoint",
       {{0, 0}, {12, 0}, {12, 24}},
       12,
       {{0, 0, std::tan(kPi / 8)}, {12, 12, 0}, {12, 24, 0}}},
      {"RepeatsAndInLinePointsMakeNoCorner",
       {{0, 0}, {0, 0}, {5, 0}, {10, 0}, {10, 0}},
       3,
       {{0, 0, 0}, {10, 0, 0}}},
  };
  return fillets;
}

void ExpectVertices(const ArcPathLayout& layout, const std::vector<ArcPathVertex>& expected) {
  ASSERT_EQ(layout.Vertices.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(layout.Vertices[i].X, expected[i].X, 1e-12) << i;
    EXPECT_NEAR(layout.Vertices[i].Y, expected[i].Y, 1e-12) << i;
    EXPECT_NEAR(layout.Vertices[i].Bulge, expected[i].Bulge, 1e-15) << i;
  }
}

TEST(LayOutArcPath, MatchesHandComputedFillets) {
  for (const Fillet& f : Fillets()) {
    SCOPED_TRACE(f.name);
    const ArcPathLayout layout = LayOutArcPath(f.points, f.radius);
    EXPECT_TRUE(layout.Ok()) << layout.Error;
    ExpectVertices(layout, f.expected);
  }
}

TEST(LayOutArcPath, CornerOverrunningALegIsRefusedAndLeftSharp) {
  const std::vector<Point2D> points{{0, 0}, {10, 0}, {10, 10}};
  const ArcPathLayout layout = LayOutArcPath(points, 15);
  EXPECT_EQ(
      layout.Error,
      "the corner at point 2 (10, 0) is too tight for radius 15: its arc needs 15 of each leg, "
      "the legs are 10 and 10 long");
  ASSERT_EQ(layout.Corners.size(), 1u);
  EXPECT_TRUE(layout.Corners[0].TooTight);
  ExpectVertices(layout, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
}

// Two corners that fit alone but whose arcs overlap on the leg between them:
// the later one is blamed, the earlier one stays rounded.
TEST(LayOutArcPath, ArcsOverlappingOnASharedLegBlameTheLaterCorner) {
  const std::vector<Point2D> points{{0, 0}, {10, 0}, {10, 5}, {20, 5}};
  const ArcPathLayout layout = LayOutArcPath(points, 4);
  EXPECT_EQ(layout.Error,
            "the corner at point 3 (10, 5) is too tight for radius 4: its arc needs 4 of the leg "
            "before it, the arc at point 2 leaves 1 of it");
  ASSERT_EQ(layout.Corners.size(), 2u);
  EXPECT_FALSE(layout.Corners[0].TooTight);
  EXPECT_TRUE(layout.Corners[1].TooTight);
  ExpectVertices(layout,
                 {{0, 0, 0}, {6, 0, std::tan(kPi / 8)}, {10, 4, 0}, {10, 5, 0}, {20, 5, 0}});
}

TEST(LayOutArcPath, UnusableInputsAreRefused) {
  const std::vector<Point2D> uTurn{{0, 0}, {10, 0}, {5, 0}};
  EXPECT_EQ(LayOutArcPath(uTurn, 1).Error,
            "the corner at point 2 (10, 0) is too tight for radius 1: the path turns straight back "
            "there");
  const std::vector<Point2D> onePoint{{1, 1}, {1, 1}};
  EXPECT_EQ(LayOutArcPath(onePoint, 1).Error, "the path needs at least two distinct points");
  EXPECT_TRUE(LayOutArcPath(onePoint, 1).Vertices.empty());
  const std::vector<Point2D> line{{0, 0}, {1, 0}};
  EXPECT_EQ(LayOutArcPath(line, 0).Error, "the radius must be a positive number");
  EXPECT_EQ(LayOutArcPath(line, NAN).Error, "the radius must be a positive number");
}

}  // namespace
}  // namespace veerline
