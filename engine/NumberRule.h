#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veerline {

// The decimal and digit-grouping symbols that field texts are read and written
// with. The desktop program passes the user's locale; the command-line tool and
// machine-readable files use PointDecimal().
struct NumberSymbols {
  std::string decimal = ".";
  std::string grouping;  // empty: grouping symbols are not accepted

  static NumberSymbols PointDecimal() { return {".", ""}; }
  static NumberSymbols PointDecimalCommaGrouping() { return {".", ","}; }
  static NumberSymbols CommaDecimal() { return {",", "\xC2\xA0"}; }
};

// Raised when a field text does not convert to a number. The description is the
// text that failure handlers show in front of their tag.
struct ConversionError {
  std::string description = "Type mismatch";
};

// Reads a field text as a number: surrounding blanks are ignored, a grouping
// symbol is accepted only between groups of three digits of the integer part
// ("1.234,5"), the decimal symbol is the given one and there is no fallback to
// any other. Empty or non-numeric text gives nothing.
std::optional<double> TryParseFieldNumber(std::string_view text, const NumberSymbols& symbols);

// As TryParseFieldNumber, but a text that does not convert throws ConversionError.
double ParseFieldNumber(std::string_view text, const NumberSymbols& symbols);

// Writes a number as the fields show it: shortest form with at most 15
// significant digits, the given decimal symbol, no grouping, no trailing zeros.
std::string FormatFieldNumber(double value, const NumberSymbols& symbols);

}  // namespace veerline
