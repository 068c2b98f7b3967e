#include <gtest/gtest.h>

#include "FakeCad.h"
#include "cad/SweepLines.h"
#include "engine/BodyGeometry.h"

namespace veerline::cad {
namespace {

SegmentRecord Unit(SegmentKind kind, double width) {
  SegmentRecord s;
  s.Kind = kind;
  s.WheelWidth = width;
  s.VehicleWidth = width;
  s.Front = 1;
  s.Wheelbase = 5;
  s.Back = 1;
  return s;
}

// Units driven along +X in a row, one behind the other, for some stations.
RunState DriveStraight(const Segments& segments, int vehicleType, int stations) {
  RunState state;
  state.segments = segments;
  FakeHost host;
  for (int i = 0; i < stations; ++i) {
    const double s = i * 0.2;
    double front = s;
    for (std::size_t u = 0; u < segments.size(); ++u) {
      const double rear = front - segments[u].Wheelbase;
      CalcSegmentCorners({front, 0}, {rear, 0}, segments[u], 0, 0, static_cast<double>(u), s,
                         vehicleType, 1, state, host);
      front = rear;
    }
  }
  return state;
}

struct SweepFixture {
  FakeAttacher attacher;
  CadConnection connection{attacher};
  FakeBlock block{"sweep"};
  DefaultColourSettings colours;
  FakeHost host;
  SweepFixture() { connection.Attach(); }
  void Plot(const RunState& state) {
    PlotSweeplines(kLayerLeftSweep, kLayerRightSweep, kLayerWheelSweep, connection, block, state,
                   colours, host);
  }
};

TEST(PlotSweeplines, SingleUnitGivesEightLinesInTableOrder) {
  SweepFixture f;
  const RunState state = DriveStraight({Unit(SegmentKind::TowingUnit, 2)}, 1, 5);
  f.Plot(state);
  EXPECT_TRUE(f.host.messages.empty());
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 8u);
  const std::vector<std::string> layers{"Turn_LeftSweep",  "Turn_RightSweep", "Turn_WheelSweep",
                                        "Turn_WheelSweep", "Turn_LeftSweep",  "Turn_RightSweep",
                                        "Turn_WheelSweep", "Turn_WheelSweep"};
  const std::vector<int> colours{5, 5, 3, 3, 5, 5, 3, 3};
  const std::vector<double> ys{1, -1, -1, 1, 1, -1, -1, 1};  // side of each trace
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(lines[n]->layer, layers[n]) << n;
    EXPECT_EQ(lines[n]->color, colours[n]) << n;
    EXPECT_FALSE(lines[n]->closed.has_value());
    ASSERT_EQ(lines[n]->points.size(), 5u);
    EXPECT_NEAR(lines[n]->points[0].Y, ys[n], 1e-9) << n;
    for (int k = 1; k < 5; ++k) EXPECT_GT(lines[n]->points[k].X, lines[n]->points[k - 1].X);
  }
  EXPECT_EQ(f.attacher.application.document.layers,
            (std::vector<std::string>{"Turn_LeftSweep", "Turn_RightSweep", "Turn_WheelSweep"}));
  // Only the application is renewed; the document of the last full attach is used.
  EXPECT_EQ(f.attacher.application.activeDocumentReads, 1);
  EXPECT_EQ(f.attacher.attaches, 2);
}

TEST(PlotSweeplines, StatusAndProgressPerLine) {
  SweepFixture f;
  f.Plot(DriveStraight({Unit(SegmentKind::TowingUnit, 2)}, 1, 3));
  std::vector<std::string> expected{"progress:show", "progress:max=8"};
  for (int n = 1; n <= 8; ++n) {
    expected.push_back("progress:value=" + std::to_string(n));
    expected.push_back("status0:Plotting sweep lines " + std::to_string(n) + " (8)");
  }
  expected.push_back("progress:hide");
  EXPECT_EQ(f.host.events, expected);
}

TEST(PlotSweeplines, DrawbarUnitGetsNoBodyLinesAndOnlyTheFirstUnitFrontWheels) {
  SweepFixture f;
  const RunState state =
      DriveStraight({Unit(SegmentKind::TowingUnit, 2), Unit(SegmentKind::TowBarLink, 2),
                     Unit(SegmentKind::Trailer, 2.5)},
                    9, 4);
  f.Plot(state);
  EXPECT_TRUE(f.host.messages.empty());
  // Body lines: 4 traces x 2 units; front wheels: 2 x 1 unit; rear wheels: 2 x 3 units.
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 16u);
  // Line 1 (front-left corners): the truck at y 1, the trailer at y 1.25, nothing at 0.05.
  EXPECT_NEAR(lines[0]->points[0].Y, 1, 1e-9);
  EXPECT_NEAR(lines[1]->points[0].Y, 1.25, 1e-9);
  for (const FakeEntity* line : lines) {
    EXPECT_GE(line->points.size(), 2u);
    for (const CadPoint& p : line->points) EXPECT_GT(std::abs(p.Y), 0.5);
  }
}

TEST(PlotSweeplines, SingleStationDrawsNothing) {
  SweepFixture f;
  f.Plot(DriveStraight({Unit(SegmentKind::TowingUnit, 2)}, 1, 1));
  EXPECT_TRUE(f.block.entities.empty());
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(PlotSweeplines, FailuresAreReportedOnceWithTheTag) {
  SweepFixture f;
  StoredColours colours;
  colours.values["WheelSweepRightBackColor"] = "green";
  PlotSweeplines("a", "b", "c", f.connection, f.block,
                 DriveStraight({Unit(SegmentKind::TowingUnit, 2)}, 1, 3), colours, f.host);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(f.host.messages[0].title, "Veichle Turning Simulation");
  EXPECT_EQ(f.host.messages[0].text, "Type mismatch PlotSweeplines");
  EXPECT_TRUE(f.block.entities.empty());

  SweepFixture g;
  g.block.failAfter = 3;
  g.Plot(DriveStraight({Unit(SegmentKind::TowingUnit, 2)}, 1, 3));
  ASSERT_EQ(g.host.messages.size(), 1u);
  EXPECT_EQ(g.host.messages[0].text, "Method 'Add' of object 'Block' failed PlotSweeplines");
  EXPECT_EQ(g.block.entities.size(), 3u);
  EXPECT_NE(g.host.events.back(), "progress:hide");
}

}  // namespace
}  // namespace veerline::cad
