#include "cli/FleetRows.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <sstream>

namespace veerline::cli {
namespace {

using nlohmann::json;

// Bytes as base64 text (the standard alphabet, padded with "="), for a
// picture inside the page.
std::string Base64(const std::string& bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      text += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
  }
  return text;
}

// The figures of a row, in the order the files show them.
const char* const kFigures[] = {"outcome",           "stopStation", "maxSteeringAngle",
                                "maxArticulationAngle", "lowestSpeed", "clearance.minimumDistance",
                                "sweptWidth"};

std::string Fixed(const json& value, int decimals) {
  if (!value.is_number()) return "";
  // With a point whatever the locale (the tool runs with the user's).
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value.get<double>(),
                                 std::chars_format::fixed, decimals);
  return std::string(text, end.ptr);
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

// A figure of the row under the run report's own name; null where the run gave none.
json Figure(const FleetRow& row, const std::string& key) {
  const RunFigures& f = row.figures;
  auto number = [](const std::optional<double>& v) { return v ? json(*v) : json(nullptr); };
  if (key == "outcome") return RunOutcomeKey(f.outcome);
  if (key == "stopStation") return number(f.stopStation);
  if (key == "maxSteeringAngle") return number(f.maxSteeringAngle);
  if (key == "maxArticulationAngle") return number(f.maxArticulationAngle);
  if (key == "lowestSpeed") return number(f.lowestSpeed);
  if (key == "clearance.minimumDistance") return number(f.minimumClearance);
  return number(f.sweptWidth);
}

}  // namespace

json FleetJson(const std::vector<FleetFileRow>& rows, const json& run) {
  json list = json::array();
  for (const FleetFileRow& fileRow : rows) {
    const FleetRow& row = fileRow.row;
    json entry = {{"vehicle", row.vehicle}, {"library", row.library}, {"record", row.record}};
    for (const char* key : kFigures) entry[key] = Figure(row, key);
    entry["verdict"] = FleetVerdict(row);
    entry["conflicts"] = row.figures.conflicts;
    entry["reason"] = row.reason;
    list.push_back(std::move(entry));
  }
  return {{"run", run}, {"rows", list}};
}

std::string FleetCsv(const std::vector<FleetFileRow>& rows) {
  std::ostringstream out;
  out << "vehicle,library,record,verdict";
  for (const char* key : kFigures) out << ',' << key;
  out << ",reason\r\n";
  for (const FleetFileRow& fileRow : rows) {
    const FleetRow& row = fileRow.row;
    out << CsvField(row.vehicle) << ',' << CsvField(row.library) << ',' << row.record << ','
        << CsvField(FleetVerdict(row));
    for (const char* key : kFigures) {
      const json value = Figure(row, key);
      out << ',' << (value.is_string() ? CsvField(value.get<std::string>()) : Fixed(value, 3));
    }
    out << ',' << CsvField(row.reason) << "\r\n";
  }
  return out.str();
}

std::string FleetHtml(const std::vector<FleetFileRow>& rows, const std::string& title,
                      const std::string& speedUnit) {
  int fitting = 0;
  bool clearanceChecked = false;
  for (const FleetFileRow& fileRow : rows) {
    fitting += FleetRowFits(fileRow.row);
    clearanceChecked |= fileRow.row.figures.minimumClearance.has_value();
  }
  // A figure the run did not give shows as a dash, not as an empty cell.
  auto cell = [](const json& value, int decimals) {
    const std::string text = Fixed(value, decimals);
    return "<td class=\"n\">" + (text.empty() ? std::string("&ndash;") : text) + "</td>";
  };
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << Html(title)
      << "</title>\n<style>body{font-family:sans-serif;margin:1.5em;color:#222}"
         "table{border-collapse:collapse}"
         "th,td{border:1px solid #bbb;padding:4px 8px;text-align:left;vertical-align:middle}"
         "th{background:#eee;position:sticky;top:0}td.n{text-align:right;white-space:nowrap}"
         "tr.fits td.v{color:#070}tr.nofit td.v{color:#b00;font-weight:bold}"
         "td.r{max-width:22em}img{width:240px;display:block}p{margin:0.3em 0}</style>"
         "</head><body>\n<h1>"
      << Html(title) << "</h1>\n<p><b>" << fitting << " of " << rows.size()
      << " vehicles fit.</b></p>\n<p>Lengths and stations in the drawing's units, angles in "
         "degrees, speeds in "
      << Html(speedUnit) << "."
      << (clearanceChecked ? "" : " No obstacle layer was checked for clearance.")
      << "</p>\n<table>\n<tr><th>Picture</th><th>Vehicle</th><th>Outcome</th>"
      << (clearanceChecked ? "<th>Smallest clearance</th>" : "")
      << "<th>Largest steering angle</th><th>Largest articulation angle</th><th>Lowest speed</th>"
         "<th>Swept width</th><th>Reason</th></tr>\n";
  for (const FleetFileRow& fileRow : rows) {
    const FleetRow& row = fileRow.row;
    const bool fits = FleetRowFits(row);
    out << "<tr class=\"" << (fits ? "fits" : "nofit") << "\"><td>";
    if (!fileRow.picturePng.empty()) {
      out << "<img alt=\"" << Html(row.vehicle) << "\" src=\"data:image/png;base64,"
          << Base64(fileRow.picturePng) << "\">";
    }
    out << "</td><td>" << Html(row.vehicle) << "<br><small>" << Html(row.library) << " #"
        << row.record << "</small></td><td class=\"v\">" << Html(FleetVerdict(row)) << "</td>";
    if (clearanceChecked) out << cell(Figure(row, "clearance.minimumDistance"), 2);
    out << cell(Figure(row, "maxSteeringAngle"), 1) << cell(Figure(row, "maxArticulationAngle"), 1)
        << cell(Figure(row, "lowestSpeed"), 1) << cell(Figure(row, "sweptWidth"), 2)
        << "<td class=\"r\">" << Html(row.reason) << "</td></tr>\n";
  }
  out << "</table>\n</body></html>\n";
  return out.str();
}

}  // namespace veerline::cli
