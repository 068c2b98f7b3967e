#include <gtest/gtest.h>

#include <cmath>

#include "cad/DrawingModel.h"
#include "cad/DxfReader.h"
#include "cad/ObstacleCollection.h"

namespace veerline::cad {
namespace {

DrawingEntity& AddLine(DrawingBlock& block, const std::string& layer, CadPoint a, CadPoint b) {
  DrawingEntity& line = block.AddEntity(EntityKind::Line);
  line.Data().Layer = layer;
  line.Data().Start = a;
  line.Data().End = b;
  return line;
}

TEST(CollectObstacles, TakesOnlyTheChosenLayersWhateverTheirCase) {
  DrawingModel drawing;
  drawing.AddLayer("Kerbs");
  drawing.AddLayer("Trees");
  const auto& kerb = AddLine(drawing.ModelSpace(), "Kerbs", {0, 0, 0}, {10, 0, 0});
  AddLine(drawing.ModelSpace(), "Trees", {0, 5, 0}, {10, 5, 0});
  const auto obstacles = CollectObstacles(drawing, {"KERBS"}, 0.001);
  ASSERT_EQ(obstacles.size(), 1u);
  EXPECT_EQ(obstacles[0].Handle, kerb.Handle());
  EXPECT_EQ(obstacles[0].Layer, "Kerbs");
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
  // The solid's corners in order round its outline: 1, 2, 4, 3.
  const std::vector<Point2D> square{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
  ASSERT_EQ(obstacles[1].Polylines.size(), 1u);
  EXPECT_EQ(obstacles[1].Polylines[0], square);
}

TEST(CurvesOf, BulgedPolylineSegmentFollowsItsArc) {
  DrawingModel drawing;
  DrawingEntity& polyline = drawing.ModelSpace().AddEntity(EntityKind::LwPolyline);
  // A half circle from (0, 0) to (2, 0), counter-clockwise: below the chord.
  polyline.Data().Vertices = {{0, 0, 0, 1}, {2, 0, 0, 0}};
  const EntityCurves curves = CurvesOf(polyline, 0.001);
  ASSERT_EQ(curves.Polylines.size(), 1u);
  const auto& arc = curves.Polylines[0];
  EXPECT_GT(arc.size(), 10u);
  for (const Point2D& p : arc) {
    EXPECT_NEAR(std::hypot(p.X - 1, p.Y), 1, 1e-9);
    EXPECT_LE(p.Y, 1e-12);
  }
  EXPECT_EQ(arc.back(), (Point2D{2, 0}));
}

}  // namespace
}  // namespace veerline::cad
