#include "cli/RunReport.h"

#include <cmath>


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
void AddLegs(json& report, const RunResultModel& model) {
  json legs = json::array();
  for (const ManoeuvreLeg& leg : model.legs) {
    legs.push_back({{"direction", leg.reverse ? "reverse" : "forward"},
                    {"handle", leg.handle},
                    {"firstStation", leg.firstStation},
                    {"lastStation", leg.lastStation},
                    {"length", Number(leg.length)},
                    {"outcome", leg.outcome},
                    {"maxPathDeviation", Number(leg.maxPathDeviation)}});
  }
  json directions = json::array();
  for (const bool reverse : model.reverseAt) directions.push_back(reverse ? "reverse" : "forward");
  report["legs"] = legs;
  report["direction"] = directions;
  report["leg"] = model.legAt;
}

// Per station reached, per segment: rear-axle centre and heading in degrees.
json AxlesJson(const RunResultModel& model) {
  json stations = json::array();
  const std::size_t n = model.segments.size();
  if (n == 0) return stations;
  for (std::size_t first = 0; first + n <= model.axles.size(); first += n) {
    json units = json::array();
    for (std::size_t k = first; k < first + n; ++k)
      units.push_back(
          {Number(model.axles[k][0]), Number(model.axles[k][1]), Number(model.axles[k][2])});
    stations.push_back(std::move(units));
  }
  return stations;
}

}  // namespace

json MakeRunReport(const RunResultModel& model) {
  json report;
  // The figures a fleet row repeats come from the one place both take them.
  const RunFigures& figures = model.figures;
  report["outcome"] = RunOutcomeKey(model.outcome);
  report["stopStation"] = Optional(figures.stopStation);
  report["stopAngle"] = Optional(figures.stopAngle);

  json messages = json::array();
  for (const RecordedMessage& m : model.messages)
    messages.push_back({{"kind", MessageKindKey(m.kind)}, {"title", m.title}, {"text", m.text}});
  report["messages"] = messages;

  report["pathLength"] = Number(model.pathLength);
  report["calculationStep"] = Number(model.calculationStep);
  report["metresPerUnit"] = Number(model.metresPerUnit);
  report["vehicleLength"] = Number(model.vehicleLength);
  report["maxSteeringAngle"] = Optional(figures.maxSteeringAngle);
  report["maxArticulationAngle"] = Optional(figures.maxArticulationAngle);
  report["lowestSpeed"] = Optional(figures.lowestSpeed);
  report["speedUnit"] = model.speedUnit == 1 ? "mph" : model.speedUnit == 2 ? "m/s" : "km/h";
  report["summary"] = model.summary;
  report["segments"] = SegmentsJson(model.segments);

  json stations = json::array();
  for (const PathStation& s : model.stations)
    stations.push_back(
        {Number(s.StationPoint.X), Number(s.StationPoint.Y), Number(s.StationDistance)});
  report["stations"] = stations;

  report["tracks"] = {{"steering", TrackJson(model.steering)},
                      {"articulation1", TrackJson(model.articulation1)},
                      {"articulation2", TrackJson(model.articulation2)},
                      {"articulation3", TrackJson(model.articulation3)},
                      {"speed", TrackJson(model.speed)}};
  report["outlineStations"] = model.outlineStations;
  report["envelope"] = {{"right", PointsJson(model.envelopeRight)},
                        {"left", PointsJson(model.envelopeLeft)}};
  report["sweptWidth"] = Optional(figures.sweptWidth);
  report["blocks"] = {{"vehicle", model.blocks.vehicle},
                      {"sweep", model.blocks.sweep},
                      {"envelope", model.blocks.envelope},
                      {"inserted", model.insertedBlocks}};
  report["clearance"] = ClearanceJson(model.clearance, figures);
  AddLegs(report, model);
  report["axles"] = AxlesJson(model);
  return report;
}

}  // namespace veerline::cli
