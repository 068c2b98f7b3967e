#pragma once

// The drawn form of a laid-out path: one lightweight polyline with its arcs
// as bulges, on its own layer.

#include <string>

#include "cad/dxf/DrawingModel.h"
#include "engine/ArcPath.h"

namespace veerline::cad {

// Adds the layout's polyline to model space on the layer, creating the layer
// when the drawing has none of that name.
DrawingEntity& AddPathPolyline(DrawingModel& drawing, const ArcPathLayout& layout,
                               const std::string& layer);

}  // namespace veerline::cad
