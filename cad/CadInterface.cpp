#include "cad/CadInterface.h"

namespace veerline::cad {

std::vector<CadPoint> CadApplication::ConvertArrayToPoints(const std::vector<double>& xyz) const {
  std::vector<CadPoint> points;
  points.reserve(xyz.size() / 3);
  for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) points.push_back({xyz[i], xyz[i + 1], xyz[i + 2]});
  return points;
}

}  // namespace veerline::cad
