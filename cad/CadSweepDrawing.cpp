#include "cad/CadSweepDrawing.h"

#include "cad/LimitMarks.h"
#include "cad/VehicleOutline.h"

namespace veerline::cad {

void CadSweepDrawing::PlotSegment(const SegmentCorners& corners, const std::string& layer,
                                  const SegmentRecord& segment, int vehicleType,
                                  double metresPerUnit) {
  cad::PlotSegment(corners, layer, segment, vehicleType, metresPerUnit, mConnection, mVehicleBlock,
                   mColours, mHost);
}

void CadSweepDrawing::PlotSegmentAngleMark(const Point2D& a, const Point2D& v, const Point2D& b,
                                           double angleDegrees, const std::string& layer,
                                           double metresPerUnit) {
  cad::PlotSegmentAngleMark(a, v, b, angleDegrees, layer, metresPerUnit, mConnection, mVehicleBlock,
                            mHost);
}

}  // namespace veerline::cad
