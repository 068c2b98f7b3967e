#include "cli/FleetRows.h"

#include <QByteArray>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace veerline::cli {
namespace {

using nlohmann::json;

// The figures of a row, in the order the files show them.
const char* const kFigures[] = {"outcome",           "stopStation", "maxSteeringAngle",
                                "maxArticulationAngle", "lowestSpeed", "clearance.minimumDistance",
                                "sweptWidth"};

std::string Fixed(const json& value, int decimals) {
  if (!value.is_number()) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value.get<double>());
  return text;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Html(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The first message text the run showed, or the last line it printed.
std::string ReasonOf(const json& report, const std::string& errorText) {
  if (report.is_object())
    for (const json& m : report.value("messages", json::array()))
      if (m.value("kind", "") != "question" && !m.value("text", "").empty())
        return m.value("title", "") + ": " + m.value("text", "");
  std::string text = errorText;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const auto lastLine = text.rfind('\n');
  if (lastLine != std::string::npos) text = text.substr(lastLine + 1);
  const std::string prefix = "veerline-cli: ";
  if (text.rfind(prefix, 0) == 0) text = text.substr(prefix.size());
  return text.empty() ? "the run gave no report" : text;
}

}  // namespace

FleetRow MakeFleetRow(std::string vehicle, std::string library, int record, const json& report,
                      const std::string& errorText) {
  FleetRow row{std::move(vehicle), std::move(library), record};
  const bool haveReport = report.is_object();
  for (const char* key : kFigures) {
    const json::json_pointer at("/" + std::string(key == std::string("clearance.minimumDistance")
                                                      ? "clearance/minimumDistance"
                                                      : key));
    row.figures[key] = haveReport && report.contains(at) ? report[at] : json(nullptr);
  }
  if (!haveReport) row.figures["outcome"] = "ended";
  if (haveReport && report.contains("clearance"))
    row.conflicts = static_cast<int>(report["clearance"].value("conflicts", json::array()).size());
  const std::string outcome = row.figures["outcome"].is_string() ? row.figures["outcome"].get<std::string>() : "";
  if (outcome != "completed" || row.conflicts > 0)
    row.reason = row.conflicts > 0 && outcome == "completed"
                     ? std::to_string(row.conflicts) + " obstacle(s) within the clearance margin"
                     : ReasonOf(report, errorText);
  return row;
}

std::string FleetVerdict(const FleetRow& row) {
  const json& outcome = row.figures["outcome"];
  const std::string key = outcome.is_string() ? outcome.get<std::string>() : "ended";
  const std::string at = row.figures["stopStation"].is_number()
                             ? " at " + Fixed(row.figures["stopStation"], 1)
                             : std::string();
  if (key == "completed") return row.conflicts > 0 ? "clearance conflict" : "fits";
  if (key == "front-wheel") return "steering limit" + at;
  if (key == "articulation") return "articulation limit" + at;
  if (key == "lock-to-lock") return "steering-rate limit" + at;
  if (key == "cancelled") return "cancelled";
  return "refused";
}

json FleetJson(const std::vector<FleetRow>& rows, const json& run) {
  json list = json::array();
  for (const FleetRow& row : rows) {
    json entry = {{"vehicle", row.vehicle}, {"library", row.library}, {"record", row.record}};
    for (const auto& [key, value] : row.figures.items()) entry[key] = value;
    entry["verdict"] = FleetVerdict(row);
    entry["conflicts"] = row.conflicts;
    entry["reason"] = row.reason;
    list.push_back(std::move(entry));
  }
  return {{"run", run}, {"rows", list}};
}

std::string FleetCsv(const std::vector<FleetRow>& rows) {
  std::ostringstream out;
  out << "vehicle,library,record,verdict";
  for (const char* key : kFigures) out << ',' << key;
  out << ",reason\r\n";
  for (const FleetRow& row : rows) {
    out << CsvField(row.vehicle) << ',' << CsvField(row.library) << ',' << row.record << ','
        << CsvField(FleetVerdict(row));
    for (const char* key : kFigures) {
      const json& value = row.figures[key];
      out << ',' << (value.is_string() ? CsvField(value.get<std::string>()) : Fixed(value, 3));
    }
    out << ',' << CsvField(row.reason) << "\r\n";
  }
  return out.str();
}

std::string FleetHtml(const std::vector<FleetRow>& rows, const std::string& title) {
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << Html(title)
      << "</title>\n<style>body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse}"
         "th,td{border:1px solid #bbb;padding:4px 8px;text-align:left;vertical-align:middle}"
         "th{background:#eee}td.n{text-align:right}tr.fits td.v{color:#070}"
         "tr.nofit td.v{color:#b00;font-weight:bold}img{width:240px;display:block}</style>"
         "</head><body>\n<h1>"
      << Html(title) << "</h1>\n<table>\n<tr><th>Picture</th><th>Vehicle</th><th>Outcome</th>"
      << "<th>Smallest clearance</th><th>Largest steering angle</th>"
         "<th>Largest articulation angle</th><th>Lowest speed</th><th>Swept width</th>"
         "<th>Reason</th></tr>\n";
  for (const FleetRow& row : rows) {
    const bool fits = FleetVerdict(row) == "fits";
    out << "<tr class=\"" << (fits ? "fits" : "nofit") << "\"><td>";
    if (!row.picturePng.empty()) {
      const QByteArray png(row.picturePng.data(), static_cast<qsizetype>(row.picturePng.size()));
      out << "<img alt=\"" << Html(row.vehicle) << "\" src=\"data:image/png;base64,"
          << png.toBase64().toStdString() << "\">";
    }
    out << "</td><td>" << Html(row.vehicle) << "<br><small>" << Html(row.library) << " #"
        << row.record << "</small></td><td class=\"v\">" << Html(FleetVerdict(row)) << "</td>"
        << "<td class=\"n\">" << Fixed(row.figures["clearance.minimumDistance"], 2) << "</td>"
        << "<td class=\"n\">" << Fixed(row.figures["maxSteeringAngle"], 1) << "</td>"
        << "<td class=\"n\">" << Fixed(row.figures["maxArticulationAngle"], 1) << "</td>"
        << "<td class=\"n\">" << Fixed(row.figures["lowestSpeed"], 1) << "</td>"
        << "<td class=\"n\">" << Fixed(row.figures["sweptWidth"], 2) << "</td>"
        << "<td>" << Html(row.reason) << "</td></tr>\n";
  }
  out << "</table>\n</body></html>\n";
  return out.str();
}

}  // namespace veerline::cli
