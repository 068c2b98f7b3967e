#include "engine/SideLineIndex.h"

#include <algorithm>
#include <cmath>

namespace veerline {
namespace {

// Rows to a block: small enough that a block of one lane spans little more
// than one body length, large enough that most blocks are passed over whole.
constexpr std::size_t kBlockRows = 16;
// Lane numbers beyond this share lanes; that only costs passes over blocks.
constexpr unsigned kLaneCount = 16;
// The block test's margin, relative to the sizes involved; far wider than the
// rounding of the exact test's numerators and denominator.
constexpr double kSideMargin = 1e-9;
// Differences and probe sizes up to this never overflow in the block test.
constexpr double kMaxMagnitude = 1e100;

// The part of a quotient's range kept clear of 0 and 1 when it is not divided out.
constexpr double kInside = 1e-12;

// Appends row b to hits when IntersectSegments finds it meeting probe a, with
// the same point: it computes the same numerators, denominator and quotients.
// A division-free screen comes first: with the signs turned so that the
// denominator d is positive, a quotient n / d can only round into 0..1 if n is
// not below -d * 1e-290 (a quotient that small may still round to -0) nor
// above d * (1 + 1e-15); anything not a number passes. The u quotient is only
// divided out where its numerator does not lie well inside 0..d, since inside
// it the quotient certainly rounds into 0..1.
inline void TestRow(const LineSegment2D& a, double dax, double day, const SegmentLine& b,
                    std::size_t row, std::vector<LineHit>& hits) {
  const double dbx = b.X2 - b.X1, dby = b.Y2 - b.Y1;
  const double den = dby * dax - dbx * day;
  const double tn = (a.Y1 - b.Y1) * dbx - dby * (a.X1 - b.X1);
  const double un = (a.Y1 - b.Y1) * dax - (a.X1 - b.X1) * day;
  const double sign = den < 0 ? -1.0 : 1.0;
  const double d = sign * den, t = sign * tn, u = sign * un;
  const double low = -d * 1e-290, high = d * (1 + 1e-15);
  if ((t < low) | (t > high) | (u < low) | (u > high)) return;

  if (den == 0) return;
  const double tq = tn / den;
  if (tq < 0 || tq > 1) return;
  if (!(u >= d * kInside && u <= d * (1 - kInside))) {
    const double uq = un / den;
    if (uq < 0 || uq > 1) return;
  }
  const double x = a.X1 + tq * dax, y = a.Y1 + tq * day;
  const double dx = x - a.X1, dy = y - a.Y1;
  hits.push_back({row, x, y, dx * dx + dy * dy});
}

// The probe's start and direction as the block test uses them.
struct ProbeLine {
  double x, y, dx, dy;
  double size;  // |dx| + |dy|
  bool usable;  // finite and small enough for the block test
};

ProbeLine MakeProbeLine(const LineSegment2D& a) {
  ProbeLine p{a.X1, a.Y1, a.X2 - a.X1, a.Y2 - a.Y1, 0, false};
  p.size = std::fabs(p.dx) + std::fabs(p.dy);
  p.usable = std::isfinite(p.x) && std::isfinite(p.y) && p.size <= kMaxMagnitude;
  return p;
}

// True when every line inside the box has both ends on one side of the
// probe's line, far enough from it that the exact test refuses each of them:
// its u (where the probe's line meets the side line) lies off 0..1.
//
// With S(P) = (P.y - y) * dx - (P.x - x) * dy, the exact test's u numerator is
// -S(P1) and its denominator S(P2) - S(P1), each rounded by at most a few
// units in the last place of |probe| * reach. S is linear, so its extremes
// over the box lie at corners; when both ends of a line have S beyond the
// margin on one side, the rounded u is below 0 or above 1 by far more than
// its rounding.
bool BoxMisses(const ProbeLine& p, double minX, double minY, double maxX, double maxY) {
  const double x0 = minX - p.x, x1 = maxX - p.x, y0 = minY - p.y, y1 = maxY - p.y;
  const double reach =
      std::max(std::max(std::fabs(x0), std::fabs(x1)), std::max(std::fabs(y0), std::fabs(y1)));
  if (!(reach <= kMaxMagnitude)) return false;
  const double yLow = std::min(y0 * p.dx, y1 * p.dx), yHigh = std::max(y0 * p.dx, y1 * p.dx);
  const double xLow = std::min(x0 * p.dy, x1 * p.dy), xHigh = std::max(x0 * p.dy, x1 * p.dy);
  const double margin = kSideMargin * p.size * (reach + 1) + 1e-290;
  return yLow - xHigh > margin || yHigh - xLow < -margin;
}

}  // namespace

SideLineIndex::SideLineIndex(const SegmentLines& lines) : mLines(lines) {
  mLanes.resize(kLaneCount);
  std::vector<std::size_t> counts(kLaneCount, 0);
  for (const SegmentLine& line : lines) ++counts[static_cast<unsigned>(line.Lane) % kLaneCount];
  for (unsigned n = 0; n < kLaneCount; ++n) {
    mLanes[n].rows.reserve(counts[n]);
    mLanes[n].boxes.reserve((counts[n] + kBlockRows - 1) / kBlockRows);
  }
  for (std::size_t j = 0; j < lines.size(); ++j) {
    const SegmentLine& line = lines[j];
    Lane& lane = mLanes[static_cast<unsigned>(line.Lane) % kLaneCount];
    const bool finite = std::isfinite(line.X1) && std::isfinite(line.Y1) &&
                        std::isfinite(line.X2) && std::isfinite(line.Y2);
    const double minX = std::min(line.X1, line.X2), maxX = std::max(line.X1, line.X2);
    const double minY = std::min(line.Y1, line.Y2), maxY = std::max(line.Y1, line.Y2);
    if (lane.rows.size() % kBlockRows == 0) {
      lane.boxes.push_back({minX, minY, maxX, maxY, finite});
    } else {
      Box& box = lane.boxes.back();
      box.minX = std::min(box.minX, minX);
      box.minY = std::min(box.minY, minY);
      box.maxX = std::max(box.maxX, maxX);
      box.maxY = std::max(box.maxY, maxY);
      box.finite = box.finite && finite;
    }
    lane.rows.push_back(static_cast<std::uint32_t>(j));
  }
  std::erase_if(mLanes, [](const Lane& lane) { return lane.rows.empty(); });
}

void SideLineIndex::FindHits(std::size_t begin, std::size_t end, const LineSegment2D& probe,
                             std::vector<LineHit>& hits) {
  const ProbeLine p = MakeProbeLine(probe);
  for (Lane& lane : mLanes) {
    const std::size_t n = lane.rows.size();
    while (lane.lo < n && lane.rows[lane.lo] < begin) ++lane.lo;
    lane.hi = std::max(lane.hi, lane.lo);
    while (lane.hi < n && lane.rows[lane.hi] < end) ++lane.hi;
    for (std::size_t e = lane.lo; e < lane.hi;) {
      const std::size_t block = e / kBlockRows;
      const std::size_t blockEnd = std::min(lane.hi, (block + 1) * kBlockRows);
      const Box& box = lane.boxes[block];
      if (p.usable && box.finite && BoxMisses(p, box.minX, box.minY, box.maxX, box.maxY)) {
        e = blockEnd;
        continue;
      }
      for (; e < blockEnd; ++e) {
        const std::size_t row = lane.rows[e];
        TestRow(probe, p.dx, p.dy, mLines[row], row, hits);
      }
    }
  }
}

}  // namespace veerline
