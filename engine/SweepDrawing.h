#pragma once

#include <string>

#include "engine/Geometry.h"
#include "engine/VehicleModel.h"

namespace veerline {

// What the station loop draws while it runs: vehicle outlines at the chosen
// stations and the mark where the articulation limit is exceeded. The drawing
// output of the CAD layer implements it; tests may record the calls.
class SweepDrawing {
 public:
  virtual ~SweepDrawing() = default;
  virtual void PlotSegment(const SegmentCorners& corners, const std::string& layer,
                           const SegmentRecord& segment, int vehicleType, double metresPerUnit) = 0;
  virtual void PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b,
                                    double angleDegrees, const std::string& layer,
                                    double metresPerUnit) = 0;
};

}  // namespace veerline
