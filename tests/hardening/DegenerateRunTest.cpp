// Whole runs on degenerate paths and vehicles: each must end in a clear
// outcome (completed, stopped at a limit, or ended with a message) and leave
// only finite numbers, never a fallback point at the origin.

#include <cmath>
#include <string>
#include <vector>

#include "../run/RunFixture.h"
#include "fuzz/FuzzEntries.h"

namespace veerline::testing {
namespace {

class DegenerateRunTest : public RunFixture {
 protected:
  // Runs the inputs on a path and checks what any run must leave behind.
  RunOutcome RunOn(const std::vector<std::array<double, 3>>& points, const RunInputs& inputs) {
    picker.PickHandle(AddPath(points));
    host.questionAnswer = MessageAnswer::No;
    const RunOutcome outcome = Run(inputs);
    EXPECT_EQ(fuzz::CheckRunState(state), "");
    if (outcome == RunOutcome::Ended) {
      EXPECT_FALSE(host.messages.empty()) << "ended without a word";
    }
    EXPECT_NE(outcome, RunOutcome::Cancelled);
    return outcome;
  }

  // Slow enough that the steering rate is no limit: the geometry gets driven.
  static RunInputs WithField(int type, Dimension d, const std::string& text) {
    RunInputs inputs = Inputs(type);
    inputs.txt_Speed = "1";
    inputs.vehicle[d] = text;
    return inputs;
  }

  // A 90-degree bend of radius 15 between two straights, well away from the origin.
  static std::vector<std::array<double, 3>> Bend() {
    const double t = std::tan(std::atan(1.0) / 2);  // bulge of a quarter circle
    return {{{1000, 1000, 0}, {1030, 1000, t}, {1045, 1015, 0}, {1045, 1045, 0}}};
  }
};

TEST_F(DegenerateRunTest, PathOfOneRepeatedPointEndsSilently) {
  picker.PickHandle(AddPath({{{1000, 1000, 0}, {1000, 1000, 0}, {1000, 1000, 0}}}));
  EXPECT_EQ(Run(Inputs(2)), RunOutcome::Ended);
  EXPECT_EQ(fuzz::CheckRunState(state), "");
  EXPECT_EQ(state.pathLength, 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DegenerateRunTest, OneVertexPolylineEndsSilently) {
  picker.PickHandle(AddPath({{{1000, 1000, 0}}}));
  EXPECT_EQ(Run(Inputs(2)), RunOutcome::Ended);
  EXPECT_EQ(fuzz::CheckRunState(state), "");
}

TEST_F(DegenerateRunTest, RepeatedVerticesAreRunThrough) {
  EXPECT_EQ(RunOn({{{1000, 1000, 0},
                    {1000, 1000, 0},
                    {1020, 1000, 0},
                    {1020, 1000, 0},
                    {1040, 1000, 0},
                    {1040, 1000, 0}}},
                  Inputs(2)),
            RunOutcome::Completed);
  EXPECT_NEAR(state.pathLength, 40, 1e-9);
}

TEST_F(DegenerateRunTest, TwoVertexPathCompletes) {
  EXPECT_EQ(RunOn({{{1000, 1000, 0}, {1050, 1000, 0}}}, Inputs(10)), RunOutcome::Completed);
}

TEST_F(DegenerateRunTest, PathExactlyOneStepLong) {
  const RunOutcome outcome = RunOn({{{1000, 1000, 0}, {1000.2, 1000, 0}}}, Inputs(2));
  EXPECT_TRUE(outcome == RunOutcome::Completed || outcome == RunOutcome::Ended);
  EXPECT_LE(state.stations.size(), 2u);
}

TEST_F(DegenerateRunTest, NearlyStraightAndNearlyFullCircleBulges) {
  for (const double bulge : {1e-12, -1e-12, 1e6, -1e6}) {
    SCOPED_TRACE(bulge);
    state.Reset();
    host.messages.clear();
    RunOn({{{1000, 1000, 0}, {1030, 1000, bulge}, {1030.5, 1000, 0}, {1060, 1000, 0}}}, Inputs(2));
  }
}

TEST_F(DegenerateRunTest, CoordinatesNearOneBillion) {
  const RunOutcome outcome =
      RunOn({{{1e9, 1e9, 0}, {1e9 + 30, 1e9, 0.4}, {1e9 + 40, 1e9 + 20, 0}}}, Inputs(2));
  EXPECT_NE(outcome, RunOutcome::Ended);
}

// Zero, negative and enormous lengths and widths, on every field kind.
TEST_F(DegenerateRunTest, ZeroNegativeAndEnormousDimensions) {
  const std::vector<Dimension> fields{
      Dimension::Wheelbase, Dimension::Wheelbase2, Dimension::Front,        Dimension::Back,
      Dimension::Back2,     Dimension::Hitch,      Dimension::VehicleWidth, Dimension::WheelWidth2};
  for (const Dimension d : fields) {
    for (const char* text : {"0", "-1", "1000000"}) {
      SCOPED_TRACE(std::string(DimensionFieldName(d)) + " = " + text);
      attacher.Open(std::make_unique<cad::DrawingModel>());
      application().SetPicker(&picker);
      host.messages.clear();
      RunOn(Bend(), WithField(2, d, text));
    }
  }
}

TEST_F(DegenerateRunTest, ZeroLengthTowBar) { RunOn(Bend(), WithField(3, Dimension::Hitch2, "0")); }

TEST_F(DegenerateRunTest, TurningAngleLimitsOfZeroAndNinety) {
  for (const char* text : {"0", "90"}) {
    SCOPED_TRACE(text);
    attacher.Open(std::make_unique<cad::DrawingModel>());
    application().SetPicker(&picker);
    host.messages.clear();
    const RunOutcome outcome = RunOn(Bend(), WithField(2, Dimension::MaxTurningAngle, text));
    // No steering range at all: the vehicle stops at the first bend.
    if (std::string(text) == "0") {
      EXPECT_NE(outcome, RunOutcome::Completed);
      EXPECT_NE(outcome, RunOutcome::Ended);
    }
  }
}

TEST_F(DegenerateRunTest, LockToLockTimeNearZero) {
  EXPECT_EQ(RunOn(Bend(), WithField(2, Dimension::LockToLockTime, "0.000000001")),
            RunOutcome::Completed);
}

// Every type, both directions, on a 180-degree turn of radius 6: with the
// default limits (a limit stop) and with limits wide enough to go round.
TEST_F(DegenerateRunTest, EveryTypeOnATightUTurn) {
  for (int type = 1; type <= 13; ++type) {
    for (const bool reverse : {false, true}) {
      for (const bool wideLimits : {false, true}) {
        SCOPED_TRACE("type " + std::to_string(type) + (reverse ? " reversed" : "") +
                     (wideLimits ? " wide limits" : ""));
        attacher.Open(std::make_unique<cad::DrawingModel>());
        application().SetPicker(&picker);
        host.messages.clear();
        RunInputs inputs = Inputs(type);
        inputs.reverse = reverse;
        inputs.txt_Speed = "1";
        inputs.plotSweep = true;
        if (wideLimits) {
          inputs.vehicle[Dimension::MaxTurningAngle] = "89";
          inputs.vehicle[Dimension::MaxSegmentAngle] = "179";
        }
        const RunOutcome outcome =
            RunOn({{{1000, 1000, 0}, {1040, 1000, 1}, {1040, 1012, 0}, {1000, 1012, 0}}}, inputs);
        if (!wideLimits) {
          EXPECT_EQ(outcome, RunOutcome::FrontWheel);
        }
      }
    }
  }
}

}  // namespace
}  // namespace veerline::testing
