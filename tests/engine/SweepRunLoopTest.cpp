#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "engine/Numerics.h"
#include "engine/PathPreparation.h"
#include "engine/Rounding.h"
#include "engine/SweepRun.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

using sweeptest::RecordingDrawing;
using sweeptest::RecordingHost;

// A run of a default vehicle of the type over a path, in metres, step 0.2.
struct LoopRun {
  explicit LoopRun(int type, NumberSymbols symbols = NumberSymbols::PointDecimal())
      : host(symbols) {
    state.segments = BuildSegments(type, VehicleRecord::Defaults());
    options.vehicleType = type;
  }
  void Prepare(PathPolyline path) {
    double length = 0;
    PreparePathStations(path, options.calculationStep, length, state, host);
    state.pathLength = length;
  }
  LoopEnd Go() { return RunStationLoop(state, options, plotVehicle, drawing, host); }

  RunState state;
  SweepOptions options;
  bool plotVehicle = false;
  RecordingHost host;
  RecordingDrawing drawing;
};

PathPolyline Line(double length) {
  PathPolyline path;
  path.vertices = {{0, 0, 0, 0}, {length, 0, 0, 0}};
  return path;
}

// A straight lead-in along +X, then a left turn of the given radius through the angle.
PathPolyline LeadInAndTurn(double leadIn, double radius, double turnRad) {
  PathPolyline path;
  const double endX = leadIn + radius * std::sin(turnRad);
  const double endY = radius * (1 - std::cos(turnRad));
  path.vertices = {{0, 0, 0, 0}, {leadIn, 0, std::tan(turnRad / 4), 0}, {endX, endY, 0, 0}};
  return path;
}

// Laps round a circle of the given radius about (radius, 0), as two arcs per lap.
PathPolyline Laps(double radius, int laps) {
  PathPolyline path;
  for (int i = 0; i < 2 * laps; ++i) path.vertices.push_back({i % 2 ? 2 * radius : 0, 0, 1, 0});
  path.vertices.push_back({0, 0, 0, 0});
  return path;
}

TEST(RunStationLoop, StraightPathHasNoSteeringFullSpeedAndNoLimit) {
  LoopRun run(2);
  run.options.speedMetresPerSecond = 10 / 3.6;
  run.options.lockToLockSeconds = 8;
  run.Prepare(Line(50));
  const std::size_t n = run.state.stations.size();
  ASSERT_EQ(run.Go(), LoopEnd::Completed);

  ASSERT_EQ(run.state.stationTrack.size(), n);
  ASSERT_EQ(run.state.steeringTrack.size(), n);
  ASSERT_EQ(run.state.speedTrack.size(), n);
  EXPECT_EQ(run.state.articulationTrack1.size(), n - 1);
  EXPECT_TRUE(run.state.articulationTrack2.empty());
  for (std::size_t i = 0; i < n; ++i) {
    EXPECT_DOUBLE_EQ(run.state.stationTrack[i].Distance, i * 0.2);
    ASSERT_TRUE(run.state.steeringTrack[i].Value);
    EXPECT_NEAR(*run.state.steeringTrack[i].Value, 0, 1e-6) << i;
    EXPECT_EQ(run.state.speedTrack[i].Value, 30) << i;
  }
  EXPECT_FALSE(run.state.outcome.TurnExceeded);
  EXPECT_FALSE(run.state.outcome.SegmentExceeded);
  EXPECT_EQ(run.state.stopKind, StopKind::None);
  EXPECT_NEAR(run.state.maxSteeringAngle, 0, 1e-6);
  EXPECT_NEAR(run.state.maxArticulationAngle, 0, 1e-6);
  EXPECT_FALSE(run.plotVehicle);
  EXPECT_TRUE(run.drawing.outlines.empty());
  EXPECT_TRUE(run.host.messages.empty());
  EXPECT_EQ(run.host.status.back(), "Calculating Sweep 50 (50)");
}

