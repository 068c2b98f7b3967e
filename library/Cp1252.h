#pragma once

// Conversion between the program's UTF-8 strings and the single-byte Western
// (Windows-1252) text of the library file's fields.

#include <string>
#include <string_view>

namespace veerline::library {

// One byte per character; characters that Windows-1252 cannot hold, and bytes
// that are not valid UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// Every byte becomes one character. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same code, so they survive a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

}  // namespace veerline::library
