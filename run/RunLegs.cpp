#include "run/RunLegs.h"

#include <algorithm>

#include "cad/PathReading.h"
#include "engine/SweepRun.h"

namespace veerline {

bool PrepareLegs(const RunInputs& inputs, const std::vector<cad::CadEntity*>& entities,
                 RunState& state, Host& host) {
  PathStations all;
  std::vector<Point2D> guided;
  std::vector<ManoeuvreLeg> legs;
  double total = 0;
  for (std::size_t j = 0; j < entities.size() && j < inputs.legs.size(); ++j) {
    double length = 0;
    Prepare_VehiclePath(*entities[j], state.calculationStep, length, state, host);
    if (state.stations.empty()) {
      state.stations.clear();
      state.pathLength = length;
      return false;
    }
    ManoeuvreLeg leg;
    leg.reverse = inputs.legs[j].reverse;
    leg.handle = entities[j]->Handle();
    leg.firstStation = all.size();
    leg.lastStation = all.size() + state.stations.size() - 1;
    leg.length = length;
    for (PathStation station : state.stations) {
      guided.push_back(station.StationPoint);
      station.StationDistance += total;
      all.push_back(station);
    }
    total += length;
    legs.push_back(leg);
  }
  state.stations = std::move(all);
  state.guidedPoints = std::move(guided);
  state.legs = std::move(legs);
  state.pathLength = total;
  state.exactTracking = inputs.exactTracking;
  return !state.stations.empty();
}

void SingleLeg(const RunInputs& inputs, const std::string& handle, RunState& state) {
  ManoeuvreLeg leg;
  leg.reverse = inputs.legs.size() == 1 && inputs.legs.front().reverse;
  leg.handle = handle;
  leg.firstStation = 0;
  leg.lastStation = state.stations.size() - 1;
  leg.length = state.pathLength;
  state.legs = {leg};
  state.guidedPoints.clear();
  for (const PathStation& station : state.stations) state.guidedPoints.push_back(station.StationPoint);
  state.exactTracking = inputs.exactTracking;
}

void SetLegPlotIntervals(const ExecuteParams& params, double wantedSpacing, double runInterval,
                         RunState& state) {
  if (state.legs.size() == 1) {
    state.legs.front().plotInterval = runInterval;
    return;
  }
  for (ManoeuvreLeg& leg : state.legs) {
    double spacing = wantedSpacing;
    leg.plotInterval = PlotIntervalFor(leg.length, state.vehicleLength, spacing,
                                       params.PlotOnlyFirstandLast, state.calculationStep);
  }
}

void FinishLegs(LoopEnd end, RunOutcome outcome, RunState& state) {
  if (state.stationTrack.empty()) return;
  const std::size_t reached = state.stationTrack.size() - 1;
  const bool stopped = end != LoopEnd::Completed;
  for (std::size_t j = 0; j < state.legs.size(); ++j) {
    ManoeuvreLeg& leg = state.legs[j];
    const bool last = j + 1 == state.legs.size();
    if (leg.firstStation > reached || (end == LoopEnd::Refused && leg.firstStation == reached && j > 0)) {
      leg.outcome = end == LoopEnd::Refused && leg.firstStation == reached ? "refused" : "not-reached";
      continue;
    }
    if (stopped && (leg.lastStation >= reached || last)) {
      leg.lastStation = reached;
      leg.outcome = end == LoopEnd::StopRequested ? "cancelled" : RunOutcomeKey(outcome);
      if (end == LoopEnd::Refused) leg.outcome = "completed";
      continue;
    }
    leg.outcome = "completed";
  }
}

}  // namespace veerline
