#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

#include "GeometryTestHost.h"
#include "engine/BodyGeometry.h"
#include "engine/Envelope.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

TEST(SortRows, PivotRowIsTheMiddleWithHalvesToEven) {
  EXPECT_EQ(SortPivotRow(0, 5), 2);
  EXPECT_EQ(SortPivotRow(0, 7), 4);
  EXPECT_EQ(SortPivotRow(1, 4), 2);
  EXPECT_EQ(SortPivotRow(3, 3), 3);
  // The same as rounding the middle half to even, negative sums included.
  for (int lo = -9; lo <= 9; ++lo) {
    for (int hi = lo; hi <= 12; ++hi) {
      EXPECT_EQ(SortPivotRow(lo, hi), static_cast<int>(RoundHalfEven((lo + hi) / 2.0)))
          << lo << " " << hi;
    }
  }
}

TEST(SortRows, SortsWholeRowsByStationBothWays) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> station(0, 40);
  SegmentLines table;
  for (int k = 0; k < 500; ++k) {
    const double s = station(gen) * 0.2;
    table.push_back({s * 10, s * 20, s * 30, s * 40, s});
  }
  SortRows(table, 0, static_cast<int>(table.size()) - 1);
  for (std::size_t k = 1; k < table.size(); ++k) EXPECT_LE(table[k - 1].Station, table[k].Station);
  for (const SegmentLine& row : table) {
    EXPECT_EQ(row.X1, row.Station * 10);
    EXPECT_EQ(row.Y2, row.Station * 40);
  }
  SortRows(table, 0, static_cast<int>(table.size()) - 1, false);
  for (std::size_t k = 1; k < table.size(); ++k) EXPECT_GE(table[k - 1].Station, table[k].Station);
}

// The classic in-place quicksort, whole rows swapped: the order of rows with
// equal stations that the envelope's results rest on.
void ClassicSortRows(SegmentLines& table, int lo, int hi) {
  const double pivot = table[SortPivotRow(lo, hi)].Station;
  int i = lo, j = hi;
  do {
    while (table[i].Station < pivot) ++i;
    while (pivot < table[j].Station) --j;
    if (i <= j) std::swap(table[i++], table[j--]);
  } while (i <= j);
  if (lo < j) ClassicSortRows(table, lo, j);
  if (i < hi) ClassicSortRows(table, i, hi);
}

TEST(SortRows, LongRangesKeepTheClassicOrderOfEqualStations) {
  // Five lines a station, in station order with a few out of place, as the
  // station loop leaves them; X1 tells the rows apart.
  std::mt19937 gen(11);
  SegmentLines table;
  for (int k = 0; k < 3000; ++k) {
    const double s = (k / 5 + (gen() % 50 == 0 ? 7 : 0)) * 0.2;
    table.push_back({static_cast<double>(k), 0, 0, 0, s});
  }
  for (const auto& [lo, hi] : {std::pair{0, 2999}, std::pair{3, 2000}, std::pair{1000, 1070}}) {
    SegmentLines sorted = table, classic = table;
    SortRows(sorted, lo, hi);
    ClassicSortRows(classic, lo, hi);
    for (std::size_t k = 0; k < table.size(); ++k) ASSERT_EQ(sorted[k].X1, classic[k].X1) << k;
  }
}

TEST(SortRows, LeavesRowsOutsideTheRangeAlone) {
  SegmentLines table{
      {0, 0, 0, 0, 9}, {1, 0, 0, 0, 3}, {2, 0, 0, 0, 1}, {3, 0, 0, 0, 2}, {4, 0, 0, 0, 0}};
  SortRows(table, 1, 3);
  EXPECT_EQ(table[0].Station, 9);
  EXPECT_EQ(table[1].Station, 1);
  EXPECT_EQ(table[2].Station, 2);
  EXPECT_EQ(table[3].Station, 3);
  EXPECT_EQ(table[4].Station, 0);
  EXPECT_EQ(table[1].X1, 2);
}

// A rigid truck driven along +X station by station, as the run records it.
RunState StraightRun(int stations, double width) {
  RunState state;
  GeometryTestHost host;
  SegmentRecord truck;
  truck.Kind = SegmentKind::TowingUnit;
  truck.WheelWidth = width - 0.1;
  truck.VehicleWidth = width;
  truck.Front = 1.5;
  truck.Wheelbase = 6;
  truck.Back = 2;
  state.segments = {truck};
  state.vehicleLength = 9.5;
  for (int i = 0; i < stations; ++i) {
    const double s = i * 0.2;
    state.stationTrack.push_back({s, 0, s});
    CalcSegmentCorners({s, 0}, {s - 6, 0}, truck, 0, 0, 0, s, 1, 1, state, host);
  }
  return state;
}

