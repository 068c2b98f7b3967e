#pragma once

// A picker that plays back a prepared list of outcomes, for the command-line
// tool and tests. Once the list is used up every pick is cancelled, so a run
// never waits for input that will not come.

#include <deque>
#include <string>
#include <vector>

#include "cad/Picker.h"

namespace veerline::cad {

class ScriptedPicker final : public Picker {
 public:
  ScriptedPicker() = default;
  explicit ScriptedPicker(std::vector<PickOutcome> outcomes)
      : mOutcomes(outcomes.begin(), outcomes.end()) {}

  void PickHandle(const std::string& handle) { mOutcomes.push_back(PickOutcome::Hit(handle)); }
  void PickNothing() { mOutcomes.push_back(PickOutcome::Miss()); }
  void CancelPick() { mOutcomes.push_back(PickOutcome::Cancel()); }

  PickOutcome Pick(const std::string& prompt) override;

  // Every prompt shown so far, in order.
  const std::vector<std::string>& Prompts() const { return mPrompts; }
  std::size_t Remaining() const { return mOutcomes.size(); }

 private:
  std::deque<PickOutcome> mOutcomes;
  std::vector<std::string> mPrompts;
};

}  // namespace veerline::cad
