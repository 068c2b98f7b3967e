#include <cmath>

#include "RunFixture.h"
#include "cad/ClearancePlot.h"

namespace veerline::testing {
namespace {

using ClearanceRunTest = RunFixture;

cad::DrawingEntity& AddLine(cad::DrawingBlock& block, const std::string& layer, cad::CadPoint a,
                            cad::CadPoint b) {
  cad::DrawingEntity& line = block.AddEntity(cad::EntityKind::Line);
  line.Data().Layer = layer;
  line.Data().Start = a;
  line.Data().End = b;
  return line;
}

// How many entities of the block lie on the layer.
std::size_t OnLayer(const cad::DrawingModel& drawing, const std::string& block,
                    const std::string& layer) {
  std::size_t count = 0;
  for (const auto& e : drawing.FindBlock(block)->Entities()) count += e->Data().Layer == layer;
  return count;
}

TEST_F(ClearanceRunTest, KerbBesideAStraightPathAndABollardBlockOnIt) {
  picker.PickHandle(AddPath({{{0, 0, 0}, {100, 0, 0}}}));
  // The truck is 2.6 wide: a kerb 2.0 from the path is 0.7 from its side.
  const auto& kerb = AddLine(drawing().ModelSpace(), "Kerbs", {30, 2, 0}, {60, 2, 0});
  AddLine(drawing().ModelSpace(), "Trees", {70, -5, 0}, {70, 5, 0});  // not chosen
  // A bollard drawn on layer 0 in a block, placed on the path.
  auto& block = static_cast<cad::DrawingBlock&>(drawing().AddBlock({0, 0, 0}, "Bollard"));
  block.AddCircle({0, 0, 0}, 0.1);
  cad::DrawingEntity& bollard = drawing().ModelSpace().AddEntity(cad::EntityKind::Insert);
  bollard.Data().Layer = "Bollards";
  bollard.Data().BlockName = "Bollard";
  bollard.Data().Insertion = {80, 0, 0};

  auto inputs = Inputs(1);
  inputs.obstacleLayers = {"Kerbs", "Bollards"};
  inputs.txt_ClearanceMargin = "1";
  ASSERT_EQ(Run(inputs), RunOutcome::Completed);

  const ClearanceResult& result = state.clearance;
  ASSERT_TRUE(result.Checked);
  ASSERT_EQ(result.Conflicts.size(), 2u);
  EXPECT_EQ(result.Conflicts[0].Handle, bollard.Handle());
  EXPECT_EQ(result.Conflicts[0].Layer, "Bollards");
  EXPECT_EQ(result.Conflicts[0].Distance, 0);
  EXPECT_EQ(result.Conflicts[1].Handle, kerb.Handle());
  EXPECT_NEAR(result.Conflicts[1].Distance, 0.7, 1e-9);
  // Within 1 from the first station at which the body's front-left corner,
  // Front ahead of the path point, is sqrt(1 - 0.7^2) short of x = 30.
  const double reach = 30 - std::sqrt(1 - 0.7 * 0.7) - state.segments[0].Front;
  EXPECT_NEAR(result.Conflicts[1].FirstStation, std::ceil(reach / 0.2) * 0.2, 1e-6);
  EXPECT_EQ(*result.MinimumDistance, 0);

  // Marks and the clearance line go into the envelope block.
  EXPECT_EQ(OnLayer(drawing(), RunFixture::result.blocks.envelope, cad::kLayerConflict), 4u);
  EXPECT_EQ(OnLayer(drawing(), RunFixture::result.blocks.envelope, cad::kLayerClearance), 1u);
  EXPECT_EQ(drawing().FindLayer(cad::kLayerClearance)->Linetype, "DASHED");
  EXPECT_NE(host.status.back().find("  Conflicts: 2  Closest: 0.00"), std::string::npos)
      << host.status.back();
}

TEST_F(ClearanceRunTest, RunStoppedByALimitCountsOnlyTheStationsReached) {
  // The U-turn of radius 4 that stops the default semitrailer, with a kerb
  // across each leg: only the first is reached.
  picker.PickHandle(AddPath({{{-40, 0, 0}, {0, 0, 1}, {0, 8, 0}, {-40, 8, 0}}}));
  const auto& first = AddLine(drawing().ModelSpace(), "Kerbs", {-30, -3, 0}, {-30, 3, 0});
  AddLine(drawing().ModelSpace(), "Kerbs", {-30, 5.5, 0}, {-30, 10.5, 0});
  auto inputs = Inputs(2);
  inputs.txt_Speed = "1";
  inputs.obstacleLayers = {"Kerbs"};
  const RunOutcome outcome = Run(inputs);
  ASSERT_TRUE(outcome == RunOutcome::FrontWheel || outcome == RunOutcome::Articulation);
  ASSERT_EQ(state.clearance.Conflicts.size(), 1u);
  EXPECT_EQ(state.clearance.Conflicts[0].Handle, first.Handle());
  // Touched once the body's front edge reaches x = -30.
  const double touch = 10 - state.segments[0].Front;
  EXPECT_GE(state.clearance.Conflicts[0].FirstStation, touch);
  EXPECT_LT(state.clearance.Conflicts[0].FirstStation, touch + 0.2);
  const double stop = state.outcome.TurnExceeded ? state.outcome.TurnExceededStation
                                                 : state.outcome.SegmentExceededStation;
  EXPECT_LE(state.clearance.Conflicts[0].LastStation, stop);
  // The marks bring in the envelope block even without an envelope.
  EXPECT_EQ(OnLayer(drawing(), RunFixture::result.blocks.envelope, cad::kLayerConflict), 2u);
}

TEST_F(ClearanceRunTest, MarginThatIsNoNumberEndsTheRunBeforeThePick) {
  AddPath({{{0, 0, 0}, {100, 0, 0}}});
  auto inputs = Inputs(1);
  inputs.obstacleLayers = {"Kerbs"};
  inputs.txt_ClearanceMargin = "-1";
  EXPECT_EQ(Run(inputs), RunOutcome::Ended);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Bad value"});
  EXPECT_TRUE(picker.Prompts().empty());
}

}  // namespace
}  // namespace veerline::testing
