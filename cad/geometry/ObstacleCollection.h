#pragma once

// Gathers the obstacles of a clearance check from the drawing: every
// model-space entity on a chosen layer, its curves flattened into drawing
// coordinates by the drawing's shared geometry (lines, arcs, circles,
// ellipses, splines, polylines with bulges, points, solids, hatch
// boundaries...). A block reference stands for its block's geometry (nested
// references followed, scaled and rotated); inside a block, entities on layer
// "0" take the layer of the reference, and the model-space reference is the
// obstacle reported.

#include <optional>
#include <string>
#include <vector>

#include "cad/dxf/DrawingModel.h"
#include "engine/Clearance.h"

namespace veerline::cad {

// The obstacles on the given layers (names compared without regard to ASCII
// case), in model-space order; entities that contribute no curve are left out.
// Chosen layers count even while they are switched off or frozen (they are
// shown for the time of the call). chordTolerance is in drawing units.
std::vector<Obstacle> CollectObstacles(const DrawingModel& drawing,
                                       const std::vector<std::string>& layers,
                                       double chordTolerance);

// The first of the layer names the drawing does not have, if any.
std::optional<std::string> MissingLayer(const DrawingModel& drawing,
                                        const std::vector<std::string>& layers);

}  // namespace veerline::cad
