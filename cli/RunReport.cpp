#include "cli/RunReport.h"

#include <cmath>

#include "run/RunFigures.h"

namespace veerline::cli {
namespace {

using nlohmann::json;

// A number, or null when it is not finite (JSON has no NaN).
json Number(double value) { return std::isfinite(value) ? json(value) : json(nullptr); }

json TrackJson(const Track& track) {
  json rows = json::array();
  for (const TrackRow& row : track)
    rows.push_back({Number(row.Distance), row.Value ? Number(*row.Value) : json(nullptr)});
  return rows;
}

json PointsJson(const std::vector<Point2D>& points) {
  json rows = json::array();
  for (const Point2D& p : points) rows.push_back({Number(p.X), Number(p.Y)});
  return rows;
}

json SegmentsJson(const Segments& segments) {
  json links = json::array();
  for (const SegmentRecord& s : segments) {
    links.push_back({{"Kind", static_cast<int>(s.Kind)},
                     {"WheelWidth", s.WheelWidth},
                     {"VehicleWidth", s.VehicleWidth},
                     {"Front", s.Front},
                     {"Wheelbase", s.Wheelbase},
                     {"Back", s.Back},
                     {"Hitch", s.Hitch},
                     {"MaxTurningAngle", s.MaxTurningAngle},
                     {"MaxSegmentAngle", s.MaxSegmentAngle},
                     {"DrawCoupling", s.DrawCoupling}});
  }
  return links;
}

// The clearance check as the report gives it: the layers and margin asked
// for, the smallest distance (null without obstacles) and the conflicts,
// nearest first.
json Optional(const std::optional<double>& value) { return value ? json(*value) : json(nullptr); }

json ClearanceJson(const ClearanceResult& clearance, const RunFigures& figures) {
  json conflicts = json::array();
  for (const ObstacleClearance& c : clearance.Conflicts) {
    conflicts.push_back({{"handle", c.Handle},
                         {"layer", c.Layer},
                         {"minimumDistance", Number(c.Distance)},
                         {"station", Number(c.Station)},
                         {"x", Number(c.Nearest.X)},
                         {"y", Number(c.Nearest.Y)},
                         {"firstStation", Number(c.FirstStation)},
                         {"lastStation", Number(c.LastStation)}});
  }
  return {{"layers", clearance.Layers},
          {"margin", Number(clearance.Margin)},
          {"minimumDistance", Optional(figures.minimumClearance)},
          {"conflicts", conflicts}};
}

// The legs of the manoeuvre and, per station, its direction and leg.
void AddLegs(json& report, const RunState& state) {
  json legs = json::array();
  std::vector<std::string> directions(state.stations.size(), "forward");
  std::vector<int> legOf(state.stations.size(), 0);
  for (std::size_t j = 0; j < state.legs.size(); ++j) {
    const ManoeuvreLeg& leg = state.legs[j];
    legs.push_back({{"direction", leg.reverse ? "reverse" : "forward"},
                    {"handle", leg.handle},
                    {"firstStation", leg.firstStation},
                    {"lastStation", leg.lastStation},
                    {"length", Number(leg.length)},
                    {"outcome", leg.outcome},
                    {"maxPathDeviation", Number(leg.maxPathDeviation)}});
    const std::size_t end = j + 1 < state.legs.size() ? state.legs[j + 1].firstStation
                                                       : state.stations.size();
    for (std::size_t i = leg.firstStation; i < end && i < state.stations.size(); ++i) {
      directions[i] = leg.reverse ? "reverse" : "forward";
      legOf[i] = static_cast<int>(j);
    }
  }
  report["legs"] = legs;
  report["direction"] = directions;
  report["leg"] = legOf;
}

// Per station reached, per segment: rear-axle centre and heading in degrees.
json AxlesJson(const RunState& state) {
  json stations = json::array();
  const std::size_t n = state.segments.size();
  if (n == 0) return stations;
  for (std::size_t first = 0; first + n <= state.axles.size(); first += n) {
    json units = json::array();
    for (std::size_t k = first; k < first + n; ++k)
      units.push_back(
          {Number(state.axles[k][0]), Number(state.axles[k][1]), Number(state.axles[k][2])});
    stations.push_back(std::move(units));
  }
  return stations;
}

}  // namespace

json MakeRunReport(const RunResult& run, const RunState& state, const BatchHost& host, int speedUnit,
                   const std::string& summary) {
  const RunOutcome outcome = run.outcome;
  json report;
  // The figures a fleet row repeats come from the one place both take them.
  const RunFigures figures = MeasureRun(outcome, state);
  report["outcome"] = RunOutcomeKey(outcome);
  report["stopStation"] = Optional(figures.stopStation);
  report["stopAngle"] = Optional(figures.stopAngle);

  json messages = json::array();
  for (const RecordedMessage& m : host.Messages())
    messages.push_back({{"kind", MessageKindKey(m.kind)}, {"title", m.title}, {"text", m.text}});
  report["messages"] = messages;

  report["pathLength"] = Number(state.pathLength);
  report["calculationStep"] = Number(state.calculationStep);
  report["metresPerUnit"] = Number(state.metresPerUnit);
  report["vehicleLength"] = Number(state.vehicleLength);
  report["maxSteeringAngle"] = Optional(figures.maxSteeringAngle);
  report["maxArticulationAngle"] = Optional(figures.maxArticulationAngle);
  report["lowestSpeed"] = Optional(figures.lowestSpeed);
  report["speedUnit"] = speedUnit == 1 ? "mph" : speedUnit == 2 ? "m/s" : "km/h";
  report["summary"] = summary;
  report["segments"] = SegmentsJson(state.segments);

  json stations = json::array();
  for (const PathStation& s : state.stations)
    stations.push_back(
        {Number(s.StationPoint.X), Number(s.StationPoint.Y), Number(s.StationDistance)});
  report["stations"] = stations;

  report["tracks"] = {{"steering", TrackJson(state.steeringTrack)},
                      {"articulation1", TrackJson(state.articulationTrack1)},
                      {"articulation2", TrackJson(state.articulationTrack2)},
                      {"articulation3", TrackJson(state.articulationTrack3)},
                      {"speed", TrackJson(state.speedTrack)}};
  report["outlineStations"] = state.outlineStations;
  report["envelope"] = {{"right", PointsJson(state.envelopeRight)},
                        {"left", PointsJson(state.envelopeLeft)}};
  report["sweptWidth"] = Optional(figures.sweptWidth);
  report["blocks"] = {{"vehicle", run.blocks.vehicle},
                      {"sweep", run.blocks.sweep},
                      {"envelope", run.blocks.envelope},
                      {"inserted", run.insertedBlocks}};
  report["clearance"] = ClearanceJson(state.clearance, figures);
  AddLegs(report, state);
  report["axles"] = AxlesJson(state);
  return report;
}

}  // namespace veerline::cli
