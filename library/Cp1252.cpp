#include "library/Cp1252.h"

#include <cstdint>

#include "engine/TextCoding.h"

namespace veerline::library {

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto cp = NextUtf8(utf8, pos);
    const auto byte = cp ? Cp1252Byte(*cp) : std::nullopt;
    out += byte ? static_cast<char>(*byte) : '?';
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, Cp1252CodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

}  // namespace veerline::library
