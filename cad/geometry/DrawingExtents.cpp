#include <limits>
#include <optional>

#include "cad/dxf/DrawingModel.h"
#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {

// The bounds of what model space shows. Arcs are cut at their quarter points,
// so even the coarsest chords reach their true extents; no finer tolerance is
// needed for bounds.
std::optional<DrawingExtents> ModelExtents(const DrawingModel& model) {
  GeometryOptions options;
  options.ChordTolerance = std::numeric_limits<double>::max();
  return GeometryBounds(BuildDrawingGeometry(model, options));
}

}  // namespace veerline::cad
