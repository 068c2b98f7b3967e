#pragma once

// Driving the vehicle point by point: the points fixed so far, the drivable
// path through them and the vehicle driven along it, kept up to the start of
// the last leg (whose curve at its end still depends on where the next point
// goes). A hover drives only from there to the pointer: the rest of the leg,
// the corner at the last point and the new leg.

#include <optional>
#include <string>
#include <vector>

#include "engine/Clearance.h"
#include "engine/DrivablePath.h"
#include "engine/DriveAlong.h"

namespace veerline {

struct DriveSetup {
  DriveVehicle Vehicle;
  DriveSettings Settings;
  DriveVehicleChain Chain;
  std::vector<Obstacle> Obstacles;  // checked against every outline
  double Margin = 0;                // clearance margin, drawing units
};

// A stretch driven, with what it came near.
struct DriveStretch {
  std::vector<ArcPathVertex> Vertices;
  DriveTrace Trace;
  std::vector<ObstacleClearance> Conflicts;
};

class DriveSession {
 public:
  DriveSession(DriveSetup setup, Host& host);

  const std::vector<Point2D>& Points() const { return mPoints; }
  const DriveSetup& Setup() const { return mSetup; }

  // Fixes the next point; gives the reason when its corner cannot be driven
  // (nothing is fixed then).
  std::optional<std::string> Fix(const Point2D& p);
  // Takes back the last fixed point.
  void TakeBack();

  // The drive from the fixed part to the pointer; Error holds why the corner
  // at the last point cannot be driven (the stretch is then not driven).
  struct Hovered {
    DriveStretch Stretch;
    std::string Error;
  };
  const Hovered& Hover(const Point2D& cursor);

  // The fixed part: every stretch driven from the start to the last leg's start.
  const std::vector<DriveStretch>& Fixed() const { return mFixed; }
  // The whole path through the fixed points.
  DrivePathLayout Layout() const;

 private:
  // Lays out the rest of the last leg, its corner and the leg to p.
  DrivePathLayout Tail(const Point2D& p) const;
  DriveStretch Drive(std::vector<ArcPathVertex> vertices) const;
  const DriveChain& Chain() const;
  double Station() const;

  DriveSetup mSetup;
  Host& mHost;
  std::vector<Point2D> mPoints;
  // One stretch per fixed point from the third on: the part of the path
  // that point settled (the rest of the leg before and its corner).
  std::vector<DriveStretch> mFixed;
  Hovered mHovered;
};

}  // namespace veerline
