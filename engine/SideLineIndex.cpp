#include "engine/SideLineIndex.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

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
// Coordinates up to this in size give differences within kMaxMagnitude.
constexpr double kMaxCoordinate = 1e99;

// The band test (see BandBehindFloor): the widest angle between a block's
// lines and its direction, as the largest |cross| over |dx| + |dy| (about 20
// degrees), and the narrowest between the probe and that direction, as the
// smallest |cross| over the probe's |dx| + |dy| (30 degrees or more); between
// them the probe meets every line of the block at 9 degrees or more.
constexpr double kSteadyLines = 0.25;
constexpr double kAcrossProbe = 0.5;
// The band test's margin, relative to the sizes involved, and how far short of
// the floor's distance the probe is cut; both far wider than any rounding.
constexpr double kBandMargin = 1e-9;
constexpr double kFloorCut = 1e-6;

// The part of a quotient's range kept clear of 0 and 1 when it is not divided out.
constexpr double kInside = 1e-12;

// Relative margin of the squared-distance shortcuts in the weighing of hits.
constexpr double kDistanceMargin = 1e-9;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// True for a squared distance that is a normal, finite number: one whose
// square root matches hypot to a few units in the last place.
bool Normal(double d2) { return d2 >= std::numeric_limits<double>::min() && std::isfinite(d2); }

// The weighing of one probe's hits, met lane by lane and in row order within
// a lane, so in no particular order overall. Of the hits, f is the one of the
// lowest row beyond the probe's start; the point taken is the farthest of f
// and the hits within reach, f among equals (it has the lowest row of them),
// else the earliest row. Hits with a row below f's lie at the probe's start
// or are not numbers, so they never win and may count among those weighed.
// Squared distances settle most hits without the costly hypot: a hit with a
// normal squared distance lies beyond the start; one clearly nearer than a
// hit certainly within reach, or clearly beyond reach, cannot win. The margin
// is far wider than the rounding of either form, so the hits weighed are
// exactly those that can win.
struct HitTally {
  Point2D centre;
  double reach = 0, within2 = 0, beyond2 = 0;
  std::size_t firstRow = kNone;  // the lowest row of any hit
  std::size_t fRow = kNone;
  Point2D f;
  double floor2 = 0;            // the largest squared distance of a hit certainly within reach
  std::size_t bestRow = kNone;  // the farthest hit within reach so far
  double bestDistance = 0;
  Point2D best;

  HitTally(const Point2D& start, double r) : centre(start), reach(r) {
    const double r2 = r * r;
    within2 = r2 * (1 - kDistanceMargin);
    beyond2 = r2 * (1 + kDistanceMargin);
  }

  // Whether a hit of this row and squared distance may change the outcome,
  // with the floor as it stands.
  bool Weighs(std::size_t row, double d2) const {
    return row < fRow || !Normal(d2) || (d2 >= floor2 * (1 - kDistanceMargin) && d2 <= beyond2);
  }

  void Add(std::size_t row, double x, double y, double d2) {
    const bool normal = Normal(d2);
    double d = -1;  // hypot, once worked out
    if (row < fRow) {
      firstRow = std::min(firstRow, row);
      if (normal || (d = std::hypot(x - centre.X, y - centre.Y)) > 0) {
        fRow = row;
        f = {x, y};
      }
    }
    if (normal) {
      if (d2 > beyond2 || d2 < floor2 * (1 - kDistanceMargin)) return;
      if (d2 <= within2 && d2 > floor2) floor2 = d2;
    }
    if (d < 0) d = std::hypot(x - centre.X, y - centre.Y);
    if (!(d <= reach)) return;
    if (bestRow == kNone || d > bestDistance || (d == bestDistance && row < bestRow)) {
      best = {x, y};
      bestDistance = d;
      bestRow = row;
    }
  }

