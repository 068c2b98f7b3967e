#include "run/ExecuteSweep.h"

#include <exception>
#include <optional>
#include <stdexcept>

#include "cad/CadSweepDrawing.h"
#include "cad/EnvelopePlot.h"
#include "cad/PathReading.h"
#include "cad/SweepLines.h"
#include "engine/Envelope.h"
#include "engine/PathPreparation.h"
#include "engine/Summary.h"
#include "engine/SweepRun.h"
#include "run/RunChecks.h"
#include "run/RunClearance.h"
#include "run/RunLegs.h"

namespace veerline {
namespace {

// Runs one output step in skip mode: a step that fails is passed over.
template <typename Step>
void Skip(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

// The loop's drawing when the vehicle block could not be made: draws nothing.
class NoDrawing : public SweepDrawing {
 public:
  void PlotSegment(const SegmentCorners&, const std::string&, const SegmentRecord&, int,
                   double) override {}
  void PlotSegmentAngleMark(const Point2D&, const Point2D&, const Point2D&, double,
                            const std::string&, double) override {}
};

RunOutcome OutcomeOf(const RunState& state) {
  switch (state.stopKind) {
    case StopKind::FrontWheel: return RunOutcome::FrontWheel;
    case StopKind::Articulation: return RunOutcome::Articulation;
    case StopKind::LockToLock: return RunOutcome::LockToLock;
    case StopKind::None: break;
  }
  return RunOutcome::Completed;
}

// Step 20: window back to normal, CAD window to the front, drawing regenerated.
void CleanUp(RunContext& context) {
  Host& host = context.host;
  Skip([&] { host.RestoreMainWindow(); });
  Skip([&] { host.SetProgressVisible(false); });
  Skip([&] { cad::ActivateCadWindow(context.connection, host); });
  Skip([&] { context.connection.Document().Regen(); });
}

// Steps 1 to 9: state reset, pick, checks and the segment chain. Any failure
// here ends the run through the run's handler. Returns the picked entity, or
// nothing when the run ends here.
cad::CadEntity* PickAndCheck(ExecuteParams& params, const RunInputs& inputs, RunContext& context,
                             std::vector<cad::CadEntity*>& legEntities) {
  Host& host = context.host;
  RunState& state = context.state;
  const NumberSymbols symbols = host.Symbols();
  try {
    state.Reset();
    state.MetresPerUnit = MetresPerUnit(inputs.pathUnit);
    state.CalculationStep = 0.2 / state.MetresPerUnit;

    context.connection.Attach();
    host.MinimiseMainWindow();
    cad::ActivateCadWindow(context.connection, host);
    host.SetStatusText(0, kPickPrompt);
    cad::CadEntity* entity = cad::entselPoly(context.connection, kPickPrompt);
    if (entity == nullptr) {
      host.RestoreMainWindow();
      return nullptr;
    }
    legEntities = {entity};
    // The further legs of a manoeuvre are picked in their order.
    for (std::size_t leg = 1; leg < inputs.legs.size(); ++leg) {
      cad::CadEntity* next = cad::entselPoly(context.connection, kPickPrompt);
      if (next == nullptr) {
        host.RestoreMainWindow();
        return nullptr;
      }
      legEntities.push_back(next);
    }
    host.RestoreMainWindow();

    params.VehicleSpeed = SpeedToMetresPerSecond(params.VehicleSpeed, inputs.speedUnit);
    if (auto message = CheckRunInputs(inputs, symbols)) {
      Show(host, *message);
      return nullptr;
    }
    state.segments = BuildSegments(params.VType, [&](Dimension d) {
      return ParseFieldNumber(inputs.vehicle[d], symbols);
    });
    host.SetStatusText(0, "Cleaning up....please wait");
    return entity;
  } catch (const cad::CadError& error) {
    host.RestoreMainWindow();
    cad::ReportRunFailure(host, error);
  } catch (const ConversionError& error) {
    host.RestoreMainWindow();
    cad::ReportRunFailure(host, error.description);
  } catch (const std::exception& error) {
    host.RestoreMainWindow();
    cad::ReportRunFailure(host, error.what());
  }
  return nullptr;
}

// Inserts a run block into model space and notes it; a failure is passed over.
void InsertBlock(RunContext& context, const std::string& name) {
  Skip([&] {
    cad::InsertRunBlock(context.connection.Document(), name);
    context.state.insertedBlocks.push_back(name);
  });
}

// Step 19's output: diagrams, sweep lines, envelope, clearance marks and line,
// summary, vehicle block. Each statement is passed over on its own when it
// fails, so a block is still inserted when drawing into it failed.
void ProduceOutput(const ExecuteParams& params, const RunInputs& inputs, RunContext& context,
                   const cad::RunBlocks& blocks) {
  Host& host = context.host;
  RunState& state = context.state;
  Skip([&] { host.DrawRunDiagrams(); });
  if (params.PlotSweep) {
    Skip([&] { host.SetStatusText(0, "Plotting sweep lines"); });
    Skip([&] {
      if (blocks.sweep == nullptr) throw std::runtime_error("no sweep block");
      cad::PlotSweeplines(cad::kLayerLeftSweep, cad::kLayerRightSweep, cad::kLayerWheelSweep,
                          context.connection, *blocks.sweep, state, context.colours, host);
    });
    InsertBlock(context, state.SweepBlockName);
  }
  const bool envelope =
      params.plotPerimeter && !state.outcome.TurnExceeded && !state.outcome.SegmentExceeded;
  if (envelope) {
    Skip([&] {
      const EnvelopeTraces traces = ComputeEnvelope(state, host);
      state.envelopeRight = traces.rightHand;
      state.envelopeLeft = traces.leftHand;
      if (blocks.envelope == nullptr) throw std::runtime_error("no envelope block");
      cad::DrawEnvelope(traces, cad::kLayerLeftSweep, cad::kLayerRightSweep, context.connection,
                        *blocks.envelope, context.colours, host.Symbols());
    });
  }
  bool clearanceDrawn = false;
  Skip([&] {
    if (blocks.envelope != nullptr) clearanceDrawn = DrawRunClearance(context, *blocks.envelope);
  });
  if (envelope || clearanceDrawn) InsertBlock(context, state.EnvelopeBlockName);
  Skip([&] { host.SetStatusText(0, RunSummary(state, inputs.speedUnit, host.Symbols())); });
  if (params.PlotVehicle) InsertBlock(context, state.VehicleBlockName);
  Skip([&] { host.SetProgressVisible(false); });
}

}  // namespace

constexpr const char* kZeroLengthPath = "The path has length 0, the run did not start";

RunOutcome ExecuteSweep(ExecuteParams& params, const RunInputs& inputs, RunContext& context) {
  Host& host = context.host;
  RunState& state = context.state;
  std::vector<cad::CadEntity*> legEntities;
  cad::CadEntity* entity = PickAndCheck(params, inputs, context, legEntities);
  if (entity == nullptr) return RunOutcome::Ended;

  // From here on a failing step is skipped and the run goes on.
  cad::RunBlocks blocks;
  Skip([&] {
    blocks = cad::CreateRunBlocks(context.connection.Application(), context.connection.Document(), host);
    state.VehicleBlockName = blocks.vehicleName;
    state.SweepBlockName = blocks.sweepName;
    state.EnvelopeBlockName = blocks.envelopeName;
  });

  bool refused = false;
  Skip([&] {
    host.SetStatusText(0, "Evaluating path");
    bool flat = true;
    for (cad::CadEntity* leg : legEntities) flat = flat && leg->EntityType() != cad::kEntity3dPolyline;
    if (!flat) {
      refused = true;
      host.SetStatusText(0, "Wrong type of path selected, Press Execute to Continue");
      host.ShowMessage(MessageKind::Error, "Wrong type of element!",
                       "You can not use 3DPolylines as path! Please use Polylines or LWpolylines");
    }
  });
  if (refused) return RunOutcome::Ended;

  bool prepared = false;
  Skip([&] {
    if (inputs.legs.size() > 1) {
      prepared = PrepareLegs(inputs, legEntities, state, host);
      return;
    }
    state.PathLength = 0;
    Prepare_VehiclePath(*entity, state.CalculationStep, state.PathLength, state, host);
    prepared = !state.stations.empty();
    if (prepared && params.Reverse) ReversePathStations(state.stations);
    if (prepared) SingleLeg(inputs, entity->Handle(), state);
  });
  // A path that could not be stationed completely is never run; the status
  // line says why, as no message may have been shown.
  if (!prepared) {
    bool polyline = false;
    Skip([&] {
      const int type = entity->EntityType();
      polyline = type == cad::kEntityPolyline || type == cad::kEntityLightWeightPolyline;
    });
    host.SetStatusText(0, !polyline ? "Wrong type of path selected, Press Execute to Continue"
                          : state.PathLength == 0 ? kZeroLengthPath
                                                  : "The path could not be read");
    return RunOutcome::Ended;
  }

  switch (CheckPathLength(state.PathLength, state.CalculationStep)) {
    case PathCheck::EndSilently:
      host.SetStatusText(0, kZeroLengthPath);
      return RunOutcome::Ended;
    case PathCheck::WrongUnit:
      Show(host, WrongUnitMessage());
      return RunOutcome::Ended;
    case PathCheck::AskLongPath:
      if (Show(host, LongPathQuestion()) != MessageAnswer::Yes) {
        CleanUp(context);
        return RunOutcome::Ended;
      }
      break;
    case PathCheck::Ok:
      break;
  }

  Skip([&] { state.fordonslen = SumSegments(params.VType, inputs.vehicle, host); });

  SweepOptions options;
  const double wantedSpacing = params.PlotSpacing;
  Skip([&] {
    options.vehicleType = params.VType;
    options.speedMetresPerSecond = params.VehicleSpeed;
    options.lockToLockSeconds = params.LockToLock;
    options.speedUnitCode = inputs.speedUnit;
    options.metresPerUnit = state.MetresPerUnit;
    options.calculationStep = state.CalculationStep;
    options.plotInterval = PlotIntervalFor(state.PathLength, state.fordonslen, params.PlotSpacing,
                                        params.PlotOnlyFirstandLast, state.CalculationStep);
    SetLegPlotIntervals(params, wantedSpacing, options.plotInterval, state);
  });

  state.StopRequested = false;
  Skip([&] {
    host.SetProgressVisible(true);
    host.SetProgressMaximum(static_cast<float>(state.stations.size()));
  });

  // Obstacles are read before the run adds its own output to the drawing.
  std::vector<Obstacle> obstacles;
  Skip([&] { obstacles = ReadObstacles(inputs, context); });

  NoDrawing noDrawing;
  std::optional<cad::CadSweepDrawing> cadDrawing;
  if (blocks.vehicle != nullptr)
    cadDrawing.emplace(context.connection, *blocks.vehicle, context.colours, host);
  SweepDrawing& drawing = cadDrawing ? static_cast<SweepDrawing&>(*cadDrawing) : noDrawing;

  LoopEnd end = LoopEnd::Completed;
  try {
    end = RunStationLoop(state, options, params.PlotVehicle, drawing, host);
  } catch (const std::exception& error) {
    // The loop reports its own failures; one that escapes it ends the run.
    host.ShowMessage(MessageKind::Warning, kFailureTitle, std::string(error.what()) + " Execute sweep");
    CleanUp(context);
    return RunOutcome::Ended;
  }
  FinishLegs(end, OutcomeOf(state), state);
  if (end == LoopEnd::StopRequested || end == LoopEnd::Refused) {
    CleanUp(context);
    return end == LoopEnd::Refused ? RunOutcome::Ended : RunOutcome::Cancelled;
  }
  Skip([&] { CheckRunClearance(obstacles, inputs, params.ClearanceMargin, state); });
  ProduceOutput(params, inputs, context, blocks);
  CleanUp(context);
  return OutcomeOf(state);
}

RunOutcome ExecuteButton(const RunInputs& inputs, RunContext& context) {
  Host& host = context.host;
  if (auto message = CheckExecuteButton(inputs)) {
    Show(host, *message);
    return RunOutcome::Ended;
  }
  const NumberSymbols symbols = host.Symbols();
  const int vehicleType = inputs.vehicle.Type;
  if (FindVehicleType(vehicleType) == nullptr) {
    host.ShowMessage(MessageKind::Warning, "Missing value", "Please select a Vehicle type!");
    return RunOutcome::Ended;
  }
  // The button reads its numbers before the run; text that does not convert is
  // reported with the run's own words instead of ending the program.
  const auto speed = TryParseFieldNumber(inputs.txt_Speed, symbols);
  if (!speed) {
    host.ShowMessage(MessageKind::Warning, "Bad value", "Bad value for Speed!");
    return RunOutcome::Ended;
  }
  const auto lockToLock = TryParseFieldNumber(inputs.vehicle[Dimension::LockToLockTime], symbols);
  if (!lockToLock) {
    host.ShowMessage(MessageKind::Warning, "Bad value",
                     std::string("Bad value for Lock to lock! Must be above zero!") + kCR + kCR +
                         "(A common value is 6-8 seconds)");
    return RunOutcome::Ended;
  }
  const bool spacingUsed = inputs.plotVehicle && !inputs.plotOnlyFirstAndLast;
  const auto spacing = TryParseFieldNumber(inputs.txt_plotSpacing, symbols);
  if (spacingUsed && !spacing) {
    host.ShowMessage(MessageKind::Warning, "Bad value", "Bad value for Max Vehicle Plot Spacing!");
    return RunOutcome::Ended;
  }

  const auto margin = TryParseFieldNumber(inputs.txt_ClearanceMargin, symbols);
  if (!inputs.obstacleLayers.empty() && !(margin && *margin >= 0)) {
    host.ShowMessage(MessageKind::Warning, "Bad value",
                     "Bad value for Clearance margin! Must be zero or above.");
    return RunOutcome::Ended;
  }

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
  const RunOutcome outcome = ExecuteSweep(params, inputs, context);

  if (context.state.outcome.TurnExceeded)
    Show(host, FrontWheelReport(context.state.outcome, symbols));
  if (context.state.outcome.SegmentExceeded)
    Show(host, ArticulationReport(context.state.outcome, symbols));
  return outcome;
}

}  // namespace veerline
