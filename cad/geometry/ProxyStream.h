#pragma once

// Readers of the binary stream of proxy graphics: little-endian numbers and
// strings, bounds checked (reading past the end throws BadGeometryRecord), and
// the packed bit codes of the binary drawing format that lightweight
// polylines are written in.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "cad/geometry/GeometrySink.h"
#include "engine/TextCoding.h"

namespace veerline::cad::proxy {

struct V3 {
  double X = 0, Y = 0, Z = 0;
};
inline V3 operator+(const V3& a, const V3& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
inline V3 operator-(const V3& a, const V3& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
inline V3 operator*(const V3& a, double k) { return {a.X * k, a.Y * k, a.Z * k}; }
inline double Dot(const V3& a, const V3& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
inline V3 Cross(const V3& a, const V3& b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
inline double Length(const V3& a) { return std::sqrt(Dot(a, a)); }
inline V3 Unit(const V3& a) {
  const double length = Length(a);
  return length > 1e-300 ? a * (1 / length) : V3{};
}

// Little-endian numbers and strings of one primitive's data, bounds checked:
// reading past its end throws, and the stream stops there.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : mData(data) {}

  std::size_t Left() const { return mData.size() - mIndex; }
  std::uint32_t Long() {
    const auto b = Take(4);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  double Real() {
    const auto b = Take(8);
    std::uint64_t bits = 0;
    for (int k = 7; k >= 0; --k) bits = (bits << 8) | b[k];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) throw BadGeometryRecord{};
    return value;
  }
  V3 Vertex() {
    V3 v;
    v.X = Real();
    v.Y = Real();
    v.Z = Real();
    return v;
  }
  // A count of items of the given size that must still fit in the data.
  std::uint32_t Count(std::size_t itemBytes) {
    const std::uint32_t n = Long();
    if (itemBytes > 0 && n > Left() / itemBytes) throw BadGeometryRecord{};
    return n;
  }
  // A zero-ended string padded to four bytes: of single bytes, or of UTF-16 units.
  std::string Bytes8() {
    std::string out;
    while (true) {
      const std::uint8_t c = Take(1)[0];
      if (c == 0) break;
      out += static_cast<char>(c);
    }
    Align();
    return out;
  }
  std::string Utf16() {
    std::string out;
    std::uint32_t high = 0;
    while (true) {
      const auto b = Take(2);
      const std::uint32_t unit = b[0] | (static_cast<std::uint32_t>(b[1]) << 8);
      if (unit == 0) break;
      if (unit >= 0xD800 && unit < 0xDC00) {
        high = unit;
        continue;
      }
      std::uint32_t cp = unit;
      if (unit >= 0xDC00 && unit < 0xE000) {
        cp = high ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD;
      }
      high = 0;
      AppendUtf8(out, cp);
    }
    Align();
    return out;
  }

 private:
  std::span<const std::uint8_t> Take(std::size_t n) {
    if (n > Left()) throw BadGeometryRecord{};
    const auto part = mData.subspan(mIndex, n);
    mIndex += n;
    return part;
  }
  void Align() { mIndex = std::min(mData.size(), (mIndex + 3) / 4 * 4); }

  std::span<const std::uint8_t> mData;
  std::size_t mIndex = 0;
};

// The packed bit codes a lightweight polyline primitive is written in (most
// significant bit first; short codes stand for common values).
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> data) : mData(data) {}

  unsigned Bits(int count) {
    unsigned value = 0;
    for (int k = 0; k < count; ++k) {
      if (mBit >= mData.size() * 8) throw BadGeometryRecord{};
      value = (value << 1) | ((mData[mBit >> 3] >> (7 - (mBit & 7))) & 1u);
      ++mBit;
    }
    return value;
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Bits(8)); }
  double RawDouble() {
    std::array<std::uint8_t, 8> bytes{};
    for (auto& b : bytes) b = Byte();
    return FromBytes(bytes);
  }
  int BitShort() {
    switch (Bits(2)) {
      case 0: {
        const unsigned low = Byte(), high = Byte();
        return static_cast<std::int16_t>(low | (high << 8));
      }
      case 1:
        return Byte();
      case 2:
        return 0;
      default:
        return 256;
    }
  }
  std::int64_t BitLong() {
    switch (Bits(2)) {
      case 0: {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(Byte()) << (8 * k);
        return static_cast<std::int32_t>(v);
      }
      case 1:
        return Byte();
      default:
        return 0;
    }
  }
  double BitDouble() {
    switch (Bits(2)) {
      case 0:
        return RawDouble();
      case 1:
        return 1.0;
      default:
        return 0.0;
    }
  }
  // A double written as the bytes that differ from a default.
  double BitDoubleWithDefault(double fallback) {
    std::array<std::uint8_t, 8> bytes{};
    std::memcpy(bytes.data(), &fallback, 8);  // little-endian machine order
    switch (Bits(2)) {
      case 0:
        return fallback;
      case 1:
        for (int k = 0; k < 4; ++k) bytes[k] = Byte();
        return FromBytes(bytes);
      case 2:
        bytes[4] = Byte();
        bytes[5] = Byte();
        for (int k = 0; k < 4; ++k) bytes[k] = Byte();
        return FromBytes(bytes);
      default:
        return RawDouble();
    }
  }
  // A count of items of at least `bits` bits each that must still fit.
  std::size_t Count(std::size_t bits) {
    const std::int64_t n = BitLong();
    if (n < 0 || static_cast<std::size_t>(n) * bits > mData.size() * 8 - mBit + 64)
      throw BadGeometryRecord{};
    return static_cast<std::size_t>(n);
  }

 private:
  static double FromBytes(const std::array<std::uint8_t, 8>& bytes) {
    double value;
    std::memcpy(&value, bytes.data(), 8);
    if (!std::isfinite(value)) throw BadGeometryRecord{};
    return value;
  }

  std::span<const std::uint8_t> mData;
  std::size_t mBit = 0;
};

}  // namespace veerline::cad::proxy
