#include "ui/ManoeuvrePick.h"

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

}  // namespace veerline::ui
