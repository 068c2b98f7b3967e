#pragma once

// The benchmarks' path: alternating left and right 45-degree bends of radius
// 40 m joined by 10 m straights, cut to the given length.

#include <algorithm>
#include <cmath>
#include <vector>

#include "cad/dxf/DrawingEntity.h"
#include "engine/Numerics.h"

namespace veerline::bench {

// Lightweight-polyline vertices with bulges.
inline std::vector<cad::PolylineVertex> WindingPath(double lengthMetres) {
  std::vector<cad::PolylineVertex> path;
  const double radius = 40, turn = PiValue() / 4, arc = radius * turn;
  double x = 0, y = 0, heading = 0, length = 0;
  for (int bend = 0;; ++bend) {
    path.push_back({x, y, 0, 0});
    const double straight = std::min(10.0, lengthMetres - length);
    x += straight * std::cos(heading);
    y += straight * std::sin(heading);
    length += straight;
    if (length + arc > lengthMetres) break;
    const double sign = bend % 2 ? -1 : 1;
    const double chord = 2 * radius * std::sin(turn / 2);
    path.push_back({x, y, 0, sign * std::tan(turn / 4)});
    x += chord * std::cos(heading + sign * turn / 2);
    y += chord * std::sin(heading + sign * turn / 2);
    heading += sign * turn;
    length += arc;
  }
  path.push_back({x, y, 0, 0});
  return path;
}

}  // namespace veerline::bench
