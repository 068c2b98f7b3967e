#pragma once

// The JSON form of vehicles: one object per vehicle whose keys are the
// VehicleRecord field names, numbers as plain JSON numbers. Used to import
// vehicles into a library and to export them from one.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/VehicleModel.h"
#include "library/VehicleDataFile.h"

namespace veerline::library {

// A JSON text that is malformed or does not describe valid vehicles, or a
// stored vehicle that has no JSON form; the text says which entry and why.
class VehicleJsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The fields a vehicle of the type uses: the three limits, the type's lengths
// and the widths of each of its segments. Empty for a code outside 1..13.
std::vector<Dimension> FieldsUsedByType(int type);

// A JSON array of the vehicles, each with its "Record" number and the fields
// its type uses. Throws VehicleJsonError for a type or unit code that does not
// exist or a value that is not a finite number.
std::string VehiclesToJson(const std::vector<NumberedVehicle>& vehicles);

// Reads a JSON array of vehicle objects, a single object, or a sourced
// library: an object whose "vehicles" entries each hold a vehicle object
// under "record" (their "sources" and "checks" are not read here). Every entry is
// checked before any is returned. Fields a type uses must be present; those it
// does not use may be left out and take the window's defaults. "Record" is
// accepted and ignored.
std::vector<VehicleRecord> VehiclesFromJson(std::string_view text);

}  // namespace veerline::library
