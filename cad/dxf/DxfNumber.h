#pragma once

// Numbers in drawing files, independent of the process locale: a point is
// always the decimal separator, whatever LC_NUMERIC says.

#include <optional>
#include <string>
#include <string_view>

namespace veerline::cad {

// Shortest text that reads back as exactly the same double.
std::string FormatDxfReal(double value);
// A finite double from the whole text (surrounding blanks allowed), or nothing.
std::optional<double> ParseDxfReal(std::string_view text);
// A 32-bit integer from the whole text (surrounding blanks allowed), or nothing.
std::optional<int> ParseDxfInt(std::string_view text);
// The text without leading and trailing blanks.
std::string_view TrimDxf(std::string_view text);

}  // namespace veerline::cad