TEST(RunStationLoop, RearAxleSettlesOnTheTrackingRadiusOfACircle) {
  LoopRun run(1);
  run.plotVehicle = true;  // outlines at every station carry the rear axle
  run.Prepare(Laps(30, 3));
  ASSERT_EQ(run.Go(), LoopEnd::Completed);
  const double wheelbase = run.state.segments[0].Wheelbase;
  const double expected = std::sqrt(30.0 * 30.0 - std::pow(1.02 * wheelbase, 2));
  ASSERT_GT(run.drawing.outlines.size(), 500u);
  // The rear axle steers towards the front point of one step earlier, which
  // widens the settled radius by about a tenth of a step.
  const double settled = Distance2D(run.drawing.outlines.back().corners[1], {30, 0});
  EXPECT_NEAR(settled, expected, 0.025);
  EXPECT_GT(settled, expected);
  for (std::size_t i = run.drawing.outlines.size() - 200; i < run.drawing.outlines.size(); ++i) {
    const SegmentCorners& c = run.drawing.outlines[i].corners;
    EXPECT_NEAR(Distance2D(c[1], {30, 0}), settled, 1e-6) << i;
    EXPECT_NEAR(Distance2D(c[0], c[1]), 1.02 * wheelbase, 1e-9) << i;
  }
}

TEST(RunStationLoop, TightTurnStopsAtTheFirstStationOverTheFrontWheelLimit) {
  LoopRun run(1);
  run.Prepare(LeadInAndTurn(20, 6, PiValue() / 2));
  ASSERT_EQ(run.Go(), LoopEnd::LimitStop);
  const LimitOutcome& outcome = run.state.outcome;
  ASSERT_TRUE(outcome.TurnExceeded);
  EXPECT_FALSE(outcome.SegmentExceeded);
  EXPECT_EQ(run.state.stopKind, StopKind::FrontWheel);

  const Track& steering = run.state.steeringTrack;
  const std::size_t stop = steering.size() - 1;
  EXPECT_DOUBLE_EQ(outcome.TurnExceededStation, stop * 0.2);
  EXPECT_GT(outcome.TurnExceededAngle, 40);
  EXPECT_EQ(outcome.TurnExceededAngle, run.state.maxSteeringAngle);
  EXPECT_GT(std::fabs(*steering[stop].Value), 100);
  for (std::size_t i = 0; i < stop; ++i) EXPECT_LE(std::fabs(*steering[i].Value), 100) << i;
  EXPECT_GT(outcome.TurnExceededStation, 20);

  // The stopped vehicle is drawn once, though outlines were not asked for.
  EXPECT_TRUE(run.plotVehicle);
  EXPECT_EQ(run.drawing.outlines.size(), 1u);
  EXPECT_EQ(run.drawing.outlines[0].layer, "Turn_Vehicle");
  EXPECT_EQ(run.state.outlineStations, std::vector<int>{static_cast<int>(stop)});
}

TEST(RunStationLoop, ArticulationLimitStopsAndMarksTheCoupling) {
  LoopRun run(2);
  run.state.segments[1].MaxSegmentAngle = 5;
  run.Prepare(LeadInAndTurn(20, 20, PiValue() / 2));
  ASSERT_EQ(run.Go(), LoopEnd::LimitStop);
  const LimitOutcome& outcome = run.state.outcome;
  ASSERT_TRUE(outcome.SegmentExceeded);
  EXPECT_FALSE(outcome.TurnExceeded);
  EXPECT_EQ(run.state.stopKind, StopKind::Articulation);
  EXPECT_GT(outcome.SegmentExceededAngle, 5);  // a left turn: positive
  EXPECT_EQ(outcome.SegmentExceededAngle, run.state.maxArticulationAngle);
  const Track& track = run.state.articulationTrack1;
  EXPECT_DOUBLE_EQ(outcome.SegmentExceededStation, track.back().Distance);
  EXPECT_NEAR(*track.back().Value, outcome.SegmentExceededAngle / 5 * 100, 1e-9);

  // Tractor at this station first, then the trailer at the station before.
  ASSERT_EQ(run.drawing.outlines.size(), 2u);
  EXPECT_EQ(run.drawing.outlines[0].wheelbase, 5.6);
  EXPECT_EQ(run.drawing.outlines[1].wheelbase, 9.3);
  ASSERT_EQ(run.drawing.marks.size(), 1u);
  const RecordingDrawing::Mark& mark = run.drawing.marks[0];
  EXPECT_EQ(mark.layer, "Draftkit_ErrNotes");
  EXPECT_EQ(mark.angle, outcome.SegmentExceededAngle);
  EXPECT_EQ(mark.a, run.drawing.outlines[0].corners[0]);
  EXPECT_EQ(mark.v, run.drawing.outlines[0].corners[6]);
}

