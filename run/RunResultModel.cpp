#include "run/RunResultModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace veerline {
namespace {

Point2D Mid(const Point2D& a, const Point2D& b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

// A unit's pose from its body outline: the outline's front edge lies Front
// ahead of the guided point, its rear edge Wheelbase + Back behind it.
UnitPose PoseFromOutline(const StationOutline& outline, const SegmentRecord& segment) {
  UnitPose pose;
  pose.body = outline.Corners;
  const Point2D front = Mid(outline.Corners[0], outline.Corners[1]);
  const Point2D rear = Mid(outline.Corners[2], outline.Corners[3]);
  const double length = std::hypot(front.X - rear.X, front.Y - rear.Y);
  const double dx = length > 0 ? (front.X - rear.X) / length : 1;
  const double dy = length > 0 ? (front.Y - rear.Y) / length : 0;
  pose.front = {front.X - segment.Front * dx, front.Y - segment.Front * dy};
  pose.rear = {pose.front.X - segment.Wheelbase * dx, pose.front.Y - segment.Wheelbase * dy};
  pose.heading = std::atan2(dy, dx) * 180 / 3.14159265358979323846;
  return pose;
}

// The outlines grouped station by station; a station whose units are not all
// there (a run that failed in the middle of one) is left out.
std::vector<std::vector<UnitPose>> Poses(const RunState& state) {
  std::vector<std::vector<UnitPose>> poses;
  const std::size_t units = state.segments.size();
  if (units == 0) return poses;
  std::vector<UnitPose> station;
  for (const StationOutline& outline : RunOutlines(state)) {
    if (outline.Unit == 0) station.clear();
    if (outline.Unit != static_cast<int>(station.size()) || station.size() >= units) continue;
    station.push_back(PoseFromOutline(outline, state.segments[station.size()]));
    if (station.size() == units) poses.push_back(station);
  }
  return poses;
}

// The track's value at a station distance: the tracks do not all start at
// the first station (the articulation is first measured at the second).
std::optional<double> Value(const Track& track, double station, double step, double scale) {
  const auto row = std::lower_bound(
      track.begin(), track.end(), station - step / 2,
      [](const TrackRow& r, double distance) { return r.Distance < distance; });
  if (row == track.end() || !(std::fabs(row->Distance - station) < step / 2) || !row->Value)
    return std::nullopt;
  return *row->Value * scale;
}

}  // namespace

double RunResultModel::StationDistance(std::size_t station) const {
  if (station < stations.size()) return static_cast<double>(station) * calculationStep;
  return 0;
}

StationReadings RunResultModel::ReadingsAt(std::size_t station) const {
  StationReadings readings;
  if (segments.empty()) return readings;
  const double at = StationDistance(station);
  const double step = calculationStep > 0 ? calculationStep : 1;
  readings.steering = Value(steering, at, step, segments.front().MaxTurningAngle / 100);
  readings.speed = Value(speed, at, step, 1);
  // The articulation tracks follow the units after the first that are not drawbars.
  const Track* tracks[3] = {&articulation1, &articulation2, &articulation3};
  std::size_t next = 0;
  for (std::size_t k = 1; k < segments.size() && next < 3; ++k) {
    if (segments[k].Kind == SegmentKind::TowBarLink) continue;
    readings.articulation[next] = Value(*tracks[next], at, step, segments[k].MaxSegmentAngle / 100);
    ++next;
  }
  return readings;
}

std::optional<std::size_t> RunResultModel::StopPose() const {
  if (poses.empty()) return std::nullopt;
  if (!figures.stopStation || calculationStep <= 0) return poses.size() - 1;
  const double index = std::round(*figures.stopStation / calculationStep);
  if (!(index >= 0)) return 0;
  return std::min(static_cast<std::size_t>(index), poses.size() - 1);
}

namespace {

// The model without the run's large tables, which the callers copy or take.
RunResultModel ModelWithoutTables(const RunResult& run, const RunState& state,
                                  std::vector<RecordedMessage> messages, int speedUnit,
                                  int vehicleType, std::string summary, WithPoses poses,
                                  const std::optional<RunFigures>& figures) {
  RunResultModel model;
  model.outcome = run.outcome;
  model.figures = figures ? *figures : MeasureRun(run.outcome, state);
  model.messages = std::move(messages);
  model.summary = std::move(summary);
  model.speedUnit = speedUnit;
  model.vehicleType = vehicleType;
  model.pathLength = state.pathLength;
  model.calculationStep = state.calculationStep;
  model.metresPerUnit = state.metresPerUnit;
  model.vehicleLength = state.vehicleLength;
  model.segments = state.segments;
  model.blocks = run.blocks;
  model.insertedBlocks = run.insertedBlocks;
  model.clearance = state.clearance;
  model.legs = state.legs;
  model.legAt.assign(state.stations.size(), 0);
  model.reverseAt.assign(state.stations.size(), false);
  for (std::size_t j = 0; j < state.legs.size(); ++j) {
    const ManoeuvreLeg& leg = state.legs[j];
    const std::size_t end =
        j + 1 < state.legs.size() ? state.legs[j + 1].firstStation : state.stations.size();
    for (std::size_t i = leg.firstStation; i < end && i < state.stations.size(); ++i) {
      model.reverseAt[i] = leg.reverse;
      model.legAt[i] = static_cast<int>(j);
    }
  }
  if (poses == WithPoses::Yes) model.poses = Poses(state);
  return model;
}

// Copies the tables, or moves them when `State` is an rvalue.
template <class State>
void TakeTables(RunResultModel& model, State&& state) {
  model.stations = std::forward<State>(state).stations;
  model.steering = std::forward<State>(state).steeringTrack;
  model.articulation1 = std::forward<State>(state).articulationTrack1;
  model.articulation2 = std::forward<State>(state).articulationTrack2;
  model.articulation3 = std::forward<State>(state).articulationTrack3;
  model.speed = std::forward<State>(state).speedTrack;
  model.outlineStations = std::forward<State>(state).outlineStations;
  model.envelopeRight = std::forward<State>(state).envelopeRight;
  model.envelopeLeft = std::forward<State>(state).envelopeLeft;
  model.axles = std::forward<State>(state).axles;
}

}  // namespace

RunResultModel MakeRunResultModel(const RunResult& run, const RunState& state,
                                  std::vector<RecordedMessage> messages, int speedUnit,
                                  int vehicleType, std::string summary, WithPoses poses,
                                  const std::optional<RunFigures>& figures) {
  RunResultModel model = ModelWithoutTables(run, state, std::move(messages), speedUnit,
                                            vehicleType, std::move(summary), poses, figures);
  TakeTables(model, state);
  return model;
}

RunResultModel MakeRunResultModel(const RunResult& run, RunState&& state,
                                  std::vector<RecordedMessage> messages, int speedUnit,
                                  int vehicleType, std::string summary, WithPoses poses,
                                  const std::optional<RunFigures>& figures) {
  RunResultModel model = ModelWithoutTables(run, state, std::move(messages), speedUnit,
                                            vehicleType, std::move(summary), poses, figures);
  TakeTables(model, std::move(state));
  return model;
}

}  // namespace veerline
