#include "run/RunClearance.h"

#include "cad/ClearancePlot.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/geometry/ObstacleCollection.h"
#include "engine/ClearanceLine.h"
#include "engine/Envelope.h"

namespace veerline {
namespace {

// Arcs and round corners keep within this of the true curve.
constexpr double kChordToleranceMetres = 0.001;

}  // namespace

std::vector<Obstacle> ReadObstacles(const RunInputs& inputs, RunContext& context) {
  if (inputs.obstacleLayers.empty()) return {};
  auto* application = dynamic_cast<cad::DrawingApplication*>(&context.connection.Document());
  if (application == nullptr) return {};
  return cad::CollectObstacles(application->Drawing(), inputs.obstacleLayers,
                               kChordToleranceMetres / context.state.metresPerUnit);
}

void CheckRunClearance(const std::vector<Obstacle>& obstacles, const RunInputs& inputs,
                       double margin, RunState& state) {
  if (inputs.obstacleLayers.empty()) return;
  state.clearance = CheckClearance(RunOutlines(state), obstacles, margin);
  state.clearance.Checked = true;
  state.clearance.Layers = inputs.obstacleLayers;
  state.clearance.Margin = margin;
}

bool DrawRunClearance(RunContext& context, cad::CadBlock& envelopeBlock) {
  RunState& state = context.state;
  const ClearanceResult& result = state.clearance;
  if (!result.Checked) return false;
  cad::DrawConflictMarks(result.Conflicts, context.connection, envelopeBlock, state.metresPerUnit,
                         context.host.Symbols());
  bool drew = !result.Conflicts.empty();
  const bool stopped = state.outcome.TurnExceeded || state.outcome.SegmentExceeded;
  if (result.Margin > 0 && !stopped) {
    EnvelopeTraces traces{state.envelopeRight, state.envelopeLeft};
    if (traces.rightHand.empty() || traces.leftHand.empty())
      traces = ComputeEnvelope(state, context.host);
    const auto loops = ClearanceLine(traces.rightHand, traces.leftHand, result.Margin,
                                     kChordToleranceMetres / state.metresPerUnit);
    cad::DrawClearanceLine(loops, context.connection, envelopeBlock, state.metresPerUnit);
    drew = drew || !loops.empty();
  }
  return drew;
}

}  // namespace veerline