TEST(RunStationLoop, LockToLockStopReportsTheStation) {
  LoopRun run(1, NumberSymbols::CommaDecimal());
  run.options.speedMetresPerSecond = 30 / 3.6;
  run.options.lockToLockSeconds = 8;
  run.Prepare(LeadInAndTurn(10, 15, PiValue() / 2));
  ASSERT_EQ(run.Go(), LoopEnd::LimitStop);
  EXPECT_EQ(run.state.stopKind, StopKind::LockToLock);
  EXPECT_FALSE(run.state.outcome.TurnExceeded);
  EXPECT_FALSE(run.state.outcome.SegmentExceeded);
  const double station = run.state.steeringTrack.back().Distance;
  ASSERT_TRUE(run.state.lockToLockStation);
  EXPECT_EQ(*run.state.lockToLockStation, station);
  ASSERT_EQ(run.host.messages.size(), 1u);
  EXPECT_EQ(run.host.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(run.host.messages[0].title, "Decrease speed");
  EXPECT_EQ(run.host.messages[0].text,
            "Lock to Lock exceeded at station " +
                FormatFieldNumber(RoundHalfEven(station, 1), NumberSymbols::CommaDecimal()));
  EXPECT_NE(run.host.messages[0].text.find(','), std::string::npos);
  EXPECT_TRUE(run.plotVehicle);
  EXPECT_EQ(run.drawing.outlines.size(), 1u);
  EXPECT_LT(run.state.lowestSpeed, 30);
}

TEST(RunStationLoop, ZeroSpeedNeverStopsOnLockToLockButFillsTheSpeedTrack) {
  LoopRun run(1);
  run.options.speedMetresPerSecond = 0;
  run.options.lockToLockSeconds = 8;
  run.Prepare(LeadInAndTurn(10, 15, PiValue() / 2));
  ASSERT_EQ(run.Go(), LoopEnd::Completed);
  EXPECT_EQ(run.state.stopKind, StopKind::None);
  EXPECT_LT(run.state.lowestSpeed, 30);
  EXPECT_EQ(run.state.speedTrack.size(), run.state.stations.size());
  // The first station shows no steering: the vehicle starts in line with the path.
  EXPECT_NEAR(*run.state.steeringTrack[0].Value, 0, 1e-6);
}

TEST(RunStationLoop, ArticulationTracksByVehicleType) {
  struct Row {
    int type;
    std::size_t tracks;
  };
  for (const Row row : {Row{3, 1}, Row{10, 3}, Row{9, 2}, Row{1, 0}}) {
    LoopRun run(row.type);
    run.Prepare(LeadInAndTurn(10, 40, PiValue() / 4));
    ASSERT_EQ(run.Go(), LoopEnd::Completed) << row.type;
    const std::size_t n = run.state.stations.size();
    const Track* tracks[] = {&run.state.articulationTrack1, &run.state.articulationTrack2,
                             &run.state.articulationTrack3};
    for (std::size_t t = 0; t < 3; ++t) {
      EXPECT_EQ(tracks[t]->size(), t < row.tracks ? n - 1 : 0) << row.type << " track " << t;
    }
    if (row.tracks > 0) {
      EXPECT_DOUBLE_EQ(run.state.articulationTrack1.front().Distance, 0.2);
      EXPECT_GT(run.state.maxArticulationAngle, 1) << row.type;
    }
  }
}

TEST(RunStationLoop, StopRequestedEndsAtTheNextSegmentStep) {
  LoopRun run(2);
  run.host.stopFlag = &run.state.stopRequested;
  run.host.stopAfterCalls = 5;  // station 2, segment 0
  run.Prepare(Line(10));
  EXPECT_EQ(run.Go(), LoopEnd::StopRequested);
  EXPECT_EQ(run.state.stationTrack.size(), 3u);
  EXPECT_EQ(run.state.steeringTrack.size(), 2u);
}

TEST(RunStationLoop, OnlyFirstAndLastDrawsTwoStations) {
  LoopRun run(2);
  run.plotVehicle = true;
  run.Prepare(Line(30));
  double spacing = 0;
  run.options.plotInterval = PlotIntervalFor(run.state.pathLength, 21.05, spacing, true, 0.2);
  ASSERT_EQ(run.Go(), LoopEnd::Completed);
  const int last = static_cast<int>(run.state.stations.size()) - 1;
  ASSERT_EQ(run.state.outlineStations.size(), 2u);
  EXPECT_EQ(run.state.outlineStations[0], 0);
  EXPECT_GE(run.state.outlineStations[1], last - 1);
  EXPECT_EQ(run.drawing.outlines.size(), 4u);
}

TEST(RunStationLoop, ReversedWholeStepPathStartsWithAParkedVehicleNotAPoint) {
  LoopRun run(1);
  run.options.calculationStep = 1;
  run.plotVehicle = true;
  run.Prepare(Line(20));
  ReversePathStations(run.state.stations);
  ASSERT_EQ(run.state.stations[0].StationPoint, run.state.stations[1].StationPoint);
  ASSERT_EQ(run.Go(), LoopEnd::Completed);
  const SegmentCorners& first = run.drawing.outlines.front().corners;
  EXPECT_NEAR(first[1].X - first[0].X, 1.02 * 5.6, 1e-9);
  EXPECT_NEAR(first[1].Y, 0, 1e-9);
  for (const TrackRow& row : run.state.steeringTrack) EXPECT_NEAR(*row.Value, 0, 1e-6);
  EXPECT_DOUBLE_EQ(run.state.stationTrack.back().Distance, 20);
}

TEST(RunStationLoop, OneAndTwoStationPathsRun) {
  LoopRun single(2);
  single.state.stations = {{0, {3, 4}}};
  EXPECT_EQ(single.Go(), LoopEnd::Completed);
  EXPECT_EQ(single.state.stationTrack.size(), 1u);
  EXPECT_EQ(single.state.steeringTrack.size(), 1u);
  EXPECT_TRUE(single.state.articulationTrack1.empty());

  LoopRun two(2);
  two.state.stations = {{0, {0, 0}}, {0.2, {0.2, 0}}};
  EXPECT_EQ(two.Go(), LoopEnd::Completed);
  ASSERT_EQ(two.state.steeringTrack.size(), 2u);
  EXPECT_NEAR(*two.state.steeringTrack[1].Value, 0, 1e-6);
  EXPECT_EQ(two.state.articulationTrack1.size(), 1u);
  EXPECT_TRUE(two.host.messages.empty());
}

TEST(RunStationLoop, NonFiniteInputIsRefusedWithAMessage) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (int which = 0; which < 4; ++which) {
    LoopRun run(2);
    run.Prepare(Line(10));
    if (which == 0) run.state.segments[1].Wheelbase = nan;
    if (which == 1) run.state.segments[0].MaxTurningAngle = inf;
    if (which == 2) run.options.speedMetresPerSecond = nan;
    if (which == 3) run.state.stations[3].StationPoint.Y = inf;
    EXPECT_EQ(run.Go(), LoopEnd::Refused) << which;
    ASSERT_EQ(run.host.messages.size(), 1u) << which;
    EXPECT_EQ(run.host.messages[0].title, "Veichle Turning Simulation");
    EXPECT_TRUE(run.state.stationTrack.empty());
    EXPECT_TRUE(run.state.steeringTrack.empty());
  }
}

