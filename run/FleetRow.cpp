#include "run/FleetRow.h"

#include <charconv>

namespace veerline {
namespace {

std::string LastLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const auto lastLine = text.rfind('\n');
  if (lastLine != std::string::npos) text = text.substr(lastLine + 1);
  const std::string prefix = "veerline-cli: ";
  if (text.rfind(prefix, 0) == 0) text = text.substr(prefix.size());
  return text;
}

std::string ReasonOf(const std::vector<RecordedMessage>& messages, const std::string& failureText) {
  for (const RecordedMessage& m : messages)
    if (m.kind != MessageKind::Question && !m.text.empty()) return m.title + ": " + m.text;
  const std::string line = LastLine(failureText);
  return line.empty() ? "the run gave no report" : line;
}

}  // namespace

FleetRow MakeFleetRow(std::string vehicle, std::string library, int record,
                      const RunFigures& figures, const std::vector<RecordedMessage>& messages,
                      const std::string& failureText) {
  FleetRow row{std::move(vehicle), std::move(library), record, figures, {}};
  const bool completed = figures.outcome == RunOutcome::Completed;
  if (completed && figures.conflicts > 0)
    row.reason = std::to_string(figures.conflicts) + " obstacle(s) within the clearance margin";
  else if (!completed)
    row.reason = ReasonOf(messages, failureText);
  return row;
}

std::string FleetVerdict(const FleetRow& row) {
  std::string at;
  if (row.figures.stopStation) {
    // With a point whatever the locale: the verdict goes into files too.
    char text[48];
    const auto end = std::to_chars(text, text + sizeof text, *row.figures.stopStation,
                                   std::chars_format::fixed, 1);
    at = " at " + std::string(text, end.ptr);
  }
  switch (row.figures.outcome) {
    case RunOutcome::Completed: return row.figures.conflicts > 0 ? "clearance conflict" : "fits";
    case RunOutcome::FrontWheel: return "steering limit" + at;
    case RunOutcome::Articulation: return "articulation limit" + at;
    case RunOutcome::LockToLock: return "steering-rate limit" + at;
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::Ended: break;
  }
  return "refused";
}

bool FleetRowFits(const FleetRow& row) {
  return row.figures.outcome == RunOutcome::Completed && row.figures.conflicts == 0;
}

}  // namespace veerline
