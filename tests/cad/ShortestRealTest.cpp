#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "cad/dxf/ShortestReal.h"

namespace veerline::cad {
namespace {

std::string Ours(double value) {
  char text[kShortestRealChars];
  return std::string(text, WriteShortestReal(text, value));
}

std::string Standard(double value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The written drawings must not change by a byte: every value comes out as
// std::to_chars writes it, whatever its bits, its size and its digits.
TEST(ShortestReal, WritesWhatTheStandardLibraryWrites) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> power(-8, 18);
  int differ = 0;
  auto check = [&](double value) {
    if (Ours(value) != Standard(value) && ++differ <= 5)
      ADD_FAILURE() << Standard(value) << " written as " << Ours(value);
  };
  for (int k = 0; k < 200000; ++k) {
    const std::uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    check(any);
    const double size = std::pow(10.0, power(random));
    for (const double value : {size, -size, std::round(size), std::round(size * 1000) / 1000})
      check(value);
  }
  // Round numbers on both sides of the change between fixed and scientific.
  for (double scale = 1e-7; scale < 1e18; scale *= 10)
    for (const double digits : {1.0, 1.5, 12.0, 12.5, 123.25, 99999.0})
      for (const double value : {scale * digits, -scale * digits, scale * digits / 3}) check(value);
  for (const double value : {0.0, -0.0, 1.0, 0.1, 1e-5, 9.999999999999999e14, 1e15, 1e16, 2e5,
                             4503599627370497.0, 9007199254740993.0, 1e23, 5e-324,
                             std::numeric_limits<double>::max(), HUGE_VAL, -HUGE_VAL,
                             std::numeric_limits<double>::quiet_NaN()})
    check(value);
}

}  // namespace
}  // namespace veerline::cad
