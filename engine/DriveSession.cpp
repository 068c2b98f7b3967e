#include "engine/DriveSession.h"

#include <cmath>

namespace veerline {

DriveSession::DriveSession(DriveSetup setup, Host& host) : mSetup(std::move(setup)), mHost(host) {}

const DriveChain& DriveSession::Chain() const {
  static const DriveChain kParked;
  return mFixed.empty() ? kParked : mFixed.back().Trace.End;
}

double DriveSession::Station() const { return mFixed.empty() ? 0 : mFixed.back().Trace.EndStation; }

DrivePathLayout DriveSession::Tail(const Point2D& p) const {
  std::vector<Point2D> points;
  if (mFixed.empty()) {
    points.push_back(mPoints.front());
  } else {
    const ArcPathVertex& start = mFixed.back().Vertices.back();
    points.push_back({start.X, start.Y});
  }
  if (mPoints.size() >= 2) points.push_back(mPoints.back());
  points.push_back(p);
  return LayOutDrivePath(points, mSetup.Vehicle, mSetup.Settings);
}

DriveStretch DriveSession::Drive(std::vector<ArcPathVertex> vertices) const {
  DriveStretch stretch;
  stretch.Vertices = std::move(vertices);
  stretch.Trace = DriveAlong(stretch.Vertices, mSetup.Chain, Chain(), Station(), mHost);
  if (!mSetup.Obstacles.empty() && !stretch.Trace.Outlines.empty())
    stretch.Conflicts =
        CheckClearance(stretch.Trace.Outlines, mSetup.Obstacles, mSetup.Margin).Conflicts;
  return stretch;
}

std::optional<std::string> DriveSession::Fix(const Point2D& p) {
  if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return "the point is not a finite number";
  if (mPoints.empty()) {
    mPoints.push_back(p);
    return std::nullopt;
  }
  const DrivePathLayout tail = Tail(p);
  if (!tail.Ok()) return tail.Error;
  if (mPoints.size() >= 2) {
    // The corner at the last point is settled now: the path up to the end
    // of its curve, where the new leg's straight begins.
    std::vector<ArcPathVertex> settled = tail.Vertices;
    if (settled.size() > 2 && settled[settled.size() - 2].Bulge == 0) settled.pop_back();
    if (settled.size() < 2) settled.resize(1);
    mFixed.push_back(Drive(std::move(settled)));
  }
  mPoints.push_back(p);
  return std::nullopt;
}

void DriveSession::TakeBack() {
  if (mPoints.empty()) return;
  if (mPoints.size() >= 3) mFixed.pop_back();
  mPoints.pop_back();
}

const DriveSession::Hovered& DriveSession::Hover(const Point2D& cursor) {
  mHovered = {};
  if (mPoints.empty()) return mHovered;
  const DrivePathLayout tail = Tail(cursor);
  if (!tail.Ok()) {
    mHovered.Error = tail.Error;
    mHovered.Stretch.Vertices = tail.Vertices;
    return mHovered;
  }
  mHovered.Stretch = Drive(tail.Vertices);
  return mHovered;
}

DrivePathLayout DriveSession::Layout() const {
  return LayOutDrivePath(mPoints, mSetup.Vehicle, mSetup.Settings);
}

}  // namespace veerline
