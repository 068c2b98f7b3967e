#include "engine/Random.h"

#include <cmath>

namespace veerline {

double Random(int lowerBound, int upperBound, Host& host) {
  return std::floor(host.NextRandom() * upperBound) + lowerBound;
}

}  // namespace veerline
