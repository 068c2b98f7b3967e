#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "engine/Clearance.h"
#include "engine/ClearanceLine.h"
#include "engine/OutlineDistance.h"

namespace veerline {
namespace {

// A 10 x 2.5 body whose front edge is at x = s, driven along +X in 0.2 steps
// from s = 0 to s = 20: one outline per station.
std::vector<StationOutline> StraightOutlines() {
  std::vector<StationOutline> outlines;
  for (int i = 0; i <= 100; ++i) {
    const double s = 0.2 * i;
    outlines.push_back({s, {Point2D{s, 1.25}, {s, -1.25}, {s - 10, -1.25}, {s - 10, 1.25}}});
  }
  return outlines;
}

Obstacle Line(const std::string& handle, Point2D a, Point2D b) {
  return {handle, "Kerbs", {{a, b}}, {}};
}

TEST(CheckClearance, ParallelKerbIsExactlyItsOffsetAwayOverTheStationsItFaces) {
  // A kerb from x = 5 to 8, 0.75 beside the body's left side, and one behind
  // the start that the body never comes near.
  const std::vector<Obstacle> obstacles{Line("A1", {5, 2.0}, {8, 2.0}),
                                        Line("A2", {-30, -2.5}, {-20, -2.5})};
  const ClearanceResult result = CheckClearance(StraightOutlines(), obstacles, 1.0);
  ASSERT_EQ(result.Conflicts.size(), 1u);
  const ObstacleClearance& kerb = result.Conflicts[0];
  EXPECT_EQ(kerb.Handle, "A1");
  EXPECT_DOUBLE_EQ(kerb.Distance, 0.75);
  EXPECT_DOUBLE_EQ(kerb.Station, 5.0);  // the first station where the front is level with it
  EXPECT_DOUBLE_EQ(kerb.Nearest.X, 5.0);
  EXPECT_DOUBLE_EQ(kerb.Nearest.Y, 2.0);
  // Within 1.0 once the front-left corner is `reach` short of x = 5, until the
  // rear-left corner is `reach` past x = 8.
  const double reach = std::sqrt(1.0 - 0.75 * 0.75);
  EXPECT_NEAR(kerb.FirstStation, std::ceil((5 - reach) / 0.2) * 0.2, 1e-9);
  EXPECT_NEAR(kerb.LastStation, 18 + std::floor(reach / 0.2 - 1e-9) * 0.2, 1e-9);
  EXPECT_DOUBLE_EQ(*result.MinimumDistance, 0.75);
}

TEST(CheckClearance, CurvesInsideOrAcrossTheOutlineAreAtZero) {
  std::vector<Obstacle> obstacles{{"B1", "Bollards", {}, {{3, 0.5}}},
                                  Line("C1", {10, -5}, {10, 5})};
  // A bollard ring wholly inside the outline at station 20.
  Obstacle ring{"B2", "Bollards", {{}}, {}};
  for (int k = 0; k <= 16; ++k)
    ring.Polylines[0].push_back(
        {15 + 0.3 * std::cos(k * std::numbers::pi / 8), 0.3 * std::sin(k * std::numbers::pi / 8)});
  obstacles.push_back(ring);
  const ClearanceResult result = CheckClearance(StraightOutlines(), obstacles, 0);
  ASSERT_EQ(result.Conflicts.size(), 3u);
  for (const ObstacleClearance& c : result.Conflicts) EXPECT_EQ(c.Distance, 0) << c.Handle;
  const auto crossing = std::find_if(result.Conflicts.begin(), result.Conflicts.end(),
                                     [](const auto& c) { return c.Handle == "C1"; });
  EXPECT_DOUBLE_EQ(crossing->Nearest.X, 10);
  EXPECT_DOUBLE_EQ(crossing->Station, 10);
  EXPECT_DOUBLE_EQ(crossing->LastStation, 20);
}

TEST(CheckClearance, NearestObstacleBeyondTheMarginIsStillMeasured) {
  const std::vector<Obstacle> obstacles{Line("F", {40, 7}, {41, 3}), Line("G", {-50, 9}, {50, 9})};
  const ClearanceResult result = CheckClearance(StraightOutlines(), obstacles, 0.5);
  EXPECT_TRUE(result.Conflicts.empty());
  // The last front-left corner (20, 1.25) to the nearest end (41, 3).
  EXPECT_DOUBLE_EQ(*result.MinimumDistance, 7.75);
  EXPECT_FALSE(CheckClearance(StraightOutlines(), {}, 0.5).MinimumDistance);
}

// Every piece against every outline, for comparison.
ClearanceResult PlainCheck(const std::vector<StationOutline>& outlines,
                           const std::vector<Obstacle>& obstacles, double margin) {
  ClearanceResult result;
  for (const Obstacle& o : obstacles) {
    std::vector<std::pair<Point2D, Point2D>> pieces;
    for (const auto& line : o.Polylines)
      for (std::size_t i = 1; i < line.size(); ++i) pieces.push_back({line[i - 1], line[i]});
    ObstacleClearance c{o.Handle, o.Layer, std::numeric_limits<double>::infinity()};
    bool within = false;
    for (const StationOutline& outline : outlines) {
      const OutlineQuad quad(outline.Corners);
      for (const auto& [a, b] : pieces) {
        const Closeness d = SegmentToOutline(a, b, quad);
        if (d.Distance < c.Distance) {
          c.Distance = d.Distance;
          c.Station = outline.Station;
        }
        if (!WithinMargin(d.Distance, margin)) continue;
        if (!within) c.FirstStation = outline.Station;
        c.LastStation = std::max(within ? c.LastStation : outline.Station, outline.Station);
        within = true;
      }
    }
    if (!result.MinimumDistance || c.Distance < *result.MinimumDistance)
      result.MinimumDistance = c.Distance;
    if (within) result.Conflicts.push_back(c);
  }
  return result;
}

// A tractor and a trailer (two units) turning along a circle of radius 20.
std::vector<StationOutline> TurningOutlines() {
  std::vector<StationOutline> outlines;
  const auto box = [](double x, double y, double heading, double length) {
    const double c = std::cos(heading), s = std::sin(heading);
    const auto at = [&](double u, double v) {
      return Point2D{x + u * c - v * s, y + u * s + v * c};
    };
    return std::array<Point2D, 4>{at(0, 1.25), at(0, -1.25), at(-length, -1.25), at(-length, 1.25)};
  };
  for (int i = 0; i <= 300; ++i) {
    const double angle = 0.2 * i / 20, lag = angle - 0.3;
    outlines.push_back(
        {0.2 * i, box(20 * std::sin(angle), 20 - 20 * std::cos(angle), angle, 6), 0});
    outlines.push_back({0.2 * i, box(20 * std::sin(lag), 20 - 20 * std::cos(lag), lag, 12), 1});
  }
  return outlines;
}

void ExpectSameResults(const std::vector<StationOutline>& outlines,
                       const std::vector<Obstacle>& obstacles, double margin) {
  const ClearanceResult fast = CheckClearance(outlines, obstacles, margin);
  const ClearanceResult plain = PlainCheck(outlines, obstacles, margin);
  EXPECT_EQ(*fast.MinimumDistance, *plain.MinimumDistance);
  ASSERT_EQ(fast.Conflicts.size(), plain.Conflicts.size());
  for (const ObstacleClearance& c : fast.Conflicts) {
    const auto same = std::find_if(plain.Conflicts.begin(), plain.Conflicts.end(),
                                   [&](const auto& p) { return p.Handle == c.Handle; });
    ASSERT_NE(same, plain.Conflicts.end()) << c.Handle;
    EXPECT_EQ(c.Distance, same->Distance) << c.Handle;
    EXPECT_EQ(c.Station, same->Station) << c.Handle;
    EXPECT_EQ(c.FirstStation, same->FirstStation) << c.Handle;
    EXPECT_EQ(c.LastStation, same->LastStation) << c.Handle;
  }
}

TEST(CheckClearance, AgreesWithMeasuringEveryPieceAtEveryOutline) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-30, 50), step(-3, 3);
  const std::vector<StationOutline> outlines = TurningOutlines();
  std::vector<Obstacle> obstacles;
  for (int n = 0; n < 60; ++n) {
    Obstacle& o = obstacles.emplace_back(Obstacle{std::to_string(n), "L", {{}}, {}});
    Point2D p{coordinate(random), coordinate(random)};
    for (int k = 0; k < 4; ++k, p = {p.X + step(random), p.Y + step(random)})
      o.Polylines[0].push_back(p);
  }
  SCOPED_TRACE("some within the margin");
  ExpectSameResults(outlines, obstacles, 0.5);
  // Without those: the nearest is close, then far compared with the outlines.
  const ClearanceResult plain = PlainCheck(outlines, obstacles, 0.5);
  std::erase_if(obstacles, [&](const Obstacle& o) {
    return std::any_of(plain.Conflicts.begin(), plain.Conflicts.end(),
                       [&](const auto& c) { return c.Handle == o.Handle; });
  });
  SCOPED_TRACE("none within the margin");
  ExpectSameResults(outlines, obstacles, 0.5);
  for (Obstacle& o : obstacles)
    for (Point2D& p : o.Polylines[0]) p.Y += 300;
  SCOPED_TRACE("all far away");
  ExpectSameResults(outlines, obstacles, 0.5);
}

