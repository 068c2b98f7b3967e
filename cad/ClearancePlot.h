#pragma once

// The clearance check in the drawing: a red circle and the distance at the
// nearest point of every obstacle within the margin, and the clearance line.

#include <string>
#include <vector>

#include "cad/CadConnection.h"
#include "engine/Clearance.h"
#include "engine/Geometry.h"
#include "engine/NumberRule.h"

namespace veerline::cad {

inline constexpr const char* kLayerConflict = "Turn_Conflict";
inline constexpr const char* kLayerClearance = "Turn_Clearance";
// The clearance line is drawn dashed: its layer asks for this linetype.
inline constexpr const char* kClearanceLinetype = "DASHED";

// For each conflict, a circle (0.5 m radius) at the nearest point on the
// obstacle and above it a text with the distance to two decimals (0.5 m high),
// colour index 1, layer "Turn_Conflict", into the block. CAD failures pass to
// the caller.
void DrawConflictMarks(const std::vector<ObstacleClearance>& conflicts, CadConnection& connection,
                       CadBlock& block, double metresPerUnit, const NumberSymbols& symbols);

// The clearance line's loops as closed polylines on layer "Turn_Clearance",
// colour by layer, into the block; the layer is dashed (1 m dashes) where the
// drawing can hold a linetype. CAD failures pass to the caller.
void DrawClearanceLine(const std::vector<std::vector<Point2D>>& loops, CadConnection& connection,
                       CadBlock& block, double metresPerUnit);

}  // namespace veerline::cad
