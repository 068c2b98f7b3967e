#include "run/ExecuteSweep.h"

#include <exception>
#include <new>
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
#include "run/RunBlockNames.h"
#include "run/RunChecks.h"
#include "run/RunClearance.h"
#include "run/RunFailure.h"
#include "run/RunLegs.h"
#include "run/RunOptions.h"

namespace veerline {
namespace {

// Runs one output step in skip mode: a step that fails is passed over. Running
// out of memory is no failure of one step, so it goes on to the caller.
template <typename Step>
void Skip(Step&& step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
  }
}

constexpr const char* kEnvelopeOutOfMemory = "Out of memory: the envelope was not drawn";
constexpr const char* kRunOutOfMemory = "Out of memory: the run did not finish";

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
  RunHost& host = context.host;
  Skip([&] { host.RestoreMainWindow(); });
  Skip([&] { host.SetProgressVisible(false); });
  Skip([&] { cad::ActivateCadWindow(context.connection, host); });
  Skip([&] { context.connection.Document().Regen(); });
}

// Steps 1 to 9: state reset, pick, checks and the segment chain. Any failure
// here ends the run through the run's handler. Returns the picked entity, or
// nothing when the run ends here.
cad::CadEntity* PickAndCheck(ExecuteParams& params, RunInputs& inputs, RunContext& context,
                             std::vector<cad::CadEntity*>& legEntities) {
  RunHost& host = context.host;
  RunState& state = context.state;
  const NumberSymbols symbols = host.Symbols();
  try {
    state.Reset();
    state.metresPerUnit = MetresPerUnit(inputs.pathUnit);
    state.calculationStep = 0.2 / state.metresPerUnit;

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
    // A leg of a manoeuvre in the drawing brings the whole manoeuvre.
    if (inputs.legs.empty() && context.manoeuvreOf) {
      const std::vector<RunContext::Leg> legs = context.manoeuvreOf(*entity);
      if (legs.size() > 1 || (legs.size() == 1 && legs.front().reverse)) {
        legEntities.clear();
        for (const RunContext::Leg& leg : legs) {
          legEntities.push_back(leg.entity);
          inputs.legs.push_back({leg.reverse, leg.entity->Handle()});
        }
        entity = legEntities.front();
      }
    }
    host.RestoreMainWindow();

    params.VehicleSpeed = SpeedToMetresPerSecond(params.VehicleSpeed, inputs.speedUnit);
    if (auto message = CheckRunInputs(inputs, symbols)) {
      Show(host, *message);
      return nullptr;
    }
    state.segments = BuildSegments(params.VType, [&](Dimension d) {
      return inputs.vehicle.Number(d, symbols);
    });
    host.SetStatusText(0, "Cleaning up....please wait");
    return entity;
  } catch (const cad::CadError& error) {
    host.RestoreMainWindow();
    ReportRunFailure(host, error);
  } catch (const ConversionError& error) {
    host.RestoreMainWindow();
    ReportRunFailure(host, error.description);
  } catch (const std::exception& error) {
    host.RestoreMainWindow();
    ReportRunFailure(host, error.what());
  }
  return nullptr;
}

// Inserts a run block into model space and notes it; a failure is passed over.
void InsertBlock(RunContext& context, const std::string& name, RunResult& result) {
  Skip([&] {
    cad::InsertRunBlock(context.connection.Document(), name);
    result.insertedBlocks.push_back(name);
  });
}

// Step 19's output: diagrams, sweep lines, envelope, clearance marks and line,
// summary, vehicle block. Each statement is passed over on its own when it
// fails, so a block is still inserted when drawing into it failed.
void ProduceOutput(const ExecuteParams& params, const RunInputs& inputs, RunContext& context,
                   const cad::RunBlocks& blocks, RunResult& result) {
  RunHost& host = context.host;
  RunState& state = context.state;
  Skip([&] { host.DrawRunDiagrams(); });
  if (params.PlotSweep) {
    Skip([&] { host.SetStatusText(0, "Plotting sweep lines"); });
    Skip([&] {
      if (blocks.sweep == nullptr) throw std::runtime_error("no sweep block");
      cad::PlotSweeplines(cad::kLayerLeftSweep, cad::kLayerRightSweep, cad::kLayerWheelSweep,
                          context.connection, *blocks.sweep, state, context.colours, host);
    });
    InsertBlock(context, result.blocks.sweep, result);
  }
  const bool envelope =
      params.plotPerimeter && !state.outcome.TurnExceeded && !state.outcome.SegmentExceeded;
  if (envelope) {
    try {
      Skip([&] {
        const EnvelopeTraces traces = ComputeEnvelope(state, host);
        state.envelopeRight = traces.rightHand;
        state.envelopeLeft = traces.leftHand;
        if (blocks.envelope == nullptr) throw std::runtime_error("no envelope block");
        cad::DrawEnvelope(traces, cad::kLayerLeftSweep, cad::kLayerRightSweep, context.connection,
                          *blocks.envelope, context.colours, host.Symbols());
      });
    } catch (const std::bad_alloc&) {
      // What was drawn of it goes with its block; the run says so instead of
      // passing the run off as complete.
      state.envelopeRight.clear();
      state.envelopeLeft.clear();
      result.outOfMemory = true;
      Skip([&] { host.ShowMessage(MessageKind::Warning, kFailureTitle, kEnvelopeOutOfMemory); });
    }
  }
  bool clearanceDrawn = false;
  Skip([&] {
    if (blocks.envelope != nullptr) clearanceDrawn = DrawRunClearance(context, *blocks.envelope);
  });
  if ((envelope && !result.outOfMemory) || clearanceDrawn)
    InsertBlock(context, result.blocks.envelope, result);
  Skip([&] { host.SetStatusText(0, RunSummary(state, inputs.speedUnit, host.Symbols())); });
  if (params.PlotVehicle) InsertBlock(context, result.blocks.vehicle, result);
  Skip([&] { host.SetProgressVisible(false); });
}

}  // namespace

