#pragma once

// The side lines of one table regrouped for the envelope scan. The lines of
// one lane (one body side, or the front-corner trace) lie close together from
// station to station, so each lane's rows are kept in row order, their
// coordinates side by side, cut into small blocks with a bounding box. A probe
// that has a whole block on one side of its line, well clear of it, passes
// over that block without looking at its rows. So does one that can only meet
// the block's lines nearer than a hit already found, when the block cannot
// hold the probe's first hit either. Only the rows of the scanned range, which
// moves forward, are held: rows join as the range reaches them and whole
// blocks behind it are dropped now and then.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Geometry.h"
#include "engine/RunState.h"

namespace veerline {

// What one probe finds among the side lines: the first row any side line meets
// it at, and the point the envelope takes from the hits (see Probe).
struct ProbeFinding {
  bool anyHit = false;       // some row of the range meets the probe
  std::size_t firstRow = 0;  // the lowest such row
  bool found = false;        // some hit lies beyond the probe's start
  Point2D point;             // the point taken
};

class SideLineIndex {
 public:
  // An index over the table, which must outlive the index unchanged.
  explicit SideLineIndex(const SegmentLines& lines);

  // The rows of [begin, end) that IntersectSegments finds meeting the probe,
  // at the points it gives, weighed as the plain scan in row order weighs
  // them: the first hit beyond the probe's start (call it f) is taken, and
  // after it any hit strictly farther than the best so far and no farther than
  // reach. That is, of f and the later hits within reach, the farthest, the
  // earliest row among equals. Neither begin nor end may decrease from one
  // call to the next.
  ProbeFinding Probe(std::size_t begin, std::size_t end, const LineSegment2D& probe, double reach);

 private:
  struct Lane {
    std::vector<std::uint32_t> rows;     // ascending
    std::vector<double> x1, y1, dx, dy;  // start point and X2 - X1, Y2 - Y1
    // One bounding box per block of rows, each side a column of its own, and
    // 1 where every coordinate of the block's lines is a number no larger
    // than 1e99 in size, else 0.
    std::vector<double> minX, minY, maxX, maxY, small;
    // One frame per block along its first line: origin (that line's start),
    // unit direction, the range across it that the block's end points cover
    // (v), the largest distance of an end point from the origin (L1), and 1
    // where every line of the block runs within about 20 degrees of the
    // direction, else 0. A probe across the block meets its lines only within
    // the band of v.
    std::vector<double> ox, oy, ux, uy, vMin, vMax, extent, steady;
    std::size_t lo = 0;  // first entry whose row is in the range
    void Add(const SegmentLine& line, std::size_t row);
    void DropBefore(std::size_t begin);
  };

  const SegmentLines& mLines;
  std::vector<Lane> mLanes;
  std::vector<double> mMissed;  // per block of the lane being probed: 1 where the probe misses it
  std::vector<std::uint32_t> mKept;  // the blocks of the lane that the box test keeps
  std::size_t mNextRow = 0;     // the first row not taken in yet
  unsigned mLeadLane = 0;       // the lane of the last probe's point
};

}  // namespace veerline