  // The finding, and the row of the point taken (kNone without one).
  ProbeFinding Finding(std::size_t& pointRow) const {
    ProbeFinding finding;
    finding.anyHit = firstRow != kNone;
    finding.firstRow = firstRow;
    finding.found = fRow != kNone;
    pointRow = kNone;
    if (finding.found) {
      const double fDistance = std::hypot(f.X - centre.X, f.Y - centre.Y);
      const bool farther = bestRow != kNone && bestDistance > fDistance;
      finding.point = farther ? best : f;
      pointRow = farther ? bestRow : fRow;
    }
    return finding;
  }
};

// The probe's start and direction as the block test uses them.
struct ProbeLine {
  double x, y, dx, dy;
  double size;  // |dx| + |dy|
  bool usable;  // small enough for the block test
};

ProbeLine MakeProbeLine(const LineSegment2D& a) {
  ProbeLine p{a.X1, a.Y1, a.X2 - a.X1, a.Y2 - a.Y1, 0, false};
  p.size = std::fabs(p.dx) + std::fabs(p.dy);
  p.usable = std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate &&
             p.size <= kMaxMagnitude;
  return p;
}

// A probe passes a box by when every line inside it has both ends on one side of the
// probe's line, far enough from it that the exact test refuses each of them:
// its u (where the probe's line meets the side line) lies off 0..1.
//
// With S(P) = (P.y - y) * dx - (P.x - x) * dy, the exact test's u numerator is
// -S(P1) and its denominator S(P2) - S(P1), each rounded by at most a few
// units in the last place of |probe| * reach. S is linear, so its extremes
// over the box lie at corners; when both ends of a line have S beyond the
// margin on one side, the rounded u is below 0 or above 1 by far more than
// its rounding.
//
// This works it out for many boxes in one branch-free pass, writing 1 where
// the probe passes the box by, else 0. Only boxes of small lines are passed
// by, and only by a probe whose start is small too (see kMaxCoordinate), so
// that the differences stay within the sizes that cannot overflow.
void BoxesMissed(const ProbeLine& p, const double* __restrict minX, const double* __restrict minY,
                 const double* __restrict maxX, const double* __restrict maxY,
                 const double* __restrict small, std::size_t count, double* __restrict missed) {
  const double px = p.x, py = p.y, pdx = p.dx, pdy = p.dy, size = p.size;
  for (std::size_t k = 0; k < count; ++k) {
    const double x0 = minX[k] - px, x1 = maxX[k] - px, y0 = minY[k] - py, y1 = maxY[k] - py;
    const double reach =
        std::max(std::max(std::fabs(x0), std::fabs(x1)), std::max(std::fabs(y0), std::fabs(y1)));
    const double yLow = std::min(y0 * pdx, y1 * pdx), yHigh = std::max(y0 * pdx, y1 * pdx);
    const double xLow = std::min(x0 * pdy, x1 * pdy), xHigh = std::max(x0 * pdy, x1 * pdy);
    const double margin = kSideMargin * size * (reach + 1) + 1e-290;
    // At most one side can hold: yLow <= yHigh and xLow <= xHigh.
    missed[k] =
        ((yLow - xHigh > margin ? 1.0 : 0.0) + (yHigh - xLow < -margin ? 1.0 : 0.0)) * small[k];
  }
}

// Where a probe meets the lines of a block, as far as the block's band tells:
// not at all (the band lies wholly before the probe's start or beyond its
// end), only nearer than the floor (the probe, cut short of the floor's
// distance, already ends beyond the band), or possibly anywhere.
//
// The band holds the block's end points across the block's direction, and so
// the points where its lines meet the probe's line. As the probe crosses the
// block's lines at 9 degrees or more, the exact test's t (and with it the hit
// point and its distance) is off the true meeting point by no more than a few
// hundred units in the last place of the sizes involved, and so is the band;
// the margin is far wider than that. A hit nearer than the cut probe has a
// squared distance below the floor by far more than the tally's margin. The
// caller sees to it that the block's lines and the probe are small (see
// kMaxCoordinate).
enum class BandReach { None, BelowFloor, Any };

