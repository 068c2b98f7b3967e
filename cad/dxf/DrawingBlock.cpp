#include "cad/dxf/DrawingBlock.h"

#include <cmath>

#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {

namespace {

CadError InvalidArgument(const std::string& member) {
  return CadError::Other(static_cast<std::int32_t>(0x80070057u),
                         "Invalid argument (" + member + ")");
}

bool IsFinite(const CadPoint& p) {
  return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

}  // namespace

DrawingEntity& DrawingBlock::AddEntity(EntityKind kind) {
  return Adopt(std::make_unique<DrawingEntity>(kind, mOwner.NewHandle()));
}

DrawingEntity& DrawingBlock::Adopt(std::unique_ptr<DrawingEntity> entity) {
  DrawingEntity& added = *entity;
  mEntities.push_back(std::move(entity));
  mOwner.Register(*this, added);
  return added;
}

// A lightweight polyline through the points; a drawing keeps only x and y of
// such a polyline, so z goes into its elevation.
CadEntity& DrawingBlock::AddLightWeightPolyline(const std::vector<CadPoint>& points) {
  for (const CadPoint& p : points) {
    if (!IsFinite(p)) throw InvalidArgument("AddLightWeightPolyline");
  }
  DrawingEntity& entity = AddEntity(EntityKind::LwPolyline);
  std::vector<PolylineVertex>& vertices = entity.Data().Vertices;
  vertices.reserve(vertices.size() + points.size());
  for (const CadPoint& p : points) vertices.push_back({p.X, p.Y, 0, 0, 0, 0});
  if (!points.empty()) entity.Data().Elevation = points.front().Z;
  return entity;
}

CadEntity& DrawingBlock::AddCircle(const CadPoint& centre, double radius) {
  if (!IsFinite(centre) || !std::isfinite(radius) || radius <= 0) {
    throw InvalidArgument("AddCircle");
  }
  DrawingEntity& entity = AddEntity(EntityKind::Circle);
  entity.Data().Centre = centre;
  entity.Data().Radius = radius;
  return entity;
}

CadEntity& DrawingBlock::AddText(const std::string& value, const CadPoint& insertion,
                                 double height) {
  if (!IsFinite(insertion) || !std::isfinite(height) || height <= 0) {
    throw InvalidArgument("AddText");
  }
  DrawingEntity& entity = AddEntity(EntityKind::Text);
  entity.Data().Text = value;
  entity.Data().Insertion = insertion;
  entity.Data().Height = height;
  return entity;
}

}  // namespace veerline::cad
