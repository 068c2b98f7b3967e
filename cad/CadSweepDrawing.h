#pragma once

#include <string>

#include "cad/CadConnection.h"
#include "cad/DrawingOutput.h"
#include "engine/Host.h"
#include "engine/SweepDrawing.h"

namespace veerline::cad {

// The station loop's drawing output into a run's vehicle block.
class CadSweepDrawing final : public SweepDrawing {
 public:
  CadSweepDrawing(CadConnection& connection, CadBlock& vehicleBlock, ColourSettings& colours,
                  Host& host)
      : mConnection(connection), mVehicleBlock(vehicleBlock), mColours(colours), mHost(host) {}

  void PlotSegment(const SegmentCorners& corners, const std::string& layer,
                   const SegmentRecord& segment, int vehicleType, double metresPerUnit) override;
  void PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b,
                            double angleDegrees, const std::string& layer,
                            double metresPerUnit) override;

 private:
  CadConnection& mConnection;
  CadBlock& mVehicleBlock;
  ColourSettings& mColours;
  Host& mHost;
};

}  // namespace veerline::cad
