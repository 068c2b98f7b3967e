#include "ui/ExecuteChecks.h"

#include <string_view>

namespace veerline::ui {
namespace {

constexpr const char* kMissingTitle = "Missing value";

// A field counts as missing when only blanks remain.
bool IsMissing(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::optional<CheckMessage> FirstFailingExecuteCheck(const ExecuteInputs& inputs) {
  if (IsMissing(inputs.speedText)) return CheckMessage{kMissingTitle, "Missing value for Speed!"};
  if (IsMissing(inputs.lockToLockText))
    return CheckMessage{kMissingTitle,
                        "Missing value for Lock to lock!\r\r(A common value is 6-8 seconds)"};
  if (inputs.pathUnitPosition == 0)
    return CheckMessage{kMissingTitle, "Please select Vehicle path units!"};
  if (inputs.vehicleUnitPosition == 0)
    return CheckMessage{
        kMissingTitle,
        "Please select Vehicle units for selected Vehicle. Save it after selecting units."};
  if (inputs.pathUnitPosition != inputs.vehicleUnitPosition)
    return CheckMessage{kMissingTitle,
                        "Your selected Vehicle units is not equal to the Vehicle path units!\r\r"
                        "You need to use same unit in booth"};
  return std::nullopt;
}

}  // namespace veerline::ui
