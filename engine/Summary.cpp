#include "engine/Summary.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/Numerics.h"
#include "engine/Rounding.h"

namespace veerline {
namespace {

using D = Dimension;

// The fields that add up to the total length of a type, in the order they are added.
std::vector<Dimension> LengthTerms(int vehicleType) {
  switch (vehicleType) {
    case 1:
    case 6:
    case 7:
      return {D::Front, D::Wheelbase, D::Back};
    case 2:
    case 4:
    case 5:
    case 8:
      return {D::Front, D::Wheelbase, D::Hitch, D::Wheelbase2, D::Back2};
    case 3:
      return {D::Front, D::Wheelbase, D::Hitch, D::Hitch2, D::Wheelbase2, D::Back2};
    case 9:
      return {D::Front, D::Wheelbase, D::Hitch,      D::Wheelbase2,
              D::Back2, D::Hitch3,    D::Wheelbase3, D::Back3};
    case 10:
      return {D::Front,      D::Wheelbase, D::Hitch,  D::Wheelbase2, D::Back2, D::Hitch3,
              D::Wheelbase3, D::Back3,     D::Hitch4, D::Wheelbase4, D::Back4};
    case 11:
    case 12:
    case 13:
      return {D::Front, D::Wheelbase, D::Hitch, D::Wheelbase2, D::Hitch2, D::Wheelbase3, D::Back3};
    default:
      return {};
  }
}

}  // namespace

std::string UnitWord(int unitListPosition) {
  switch (unitListPosition) {
    case 0:
      return " Unit not set";
    case 1:
      return "meter";
    case 2:
      return "decimeter";
    case 3:
      return "centimeter";
    case 4:
      return "Millimeter";
    case 5:
      return "feet";
    case 6:
      return "inches";
    default:
      return " not set";
  }
}

std::string FormatHashDotZeroZero(double value, const NumberSymbols& symbols) {
  // to_chars always writes a point, whatever locale the C library was given.
  char buffer[400];  // room for the largest double written in full
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed, 2);
  std::string digits(buffer, written.ptr);
  const std::size_t point = digits.find('.');
  std::string whole = digits.substr(0, point);
  if (whole == "0") whole.clear();
  const std::string text = whole + symbols.decimal + digits.substr(point + 1);
  const bool showsNonZero = digits != "0.00";
  return (value < 0 && showsNonZero ? "-" : "") + text;
}

double SumSegments(int vehicleType, const VehicleFields& fields, Host& host,
                   std::string* caption) {
  const NumberSymbols symbols = host.Symbols();
  double total = 0;
  try {
    double sum = 0;
    for (Dimension d : LengthTerms(vehicleType)) sum += fields.Number(d, symbols);
    total = sum;
  } catch (...) {
  }
  const std::string word = UnitWord(fields.Unit);

  try {
    const double maxTurning = fields.Number(D::MaxTurningAngle, symbols);
    if (maxTurning != 0) {
      const double wheelbase = fields.Number(D::Wheelbase, symbols);
      const double radius = RoundHalfEven(wheelbase / std::sin(DegToRad(maxTurning)), 2);
      if (!std::isfinite(radius)) throw NumericFailure("Overflow");
      host.SetStatusText(0, "Min Turning Radius (Centerline): " +
                                FormatHashDotZeroZero(radius, symbols) + " " + word);
    } else {
      host.SetStatusText(0, "");
    }
  } catch (...) {
    // An angle or wheelbase being typed leaves the panel empty until it converts.
    try {
      host.SetStatusText(0, "");
    } catch (...) {
    }
  }

  try {
    host.ProcessPendingEvents();
  } catch (...) {
  }
  try {
    if (caption) *caption = "Total Length: " + FormatFieldNumber(total, symbols) + " " + word;
  } catch (...) {
  }
  return total;
}

}  // namespace veerline
