#pragma once

// Explicit little-endian packing of the record fields, independent of the
// machine's byte order and of any struct layout.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace veerline::library {

// Writes a 16-bit two's-complement integer at bytes[offset], low byte first.
inline void PutInt16(std::uint8_t* bytes, std::size_t offset, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  bytes[offset] = static_cast<std::uint8_t>(bits & 0xFF);
  bytes[offset + 1] = static_cast<std::uint8_t>(bits >> 8);
}

// Reads a 16-bit two's-complement integer stored low byte first.
inline std::int16_t GetInt16(const std::uint8_t* bytes, std::size_t offset) {
  const auto bits = static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
  return static_cast<std::int16_t>(bits);
}

// Writes an IEEE 754 binary64 number at bytes[offset], low byte first.
inline void PutDouble(std::uint8_t* bytes, std::size_t offset, double value) {
  auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i, bits >>= 8)
    bytes[offset + i] = static_cast<std::uint8_t>(bits & 0xFF);
}

// Reads an IEEE 754 binary64 number stored low byte first.
inline double GetDouble(const std::uint8_t* bytes, std::size_t offset) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[offset + i];
  return std::bit_cast<double>(bits);
}

}  // namespace veerline::library
