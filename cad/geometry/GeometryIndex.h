#pragma once

// A spatial index of a flattened drawing's pieces by their bounds, so a view
// or a pick looks only at the pieces near it.

#include <cstdint>
#include <memory>
#include <vector>

#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {

class GeometryIndex {
 public:
  GeometryIndex();
  explicit GeometryIndex(const DrawingGeometry& geometry);
  ~GeometryIndex();
  GeometryIndex(GeometryIndex&&) noexcept;
  GeometryIndex& operator=(GeometryIndex&&) noexcept;

  // The pieces whose bounds meet the box, in drawing order.
  void Query(const DrawingExtents& box, std::vector<std::uint32_t>& out) const;
  const DrawingExtents& Bounds(std::uint32_t piece) const { return mBounds[piece]; }
  // Bounds of all pieces; meaningless for an empty index.
  const DrawingExtents& AllBounds() const { return mAll; }
  std::size_t Size() const { return mBounds.size(); }

 private:
  struct Tree;
  std::unique_ptr<Tree> mTree;
  std::vector<DrawingExtents> mBounds;
  DrawingExtents mAll{0, 0, 0, 0};
};

}  // namespace veerline::cad
