#include "cad/dxf/ShortestReal.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <fmt/format.h>

namespace veerline::cad {
namespace {

constexpr int kSignificandPlaces = 17;

// Pairs of decimal digits, "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int k = 0; k < 100; ++k) {
    pairs[2 * k] = static_cast<char>('0' + k / 10);
    pairs[2 * k + 1] = static_cast<char>('0' + k % 10);
  }
  return pairs;
}();

// Writes `number` (below 10^8) as exactly eight digits; the four pairs do not
// wait on one another.
void WriteEightDigits(char* at, std::uint32_t number) {
  const std::uint32_t high = number / 10000, low = number % 10000;
  std::memcpy(at, &kDigitPairs[2 * (high / 100)], 2);
  std::memcpy(at + 2, &kDigitPairs[2 * (high % 100)], 2);
  std::memcpy(at + 4, &kDigitPairs[2 * (low / 100)], 2);
  std::memcpy(at + 6, &kDigitPairs[2 * (low % 100)], 2);
}

constexpr std::uint64_t kPowersOfTen[] = {1,
                                          10,
                                          100,
                                          1000,
                                          10000,
                                          100000,
                                          1000000,
                                          10000000,
                                          100000000,
                                          1000000000,
                                          10000000000,
                                          100000000000,
                                          1000000000000,
                                          10000000000000,
                                          100000000000000,
                                          1000000000000000,
                                          10000000000000000,
                                          100000000000000000};

// The digits of a significand (1 to 10^17 - 1): all seventeen places are
// written with the same work, leading zeros included; `first` is where the
// number's own digits begin.
struct Significand {
  // Room past the digits, so that they can be copied in pieces of a fixed size.
  char places[kSignificandPlaces + 2 * kSignificandPlaces];
  int first = 0;
  int count = 0;
};

Significand SignificandDigits(std::uint64_t number) {
  Significand digits;
  digits.places[0] = static_cast<char>('0' + number / 10000000000000000);
  const std::uint64_t rest = number % 10000000000000000;
  WriteEightDigits(digits.places + 1, static_cast<std::uint32_t>(rest / 100000000));
  WriteEightDigits(digits.places + 9, static_cast<std::uint32_t>(rest % 100000000));
  // log10 from the bit length: 1233 / 4096 is just above log10(2).
  const int guess = (std::bit_width(number) * 1233) >> 12;
  digits.count = guess + (number >= kPowersOfTen[guess] ? 1 : 0);
  digits.first = kSignificandPlaces - digits.count;
  return digits;
}

}  // namespace

char* WriteShortestReal(char* at, double value) {
  const double magnitude = std::fabs(value);
  // Zero, the infinities and NaN, and values so large that a whole number
  // would be written out exactly, are left to the standard library; so are
  // the very small, which this need not be fast for.
  if (!(magnitude >= 1e-5 && magnitude < 1e15))
    return std::to_chars(at, at + kShortestRealChars, value).ptr;

  const auto decimal = fmt::detail::dragonbox::to_decimal(value);
  std::uint64_t significand = decimal.significand;
  int exponent = decimal.exponent;
  while (significand % 10 == 0) {
    significand /= 10;
    ++exponent;
  }
  const Significand places = SignificandDigits(significand);
  const char* const digits = places.places + places.first;
  const int count = places.count;
  // value = d.ddd x 10^scientific
  const int scientific = exponent + count - 1;
  const int fixedLength =
      scientific >= 0 ? (count <= scientific + 1 ? scientific + 1 : count + 1) : count + 1 - scientific;
  const int exponentDigits = std::abs(scientific) >= 100 ? 3 : 2;
  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + exponentDigits;

  if (value < 0) *at++ = '-';
  // The digits are copied kSignificandPlaces at a time, whatever their count
  // (a copy of a fixed size is a few moves, one of a varying size a call);
  // what lies past them is overwritten or left beyond the end returned.
  if (fixedLength <= scientificLength) {
    if (scientific < 0) {
      *at++ = '0';
      *at++ = '.';
      for (int k = -1; k > scientific; --k) *at++ = '0';
      std::memcpy(at, digits, kSignificandPlaces);
      return at + count;
    }
    std::memcpy(at, digits, kSignificandPlaces);
    if (count <= scientific + 1) {
      at += count;
      for (int k = count; k <= scientific; ++k) *at++ = '0';
      return at;
    }
    at[scientific + 1] = '.';
    std::memcpy(at + scientific + 2, digits + scientific + 1, kSignificandPlaces);
    return at + count + 1;
  }
  *at++ = digits[0];
  if (count > 1) {
    *at++ = '.';
    std::memcpy(at, digits + 1, static_cast<std::size_t>(count - 1));
    at += count - 1;
  }
  *at++ = 'e';
  *at++ = scientific < 0 ? '-' : '+';
  int power = std::abs(scientific);
  if (exponentDigits == 3) {
    *at++ = static_cast<char>('0' + power / 100);
    power %= 100;
  }
  *at++ = static_cast<char>('0' + power / 10);
  *at++ = static_cast<char>('0' + power % 10);
  return at;
}

}  // namespace veerline::cad
