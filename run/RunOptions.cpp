#include "run/RunOptions.h"

#include <string>

#include "engine/VehicleModel.h"

namespace veerline {

std::variant<ExecuteParams, RunMessage> MakeRunOptions(const RunInputs& inputs,
                                                       const NumberSymbols& symbols) {
  if (auto message = CheckExecuteButton(inputs)) return *message;
  const int vehicleType = inputs.vehicle.Type;
  if (FindVehicleType(vehicleType) == nullptr)
    return RunMessage{MessageKind::Warning, "Missing value", "Please select a Vehicle type!"};
  // The numbers are read before the run; text that does not convert is
  // reported with the run's own words instead of ending the program.
  const auto speed = TryParseFieldNumber(inputs.txt_Speed, symbols);
  if (!speed) return RunMessage{MessageKind::Warning, "Bad value", "Bad value for Speed!"};
  const auto lockToLock = inputs.vehicle.TryNumber(Dimension::LockToLockTime, symbols);
  if (!lockToLock)
    return RunMessage{MessageKind::Warning, "Bad value",
                      std::string("Bad value for Lock to lock! Must be above zero!") + kCR + kCR +
                          "(A common value is 6-8 seconds)"};
  const bool spacingUsed = inputs.plotVehicle && !inputs.plotOnlyFirstAndLast;
  const auto spacing = TryParseFieldNumber(inputs.txt_plotSpacing, symbols);
  if (spacingUsed && !spacing)
    return RunMessage{MessageKind::Warning, "Bad value", "Bad value for Max Vehicle Plot Spacing!"};
  const auto margin = TryParseFieldNumber(inputs.txt_ClearanceMargin, symbols);
  if (!inputs.obstacleLayers.empty() && !(margin && *margin >= 0))
    return RunMessage{MessageKind::Warning, "Bad value",
                      "Bad value for Clearance margin! Must be zero or above."};

  ExecuteParams params;
  params.VType = vehicleType;
  params.PlotSpacing = spacing.value_or(0);
  params.PlotVehicle = inputs.plotVehicle;
  params.PlotSweep = inputs.plotSweep;
  params.PlotOnlyFirstandLast = inputs.plotOnlyFirstAndLast;
  params.Reverse = inputs.reverse;
  params.LockToLock = *lockToLock;
  params.VehicleSpeed = *speed;
  params.plotPerimeter = inputs.plotPerimeter;
  params.ClearanceMargin = margin.value_or(0);
  return params;
}

}  // namespace veerline
