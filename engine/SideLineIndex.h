#pragma once

// The side lines of one table regrouped for the envelope scan. The lines of
// one lane (one body side, or the front-corner trace) lie close together from
// station to station, so each lane's rows are kept in row order, their
// coordinates side by side, cut into small blocks with a bounding box. A probe
// that has a whole block on one side of its line, well clear of it, passes
// over that block without looking at its rows. Only the rows of the scanned
// range, which moves forward, are held: rows join as the range reaches them
// and whole blocks behind it are dropped now and then.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Geometry.h"
#include "engine/RunState.h"

namespace veerline {

// A side line that a probe meets, where (exactly as IntersectSegments gives
// it), and the squared distance of that point from the probe's start.
struct LineHit {
  std::size_t row = 0;
  double X = 0, Y = 0;
  double d2 = 0;
};

class SideLineIndex {
 public:
  // An index over the table, which must outlive the index unchanged.
  explicit SideLineIndex(const SegmentLines& lines);

  // Appends to hits, in no particular order, every row of [begin, end) that
  // IntersectSegments finds meeting the probe, with the point it gives.
  // Neither begin nor end may decrease from one call to the next.
  void FindHits(std::size_t begin, std::size_t end, const LineSegment2D& probe,
                std::vector<LineHit>& hits);

 private:
  struct Box {
    double minX, minY, maxX, maxY;
    bool finite;  // every coordinate of the block's lines is a finite number
  };
  struct Lane {
    std::vector<std::uint32_t> rows;     // ascending
    std::vector<double> x1, y1, dx, dy;  // start point and X2 - X1, Y2 - Y1
    std::vector<Box> boxes;              // one per block of rows
    std::size_t lo = 0;                  // first entry whose row is in the range
    void Add(const SegmentLine& line, std::size_t row);
    void DropBefore(std::size_t begin);
  };

  const SegmentLines& mLines;
  std::vector<Lane> mLanes;
  std::size_t mNextRow = 0;  // the first row not taken in yet
};

}  // namespace veerline
