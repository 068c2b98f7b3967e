#include "cad/dxf/DrawingEntity.h"

#include <cmath>

namespace veerline::cad {

namespace {

// The automation layer's "invalid argument" failure (E_INVALIDARG).
CadError InvalidArgument(const std::string& member) {
  return CadError::Other(static_cast<std::int32_t>(0x80070057u),
                         "Invalid argument (" + member + ")");
}

}  // namespace

bool DrawingEntity::IsPolyline() const {
  return mKind == EntityKind::LwPolyline || mKind == EntityKind::Polyline2d ||
         mKind == EntityKind::Polyline3d;
}

int DrawingEntity::EntityType() const {
  switch (mKind) {
    case EntityKind::LwPolyline:
      return kEntityLightWeightPolyline;
    case EntityKind::Polyline2d:
      return kEntityPolyline;
    case EntityKind::Polyline3d:
      return kEntity3dPolyline;
    case EntityKind::Line:
      return kEntityLine;
    case EntityKind::Circle:
      return kEntityCircle;
    case EntityKind::Arc:
      return kEntityArc;
    case EntityKind::Text:
      return kEntityText;
    case EntityKind::Insert:
      return kEntityBlockInsert;
    case EntityKind::Unknown:
      return kEntityOther;
  }
  return kEntityOther;
}

// Entities read from a file are written back exactly as read, so only the
// entities Veerline adds take changes.
void DrawingEntity::RequireAdded(const char* member) const {
  if (FromFile()) {
    throw CadError::Other(
        static_cast<std::int32_t>(0x80070005u),
        std::string("The entity is part of the drawing as read (") + member + ")");
  }
}

void DrawingEntity::SetLayer(const std::string& layer) {
  RequireAdded("Layer");
  if (layer.empty()) throw InvalidArgument("Layer");
  mData.Layer = layer;
}

void DrawingEntity::SetColorIndex(int colorIndex) {
  RequireAdded("ColorIndex");
  if (colorIndex < 0 || colorIndex > kColorByLayer) throw InvalidArgument("ColorIndex");
  mData.ColorIndex = colorIndex;
}

// Fails as the automation layer does when a non-polyline is asked for a polyline member.
void DrawingEntity::RequirePolyline(const char* member) const {
  if (!IsPolyline()) throw CadError::MemberNotSupported(member);
}

void DrawingEntity::RequireText(const char* member) const {
  if (mKind != EntityKind::Text) throw CadError::MemberNotSupported(member);
}

const PolylineVertex& DrawingEntity::VertexAt(int index, const char* member) const {
  RequirePolyline(member);
  if (index < 0 || static_cast<std::size_t>(index) >= mData.Vertices.size()) {
    throw InvalidArgument(member);
  }
  return mData.Vertices[static_cast<std::size_t>(index)];
}

bool DrawingEntity::Closed() const {
  RequirePolyline("Closed");
  return mData.Closed;
}

void DrawingEntity::SetClosed(bool closed) {
  RequirePolyline("Closed");
  RequireAdded("Closed");
  mData.Closed = closed;
}

int DrawingEntity::CoordinateCount() const {
  RequirePolyline("Coordinates");
  return static_cast<int>(mData.Vertices.size());
}

CadPoint DrawingEntity::Coordinate(int index) const {
  const PolylineVertex& v = VertexAt(index, "Coordinates");
  return {v.X, v.Y, v.Z};
}

double DrawingEntity::GetBulge(int index) const { return VertexAt(index, "GetBulge").Bulge; }

// Sets the widths of the segment that starts at the vertex segmentIndex.
void DrawingEntity::SetWidth(int segmentIndex, double startWidth, double endWidth) {
  VertexAt(segmentIndex, "SetWidth");
  RequireAdded("SetWidth");
  if (!std::isfinite(startWidth) || !std::isfinite(endWidth) || startWidth < 0 || endWidth < 0) {
    throw InvalidArgument("SetWidth");
  }
  PolylineVertex& v = mData.Vertices[static_cast<std::size_t>(segmentIndex)];
  v.StartWidth = startWidth;
  v.EndWidth = endWidth;
}

void DrawingEntity::SetHorizontalAlignment(int alignment) {
  RequireText("HorizontalAlignment");
  RequireAdded("HorizontalAlignment");
  if (alignment < 0 || alignment > 5) throw InvalidArgument("HorizontalAlignment");
  mData.HorizontalAlignment = alignment;
}

void DrawingEntity::SetTextAlignmentPoint(const CadPoint& point) {
  RequireText("TextAlignmentPoint");
  RequireAdded("TextAlignmentPoint");
  mData.AlignmentPoint = point;
  mData.HasAlignmentPoint = true;
}

void DrawingEntity::SetInsertionPoint(const CadPoint& point) {
  RequireText("InsertionPoint");
  RequireAdded("InsertionPoint");
  mData.Insertion = point;
}

}  // namespace veerline::cad
