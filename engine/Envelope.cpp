#include "engine/Envelope.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <future>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

#include "engine/BodyGeometry.h"
#include "engine/SideLineIndex.h"
#include "engine/SweptArea.h"

namespace veerline {
namespace {

// How far ahead of the probed station (in vehicle lengths) side lines still count.
constexpr double kLookAheadLengths = 1.25;
// Runs with at least this many stations probe their two sides on two threads.
constexpr int kThreadedStations = 200;

// True when key a must stay left of the pivot key b in the partition walk.
bool Before(double a, double b, bool ascending) { return ascending ? a < b : a > b; }

// One side's scan state that carries over from station to station.
struct SideScan {
  const SegmentLines* lines = nullptr;
  std::vector<Point2D>* trace = nullptr;
  std::size_t startRow = 0;
  std::size_t endRow = 0;              // first row beyond the look-ahead limit
  std::optional<SideLineIndex> index;  // for the filtered scan
};

// Probes one side at one station. The scan starts at the row the previous
// station first hit and stops at the first row beyond the look-ahead limit
// (the rows lie in station order). The table's last row takes no part.
//
// The end row only moves forward: the limit grows from station to station and
// the start row never moves back, so the first row beyond the limit at or
// after the start row cannot lie before the one found at the last station.
void ProbeSide(SideScan& side, const Point2D& centre, const Point2D& probeEnd, double rh,
               double stationLimit) {
  const LineSegment2D probe{centre.X, centre.Y, probeEnd.X, probeEnd.Y};
  const SegmentLines& lines = *side.lines;
  const std::size_t lastRow = lines.empty() ? 0 : lines.size() - 1;
  side.endRow = std::max(side.endRow, side.startRow);
  while (side.endRow < lastRow && !(lines[side.endRow].Station > stationLimit)) ++side.endRow;
  const ProbeFinding finding = side.index->Probe(side.startRow, side.endRow, probe, rh);
  if (!finding.anyHit) return;
  side.startRow = finding.firstRow;
  // A station whose only hits lie at the probe's start has no point of its own.
  if (finding.found) side.trace->push_back(finding.point);
}

// The plain form of ProbeSide: every row in range through IntersectSegments
// in row order, and every hit weighed with hypot.
void ProbeSidePlain(SideScan& side, const Point2D& centre, const Point2D& probeEnd, double rh,
                    double stationLimit) {
  const LineSegment2D probe{centre.X, centre.Y, probeEnd.X, probeEnd.Y};
  const SegmentLines& lines = *side.lines;
  double bestDistance = 0;
  Point2D best;
  bool firstHit = false;
  for (std::size_t j = side.startRow; j + 1 < lines.size(); ++j) {
    const SegmentLine& row = lines[j];
    if (row.Station > stationLimit) break;
    const Intersection hit = IntersectSegments(probe, {row.X1, row.Y1, row.X2, row.Y2});
    if (!hit.found) continue;
    if (!firstHit) {
      firstHit = true;
      side.startRow = j;
    }
    const double d = std::hypot(hit.X - centre.X, hit.Y - centre.Y);
    if (d > bestDistance && (bestDistance == 0 || d <= rh)) {
      best = {hit.X, hit.Y};
      bestDistance = d;
    }
  }
  if (bestDistance > 0) side.trace->push_back(best);
}

}  // namespace

int SortPivotRow(int lo, int hi) {
  // (lo + hi) / 2 rounded half to even, in whole numbers: the lower middle,
  // moved up by one where the sum is odd and the lower middle is odd.
  const long long sum = static_cast<long long>(lo) + hi;
  long long middle = sum >= 0 ? sum / 2 : -((1 - sum) / 2);
  if (sum % 2 != 0 && middle % 2 != 0) ++middle;
  return static_cast<int>(middle);
}

namespace {

// The quicksort of SortRows over any rows with a Station, row r of the table
// held at rows[r - first]: the larger part is sorted in the loop rather than
// by recursion, which keeps the depth small; the parts are disjoint, so the
// result is the same.
template <class Row>
void QuicksortByStation(Row* rows, int first, int lo, int hi, bool ascending) {
  const auto at = [rows, first](int r) -> Row& { return rows[r - first]; };
  while (lo < hi) {
    const double pivot = at(SortPivotRow(lo, hi)).Station;
    int i = lo;
    int j = hi;
    do {
      while (Before(at(i).Station, pivot, ascending)) ++i;
      while (Before(pivot, at(j).Station, ascending)) --j;
      if (i <= j) {
        std::swap(at(i), at(j));
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) QuicksortByStation(rows, first, lo, j, ascending);
      lo = i;
    } else {
      if (i < hi) QuicksortByStation(rows, first, i, hi, ascending);
      hi = j;
    }
  }
}

// A row's station and where the row stood: what the sort looks at, and what
// it moves, in a third of a side line's size.
struct StationKey {
  double Station;
  std::uint32_t row;
};

// Ranges at least this long are sorted by their keys and the rows moved once.
constexpr int kKeySortRows = 64;

}  // namespace

void SortRows(SegmentLines& table, int lo, int hi, bool ascending) {
  if (hi - lo < kKeySortRows) {
    if (lo < hi) QuicksortByStation(table.data(), 0, lo, hi, ascending);
    return;
  }
  // The same sort on the keys alone makes the same comparisons and the same
  // swaps, so it ends in the same order, equal stations included; each row
  // then moves to its place along the cycles of that order.
  std::vector<StationKey> keys(static_cast<std::size_t>(hi - lo + 1));
  for (std::size_t k = 0; k < keys.size(); ++k)
    keys[k] = {table[lo + k].Station, static_cast<std::uint32_t>(k)};
  QuicksortByStation(keys.data(), lo, lo, hi, ascending);
  SegmentLine* const rows = table.data() + lo;
  for (std::size_t start = 0; start < keys.size(); ++start) {
    if (keys[start].row == start) continue;  // in place, or placed already
    const SegmentLine held = rows[start];
    std::size_t k = start;
    for (;;) {
      const std::size_t from = keys[k].row;
      keys[k].row = static_cast<std::uint32_t>(k);
      if (from == start) {
        rows[k] = held;
        break;
      }
      rows[k] = rows[from];
      k = from;
    }
  }
}

EnvelopeTraces ComputeEnvelope(RunState& state, Host& host, EnvelopeScan scan) {
  if (HasReverseLeg(state)) {
    host.SetStatusText(0, "Evaluating Envelope...");
    for (SegmentLines* lines : {&state.segmentLinesRight, &state.segmentLinesLeft})
      SortRows(*lines, 0, static_cast<int>(lines->size()) - 1);
    return SweptAreaEnvelope(state);
  }
  EnvelopeTraces traces;
  double widest = 0;
  for (const SegmentRecord& segment : state.segments) {
    if (segment.VehicleWidth > widest) widest = segment.VehicleWidth;
  }
  const double rh = 0.5 * std::sqrt(state.vehicleLength * state.vehicleLength + widest * widest);
  const std::vector<StationTrackRow>& track = state.stationTrack;
  const double lookAhead = kLookAheadLengths * state.vehicleLength;
  // The station track's empty closing row counts as its last row.
  const int lastRow = static_cast<int>(track.size());

  // The sides share nothing but the station track, so on long runs the
  // left-hand side is sorted, indexed and probed beside this thread while this
  // one does the right-hand side and shows the progress.
  const auto prepare = [&](SideScan& side, SegmentLines& lines, std::vector<Point2D>& trace) {
    SortRows(lines, 0, static_cast<int>(lines.size()) - 1);
    side.lines = &lines;
    side.trace = &trace;
    if (scan == EnvelopeScan::Filtered) side.index.emplace(lines);
  };
  const auto probeAll = [&](SideScan& side, double towardsY, const auto& progress) {
    for (int i = 0; i <= lastRow - 2; ++i) {
      progress(i);
      const Point2D centre{track[i].X, track[i].Y};
      const double phi = ATan2(track[i + 1].Y - track[i].Y, track[i + 1].X - track[i].X);
      const Point2D probeEnd = RotatePoint({centre.X, centre.Y + towardsY}, centre, phi);
      const double stationLimit = track[i].Distance + lookAhead;
      if (side.index) {
        ProbeSide(side, centre, probeEnd, rh, stationLimit);
      } else {
        ProbeSidePlain(side, centre, probeEnd, rh, stationLimit);
      }
    }
  };
  const auto noProgress = [](int) {};

  host.SetStatusText(0, "Sorting...");
  SideScan right, left;
  std::future<void> leftSide;
  if (lastRow >= kThreadedStations) {
    try {
      leftSide = std::async(std::launch::async, [&] {
        prepare(left, state.segmentLinesLeft, traces.leftHand);
        probeAll(left, rh, noProgress);
      });
    } catch (const std::system_error&) {
      // No thread to be had: both sides run here.
    }
  }
  try {
    prepare(right, state.segmentLinesRight, traces.rightHand);
    if (!leftSide.valid()) prepare(left, state.segmentLinesLeft, traces.leftHand);
    host.SetProgressVisible(true);
    host.SetProgressMaximum(lastRow);
    host.SetStatusText(0, "Evaluating Envelope...");
    host.ProcessPendingEvents();
    probeAll(right, -rh, [&](int i) { host.SetProgressValue(i); });
    if (!leftSide.valid()) probeAll(left, rh, noProgress);
  } catch (...) {
    if (leftSide.valid()) leftSide.wait();
    throw;
  }
  if (leftSide.valid()) leftSide.get();
  return traces;
}

}  // namespace veerline
