#pragma once

// Gathers the obstacles of a clearance check from the drawing: every
// model-space entity on a chosen layer, its curves flattened into drawing
// coordinates. A block reference stands for its block's geometry (nested
// references followed, scaled and rotated); inside a block, entities on layer
// "0" take the layer of the reference, and the model-space reference is the
// obstacle reported.

#include <optional>
#include <string>
#include <vector>

#include "cad/DrawingEntity.h"
#include "cad/DrawingModel.h"
#include "engine/Clearance.h"

namespace veerline::cad {

// The curves of one entity in its own coordinates: polylines (a closed curve
// repeats its first point) and points.
struct EntityCurves {
  std::vector<std::vector<Point2D>> Polylines;
  std::vector<Point2D> Points;
};

// Flattens an entity other than a block reference: lines and polylines as
// they are, arcs, circles and bulged polyline segments as chords that stay
// within chordTolerance of the curve, points, and solids as their closed
// outline. Kinds without a curve here give nothing.
EntityCurves CurvesOf(const DrawingEntity& entity, double chordTolerance);

// The obstacles on the given layers (names compared without regard to ASCII
// case), in model-space order; entities that contribute no curve are left out.
// chordTolerance is in drawing units.
std::vector<Obstacle> CollectObstacles(const DrawingModel& drawing,
                                       const std::vector<std::string>& layers,
                                       double chordTolerance);

// The first of the layer names the drawing does not have, if any.
std::optional<std::string> MissingLayer(const DrawingModel& drawing,
                                        const std::vector<std::string>& layers);

}  // namespace veerline::cad
