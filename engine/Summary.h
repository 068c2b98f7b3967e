#pragma once

// The vehicle dimension summary: total length and minimum turning radius.

#include <string>

#include "engine/Host.h"
#include "engine/NumberRule.h"
#include "engine/VehicleModel.h"

namespace veerline {

// The word after the summary figures for a position of the vehicle unit list.
std::string UnitWord(int unitListPosition);

// A number written with the "###.00" pattern: two decimals always, no leading
// zero before the separator (0.5 gives ".50").
std::string FormatHashDotZeroZero(double value, const NumberSymbols& symbols);

// Total vehicle length for the type from the dimension fields; gives the
// total-length caption ("Total Length: 22 meter") through `caption` and shows
// the minimum turning radius of the front axle centre line in the first status
// panel. fields.Unit is the position of the
// vehicle unit list. A statement that fails is passed over silently; a
// dimension that does not convert gives a total of 0.
double SumSegments(int vehicleType, const VehicleFields& fields, Host& host,
                   std::string* caption = nullptr);

}  // namespace veerline
