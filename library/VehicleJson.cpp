#include "library/VehicleJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "library/Cp1252.h"

namespace veerline::library {
namespace {

using Json = nlohmann::ordered_json;
using D = Dimension;

constexpr std::size_t kMaxNameLength = 100;
constexpr std::size_t kMaxDescriptionLength = 250;

Dimension Nth(Dimension first, int segment) {
  return static_cast<Dimension>(static_cast<int>(first) + segment - 1);
}

[[noreturn]] void Fail(const std::string& where, const std::string& why) {
  throw VehicleJsonError(where + ": " + why);
}

std::string Quoted(std::string_view key) { return "\"" + std::string(key) + "\""; }

// A text value that fits its library field (counted in stored characters).
std::string ReadText(const Json& entry, const std::string& where, const char* key,
                     std::size_t maxLength, bool required) {
  const auto it = entry.find(key);
  if (it == entry.end()) {
    if (required) Fail(where, "missing " + Quoted(key));
    return {};
  }
  if (!it->is_string()) Fail(where, Quoted(key) + " must be a text");
  std::string text = it->get<std::string>();
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  if (Utf8ToCp1252(text).size() > maxLength)
    Fail(where, Quoted(key) + " is longer than " + std::to_string(maxLength) + " characters");
  return text;
}

// A whole-number code within [low, high].
std::int16_t ReadCode(const Json& entry, const std::string& where, const char* key, int low,
                      int high) {
  const auto it = entry.find(key);
  if (it == entry.end()) Fail(where, "missing " + Quoted(key));
  const std::string range =
      " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high);
  if (!it->is_number_integer()) Fail(where, Quoted(key) + range);
  const auto value = it->get<std::int64_t>();
  if (it->is_number_unsigned() && it->get<std::uint64_t>() > static_cast<std::uint64_t>(high))
    Fail(where, Quoted(key) + range);
  if (value < low || value > high) Fail(where, Quoted(key) + range);
  return static_cast<std::int16_t>(value);
}

// One vehicle object, checked completely.
VehicleRecord ReadVehicle(const Json& entry, const std::string& where) {
  if (!entry.is_object()) Fail(where, "a vehicle must be a JSON object");
  for (const auto& [key, value] : entry.items()) {
    if (key == "Name" || key == "Description" || key == "Type" || key == "Unit") continue;
    if (key == "Record") {
      if (!value.is_number_integer()) Fail(where, "\"Record\" must be a whole number");
      continue;
    }
    if (!DimensionFromFieldName(key)) Fail(where, "unknown key " + Quoted(key));
  }
  VehicleRecord vehicle = VehicleRecord::Defaults();
  vehicle.Name = ReadText(entry, where, "Name", kMaxNameLength, true);
  if (vehicle.Name.empty()) Fail(where, "\"Name\" is empty");
  vehicle.Description = ReadText(entry, where, "Description", kMaxDescriptionLength, false);
  vehicle.Type = ReadCode(entry, where, "Type", 1, 13);
  vehicle.Unit = ReadCode(entry, where, "Unit", 0, kLengthUnitCount - 1);
  const std::vector<Dimension> used = FieldsUsedByType(vehicle.Type);
  for (const auto& [key, value] : entry.items()) {
    const auto dimension = DimensionFromFieldName(key);
    if (!dimension) continue;
    if (!value.is_number() || !std::isfinite(value.get<double>()))
      Fail(where, Quoted(key) + " must be a number");
    vehicle[*dimension] = value.get<double>();
  }
  for (Dimension d : used)
    if (!entry.contains(std::string(DimensionFieldName(d))))
      Fail(where, "missing " + Quoted(DimensionFieldName(d)) + ", which a " +
                      std::string(FindVehicleType(vehicle.Type)->displayName) + " uses");
  return vehicle;
}

}  // namespace

std::vector<Dimension> FieldsUsedByType(int type) {
  const VehicleTypeInfo* info = FindVehicleType(type);
  if (info == nullptr) return {};
  std::vector<Dimension> fields{D::MaxTurningAngle, D::MaxSegmentAngle, D::LockToLockTime};
  fields.insert(fields.end(), info->dimensionsUsed.begin(), info->dimensionsUsed.end());
  for (int segment = 1; segment <= info->segmentCount; ++segment) {
    fields.push_back(Nth(D::VehicleWidth, segment));
    fields.push_back(Nth(D::WheelWidth, segment));
  }
  return fields;
}

std::string VehiclesToJson(const std::vector<NumberedVehicle>& vehicles) {
  Json array = Json::array();
  for (const NumberedVehicle& numbered : vehicles) {
    const VehicleRecord& vehicle = numbered.vehicle;
    const std::string where = "record " + std::to_string(numbered.record);
    if (FindVehicleType(vehicle.Type) == nullptr)
      Fail(where, "vehicle type " + std::to_string(vehicle.Type) + " is not 1 to 13");
    if (vehicle.Unit < 0 || vehicle.Unit >= kLengthUnitCount)
      Fail(where, "unit " + std::to_string(vehicle.Unit) + " is not 0 to 6");
    Json entry;
    entry["Record"] = numbered.record;
    entry["Name"] = vehicle.Name;
    entry["Description"] = vehicle.Description;
    entry["Type"] = vehicle.Type;
    entry["Unit"] = vehicle.Unit;
    for (Dimension d : FieldsUsedByType(vehicle.Type)) {
      if (!std::isfinite(vehicle[d]))
        Fail(where, Quoted(DimensionFieldName(d)) + " is not a finite number");
      entry[std::string(DimensionFieldName(d))] = vehicle[d];
    }
    array.push_back(std::move(entry));
  }
  return array.dump(2) + "\n";
}

std::vector<VehicleRecord> VehiclesFromJson(std::string_view text) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::exception& e) {
    // Syntax errors, bad UTF-8 and numbers too large for a double.
    throw VehicleJsonError(std::string("malformed JSON: ") + e.what());
  }
  std::vector<VehicleRecord> vehicles;
  if (document.is_object() && document.contains("vehicles")) {
    // A sourced library: each entry holds its vehicle under "record", beside
    // the provenance and check figures that only the sources keep.
    const Json& entries = document["vehicles"];
    if (!entries.is_array()) throw VehicleJsonError("\"vehicles\" must be a JSON array");
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string where = "vehicle " + std::to_string(i + 1);
      if (!entries[i].is_object() || !entries[i].contains("record"))
        Fail(where, "missing \"record\"");
      vehicles.push_back(ReadVehicle(entries[i]["record"], where));
    }
  } else if (document.is_object()) {
    vehicles.push_back(ReadVehicle(document, "vehicle"));
  } else if (document.is_array()) {
    for (std::size_t i = 0; i < document.size(); ++i)
      vehicles.push_back(ReadVehicle(document[i], "entry " + std::to_string(i + 1)));
  } else {
    throw VehicleJsonError("expected a JSON array of vehicles or one vehicle object");
  }
  return vehicles;
}

}  // namespace veerline::library
