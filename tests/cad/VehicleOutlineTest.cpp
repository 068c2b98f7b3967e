#include <gtest/gtest.h>

#include "FakeCad.h"
#include "cad/CadSweepDrawing.h"
#include "cad/VehicleOutline.h"
#include "engine/BodyGeometry.h"

namespace veerline::cad {
namespace {

SegmentRecord Unit(SegmentKind kind, double wheelbase) {
  SegmentRecord s;
  s.Kind = kind;
  s.WheelWidth = 2.4;
  s.VehicleWidth = 2.5;
  s.Front = 1;
  s.Wheelbase = wheelbase;
  s.Back = 1;
  s.Hitch = 0.5;
  return s;
}

SegmentCorners CornersOf(const SegmentRecord& unit, int type, double metresPerUnit = 1) {
  RunState state;
  FakeHost host;
  return CalcSegmentCorners({0, 0}, {-unit.Wheelbase, 0}, unit, 0.2, 0.1, 0, 0, type, metresPerUnit,
                            state, host);
}

struct OutlineFixture {
  FakeAttacher attacher;
  CadConnection connection{attacher};
  FakeBlock block{"vehicle"};
  DefaultColourSettings colours;
  FakeHost host;
  OutlineFixture() { connection.Attach(); }
  void Plot(const SegmentRecord& unit, int type, double metresPerUnit = 1) {
    PlotSegment(CornersOf(unit, type, metresPerUnit), kLayerVehicle, unit, type, metresPerUnit,
                connection, block, colours, host);
  }
};

CadPoint At(const Point2D& p) { return {p.X, p.Y, 0}; }

TEST(PlotSegment, CarHasSeventeenPolylines) {
  OutlineFixture f;
  const SegmentRecord car = Unit(SegmentKind::TowingUnit, 2.7);
  f.Plot(car, 7);
  EXPECT_TRUE(f.host.messages.empty());
  EXPECT_EQ(f.block.Polylines().size(), 17u);
  EXPECT_TRUE(f.block.OfType(kEntityCircle).empty());
  EXPECT_EQ(f.host.events, (std::vector<std::string>{"status0:Plotting Vehicle....Please Wait"}));
  EXPECT_EQ(f.attacher.application.document.layers, (std::vector<std::string>{"Turn_Vehicle"}));
  EXPECT_EQ(f.attacher.application.activeDocumentReads, 1);
}

TEST(PlotSegment, BodyThenTyresWithTheirPointsAndColours) {
  OutlineFixture f;
  const SegmentRecord car = Unit(SegmentKind::TowingUnit, 2.7);
  const SegmentCorners c = CornersOf(car, 7);
  f.Plot(car, 7);
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines[0]->points, (std::vector<CadPoint>{At(c[3]), At(c[5]), At(c[4]), At(c[2])}));
  EXPECT_EQ(lines[0]->closed, true);
  EXPECT_EQ(lines[0]->color, 7);
  // Left front tyre: octagon 3, 2, 6, 7, 5, 4, 0, 1 of its block, then the treads.
  std::vector<CadPoint> octagon;
  for (int k : {3, 2, 6, 7, 5, 4, 0, 1}) octagon.push_back(At(c[7 + k]));
  EXPECT_EQ(lines[1]->points, octagon);
  EXPECT_EQ(lines[1]->closed, true);
  EXPECT_EQ(lines[1]->color, 7);
  EXPECT_EQ(lines[2]->points, (std::vector<CadPoint>{At(c[15]), At(c[16])}));
  EXPECT_EQ(lines[3]->points, (std::vector<CadPoint>{At(c[17]), At(c[18])}));
  EXPECT_EQ(lines[4]->points, (std::vector<CadPoint>{At(c[19]), At(c[20])}));
  EXPECT_EQ(lines[2]->closed, false);
  EXPECT_EQ(lines[2]->color, 2);
  // Left rear tyre of a single axle: treads skip the axle edge record 43.
  EXPECT_EQ(lines[10]->points, (std::vector<CadPoint>{At(c[44]), At(c[45])}));
  EXPECT_EQ(lines[12]->points, (std::vector<CadPoint>{At(c[48]), At(c[49])}));
  for (const FakeEntity* line : lines) EXPECT_EQ(line->layer, "Turn_Vehicle");
}

TEST(PlotSegment, SemitrailerTruckAndTrailerCounts) {
  OutlineFixture truck;
  SegmentRecord tractor = Unit(SegmentKind::TowingUnit, 3.8);
  tractor.DrawCoupling = true;
  truck.Plot(tractor, 2);
  EXPECT_EQ(truck.block.Polylines().size(), 25u);
  ASSERT_EQ(truck.block.OfType(kEntityCircle).size(), 1u);
  const FakeEntity& circle = *truck.block.OfType(kEntityCircle)[0];
  EXPECT_EQ(circle.radius, 0.1);
  EXPECT_EQ(circle.centre, At(CornersOf(tractor, 2)[6]));
  EXPECT_EQ(circle.color, 7);
  EXPECT_EQ(circle.layer, "Turn_Vehicle");

  OutlineFixture trailer;
  trailer.Plot(Unit(SegmentKind::Trailer, 8), 2);
  EXPECT_EQ(trailer.block.Polylines().size(), 17u);
}

TEST(PlotSegment, DrawbarGetsNarrowBodyAndRearTyresOnly) {
  OutlineFixture f;
  SegmentRecord drawbar = Unit(SegmentKind::TowBarLink, 4);
  f.Plot(drawbar, 9);
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 17u);  // body and four rear tyres of a tandem group
  EXPECT_NEAR(lines[0]->points[0].Y, 0.05, 1e-9);
  EXPECT_NEAR(lines[0]->points[2].Y, -0.3, 1e-9);
  // No tyre outline lies at the front axle.
  for (std::size_t k = 1; k < lines.size(); ++k) EXPECT_LT(lines[k]->points[0].X, -2);
}

