#include <gtest/gtest.h>

#include "FakeCad.h"
#include "cad/EnvelopePlot.h"
#include "engine/BodyGeometry.h"

namespace veerline::cad {
namespace {

struct EnvelopeFixture {
  FakeAttacher attacher;
  CadConnection connection{attacher};
  FakeBlock block{"envelope"};
  StoredColours colours;
  FakeHost host;
  EnvelopeFixture() { connection.Attach(); }
  void Draw(const EnvelopeTraces& traces) {
    DrawEnvelope(traces, kLayerLeftSweep, kLayerRightSweep, connection, block, colours,
                 host.symbols);
  }
};

const EnvelopeTraces kTraces{{{0, -1}, {1, -1}}, {{0, 1}, {1, 1}, {2, 1}}};

TEST(DrawEnvelope, RightHandTraceOnTheFirstLayerWithDefaults) {
  EnvelopeFixture f;
  f.Draw(kTraces);
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->points, (std::vector<CadPoint>{{0, -1, 0}, {1, -1, 0}}));
  EXPECT_EQ(lines[0]->layer, "Turn_LeftSweep");
  EXPECT_EQ(lines[0]->color, 2);
  EXPECT_EQ(lines[0]->closed, false);
  EXPECT_EQ(lines[1]->points.size(), 3u);
  EXPECT_EQ(lines[1]->layer, "Turn_RightSweep");
  EXPECT_EQ(lines[1]->color, 2);
  EXPECT_EQ(f.attacher.application.document.layers,
            (std::vector<std::string>{"Turn_LeftSweep", "Turn_RightSweep"}));
}

TEST(DrawEnvelope, ColourKeysAreCrossedOverSides) {
  EnvelopeFixture f;
  f.colours.values["EnvelopeLeftColor"] = "1";
  f.colours.values["EnvelopeRightColor"] = "6";
  f.Draw(kTraces);
  EXPECT_EQ(f.block.Polylines()[0]->color, 1);
  EXPECT_EQ(f.block.Polylines()[1]->color, 6);
}

TEST(DrawEnvelope, EmptyTraceThrowsForTheCallerToSkip) {
  EnvelopeFixture f;
  EXPECT_THROW(f.Draw({{}, {{0, 1}, {1, 1}}}), CadError);
  EXPECT_TRUE(f.block.entities.empty());
  EXPECT_THROW(f.Draw({{{0, -1}, {1, -1}}, {}}), CadError);
  EXPECT_EQ(f.block.entities.size(), 1u);
  EXPECT_TRUE(f.host.messages.empty());

  EnvelopeFixture bad;
  bad.colours.values["EnvelopeRightColor"] = "x";
  EXPECT_THROW(bad.Draw(kTraces), ConversionError);
  EXPECT_TRUE(bad.block.entities.empty());
}

TEST(PlotEnvelope, StraightRunGivesTwoTracesAtHalfTheWidth) {
  EnvelopeFixture f;
  RunState state;
  SegmentRecord truck;
  truck.Kind = SegmentKind::TowingUnit;
  truck.WheelWidth = 2.4;
  truck.VehicleWidth = 2.5;
  truck.Front = 1;
  truck.Wheelbase = 5;
  truck.Back = 1;
  state.segments = {truck};
  state.vehicleLength = 7;
  for (int i = 0; i < 10; ++i) {
    const double s = i * 0.2;
    state.stationTrack.push_back({s, 0, s});
    CalcSegmentCorners({s, 0}, {s - 5, 0}, truck, 0, 0, 0, s, 1, 1, state, f.host);
  }
  PlotEnvelope(state, kLayerLeftSweep, kLayerRightSweep, f.connection, f.block, f.colours, f.host);
  const std::vector<FakeEntity*> lines = f.block.Polylines();
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(lines[0]->points.size(), 9u);
  for (const CadPoint& p : lines[0]->points) EXPECT_NEAR(p.Y, -1.25, 1e-9);
  for (const CadPoint& p : lines[1]->points) EXPECT_NEAR(p.Y, 1.25, 1e-9);
}

}  // namespace
}  // namespace veerline::cad
