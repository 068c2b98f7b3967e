#pragma once

// The legs of a manoeuvre in a drawing: each leg is its own path polyline,
// and extended data under the application name "VEERLINE" ties it to its
// manoeuvre with its place in the order and its direction. The data lives in
// the entity's record, so it goes through Save and Open with the drawing.

#include <optional>
#include <string>
#include <vector>

#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {

inline constexpr const char* kManoeuvreApp = "VEERLINE";

struct LegTag {
  std::string Manoeuvre;  // the same text on every leg of one manoeuvre
  int Order = 0;          // from 0
  bool Reverse = false;
};

// The entity's leg tag: from the extended data it was given, or from its
// record in the file. None when the entity carries no complete tag.
std::optional<LegTag> ReadLegTag(const DrawingEntity& entity);

// Gives an added entity the tag, replacing any it had.
void WriteLegTag(DrawingEntity& entity, const LegTag& tag);

// A fresh manoeuvre name, unlike any in the drawing.
std::string NewManoeuvreName(const DrawingModel& drawing);

struct ManoeuvreLeg {
  DrawingEntity* Entity = nullptr;
  bool Reverse = false;
};

// The legs of the manoeuvre the entity belongs to, in their order, from model
// space; empty when it belongs to none or the manoeuvre lacks a leg (one
// erased, or two with the same place), so that the entity runs on its own.
std::vector<ManoeuvreLeg> ManoeuvreLegsOf(const DrawingModel& drawing, const DrawingEntity& entity);

}  // namespace veerline::cad