TEST(ComputeEnvelope, StraightPathLiesAtHalfTheBodyWidth) {
  RunState state = StraightRun(30, 2.5);
  // Lines arrive shuffled; the routine sorts them by station first.
  std::reverse(state.segmentLinesLeft.begin(), state.segmentLinesLeft.end());
  GeometryTestHost host;
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  ASSERT_EQ(traces.rightHand.size(), 29u);
  ASSERT_EQ(traces.leftHand.size(), 29u);
  for (int i = 0; i < 29; ++i) {
    EXPECT_NEAR(traces.rightHand[i].X, i * 0.2, 1e-9);
    EXPECT_NEAR(traces.rightHand[i].Y, -1.25, 1e-9);
    EXPECT_NEAR(traces.leftHand[i].X, i * 0.2, 1e-9);
    EXPECT_NEAR(traces.leftHand[i].Y, 1.25, 1e-9);
  }
  for (std::size_t k = 1; k < state.segmentLinesLeft.size(); ++k) {
    EXPECT_LE(state.segmentLinesLeft[k - 1].Station, state.segmentLinesLeft[k].Station);
  }
}

TEST(ComputeEnvelope, StatusTextsAndProgressInOrder) {
  RunState state = StraightRun(4, 2.5);
  GeometryTestHost host;
  ComputeEnvelope(state, host);
  const std::vector<std::string> expected{
      "status:Sorting...", "progress:show",    "progress:max=4",  "status:Evaluating Envelope...",
      "progress:value=0",  "progress:value=1", "progress:value=2"};
  EXPECT_EQ(host.events, expected);
}

TEST(ComputeEnvelope, TwoStationsGiveAtMostOnePointPerSide) {
  RunState state = StraightRun(2, 2.5);
  GeometryTestHost host;
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  EXPECT_EQ(traces.rightHand.size(), 1u);
  EXPECT_EQ(traces.leftHand.size(), 1u);
}

// A hand-made run: three stations along +X and side lines crossing the probes.
RunState ProbeFixture() {
  RunState state;
  SegmentRecord body;
  body.VehicleWidth = 2;
  state.segments = {body};
  state.vehicleLength = 4;  // look-ahead 5, probe length about 2.24
  state.stationTrack = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}};
  return state;
}

TEST(ComputeEnvelope, LinesBeyondTheLookAheadAreIgnored) {
  RunState state = ProbeFixture();
  state.segmentLinesRight = {{-1, -1.5, 5, -1.5, 5.5}, {-1, -1, 5, -1, 5}, {0, 0, 0, 0, 99}};
  GeometryTestHost host;
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  // Station 0 only reaches the line at -1 (station 5 <= 0 + 5); station 1 both.
  ASSERT_EQ(traces.rightHand.size(), 2u);
  EXPECT_NEAR(traces.rightHand[0].Y, -1, 1e-12);
  EXPECT_NEAR(traces.rightHand[1].Y, -1.5, 1e-12);
  EXPECT_TRUE(traces.leftHand.empty());
}

TEST(ComputeEnvelope, LastRowOfASideTableTakesNoPart) {
  RunState state = ProbeFixture();
  state.segmentLinesLeft = {{-1, 1, 5, 1, 0}};
  GeometryTestHost host;
  EXPECT_TRUE(ComputeEnvelope(state, host).leftHand.empty());
}

TEST(ComputeEnvelope, HitsLongerThanTheProbeAreOutOfReach) {
  RunState state = ProbeFixture();
  state.segmentLinesLeft = {{-1, 3, 5, 3, 0}, {-1, 1.8, 5, 1.8, 0}, {0, 0, 0, 0, 9}};
  GeometryTestHost host;
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  ASSERT_EQ(traces.leftHand.size(), 2u);
  EXPECT_NEAR(traces.leftHand[0].Y, 1.8, 1e-12);
}

TEST(ComputeEnvelope, AHitOnlyAtTheProbeStartAddsNoPoint) {
  RunState state = ProbeFixture();
  // A line through the first station's centre, and one reaching the second station only.
  state.segmentLinesLeft = {{0, -1, 0, 1, 0}, {0.5, 1.5, 1.5, 1.5, 0}, {0, 0, 0, 0, 9}};
  state.segmentLinesRight = {{0, -1, 0, 1, 0}, {0.5, -0.5, 1.5, -0.5, 0}, {0, 0, 0, 0, 9}};
  GeometryTestHost host;
  const EnvelopeTraces traces = ComputeEnvelope(state, host);
  // Neither side borrows a point from the other side or from an earlier station.
  ASSERT_EQ(traces.leftHand.size(), 1u);
  EXPECT_NEAR(traces.leftHand[0].Y, 1.5, 1e-12);
  ASSERT_EQ(traces.rightHand.size(), 1u);
  EXPECT_NEAR(traces.rightHand[0].Y, -0.5, 1e-12);
}


}  // namespace
}  // namespace veerline
