#pragma once

// A run as a manoeuvre: legs driven one after another, forwards or in
// reverse, each along its own path polyline, joined where the vehicle stops
// and changes direction (a cusp).

#include <cstddef>
#include <string>
#include <vector>

#include "engine/Geometry.h"

namespace veerline {

struct ManoeuvreLeg {
  bool reverse = false;
  std::string handle;            // the leg's path polyline
  std::size_t firstStation = 0;  // indices into the run's stations
  std::size_t lastStation = 0;   // the last station reached
  double length = 0;             // drawing units
  double plotInterval = 0;       // distance between drawn outlines on this leg
  double maxPathDeviation = 0;   // largest distance of the guided point from the leg's line
  std::string outcome = "not-reached";
};

// Largest distance between a leg's start and the point it guides, in metres.
inline constexpr double kLegStartToleranceMetres = 0.5;

// The travel direction (unit vector) of a path at point i of points[first..last],
// exact on straights and circular arcs with equal spacing: the chord turned by
// half the turn from the chord before, or the chord to the next point at the start.
Point2D TravelTangent(const std::vector<Point2D>& points, std::size_t first, std::size_t last,
                      std::size_t i);

// Signed curvature (+ turning left) of the path through three points; 0 when
// two of them coincide.
double CurvatureThrough(const Point2D& p0, const Point2D& p1, const Point2D& p2);

// Distance from p to the polyline through points[from..to].
double DistanceToPoints(const std::vector<Point2D>& points, std::size_t from, std::size_t to,
                        const Point2D& p);

}  // namespace veerline
