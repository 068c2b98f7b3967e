#include <limits>
#include <optional>

#include "cad/DrawingModel.h"
#include "cad/EntityGeometry.h"

namespace veerline::cad {

// The bounds of what model space shows. Arcs are cut at their quarter points,
// so even the coarsest chords reach their true extents; no finer tolerance is
// needed for bounds.
std::optional<DrawingExtents> DrawingModel::Extents() const {
  GeometryOptions options;
  options.ChordTolerance = std::numeric_limits<double>::max();
  return GeometryBounds(BuildDrawingGeometry(*this, options));
}

}  // namespace veerline::cad
