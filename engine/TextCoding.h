#pragma once

// Characters in UTF-8 and in the Western Windows code page (1252), shared by
// the vehicle library file and the drawing files.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veerline {

// Decodes one UTF-8 character at text[pos] and advances pos. Malformed
// input (bad sequences, overlong forms, surrogates) gives nothing and
// advances by one byte.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t codePoint);

// The character of a code page 1252 byte. The five bytes the code page
// leaves undefined map to the control characters of the same code, so they
// survive a round trip.
char32_t Cp1252CodePoint(std::uint8_t byte);
// The byte of a character in code page 1252, or nothing.
std::optional<std::uint8_t> Cp1252Byte(char32_t codePoint);

}  // namespace veerline
