#include "cad/ScriptedPicker.h"

namespace veerline::cad {

// The next prepared outcome, or a cancel when none is left.
PickOutcome ScriptedPicker::Pick(const std::string& prompt) {
  mPrompts.push_back(prompt);
  if (mOutcomes.empty()) return PickOutcome::Cancel();
  PickOutcome next = std::move(mOutcomes.front());
  mOutcomes.pop_front();
  return next;
}

}  // namespace veerline::cad
