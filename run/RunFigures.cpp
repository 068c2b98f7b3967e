#include "run/RunFigures.h"

#include <cmath>

#include "engine/SweptArea.h"
#include "engine/SweptWidth.h"

namespace veerline {
namespace {

std::optional<double> Finite(double value) {
  return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

RunFigures MeasureRun(RunOutcome outcome, const RunState& state) {
  RunFigures figures;
  figures.outcome = outcome;
  if (outcome == RunOutcome::FrontWheel) {
    figures.stopStation = Finite(state.outcome.TurnExceededStation);
    figures.stopAngle = Finite(state.outcome.TurnExceededAngle);
  } else if (outcome == RunOutcome::Articulation) {
    figures.stopStation = Finite(state.outcome.SegmentExceededStation);
    figures.stopAngle = Finite(state.outcome.SegmentExceededAngle);
  } else if (outcome == RunOutcome::LockToLock && state.lockToLockStation) {
    figures.stopStation = Finite(*state.lockToLockStation);
  }
  if (!state.steeringTrack.empty()) {
    figures.maxSteeringAngle = Finite(state.maxSteeringAngle);
    figures.maxArticulationAngle = Finite(state.maxArticulationAngle);
    figures.lowestSpeed = Finite(state.lowestSpeed);
  }
  if (state.clearance.MinimumDistance) figures.minimumClearance = Finite(*state.clearance.MinimumDistance);
  const auto width = HasReverseLeg(state) ? ManoeuvreSweptWidth(state)
                                           : SweptWidth(state.envelopeRight, state.envelopeLeft);
  if (width) figures.sweptWidth = Finite(*width);
  figures.conflicts = static_cast<int>(state.clearance.Conflicts.size());
  return figures;
}

}  // namespace veerline
