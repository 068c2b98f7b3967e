#include "engine/SideLineIndex.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace veerline {
namespace {

// Rows to a block: small enough that a block of one lane spans little more
// than one body length, large enough that most blocks are passed over whole.
constexpr std::size_t kBlockRows = 16;
// Lane numbers beyond this share lanes; that only costs passes over blocks.
constexpr unsigned kLaneCount = 16;
// A lane drops the rows behind the scanned range once this many piled up.
constexpr std::size_t kDropRows = 1024;
// The block test's margin, relative to the sizes involved; far wider than the
// rounding of the exact test's numerators and denominator.
constexpr double kSideMargin = 1e-9;
// Differences and probe sizes up to this never overflow in the block test.
constexpr double kMaxMagnitude = 1e100;

// The part of a quotient's range kept clear of 0 and 1 when it is not divided out.
constexpr double kInside = 1e-12;

// The numerators and denominator of IntersectSegments for one row, computed
// the same way.
struct RowQuotients {
  double den, tn, un;
};

// Whether IntersectSegments could accept a row, judged without dividing or
// branching: with the signs turned so that the denominator d is positive, a
// quotient n / d can only round into 0..1 if n is not below -d * 1e-290 (a
// quotient that small may still round to -0) nor above d * (1 + 1e-15).
// Anything not a number passes.
inline bool MayMeet(const RowQuotients& q) {
  const double sign = q.den < 0 ? -1.0 : 1.0;
  const double d = sign * q.den, t = sign * q.tn, u = sign * q.un;
  const double low = -d * 1e-290, high = d * (1 + 1e-15);
  return !((t < low) | (t > high) | (u < low) | (u > high));
}

// Appends the row to hits when IntersectSegments finds it meeting probe a,
// with the same point: the same quotients and the same tests, except that u is
// only divided out where its numerator does not lie well inside 0..den, since
// inside it the quotient certainly rounds into 0..1.
inline void AddHit(const LineSegment2D& a, double dax, double day, const RowQuotients& q,
                   std::size_t row, std::vector<LineHit>& hits) {
  if (q.den == 0) return;
  const double tq = q.tn / q.den;
  if (tq < 0 || tq > 1) return;
  const double sign = q.den < 0 ? -1.0 : 1.0;
  const double d = sign * q.den, u = sign * q.un;
  if (!(u >= d * kInside && u <= d * (1 - kInside))) {
    const double uq = q.un / q.den;
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

void SideLineIndex::Lane::Add(const SegmentLine& line, std::size_t row) {
  const bool finite = std::isfinite(line.X1) && std::isfinite(line.Y1) && std::isfinite(line.X2) &&
                      std::isfinite(line.Y2);
  const double minX = std::min(line.X1, line.X2), maxX = std::max(line.X1, line.X2);
  const double minY = std::min(line.Y1, line.Y2), maxY = std::max(line.Y1, line.Y2);
  if (rows.size() % kBlockRows == 0) {
    boxes.push_back({minX, minY, maxX, maxY, finite});
  } else {
    Box& box = boxes.back();
    box.minX = std::min(box.minX, minX);
    box.minY = std::min(box.minY, minY);
    box.maxX = std::max(box.maxX, maxX);
    box.maxY = std::max(box.maxY, maxY);
    box.finite = box.finite && finite;
  }
  rows.push_back(static_cast<std::uint32_t>(row));
  x1.push_back(line.X1);
  y1.push_back(line.Y1);
  dx.push_back(line.X2 - line.X1);
  dy.push_back(line.Y2 - line.Y1);
}

void SideLineIndex::Lane::DropBefore(std::size_t begin) {
  while (lo < rows.size() && rows[lo] < begin) ++lo;
  // Whole blocks behind the range go once enough of them piled up, so that the
  // columns stay short and the blocks stay aligned.
  const std::size_t dead = lo / kBlockRows * kBlockRows;
  if (dead < kDropRows) return;
  const auto drop = [dead](auto& column) {
    column.erase(column.begin(), column.begin() + static_cast<std::ptrdiff_t>(dead));
  };
  drop(rows);
  drop(x1);
  drop(y1);
  drop(dx);
  drop(dy);
  boxes.erase(boxes.begin(), boxes.begin() + static_cast<std::ptrdiff_t>(dead / kBlockRows));
  lo -= dead;
}

SideLineIndex::SideLineIndex(const SegmentLines& lines) : mLines(lines), mLanes(kLaneCount) {}

void SideLineIndex::FindHits(std::size_t begin, std::size_t end, const LineSegment2D& probe,
                             std::vector<LineHit>& hits) {
  for (end = std::min(end, mLines.size()); mNextRow < end; ++mNextRow) {
    const SegmentLine& line = mLines[mNextRow];
    mLanes[static_cast<unsigned>(line.Lane) % kLaneCount].Add(line, mNextRow);
  }
  const ProbeLine p = MakeProbeLine(probe);
  for (Lane& lane : mLanes) {
    lane.DropBefore(begin);
    // Every row taken in lies before end.
    const std::size_t n = lane.rows.size();
    for (std::size_t e = lane.lo; e < n;) {
      const std::size_t block = e / kBlockRows;
      const std::size_t blockEnd = std::min(n, (block + 1) * kBlockRows);
      const Box& box = lane.boxes[block];
      if (p.usable && box.finite && BoxMisses(p, box.minX, box.minY, box.maxX, box.maxY)) {
        e = blockEnd;
        continue;
      }
      // The quotients of the whole block in one branch-free pass, then the
      // exact tests on the rows that may meet the probe.
      const std::size_t count = blockEnd - e;
      std::array<RowQuotients, kBlockRows> quotients;
      std::array<bool, kBlockRows> mayMeet;
      for (std::size_t k = 0; k < count; ++k) {
        const double x1 = lane.x1[e + k], y1 = lane.y1[e + k];
        const double dbx = lane.dx[e + k], dby = lane.dy[e + k];
        RowQuotients& q = quotients[k];
        q.den = dby * p.dx - dbx * p.dy;
        q.tn = (probe.Y1 - y1) * dbx - dby * (probe.X1 - x1);
        q.un = (probe.Y1 - y1) * p.dx - (probe.X1 - x1) * p.dy;
        mayMeet[k] = MayMeet(q);
      }
      for (std::size_t k = 0; k < count; ++k) {
        if (mayMeet[k]) AddHit(probe, p.dx, p.dy, quotients[k], lane.rows[e + k], hits);
      }
      e = blockEnd;
    }
  }
}

}  // namespace veerline
