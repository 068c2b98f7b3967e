#pragma once

#include <optional>
#include <string>

namespace veerline::ui {

// A check that stopped the Execute button, as the warning it shows.
struct CheckMessage {
  std::string title;
  std::string text;
  bool operator==(const CheckMessage&) const = default;
};

// What the Execute button checks before a run starts.
struct ExecuteInputs {
  std::string speedText;        // txt_Speed
  std::string lockToLockText;   // txt_LockToLock
  int pathUnitPosition = 0;     // Combo2
  int vehicleUnitPosition = 0;  // Combo3
};

// The Execute button's checks in their order: speed and lock-to-lock present,
// both units chosen and equal. Returns the first failing one's warning.
std::optional<CheckMessage> FirstFailingExecuteCheck(const ExecuteInputs& inputs);

}  // namespace veerline::ui
