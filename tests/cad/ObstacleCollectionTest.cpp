#include <gtest/gtest.h>

#include <cmath>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfReader.h"
#include "cad/geometry/ObstacleCollection.h"

namespace veerline::cad {
namespace {

DrawingEntity& AddLine(DrawingBlock& block, const std::string& layer, CadPoint a, CadPoint b) {
  DrawingEntity& line = block.AddEntity(EntityKind::Line);
  line.Data().Layer = layer;
  line.Data().Start = a;
  line.Data().End = b;
  return line;
}

TEST(CollectObstacles, TakesOnlyTheChosenLayersWhateverTheirCaseAndState) {
  DrawingModel drawing;
  drawing.AddOrGetLayer("Kerbs").Frozen = true;  // switched off in the view, still chosen
  drawing.AddLayer("Trees");
  const auto& kerb = AddLine(drawing.ModelSpace(), "Kerbs", {0, 0, 0}, {10, 0, 0});
  AddLine(drawing.ModelSpace(), "Trees", {0, 5, 0}, {10, 5, 0});
  const auto obstacles = CollectObstacles(drawing, {"KERBS"}, 0.001);
  ASSERT_EQ(obstacles.size(), 1u);
  EXPECT_EQ(obstacles[0].Handle, kerb.Handle());
  EXPECT_EQ(obstacles[0].Layer, "Kerbs");
  EXPECT_TRUE(drawing.FindLayer("Kerbs")->Frozen);
  EXPECT_EQ(MissingLayer(drawing, {"kerbs", "Buildings"}), "Buildings");
  EXPECT_EQ(MissingLayer(drawing, {"trees"}), std::nullopt);
}

TEST(CollectObstacles, BlockReferenceStandsForItsBlockPlacedAndOnItsLayer) {
  DrawingModel drawing;
  drawing.AddLayer("Bollards");
  // The block: a circle of radius 1 about (1, 0) on layer 0, and a line on a
  // layer that is not chosen; its base point is (0, 0).
  auto& block = static_cast<DrawingBlock&>(drawing.AddBlock({0, 0, 0}, "Bollard"));
  block.AddCircle({1, 0, 0}, 1);
  AddLine(block, "Notes", {0, 0, 0}, {5, 0, 0});
  // Referenced at (10, 20), twice the size, turned a quarter to the left.
  DrawingEntity& insert = drawing.ModelSpace().AddEntity(EntityKind::Insert);
  insert.Data().Layer = "Bollards";
  insert.Data().BlockName = "Bollard";
  insert.Data().Insertion = {10, 20, 0};
  insert.Data().ScaleX = insert.Data().ScaleY = 2;
  insert.Data().RotationDeg = 90;

  const double tolerance = 0.001;
  const auto obstacles = CollectObstacles(drawing, {"Bollards"}, tolerance);
  ASSERT_EQ(obstacles.size(), 1u);
  EXPECT_EQ(obstacles[0].Handle, insert.Handle());
  EXPECT_EQ(obstacles[0].Layer, "Bollards");
  ASSERT_EQ(obstacles[0].Polylines.size(), 1u);
  // A circle of radius 2 about (10, 22), its chords within the tolerance.
  const auto& ring = obstacles[0].Polylines[0];
  for (std::size_t i = 0; i < ring.size(); ++i) {
    EXPECT_NEAR(std::hypot(ring[i].X - 10, ring[i].Y - 22), 2, 1e-9);
    if (i == 0) continue;
    const Point2D middle{(ring[i - 1].X + ring[i].X) / 2, (ring[i - 1].Y + ring[i].Y) / 2};
    EXPECT_LE(2 - std::hypot(middle.X - 10, middle.Y - 22), tolerance);
  }
  EXPECT_NEAR(ring.front().X, ring.back().X, 1e-9);
  EXPECT_NEAR(ring.front().Y, ring.back().Y, 1e-9);
}

TEST(CollectObstacles, PointsAndSolidsReadFromAFile) {
  const auto drawing = ReadDxfText(
      "0\nSECTION\n2\nENTITIES\n"
      "0\nPOINT\n5\n20\n8\nBollards\n10\n3.5\n20\n-2\n30\n0\n"
      "0\nSOLID\n5\n21\n8\nBollards\n10\n0\n20\n0\n11\n1\n21\n0\n12\n0\n22\n1\n13\n1\n23\n1\n"
      "0\nENDSEC\n0\nEOF\n",
      "kept.dxf");
  const auto obstacles = CollectObstacles(*drawing, {"Bollards"}, 0.001);
  ASSERT_EQ(obstacles.size(), 2u);
  EXPECT_EQ(obstacles[0].Points, (std::vector<Point2D>{{3.5, -2}}));
  // The solid's outline (its filled area and its edge): corners 1, 2, 4, 3.
  ASSERT_FALSE(obstacles[1].Polylines.empty());
  for (const auto& ring : obstacles[1].Polylines) {
    ASSERT_EQ(ring.size(), 5u);
    EXPECT_EQ(ring.front(), ring.back());
    for (const Point2D& p : ring) EXPECT_TRUE((p.X == 0 || p.X == 1) && (p.Y == 0 || p.Y == 1));
    EXPECT_EQ(std::abs(ring[0].X - ring[2].X) + std::abs(ring[0].Y - ring[2].Y), 2);  // diagonal
  }
}

}  // namespace
}  // namespace veerline::cad