constexpr const char* kZeroLengthPath = "The path has length 0, the run did not start";

namespace {

RunOutcome Sweep(ExecuteParams& params, const RunInputs& given, RunContext& context,
                 RunResult& result) {
  // The pick may fill in the legs of a manoeuvre.
  RunInputs inputs = given;
  RunHost& host = context.host;
  RunState& state = context.state;
  std::vector<cad::CadEntity*> legEntities;
  cad::CadEntity* entity = PickAndCheck(params, inputs, context, legEntities);
  if (entity == nullptr) return RunOutcome::Ended;

  // From here on a failing step is skipped and the run goes on.
  cad::RunBlocks blocks;
  Skip([&] {
    const cad::RunBlockNames names = MakeRunBlockNames(host);
    blocks = cad::CreateRunBlocks(context.connection.Application(), context.connection.Document(), names);
    result.blocks = names;
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
    state.pathLength = 0;
    Prepare_VehiclePath(*entity, state.calculationStep, state.pathLength, state, host);
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
                          : state.pathLength == 0 ? kZeroLengthPath
                                                  : "The path could not be read");
    return RunOutcome::Ended;
  }

  switch (CheckPathLength(state.pathLength, state.calculationStep)) {
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

  Skip([&] {
    std::string caption;
    state.vehicleLength = SumSegments(params.VType, inputs.vehicle, host, &caption);
    if (!caption.empty()) host.SetTotalLengthCaption(caption);
  });

  SweepOptions options;
  const double wantedSpacing = params.PlotSpacing;
  Skip([&] {
    options.vehicleType = params.VType;
    options.speedMetresPerSecond = params.VehicleSpeed;
    options.lockToLockSeconds = params.LockToLock;
    options.speedUnitCode = inputs.speedUnit;
    options.metresPerUnit = state.metresPerUnit;
    options.calculationStep = state.calculationStep;
    options.plotInterval = PlotIntervalFor(state.pathLength, state.vehicleLength, params.PlotSpacing,
                                        params.PlotOnlyFirstandLast, state.calculationStep);
    SetLegPlotIntervals(params, wantedSpacing, options.plotInterval, state);
  });

  state.stopRequested = false;
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
  ProduceOutput(params, inputs, context, blocks, result);
  CleanUp(context);
  return OutcomeOf(state);
}

}  // namespace

RunResult ExecuteSweep(ExecuteParams& params, const RunInputs& inputs, RunContext& context) {
  RunResult result;
  try {
    result.outcome = Sweep(params, inputs, context, result);
  } catch (const std::bad_alloc&) {
    result.outcome = RunOutcome::Ended;
    result.outOfMemory = true;
    Skip([&] { context.host.ShowMessage(MessageKind::Warning, kFailureTitle, kRunOutOfMemory); });
    Skip([&] { CleanUp(context); });
  }
  return result;
}

RunResult ExecuteButton(const RunInputs& inputs, RunContext& context) {
  RunHost& host = context.host;
  const NumberSymbols symbols = host.Symbols();
  auto options = MakeRunOptions(inputs, symbols);
  if (const RunMessage* refusal = std::get_if<RunMessage>(&options)) {
    Show(host, *refusal);
    return {};
  }
  ExecuteParams& params = std::get<ExecuteParams>(options);
  const RunResult result = ExecuteSweep(params, inputs, context);

  if (context.state.outcome.TurnExceeded)
    Show(host, FrontWheelReport(context.state.outcome, symbols));
  if (context.state.outcome.SegmentExceeded)
    Show(host, ArticulationReport(context.state.outcome, symbols));
  return result;
}

}  // namespace veerline
