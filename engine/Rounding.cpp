#include "engine/Rounding.h"

#include <cmath>

namespace veerline {

double RoundHalfEven(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  // The powers of ten the engine rounds to are exact numbers; pow gives them exactly too.
  static constexpr double kExactPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  const double scale = decimals >= 0 && decimals <= 8 ? kExactPowers[decimals]
                                                      : std::pow(10.0, decimals);
  const double scaled = value * scale;
  if (!std::isfinite(scaled)) return value;
  double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return whole / scale;
}

}  // namespace veerline
