#include "cad/geometry/GeometryIndex.h"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <numeric>

namespace veerline::cad {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

using IndexPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using IndexBox = bg::model::box<IndexPoint>;
using IndexValue = std::pair<IndexBox, std::uint32_t>;

struct GeometryIndex::Tree {
  bgi::rtree<IndexValue, bgi::rstar<16>> RTree;
};

GeometryIndex::GeometryIndex() : mTree(std::make_unique<Tree>()) {}

GeometryIndex::GeometryIndex(const DrawingGeometry& geometry) {
  std::vector<IndexValue> values;
  values.reserve(geometry.Pieces.size());
  mBounds.reserve(geometry.Pieces.size());
  if (auto all = GeometryBounds(geometry)) mAll = *all;
  for (std::uint32_t i = 0; i < geometry.Pieces.size(); ++i) {
    const DrawingExtents box = PieceBounds(geometry.Pieces[i]);
    mBounds.push_back(box);
    values.push_back({IndexBox({box.MinX, box.MinY}, {box.MaxX, box.MaxY}), i});
  }
  // The range constructor packs the tree in one pass, much faster than inserting.
  mTree = std::make_unique<Tree>(Tree{{values.begin(), values.end()}});
}

GeometryIndex::~GeometryIndex() = default;
GeometryIndex::GeometryIndex(GeometryIndex&&) noexcept = default;
GeometryIndex& GeometryIndex::operator=(GeometryIndex&&) noexcept = default;

void GeometryIndex::Query(const DrawingExtents& box, std::vector<std::uint32_t>& out) const {
  out.clear();
  if (mBounds.empty()) return;
  // A box around everything needs no tree.
  if (box.MinX <= mAll.MinX && box.MinY <= mAll.MinY && box.MaxX >= mAll.MaxX &&
      box.MaxY >= mAll.MaxY) {
    out.resize(mBounds.size());
    std::iota(out.begin(), out.end(), 0u);
    return;
  }
  const IndexBox query({box.MinX, box.MinY}, {box.MaxX, box.MaxY});
  for (auto it = mTree->RTree.qbegin(bgi::intersects(query)); it != mTree->RTree.qend(); ++it) {
    out.push_back(it->second);
  }
  std::sort(out.begin(), out.end());
}

}  // namespace veerline::cad