TEST(RunStationLoop, EmptyPathOrVehicleRunsNothing) {
  LoopRun noPath(2);
  EXPECT_EQ(noPath.Go(), LoopEnd::Completed);
  EXPECT_TRUE(noPath.state.stationTrack.empty());
  LoopRun noVehicle(99);
  noVehicle.Prepare(Line(2));
  EXPECT_EQ(noVehicle.Go(), LoopEnd::Completed);
  EXPECT_TRUE(noVehicle.state.stationTrack.empty());
}

// A drawing whose every call fails, as a lost CAD connection would.
class FailingDrawing : public SweepDrawing {
 public:
  void PlotSegment(const SegmentCorners&, const std::string&, const SegmentRecord&, int,
                   double) override {
    throw std::runtime_error("Automation error");
  }
  void PlotSegmentAngleMark(const Point2D&, const Point2D&, const Point2D&, double,
                            const std::string&, double) override {
    throw std::runtime_error("Automation error");
  }
};

TEST(RunStationLoop, FailingOutlineDrawingIsPassedOver) {
  LoopRun run(2);
  run.plotVehicle = true;
  run.Prepare(Line(10));
  FailingDrawing drawing;
  EXPECT_EQ(RunStationLoop(run.state, run.options, run.plotVehicle, drawing, run.host),
            LoopEnd::Completed);
  EXPECT_EQ(run.state.stationTrack.size(), run.state.stations.size());
}

}  // namespace
}  // namespace veerline