TEST(PlotSegment, CouplingCircleIsATenthOfAMetre) {
  OutlineFixture f;
  SegmentRecord unit = Unit(SegmentKind::Trailer, 8000);
  unit.WheelWidth = 2400;
  unit.VehicleWidth = 2500;
  unit.DrawCoupling = true;
  f.Plot(unit, 2, 0.001);
  ASSERT_EQ(f.block.OfType(kEntityCircle).size(), 1u);
  EXPECT_DOUBLE_EQ(f.block.OfType(kEntityCircle)[0]->radius, 100);
}

TEST(PlotSegment, FailureKeepsWhatWasDrawn) {
  OutlineFixture f;
  f.block.failAfter = 2;
  f.Plot(Unit(SegmentKind::TowingUnit, 3), 1);
  EXPECT_EQ(f.block.entities.size(), 2u);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].text, "Method 'Add' of object 'Block' failed PlotSegment");
  EXPECT_EQ(f.host.messages[0].title, "Veichle Turning Simulation");
}

TEST(CadSweepDrawing, ForwardsToTheVehicleBlock) {
  OutlineFixture f;
  CadSweepDrawing drawing(f.connection, f.block, f.colours, f.host);
  const SegmentRecord car = Unit(SegmentKind::TowingUnit, 2.7);
  drawing.PlotSegment(CornersOf(car, 7), kLayerVehicle, car, 7, 1);
  EXPECT_EQ(f.block.Polylines().size(), 17u);
  drawing.PlotSegmentAngleMark({10, 0}, {0, 0}, {-10, 0}, 30, kLayerErrNotes, 1);
  EXPECT_EQ(f.block.Polylines().size(), 18u);
  EXPECT_EQ(f.block.OfType(kEntityText).size(), 1u);
}

}  // namespace
}  // namespace veerline::cad
