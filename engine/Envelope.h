#pragma once

// The swept envelope: station by station, the outermost point that any body
// side reached on each side of the front point's track.

#include <vector>

#include "engine/Geometry.h"
#include "engine/Host.h"
#include "engine/RunState.h"

namespace veerline {

// The two traces of the envelope, in station order.
struct EnvelopeTraces {
  std::vector<Point2D> rightHand;  // probed square to the right of the direction of travel
  std::vector<Point2D> leftHand;   // probed square to the left
};

// Row whose key is the pivot when SortRows partitions rows lo..hi: the middle,
// a half rounded to the even row.
int SortPivotRow(int lo, int hi);

// Sorts rows lo..hi of a side-line table in place by station distance
// (quicksort, whole rows move; rows with equal stations keep no particular order).
void SortRows(SegmentLines& table, int lo, int hi, bool ascending = true);

// Sorts both side-line tables by station and traces the envelope along the
// station track. Shows "Sorting..." and "Evaluating Envelope..." and the
// progress over the stations; leaves the side-line tables sorted. On long runs
// the two sides are worked out on two threads; the traces do not depend on it.
// Filtered passes over the side lines that certainly miss a probe (whole
// blocks of a lane at a time, then line by line) before the exact intersection
// test; Exact tests every line in range. Both give the same traces; Exact is
// the plain form, kept to check the other against.
enum class EnvelopeScan { Filtered, Exact };
EnvelopeTraces ComputeEnvelope(RunState& state, Host& host,
                               EnvelopeScan scan = EnvelopeScan::Filtered);

}  // namespace veerline