class BandProbe {
 public:
  explicit BandProbe(const ProbeLine& probe) : p(probe) {}

  // The floor as it stands; the cut probe is worked out again only when it rose.
  void SetFloor(double floor2) {
    if (floor2 == mFloor2) return;
    mFloor2 = floor2;
    if (length < 0) length = std::sqrt(p.dx * p.dx + p.dy * p.dy);
    tFloor = floor2 > 0 ? std::sqrt(floor2) * (1 - kFloorCut) / length : -1;
  }

  BandReach Reach(double ox, double oy, double ux, double uy, double vMin, double vMax,
                  double extent) const {
    const double dv = ux * p.dy - uy * p.dx;
    if (!(std::fabs(dv) >= kAcrossProbe * p.size)) return BandReach::Any;
    const double vA = ux * (p.y - oy) - uy * (p.x - ox);
    const double margin = kBandMargin * (std::fabs(ox) + std::fabs(oy) + extent + std::fabs(p.x) +
                                         std::fabs(p.y) + p.size);
    // With the signs turned so that v grows along the probe: the band is
    // [low, high] and the probe runs from vA to vA + dv.
    const double sign = dv > 0 ? 1.0 : -1.0;
    const double low = sign > 0 ? vMin : -vMax, high = sign > 0 ? vMax : -vMin;
    const double start = sign * vA, along = sign * dv;
    if (start - high > margin || low - (start + along) > margin) return BandReach::None;
    if (tFloor >= 0 && (start + tFloor * along) - high > margin) return BandReach::BelowFloor;
    return BandReach::Any;
  }

 private:
  const ProbeLine& p;
  double mFloor2 = 0;
  double length = -1;  // of the probe, once needed
  double tFloor = -1;  // the cut probe's end as a share of the probe; below 0 without a floor
};

// The rows of one block against probe a: IntersectSegments' quotients and
// points for every row in one branch-free pass (u is divided out afterwards,
// only where its numerator lies neither well inside 0..den nor clearly
// outside it), then the hits that may change the outcome go to the tally.
// The block's hits raise the floor before any is weighed.
void WeighBlock(const double* __restrict x1, const double* __restrict y1,
                const double* __restrict dbx, const double* __restrict dby,
                const std::uint32_t* rows, std::size_t count, const LineSegment2D& a,
                const ProbeLine& p, HitTally& tally) {
  std::array<double, kBlockRows> den, un, x, y, d2;
  // Per row: 2 where IntersectSegments certainly accepts it, 1 where u still
  // has to be divided out, 0 where it refuses it. A number rather than a flag,
  // so that the compiler keeps the pass branch-free.
  std::array<double, kBlockRows> meets;
  const double ax1 = a.X1, ay1 = a.Y1, dax = p.dx, day = p.dy;
  for (std::size_t k = 0; k < count; ++k) {
    const double ax = ax1 - x1[k], ay = ay1 - y1[k];
    const double dn = dby[k] * dax - dbx[k] * day;
    const double tn = ay * dbx[k] - dby[k] * ax;
    const double u = ay * dax - ax * day;
    const double t = tn / dn;
    const double hx = ax1 + t * dax, hy = ay1 + t * day;
    const double ex = hx - ax1, ey = hy - ay1;
    den[k] = dn;
    un[k] = u;
    x[k] = hx;
    y[k] = hy;
    d2[k] = ex * ex + ey * ey;
    // With the signs turned so that the denominator d is positive, u / d
    // certainly rounds into 0..1 well inside, and certainly not when u is
    // below -d * 1e-290 (a quotient that small may still round to -0) or above
    // d * (1 + 1e-15). Anything not a number is neither.
    const double sign = dn < 0 ? -1.0 : 1.0;
    const double d = sign * dn, su = sign * u;
    const double onA = dn != 0 ? (t < 0 || t > 1 ? 0.0 : 1.0) : 0.0;
    const double inside = (su >= d * kInside ? 1.0 : 0.0) * (su <= d * (1 - kInside) ? 1.0 : 0.0);
    const double notOutside = (su < -d * 1e-290 ? 0.0 : 1.0) * (su > d * (1 + 1e-15) ? 0.0 : 1.0);
    meets[k] = onA * (inside + notOutside);  // inside lies within not outside
  }
  double floor2 = tally.floor2;
  for (std::size_t k = 0; k < count; ++k) {
    if (meets[k] == 1) {
      const double u = un[k] / den[k];
      meets[k] = u < 0 || u > 1 ? 0.0 : 2.0;
    }
    if (meets[k] != 0 && Normal(d2[k]) && d2[k] <= tally.within2) floor2 = std::max(floor2, d2[k]);
  }
  tally.floor2 = floor2;
  for (std::size_t k = 0; k < count; ++k) {
    if (meets[k] != 0 && tally.Weighs(rows[k], d2[k])) tally.Add(rows[k], x[k], y[k], d2[k]);
  }
}

}  // namespace

