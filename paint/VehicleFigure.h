#pragma once

// The vehicle drawn at one pose, as the run's vehicle block draws it: each
// unit's body outline, its tyres (the first unit's front tyres turned by the
// steering angle) and the coupling circles. The design report, the playback
// and the animation share it.

#include <QColor>
#include <QPainter>
#include <QTransform>
#include <vector>

#include "engine/VehicleModel.h"
#include "run/RunResultModel.h"

namespace veerline::paint {

struct VehicleColours {
  QColor body{0, 90, 200};
  QColor wheel{40, 40, 40};
  QColor fill{0, 90, 200, 40};  // inside the bodies; transparent for none
};

// Paints the units' poses through the mapping from drawing units to the
// device; lines are widthPixels wide whatever the scale.
void PaintVehiclePose(QPainter& painter, const QTransform& toDevice, const Segments& segments,
                      int vehicleType, double metresPerUnit, const std::vector<UnitPose>& units,
                      double steeringDegrees, const VehicleColours& colours,
                      double widthPixels = 1.5);

// The vehicle standing straight, heading along +x, its first unit's front
// axle at the origin: each unit's guided point at the hitch of the one ahead.
std::vector<UnitPose> StraightPose(const Segments& segments, double metresPerUnit);

}  // namespace veerline::paint
