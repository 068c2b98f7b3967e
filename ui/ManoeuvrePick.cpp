#include "ui/ManoeuvrePick.h"

#include <cmath>

#include "cad/ManoeuvreLegs.h"

namespace veerline::ui {

std::vector<RunContext::Leg> ManoeuvreOfPick(const cad::DrawingModel* drawing, cad::CadEntity& picked) {
  const auto* entity = dynamic_cast<const cad::DrawingEntity*>(&picked);
  if (drawing == nullptr || entity == nullptr) return {};
  std::vector<RunContext::Leg> legs;
  for (const cad::ManoeuvreLeg& leg : cad::ManoeuvreLegsOf(*drawing, *entity))
    legs.push_back({leg.Entity, leg.Reverse});
  return legs;
}

std::optional<double> StretchedAxleSpan(const VehicleFields& fields, const NumberSymbols& symbols) {
  Segments segments;
  try {
    segments = BuildSegments(fields, symbols);
  } catch (...) {  // a field that does not convert
    return std::nullopt;
  }
  if (segments.empty()) return std::nullopt;
  double span = 0;
  for (std::size_t k = 0; k < segments.size(); ++k) {
    span += segments[k].Wheelbase;
    if (k + 1 < segments.size()) span += segments[k].Hitch;
  }
  if (!std::isfinite(span) || span <= 0) return std::nullopt;
  return span;
}

}  // namespace veerline::ui
