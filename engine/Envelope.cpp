#include "engine/Envelope.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/BodyGeometry.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

// How far ahead of the probed station (in vehicle lengths) side lines still count.
constexpr double kLookAheadLengths = 1.25;
// Relative margin of the squared-distance shortcut in ProbeSide.
constexpr double kDistanceMargin = 1e-9;

// True when key a must stay left of the pivot key b in the partition walk.
bool Before(double a, double b, bool ascending) { return ascending ? a < b : a > b; }

// One side's scan state that carries over from station to station.
struct SideScan {
  const SegmentLines* lines = nullptr;
  std::size_t startRow = 0;
  std::vector<Point2D>* trace = nullptr;
  std::size_t endRow = 0;              // first row beyond the look-ahead limit
  std::vector<std::uint32_t> keep;     // rows left for the exact test, reused
};

// Finds the rows of [begin, end) that the exact intersection test could accept
// and returns how many there are, in row order, in out. The test works on the
// same numerators and denominator as IntersectSegments but without dividing
// or branching: with the signs turned so that the denominator d is positive, a
// quotient n / d can only round into 0..1 if n is not below -d * 1e-290 (a
// quotient that small may still round to -0) nor above d * (1 + 1e-15). It
// refuses only rows the exact test refuses; anything not a number stays in.
std::size_t CollectCandidates(const SegmentLines& lines, std::size_t begin, std::size_t end,
                              const LineSegment2D& a, std::vector<std::uint32_t>& out) {
  if (out.size() < end - begin) out.resize(end - begin);
  const double dax = a.X2 - a.X1, day = a.Y2 - a.Y1;
  std::size_t count = 0;
  for (std::size_t j = begin; j < end; ++j) {
    const SegmentLine& b = lines[j];
    const double dbx = b.X2 - b.X1, dby = b.Y2 - b.Y1;
    const double den = dby * dax - dbx * day;
    const double tn = (a.Y1 - b.Y1) * dbx - dby * (a.X1 - b.X1);
    const double un = (a.Y1 - b.Y1) * dax - (a.X1 - b.X1) * day;
    const double sign = den < 0 ? -1.0 : 1.0;
    const double d = sign * den, t = sign * tn, u = sign * un;
    const double low = -d * 1e-290, high = d * (1 + 1e-15);
    const bool refused = (t < low) | (t > high) | (u < low) | (u > high);
    out[count] = static_cast<std::uint32_t>(j);
    count += refused ? 0 : 1;
  }
  return count;
}

// Probes one side at one station. The scan starts at the row the previous
// station first hit and stops at the first row beyond the look-ahead limit
// (the rows lie in station order). The table's last row takes no part.
//
// The end row only moves forward: the limit grows from station to station and
// the start row never moves back, so the first row beyond the limit at or
// after the start row cannot lie before the one found at the last station.
void ProbeSide(SideScan& side, const Point2D& centre, const Point2D& probeEnd, double rh,
               double stationLimit, EnvelopeScan scan) {
  const LineSegment2D probe{centre.X, centre.Y, probeEnd.X, probeEnd.Y};
  const SegmentLines& lines = *side.lines;
  const std::size_t lastRow = lines.empty() ? 0 : lines.size() - 1;
  side.endRow = std::max(side.endRow, side.startRow);
  while (side.endRow < lastRow && !(lines[side.endRow].Station > stationLimit)) ++side.endRow;

  std::size_t count = 0;
  if (scan == EnvelopeScan::Filtered) {
    count = CollectCandidates(lines, side.startRow, side.endRow, probe, side.keep);
  } else {
    // Every row from the start row up to the first one beyond the limit.
    side.keep.clear();
    for (std::size_t j = side.startRow; j + 1 < lines.size(); ++j) {
      if (lines[j].Station > stationLimit) break;
      side.keep.push_back(static_cast<std::uint32_t>(j));
    }
    count = side.keep.size();
  }
  double bestDistance = 0;
  Point2D best;
  bool firstHit = false;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t j = side.keep[k];
    const SegmentLine& row = lines[j];
    const Intersection hit = IntersectSegments(probe, {row.X1, row.Y1, row.X2, row.Y2});
    if (!hit.found) continue;
    if (!firstHit) {
      firstHit = true;
      side.startRow = j;
    }
    const double dx = hit.X - centre.X, dy = hit.Y - centre.Y;
    // The squared distance settles most hits without the costly hypot: one
    // clearly nearer than the best so far, or clearly beyond rh, cannot win.
    // The margin is far wider than the rounding of either form, so the hits
    // kept are exactly those the hypot test keeps.
    if (bestDistance > 0) {
      const double d2 = dx * dx + dy * dy;
      if (d2 >= std::numeric_limits<double>::min() && std::isfinite(d2) &&
          (d2 < bestDistance * bestDistance * (1 - kDistanceMargin) ||
           d2 > rh * rh * (1 + kDistanceMargin)))
        continue;
    }
    const double d = std::hypot(dx, dy);
    if (d > bestDistance && (bestDistance == 0 || d <= rh)) {
      best = {hit.X, hit.Y};
      bestDistance = d;
    }
  }
  // A station whose only hits lie at the probe's start has no point of its own.
  if (bestDistance > 0) side.trace->push_back(best);
}

}  // namespace

