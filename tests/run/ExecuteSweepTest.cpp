#include <cmath>

#include "RunFixture.h"

namespace veerline::testing {
namespace {

using ExecuteSweepTest = RunFixture;

// Names of the model-space block references, in insertion order.
std::vector<std::string> Inserted(const cad::DrawingModel& drawing) {
  std::vector<std::string> names;
  for (const auto& entity : drawing.ModelSpace().Entities())
    if (entity->Kind() == cad::EntityKind::Insert) names.push_back(entity->Data().BlockName);
  return names;
}

std::size_t EntityCount(const cad::DrawingModel& drawing, const std::string& blockName) {
  const cad::DrawingBlock* block = drawing.FindBlock(blockName);
  return block == nullptr ? 0 : block->Entities().size();
}

TEST_F(ExecuteSweepTest, CancelledPickEndsSilentlyWithoutBlocks) {
  AddPath({{{0, 0, 0}, {50, 0, 0}}});
  picker.CancelPick();
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(drawing().Blocks().empty());
  EXPECT_FALSE(host.minimised);
  ASSERT_FALSE(application().SentCommands().empty());
  EXPECT_EQ(application().SentCommands().back(), "^C");
}

TEST_F(ExecuteSweepTest, NoDrawingOpenReportsTheUnreachableApplication) {
  attacher.Close();
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Reading from drawing");
  EXPECT_EQ(host.messages[0].text,
            "IntelliCAD is not running, or wrong version!\r\rIf running on Vista or Windows 7, make "
            "sure to run IntelliCad as administrator!");
}

TEST_F(ExecuteSweepTest, UnequalUnitsStopBeforeThePick) {
  const auto handle = AddPath({{{0, 0, 0}, {50, 0, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(1);
  inputs.vehicle.Unit = 5;
  EXPECT_EQ(Run(inputs), RunOutcome::Ended);
  EXPECT_TRUE(picker.Prompts().empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Missing value");
}

TEST_F(ExecuteSweepTest, MissingTrailerFieldIsReportedAfterThePick) {
  const auto handle = AddPath({{{0, 0, 0}, {50, 0, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(10);
  inputs.vehicle[Dimension::Front4] = "";
  EXPECT_EQ(Run(inputs), RunOutcome::Ended);
  EXPECT_EQ(picker.Prompts().size(), 1u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Missing value for Front4 (F4)!");
  EXPECT_TRUE(drawing().Blocks().empty());
}

TEST_F(ExecuteSweepTest, UnconvertibleHiddenFieldEndsTheRunThroughTheHandler) {
  const auto handle = AddPath({{{0, 0, 0}, {50, 0, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(11);
  inputs.vehicle[Dimension::Front3] = "";  // used by the chain but not checked for this type
  EXPECT_EQ(Run(inputs), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Veichle Turning Simulation");
  EXPECT_EQ(host.messages[0].text, "Type mismatch Execute sweep");
}

TEST_F(ExecuteSweepTest, PathShorterThanAStepAsksForTheUnit) {
  const auto handle = AddPath({{{0, 0, 0}, {0.1, 0, 0}}});
  picker.PickHandle(handle);
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Wrong unit?");
  EXPECT_EQ(drawing().Blocks().size(), 3u);
  EXPECT_TRUE(Inserted(drawing()).empty());
}

TEST_F(ExecuteSweepTest, ThreeDimensionalPolylineIsRefused) {
  cad::DrawingEntity& path = drawing().ModelSpace().AddEntity(cad::EntityKind::Polyline3d);
  path.Data().Vertices = {{0, 0, 0}, {50, 0, 0}};
  picker.PickHandle(path.Handle());
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Wrong type of element!");
  EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(host.messages[0].text,
            "You can not use 3DPolylines as path! Please use Polylines or LWpolylines");
  EXPECT_EQ(host.status.back(), "Wrong type of path selected, Press Execute to Continue");
}

TEST_F(ExecuteSweepTest, CircleIsRefusedByPathPreparation) {
  cad::CadEntity& circle = drawing().ModelSpace().AddCircle({0, 0, 0}, 10);
  picker.PickHandle(circle.Handle());
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Wrong type of element");
  EXPECT_EQ(host.messages[0].text,
            "You have selected wrong type of path element, need to be a Polyline!\r\r");
  EXPECT_EQ(state.pathLength, 0);
}

TEST_F(ExecuteSweepTest, AnsweringNoToALongPathLeavesThreeEmptyBlocks) {
  const auto handle = AddPath({{{0, 0, 0}, {1000.5, 0, 0}}});
  picker.PickHandle(handle);
  host.questionAnswer = MessageAnswer::No;
  const int regens = application().RegenCount();
  EXPECT_EQ(Run(Inputs(1)), RunOutcome::Ended);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Long Vehicle Path");
  EXPECT_EQ(drawing().Blocks().size(), 3u);
  for (const auto& block : drawing().Blocks()) EXPECT_TRUE(block->Entities().empty());
  EXPECT_TRUE(Inserted(drawing()).empty());
  EXPECT_EQ(application().RegenCount(), regens + 1);
  EXPECT_FALSE(host.minimised);
}

TEST_F(ExecuteSweepTest, StraightRunCompletesAndInsertsBlocksInOrder) {
  const auto handle = AddPath({{{0, 0, 0}, {100, 0, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(2);
  inputs.plotSweep = true;
  EXPECT_EQ(Run(inputs), RunOutcome::Completed);
  EXPECT_TRUE(host.messages.empty());
  const std::vector<std::string> expected{result.blocks.sweep, result.blocks.envelope,
                                          result.blocks.vehicle};
  EXPECT_EQ(Inserted(drawing()), expected);
  EXPECT_EQ(result.insertedBlocks, expected);
  EXPECT_EQ(host.diagramsDrawn, 1);
  // Block names: the random number in front of the twelve-digit stamp.
  EXPECT_EQ(result.blocks.vehicle, "499261208140509");
  EXPECT_EQ(result.blocks.sweep, "1998261208140509");
  EXPECT_EQ(result.blocks.envelope, "4000261208140509");
  EXPECT_GT(EntityCount(drawing(), result.blocks.vehicle), 0u);
  EXPECT_EQ(EntityCount(drawing(), result.blocks.envelope), 2u);
  EXPECT_EQ(host.status.back(),
            "Truck Max Turning Angle: 0  Max Segment Angle: 0  Lowest speed along path:  Over 30 km/h");
  EXPECT_EQ(state.stations.size(), 500u);  // 0.2 added 500 times passes 100
  for (const auto& row : state.speedTrack) EXPECT_EQ(row.Value, 30.0);
}

TEST_F(ExecuteSweepTest, TightTurnStopsAtALimitWithoutEnvelope) {
  // A U-turn of radius 4 m: too tight for the default semitrailer.
  const auto handle = AddPath({{{-40, 0, 0}, {0, 0, 1}, {0, 8, 0}, {-40, 8, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(2);
  inputs.plotVehicle = false;
  inputs.txt_Speed = "1";  // slow enough that the steering rate is no limit
  const RunOutcome outcome = Run(inputs);
  ASSERT_TRUE(outcome == RunOutcome::FrontWheel || outcome == RunOutcome::Articulation);
  ASSERT_FALSE(host.messages.empty());
  const auto& report = host.messages.back();
  EXPECT_EQ(report.kind, MessageKind::Error);
  EXPECT_TRUE(report.title == "Exceeded Front Wheel Angle!" || report.title == "Exceeded Segment Angle!");
  // The stopped vehicle is always drawn; the envelope never after such a stop.
  EXPECT_EQ(Inserted(drawing()), std::vector<std::string>{result.blocks.vehicle});
  EXPECT_EQ(EntityCount(drawing(), result.blocks.envelope), 0u);
  EXPECT_GT(EntityCount(drawing(), result.blocks.vehicle), 0u);
}

TEST_F(ExecuteSweepTest, ReverseRunsFromTheEnd) {
  const auto handle = AddPath({{{0, 0, 0}, {30, 0, 0}}});
  picker.PickHandle(handle);
  auto inputs = Inputs(7);
  inputs.reverse = true;
  EXPECT_EQ(Run(inputs), RunOutcome::Completed);
  ASSERT_FALSE(state.stationTrack.empty());
  EXPECT_NEAR(state.stationTrack.front().X, 30, 1e-9);
  EXPECT_NEAR(state.stationTrack.back().X, 0, 1e-9);
  EXPECT_EQ(state.stationTrack.back().Distance, (state.stationTrack.size() - 1) * state.calculationStep);
}

}  // namespace
}  // namespace veerline::testing

namespace veerline::testing {
namespace {

// Colour settings whose envelope colour is not a number.
class BadEnvelopeColour : public cad::ColourSettings {
 public:
  std::string Read(const std::string& key, const std::string& defaultValue) override {
    return key == "EnvelopeLeftColor" ? "green" : defaultValue;
  }
};

TEST_F(RunFixture, FailedEnvelopeDrawingStillInsertsItsBlockAndGoesOn) {
  picker.PickHandle(AddPath({{{0, 0, 0}, {60, 0, 0}}}));
  BadEnvelopeColour badColours;
  cad::CadConnection connection(attacher);
  RunContext context{host, connection, badColours, state};
  result = ExecuteButton(Inputs(1), context);
  EXPECT_EQ(result.outcome, RunOutcome::Completed);
  EXPECT_TRUE(host.messages.empty());  // passed over without a message
  const std::vector<std::string> expected{result.blocks.envelope, result.blocks.vehicle};
  EXPECT_EQ(result.insertedBlocks, expected);
  EXPECT_EQ(drawing().FindBlock(result.blocks.envelope)->Entities().size(), 0u);
  EXPECT_EQ(host.status.back().rfind("Truck Max Turning Angle ", 0), 0u);
}

// Colour settings that run out of memory where the given colour is read.
class OutOfMemoryAt : public cad::ColourSettings {
 public:
  explicit OutOfMemoryAt(std::string key) : mKey(std::move(key)) {}
  std::string Read(const std::string& key, const std::string& defaultValue) override {
    if (key == mKey) throw std::bad_alloc();
    return defaultValue;
  }

 private:
  std::string mKey;
};

TEST_F(RunFixture, MemoryRunningOutInTheEnvelopeIsReportedNotPassedOver) {
  picker.PickHandle(AddPath({{{0, 0, 0}, {60, 0, 0}}}));
  cad::CadConnection connection(attacher);
  OutOfMemoryAt envelope("EnvelopeLeftColor");
  RunContext envelopeContext{host, connection, envelope, state};
  result = ExecuteButton(Inputs(1), envelopeContext);
  EXPECT_TRUE(result.outOfMemory);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Out of memory: the envelope was not drawn");
  EXPECT_EQ(result.insertedBlocks, std::vector<std::string>{result.blocks.vehicle});
  EXPECT_TRUE(state.envelopeLeft.empty());
}

}  // namespace
}  // namespace veerline::testing
