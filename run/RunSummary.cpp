#include <cstddef>

#include "engine/Rounding.h"
#include "run/ExecuteSweep.h"

namespace veerline {
namespace {

// "  Conflicts: N  Closest: D" after a clearance check, else nothing.
std::string ClearancePart(const ClearanceResult& clearance, const NumberSymbols& symbols) {
  if (!clearance.Checked) return {};
  const std::string closest = clearance.MinimumDistance
                                  ? DistanceText(*clearance.MinimumDistance, symbols)
                                  : std::string("none");
  return "  Conflicts: " + std::to_string(clearance.Conflicts.size()) + "  Closest: " + closest;
}

// "  Legs: 2 of 3 (1 reverse)" for a manoeuvre, else nothing: how many legs
// the vehicle drove, of how many, and how many of those backwards.
std::string LegsPart(const RunState& state) {
  if (state.legs.size() < 2) return {};
  std::size_t ran = 0, reverse = 0;
  for (const ManoeuvreLeg& leg : state.legs) {
    if (leg.outcome == "not-reached" || leg.outcome == "refused") continue;
    ++ran;
    if (leg.reverse) ++reverse;
  }
  std::string text = "  Legs: " + std::to_string(ran);
  if (ran != state.legs.size()) text += " of " + std::to_string(state.legs.size());
  return text + " (" + std::to_string(reverse) + " reverse)";
}

}  // namespace

std::string RunSummary(const RunState& state, int speedUnit, const NumberSymbols& symbols) {
  const std::string speed =
      state.lowestSpeed > 30 ? " Over 30" : FormatFieldNumber(state.lowestSpeed, symbols);
  const char* unit = speedUnit == 1 ? " mph" : speedUnit == 2 ? " m/s" : " km/h";
  const std::string steering = FormatFieldNumber(RoundHalfEven(state.maxSteeringAngle, 1), symbols);
  if (state.segments.size() == 1) {
    return "Truck Max Turning Angle " + steering + "  Lowest speed along path: " + speed + unit +
           LegsPart(state) + ClearancePart(state.clearance, symbols);
  }
  return "Truck Max Turning Angle: " + steering + "  Max Segment Angle: " +
         FormatFieldNumber(RoundHalfEven(state.maxArticulationAngle, 1), symbols) +
         "  Lowest speed along path: " + speed + unit + LegsPart(state) +
         ClearancePart(state.clearance, symbols);
}

}  // namespace veerline
