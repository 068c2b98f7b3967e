#pragma once

#include <optional>
#include <string>

#include "engine/Host.h"
#include "engine/RunState.h"
#include "run/RunInputs.h"

namespace veerline {

// One message box of a check or a report.
struct RunMessage {
  MessageKind kind = MessageKind::Warning;
  std::string title;
  std::string text;
  bool operator==(const RunMessage&) const = default;
};

// A field counts as missing when it holds nothing but blanks.
bool IsMissing(const std::string& text);

// The Execute button's checks (speed and lock-to-lock present, both units set
// and equal), in order; the first that fails, or nothing.
std::optional<RunMessage> CheckExecuteButton(const RunInputs& inputs);

// The run's checks after the pick: speed, lock-to-lock and the dimension fields
// of the vehicle type. A lock-to-lock text that does not convert throws
// ConversionError, as reading any field does.
std::optional<RunMessage> CheckRunInputs(const RunInputs& inputs, const NumberSymbols& symbols);

// What the path length allows.
enum class PathCheck { Ok, EndSilently, WrongUnit, AskLongPath };
PathCheck CheckPathLength(double pathLength, double calculationStep);
RunMessage WrongUnitMessage();
RunMessage LongPathQuestion();

// The reports of a front-wheel and an articulation stop.
RunMessage FrontWheelReport(const LimitOutcome& outcome, const NumberSymbols& symbols);
RunMessage ArticulationReport(const LimitOutcome& outcome, const NumberSymbols& symbols);

// Shows a message through the host and returns the answer.
MessageAnswer Show(Host& host, const RunMessage& message);

}  // namespace veerline
