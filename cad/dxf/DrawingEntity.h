#pragma once

// One entity of the in-memory drawing. A single class serves every kind; the
// members of CadEntity that a kind lacks throw MemberNotSupported. An entity
// read from a file keeps its record (and its VERTEX, ATTRIB and SEQEND
// followers) as the file's tags, which are written back unchanged; the kinds
// the run works with are also decoded into Data(). An entity Veerline adds has
// Data() only.

#include <span>
#include <string>
#include <vector>

#include "cad/dxf/CadEntityInterface.h"
#include "cad/dxf/DxfTags.h"

namespace veerline::cad {

enum class EntityKind {
  LwPolyline,
  Polyline2d,
  Polyline3d,
  Line,
  Circle,
  Arc,
  Text,
  Insert,
  Unknown
};

struct PolylineVertex {
  double X = 0, Y = 0, Z = 0;
  double Bulge = 0;  // of the segment that starts at this vertex
  double StartWidth = 0, EndWidth = 0;
  bool operator==(const PolylineVertex&) const = default;
};

// Geometry and properties; which fields matter depends on the kind.
struct EntityData {
  std::string Layer = "0";
  int ColorIndex = kColorByLayer;
  // Polylines.
  std::vector<PolylineVertex> Vertices;
  bool Closed = false;
  double Elevation = 0;  // lightweight polylines
  // Line: Start and End. Circle and arc: Centre, Radius, angles in degrees.
  CadPoint Start, End, Centre;
  double Radius = 0, StartAngleDeg = 0, EndAngleDeg = 360;
  // Text: value, insertion point, height, alignment (72) and alignment point.
  std::string Text;
  CadPoint Insertion;
  double Height = 1;
  double RotationDeg = 0;  // text and insert
  int HorizontalAlignment = 0;
  CadPoint AlignmentPoint;
  bool HasAlignmentPoint = false;
  // Insert: block name, scales; Insertion and RotationDeg as above.
  std::string BlockName;
  double ScaleX = 1, ScaleY = 1, ScaleZ = 1;
  // Extended data of an added entity, 1001 application names included, in
  // the order written after the record's own groups.
  struct XDataTag {
    int Code = 0;
    std::string Value;
  };
  std::vector<XDataTag> XData;
};

class DrawingEntity final : public CadEntity {
 public:
  DrawingEntity(EntityKind kind, std::string handle) : mKind(kind), mHandle(std::move(handle)) {}

  EntityKind Kind() const { return mKind; }
  const EntityData& Data() const { return mData; }
  EntityData& Data() { return mData; }
  bool IsPolyline() const;

  // The DXF type ("LINE", "SPLINE"...).
  const std::string& TypeName() const { return mTypeName; }
  void SetTypeName(std::string typeName) { mTypeName = std::move(typeName); }
  // The record as read, its 0 tag first, followers included; empty for an
  // entity Veerline added. Values are in the file's encoding.
  std::span<const DxfTag> Tags() const { return mTags; }
  bool FromFile() const { return !mTags.empty(); }
  // The tag index range [first, end) of the record in the file.
  std::size_t SourceFirst() const { return mSourceFirst; }
  std::size_t SourceEnd() const { return mSourceFirst + mTags.size(); }
  void SetSource(std::span<const DxfTag> tags, std::size_t first) {
    mTags = tags;
    mSourceFirst = first;
  }
  // Erased entities stay in memory (so an undo can bring them back) but are
  // neither shown nor written.
  bool Erased() const { return mErased; }
  void SetErased(bool erased) { mErased = erased; }

  std::string Handle() const override { return mHandle; }
  int EntityType() const override;
  std::string Layer() const override { return mData.Layer; }
  void SetLayer(const std::string& layer) override;
  int ColorIndex() const override { return mData.ColorIndex; }
  void SetColorIndex(int colorIndex) override;

  bool Closed() const override;
  void SetClosed(bool closed) override;
  int CoordinateCount() const override;
  CadPoint Coordinate(int index) const override;
  double GetBulge(int index) const override;
  void SetWidth(int segmentIndex, double startWidth, double endWidth) override;

  void SetHorizontalAlignment(int alignment) override;
  void SetTextAlignmentPoint(const CadPoint& point) override;
  void SetInsertionPoint(const CadPoint& point) override;

 private:
  void RequirePolyline(const char* member) const;
  void RequireText(const char* member) const;
  const PolylineVertex& VertexAt(int index, const char* member) const;

  void RequireAdded(const char* member) const;

  EntityKind mKind;
  std::string mHandle;
  EntityData mData;
  std::string mTypeName;
  std::span<const DxfTag> mTags;
  std::size_t mSourceFirst = 0;
  bool mErased = false;
};

}  // namespace veerline::cad