void SideLineIndex::Lane::Add(const SegmentLine& line, std::size_t row) {
  const bool small = std::fabs(line.X1) <= kMaxCoordinate && std::fabs(line.Y1) <= kMaxCoordinate &&
                     std::fabs(line.X2) <= kMaxCoordinate && std::fabs(line.Y2) <= kMaxCoordinate;
  const double minX = std::min(line.X1, line.X2), maxX = std::max(line.X1, line.X2);
  const double minY = std::min(line.Y1, line.Y2), maxY = std::max(line.Y1, line.Y2);
  if (rows.size() % kBlockRows == 0) {
    this->minX.push_back(minX);
    this->minY.push_back(minY);
    this->maxX.push_back(maxX);
    this->maxY.push_back(maxY);
    this->small.push_back(small ? 1.0 : 0.0);
  } else {
    this->minX.back() = std::min(this->minX.back(), minX);
    this->minY.back() = std::min(this->minY.back(), minY);
    this->maxX.back() = std::max(this->maxX.back(), maxX);
    this->maxY.back() = std::max(this->maxY.back(), maxY);
    if (!small) this->small.back() = 0;
  }
  const double lx = line.X2 - line.X1, ly = line.Y2 - line.Y1;
  if (rows.size() % kBlockRows == 0) {
    const double length = std::sqrt(lx * lx + ly * ly);
    const bool usable = length > 0 && std::isfinite(length);
    ox.push_back(line.X1);
    oy.push_back(line.Y1);
    ux.push_back(usable ? lx / length : 0);
    uy.push_back(usable ? ly / length : 0);
    vMin.push_back(0);
    vMax.push_back(0);
    extent.push_back(0);
    steady.push_back(usable ? 1.0 : 0.0);
  }
  {
    const double cx = ux.back(), cy = uy.back();
    const double ax = line.X1 - ox.back(), ay = line.Y1 - oy.back();
    const double bx = line.X2 - ox.back(), by = line.Y2 - oy.back();
    const double v1 = cx * ay - cy * ax, v2 = cx * by - cy * bx;
    vMin.back() = std::min(vMin.back(), std::min(v1, v2));
    vMax.back() = std::max(vMax.back(), std::max(v1, v2));
    extent.back() = std::max(extent.back(), std::max(std::fabs(ax) + std::fabs(ay),
                                                     std::fabs(bx) + std::fabs(by)));
    if (!(std::fabs(cx * ly - cy * lx) <= kSteadyLines * (std::fabs(lx) + std::fabs(ly))))
      steady.back() = 0;
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
  const auto dropBoxes = [dead](std::vector<double>& column) {
    column.erase(column.begin(), column.begin() + static_cast<std::ptrdiff_t>(dead / kBlockRows));
  };
  dropBoxes(minX);
  dropBoxes(minY);
  dropBoxes(maxX);
  dropBoxes(maxY);
  dropBoxes(small);
  for (std::vector<double>* column : {&ox, &oy, &ux, &uy, &vMin, &vMax, &extent, &steady})
    dropBoxes(*column);
  lo -= dead;
}

SideLineIndex::SideLineIndex(const SegmentLines& lines) : mLines(lines), mLanes(kLaneCount) {}

ProbeFinding SideLineIndex::Probe(std::size_t begin, std::size_t end, const LineSegment2D& probe,
                                  double reach) {
  for (end = std::min(end, mLines.size()); mNextRow < end; ++mNextRow) {
    const SegmentLine& line = mLines[mNextRow];
    mLanes[static_cast<unsigned>(line.Lane) % kLaneCount].Add(line, mNextRow);
  }
  const ProbeLine p = MakeProbeLine(probe);
  HitTally tally({probe.X1, probe.Y1}, reach);
  BandProbe band(p);
  // The lane that gave the last probe's point goes first: the probes move on
  // little from one to the next, so its hits tend to raise the floor the most.
  // The tally does not depend on the order its hits come in.
  for (unsigned turn = 0; turn < kLaneCount; ++turn) {
    const unsigned laneNumber = turn == 0 ? mLeadLane : turn <= mLeadLane ? turn - 1 : turn;
    Lane& lane = mLanes[laneNumber];
    lane.DropBefore(begin);
    // Every row taken in lies before end.
    const std::size_t n = lane.rows.size();
    if (lane.lo >= n) continue;
    const std::size_t firstBlock = lane.lo / kBlockRows, blocks = lane.minX.size() - firstBlock;
    if (mMissed.size() < blocks) mMissed.resize(blocks);
    if (mKept.size() < blocks) mKept.resize(blocks);
    if (p.usable) {
      BoxesMissed(p, &lane.minX[firstBlock], &lane.minY[firstBlock], &lane.maxX[firstBlock],
                  &lane.maxY[firstBlock], &lane.small[firstBlock], blocks, mMissed.data());
    } else {
      std::fill_n(mMissed.begin(), blocks, 0.0);
    }
    // The blocks the box test keeps, in order, gathered without branches.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < blocks; ++k) {
      mKept[kept] = static_cast<std::uint32_t>(firstBlock + k);
      kept += mMissed[k] == 0 ? 1 : 0;
    }
    for (std::size_t c = 0; c < kept; ++c) {
      const std::size_t block = mKept[c];
      const std::size_t e = std::max(lane.lo, block * kBlockRows);
      const std::size_t blockEnd = std::min(n, (block + 1) * kBlockRows);
      // A block the probe does not meet, or one after the first hit found so
      // far that it meets only nearer than the floor, holds nothing that
      // changes the outcome.
      if (p.usable && lane.small[block] != 0 && lane.steady[block] != 0) {
        band.SetFloor(tally.floor2);
        const BandReach reach = band.Reach(lane.ox[block], lane.oy[block], lane.ux[block],
                                           lane.uy[block], lane.vMin[block], lane.vMax[block],
                                           lane.extent[block]);
        if (reach == BandReach::None ||
            (reach == BandReach::BelowFloor && tally.fRow != kNone && lane.rows[e] > tally.fRow))
          continue;
      }
      WeighBlock(&lane.x1[e], &lane.y1[e], &lane.dx[e], &lane.dy[e], &lane.rows[e], blockEnd - e,
                 probe, p, tally);
    }
  }
  std::size_t pointRow = kNone;
  const ProbeFinding finding = tally.Finding(pointRow);
  if (pointRow != kNone) mLeadLane = static_cast<unsigned>(mLines[pointRow].Lane) % kLaneCount;
  return finding;
}

}  // namespace veerline