int SortPivotRow(int lo, int hi) {
  return static_cast<int>(RoundHalfEven((static_cast<double>(lo) + hi) / 2.0));
}

void SortRows(SegmentLines& table, int lo, int hi, bool ascending) {
  // The larger part is sorted in the loop rather than by recursion, which keeps
  // the depth small; the parts are disjoint, so the result is the same.
  while (lo < hi) {
    const double pivot = table[SortPivotRow(lo, hi)].Station;
    int i = lo;
    int j = hi;
    do {
      while (Before(table[i].Station, pivot, ascending)) ++i;
      while (Before(pivot, table[j].Station, ascending)) --j;
      if (i <= j) {
        std::swap(table[i], table[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) SortRows(table, lo, j, ascending);
      lo = i;
    } else {
      if (i < hi) SortRows(table, i, hi, ascending);
      hi = j;
    }
  }
}

EnvelopeTraces ComputeEnvelope(RunState& state, Host& host, EnvelopeScan scan) {
  EnvelopeTraces traces;
  double widest = 0;
  for (const SegmentRecord& segment : state.segments) {
    if (segment.VehicleWidth > widest) widest = segment.VehicleWidth;
  }
  const double rh = 0.5 * std::sqrt(state.fordonslen * state.fordonslen + widest * widest);

  host.SetStatusText(0, "Sorting...");
  SortRows(state.SegmentLinesRight, 0, static_cast<int>(state.SegmentLinesRight.size()) - 1);
  SortRows(state.SegmentLinesLeft, 0, static_cast<int>(state.SegmentLinesLeft.size()) - 1);

  // The station track's empty closing row counts as its last row.
  const std::vector<StationTrackRow>& track = state.StationTrack;
  const int lastRow = static_cast<int>(track.size());
  host.SetProgressVisible(true);
  host.SetProgressMaximum(lastRow);
  host.SetStatusText(0, "Evaluating Envelope...");
  host.ProcessPendingEvents();

  SideScan right{&state.SegmentLinesRight, 0, &traces.rightHand, 0, {}};
  SideScan left{&state.SegmentLinesLeft, 0, &traces.leftHand, 0, {}};
  const double lookAhead = kLookAheadLengths * state.fordonslen;
  for (int i = 0; i <= lastRow - 2; ++i) {
    host.SetProgressValue(i);
    const Point2D centre{track[i].X, track[i].Y};
    const double phi = ATan2(track[i + 1].Y - track[i].Y, track[i + 1].X - track[i].X);
    const double stationLimit = track[i].Distance + lookAhead;
    ProbeSide(right, centre, RotatePoint({centre.X, centre.Y - rh}, centre, phi), rh, stationLimit,
              scan);
    ProbeSide(left, centre, RotatePoint({centre.X, centre.Y + rh}, centre, phi), rh, stationLimit,
              scan);
  }
  return traces;
}

}  // namespace veerline
