#include "run/RunReport.h"

#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "run/JsonStream.h"

namespace veerline {
namespace {

using nlohmann::json;

// A figure the run may not have; JSON has no NaN, so a missing or non-finite
// value is written as null.
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
double Or(const std::optional<double>& value) { return value ? *value : kNoValue; }

// A number, or null when it is not finite.
json Number(double value) { return std::isfinite(value) ? json(value) : json(nullptr); }

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
          {"minimumDistance", Number(Or(figures.minimumClearance))},
          {"conflicts", conflicts}};
}

// The legs of the manoeuvre.
json LegsJson(const RunResultModel& model) {
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
  return legs;
}

}  // namespace

void WriteRunReport(const RunResultModel& model, const SavePieces& sink) {
  JsonStream out(sink);
  // The figures a fleet row repeats come from the one place both take them.
  const RunFigures& figures = model.figures;
  auto rows = [&out](std::size_t count, int level, auto row) {
    out.Array(count, level, [&](std::size_t i, int at) {
      const auto values = row(i);
      out.Numbers(values.data(), values.size(), at);
    });
  };
  auto track = [&](const Track& rows_, int level) {
    rows(rows_.size(), level, [&](std::size_t i) {
      const TrackRow& row = rows_[i];
      return std::array<double, 2>{row.Distance, row.Value ? *row.Value : kNoValue};
    });
  };
  auto points = [&](const std::vector<Point2D>& points_, int level) {
    rows(points_.size(), level,
         [&](std::size_t i) { return std::array<double, 2>{points_[i].X, points_[i].Y}; });
  };

  // The members in the order a dumped tree has them: sorted by key.
  out.Begin(0);
  out.Member("axles");
  // Per station reached, per segment: rear-axle centre and heading in degrees.
  const std::size_t units = model.segments.size();
  const std::size_t reached = units == 0 ? 0 : model.axles.size() / units;
  out.Array(reached, 1, [&](std::size_t station, int level) {
    rows(units, level, [&](std::size_t k) { return model.axles[station * units + k]; });
  });
  out.Member("blocks");
  out.Value({{"vehicle", model.blocks.vehicle},
             {"sweep", model.blocks.sweep},
             {"envelope", model.blocks.envelope},
             {"inserted", model.insertedBlocks}},
            1);
  out.Member("calculationStep");
  out.Number(model.calculationStep);
  out.Member("clearance");
  out.Value(ClearanceJson(model.clearance, figures), 1);
  out.Member("direction");
  out.Array(model.reverseAt.size(), 1, [&](std::size_t i, int) {
    out.Raw(model.reverseAt[i] ? "\"reverse\"" : "\"forward\"");
  });
  out.Member("envelope");
  out.Begin(1);
  out.Member("left");
  points(model.envelopeLeft, 2);
  out.Member("right");
  points(model.envelopeRight, 2);
  out.End();
  out.Member("leg");
  out.Array(model.legAt.size(), 1, [&](std::size_t i, int) { out.Integer(model.legAt[i]); });
  out.Member("legs");
  out.Value(LegsJson(model), 1);
  out.Member("lowestSpeed");
  out.Number(Or(figures.lowestSpeed));
  out.Member("maxArticulationAngle");
  out.Number(Or(figures.maxArticulationAngle));
  out.Member("maxSteeringAngle");
  out.Number(Or(figures.maxSteeringAngle));
  out.Member("messages");
  json messages = json::array();
  for (const RecordedMessage& m : model.messages)
    messages.push_back({{"kind", MessageKindKey(m.kind)}, {"title", m.title}, {"text", m.text}});
  out.Value(messages, 1);
  out.Member("metresPerUnit");
  out.Number(model.metresPerUnit);
  out.Member("outcome");
  out.Value(RunOutcomeKey(model.outcome), 1);
  out.Member("outlineStations");
  out.Array(model.outlineStations.size(), 1,
            [&](std::size_t i, int) { out.Integer(model.outlineStations[i]); });
  out.Member("pathLength");
  out.Number(model.pathLength);
  out.Member("segments");
  out.Value(SegmentsJson(model.segments), 1);
  out.Member("speedUnit");
  out.Value(model.speedUnit == 1 ? "mph" : model.speedUnit == 2 ? "m/s" : "km/h", 1);
  out.Member("stations");
  rows(model.stations.size(), 1, [&](std::size_t i) {
    const PathStation& s = model.stations[i];
    return std::array<double, 3>{s.StationPoint.X, s.StationPoint.Y, s.StationDistance};
  });
  out.Member("stopAngle");
  out.Number(Or(figures.stopAngle));
  out.Member("stopStation");
  out.Number(Or(figures.stopStation));
  out.Member("summary");
  out.Value(model.summary, 1);
  out.Member("sweptWidth");
  out.Number(Or(figures.sweptWidth));
  out.Member("tracks");
  out.Begin(1);
  for (const auto& [key, rows_] : {std::pair{"articulation1", &model.articulation1},
                                   std::pair{"articulation2", &model.articulation2},
                                   std::pair{"articulation3", &model.articulation3},
                                   std::pair{"speed", &model.speed},
                                   std::pair{"steering", &model.steering}}) {
    out.Member(key);
    track(*rows_, 2);
  }
  out.End();
  out.Member("vehicleLength");
  out.Number(model.vehicleLength);
  out.End();
  out.Raw("\n");
  out.Finish();
}

}  // namespace veerline