TEST(ClearanceLine, SquareGrowsByTheMarginWithRoundCorners) {
  // Traces of a 10 x 4 area: right-hand along y = 0, left-hand along y = 4.
  const std::vector<Point2D> right{{0, 0}, {10, 0}}, left{{0, 4}, {10, 4}};
  const auto loops = ClearanceLine(right, left, 1.0, 0.001);
  ASSERT_EQ(loops.size(), 1u);
  for (const Point2D& p : loops[0]) {
    const double dx = std::max({0.0, -p.X, p.X - 10}), dy = std::max({0.0, -p.Y, p.Y - 4});
    EXPECT_NEAR(std::hypot(dx, dy), 1.0, 0.0011);
  }
  EXPECT_TRUE(ClearanceLine(right, left, 0, 0.001).empty());
}

TEST(ClearanceLine, EveryPointIsTheMarginFromABendingSweptArea) {
  // Traces 0.2 apart along a wave, as a run records them: the line keeps to
  // the margin however many of their points it leaves out.
  std::vector<Point2D> right, left, boundary;
  for (int i = 0; i <= 500; ++i) {
    const double x = 0.2 * i, y = 8 * std::sin(x / 10);
    right.push_back({x, y - 1.5});
    left.push_back({x, y + 1.5});
  }
  boundary = right;
  boundary.insert(boundary.end(), left.rbegin(), left.rend());
  const auto loops = ClearanceLine(right, left, 0.8, 0.001);
  ASSERT_EQ(loops.size(), 1u);
  for (const Point2D& p : loops[0]) {
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < boundary.size(); ++i) {
      const Point2D& a = boundary[i];
      const Point2D& b = boundary[(i + 1) % boundary.size()];
      const Point2D q = NearestOnSegment(p, a, b);
      nearest = std::min(nearest, std::hypot(p.X - q.X, p.Y - q.Y));
    }
    ASSERT_NEAR(nearest, 0.8, 0.0011) << p.X << " " << p.Y;
  }
}

TEST(DistanceText, TwoDecimalsWithTheUsersSeparatorWhateverTheCLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // where present, printf would write a comma
  EXPECT_EQ(DistanceText(0.125, NumberSymbols::PointDecimal()), "0.12");  // half to even
  EXPECT_EQ(DistanceText(1.5, NumberSymbols::CommaDecimal()), "1,50");
  EXPECT_EQ(DistanceText(1e20, NumberSymbols::PointDecimal()), "100000000000000000000.00");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace veerline
