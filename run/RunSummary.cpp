#include <cstddef>

#include "engine/Rounding.h"
#include "run/ExecuteSweep.h"

namespace veerline {

std::string RunSummary(const RunState& state, int speedUnit, const NumberSymbols& symbols) {
  const std::string speed =
      state.LowestSpeed > 30 ? " Over 30" : FormatFieldNumber(state.LowestSpeed, symbols);
  const char* unit = speedUnit == 1 ? " mph" : speedUnit == 2 ? " m/s" : " km/h";
  const std::string steering = FormatFieldNumber(RoundHalfEven(state.MaxSteeringAngle, 1), symbols);
  if (state.segments.size() == 1) {
    return "Truck Max Turning Angle " + steering + "  Lowest speed along path: " + speed + unit;
  }
  return "Truck Max Turning Angle: " + steering + "  Max Segment Angle: " +
         FormatFieldNumber(RoundHalfEven(state.MaxArticulationAngle, 1), symbols) +
         "  Lowest speed along path: " + speed + unit;
}

}  // namespace veerline
