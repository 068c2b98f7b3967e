#include "cad/dxf/DxfAdditions.h"

#include <numeric>

namespace veerline::cad {

void AdditionWriter::Handle(const std::string& handle, int code) {
  if (mStyle.Handles && !handle.empty()) mOut.Raw(code, handle);
}

void AdditionWriter::TableHead(const std::string& name, const std::string& handle, int count) {
  mOut.Raw(0, "TABLE");
  mOut.Raw(2, name);
  Handle(handle);
  if (Modern()) {
    mOut.Raw(330, "0");
    mOut.Raw(100, "AcDbSymbolTable");
  }
  mOut.Int(70, count);
}

void AdditionWriter::TableRecordHead(const char* type, const std::string& tableHandle,
                                     const char* subclass) {
  mOut.Raw(0, type);
  Handle(mNewHandle());
  if (Modern()) {
    if (!tableHandle.empty()) mOut.Raw(330, tableHandle);
    mOut.Raw(100, "AcDbSymbolTableRecord");
    mOut.Raw(100, subclass);
  }
}

void AdditionWriter::Linetype(const DrawingLinetype& linetype, const std::string& tableHandle) {
  TableRecordHead("LTYPE", tableHandle, "AcDbLinetypeTableRecord");
  mOut.Text(2, linetype.Name);
  mOut.Int(70, 0);
  mOut.Text(3, linetype.Description);
  mOut.Int(72, 65);
  mOut.Int(73, static_cast<long long>(linetype.Pattern.size()));
  double total = 0;
  for (double length : linetype.Pattern) total += std::abs(length);
  mOut.Real(40, total);
  for (double length : linetype.Pattern) {
    mOut.Real(49, length);
    if (Modern()) mOut.Int(74, 0);
  }
}

void AdditionWriter::Layer(const DrawingLayer& layer, const std::string& tableHandle) {
  TableRecordHead("LAYER", tableHandle, "AcDbLayerTableRecord");
  mOut.Text(2, layer.Name);
  mOut.Int(70, layer.Frozen ? 1 : 0);
  int colour = layer.ColorIndex >= 1 && layer.ColorIndex <= 255 ? layer.ColorIndex : 7;
  mOut.Int(62, layer.Visible ? colour : -colour);
  mOut.Text(6, layer.Linetype.empty() ? mStyle.ContinuousName : layer.Linetype);
  if (mStyle.Version >= DxfVersion::R2000) {  // lineweights and plot styles came with R2000
    mOut.Int(370, -3);
    if (!mStyle.PlotStyleHandle.empty()) mOut.Raw(390, mStyle.PlotStyleHandle);
  }
}

void AdditionWriter::TextStyle(const std::string& name, const std::string& tableHandle) {
  TableRecordHead("STYLE", tableHandle, "AcDbTextStyleTableRecord");
  mOut.Text(2, name);
  mOut.Int(70, 0);
  mOut.Real(40, 0);
  mOut.Real(41, 1);
  mOut.Real(50, 0);
  mOut.Int(71, 0);
  mOut.Real(42, 2.5);
  mOut.Raw(3, "txt");
  mOut.Raw(4, "");
}

void AdditionWriter::AppId(const std::string& name, const std::string& tableHandle) {
  TableRecordHead("APPID", tableHandle, "AcDbRegAppTableRecord");
  mOut.Text(2, name);
  mOut.Int(70, 0);
}

void AdditionWriter::BlockRecord(const std::string& name, const std::string& handle,
                                 const std::string& tableHandle) {
  mOut.Raw(0, "BLOCK_RECORD");
  Handle(handle);
  if (!tableHandle.empty()) mOut.Raw(330, tableHandle);
  mOut.Raw(100, "AcDbSymbolTableRecord");
  mOut.Raw(100, "AcDbBlockTableRecord");
  mOut.Text(2, name);
}

void AdditionWriter::Block(const DrawingBlock& block, const std::string& recordHandle) {
  mOut.Raw(0, "BLOCK");
  Handle(mNewHandle());
  if (Modern()) {
    if (!recordHandle.empty()) mOut.Raw(330, recordHandle);
    mOut.Raw(100, "AcDbEntity");
  }
  mOut.Raw(8, "0");
  if (Modern()) mOut.Raw(100, "AcDbBlockBegin");
  mOut.Text(2, block.Name());
  mOut.Int(70, block.Flags());
  mOut.Point(10, block.Origin());
  mOut.Text(3, block.Name());
  mOut.Raw(1, "");
  for (const auto& entity : block.Entities()) {
    if (entity->Erased()) continue;
    Entity(*entity, recordHandle);
    if (mFlush) mFlush();
  }
  mOut.Raw(0, "ENDBLK");
  Handle(mNewHandle());
  if (Modern()) {
    if (!recordHandle.empty()) mOut.Raw(330, recordHandle);
    mOut.Raw(100, "AcDbEntity");
  }
  mOut.Raw(8, "0");
  if (Modern()) mOut.Raw(100, "AcDbBlockEnd");
}

void AdditionWriter::EntityHead(const char* type, const DrawingEntity& e, const std::string& owner,
                                const char* subclass) {
  mOut.Raw(0, type);
  Handle(e.Handle());
  if (Modern()) {
    if (!owner.empty()) mOut.Raw(330, owner);
    mOut.Raw(100, "AcDbEntity");
  }
  mOut.Text(8, e.Layer().empty() ? "0" : e.Layer());
  if (e.ColorIndex() != kColorByLayer) mOut.Int(62, e.ColorIndex());
  if (Modern() && subclass) mOut.Raw(100, subclass);
}

void AdditionWriter::Entity(const DrawingEntity& e, const std::string& owner) {
  const EntityData& d = e.Data();
  switch (e.Kind()) {
    case EntityKind::LwPolyline:
      if (HasLightweightPolylines()) {
        LightweightPolyline(e, owner);
      } else {
        OldPolyline(e, owner, false);
      }
      break;
    case EntityKind::Polyline2d:
    case EntityKind::Polyline3d:
      OldPolyline(e, owner, e.Kind() == EntityKind::Polyline3d);
      break;
    case EntityKind::Line:
      EntityHead("LINE", e, owner, "AcDbLine");
      mOut.Point(10, d.Start);
      mOut.Point(11, d.End);
      break;
    case EntityKind::Circle:
      EntityHead("CIRCLE", e, owner, "AcDbCircle");
      mOut.Point(10, d.Centre);
      mOut.Real(40, d.Radius);
      break;
    case EntityKind::Arc:
      EntityHead("ARC", e, owner, "AcDbCircle");
      mOut.Point(10, d.Centre);
      mOut.Real(40, d.Radius);
      if (Modern()) mOut.Raw(100, "AcDbArc");
      mOut.Real(50, d.StartAngleDeg);
      mOut.Real(51, d.EndAngleDeg);
      break;
    case EntityKind::Text:
      Text(e, owner);
      break;
    case EntityKind::Insert:
      EntityHead("INSERT", e, owner, "AcDbBlockReference");
      mOut.Text(2, d.BlockName);
      mOut.Point(10, d.Insertion);
      mOut.Real(41, d.ScaleX);
      mOut.Real(42, d.ScaleY);
      mOut.Real(43, d.ScaleZ);
      mOut.Real(50, d.RotationDeg);
      break;
    case EntityKind::Unknown:
      break;  // only read entities are of unknown kinds, and they are never added
  }
  const bool oldPolyline = e.Kind() == EntityKind::Polyline2d || e.Kind() == EntityKind::Polyline3d ||
                           (e.Kind() == EntityKind::LwPolyline && !HasLightweightPolylines());
  if (!oldPolyline) XData(e);  // an old polyline wrote it in its head
}

void AdditionWriter::XData(const DrawingEntity& e) {
  for (const EntityData::XDataTag& tag : e.Data().XData) mOut.Text(tag.Code, tag.Value);
}

void AdditionWriter::LightweightPolyline(const DrawingEntity& e, const std::string& owner) {
  const EntityData& d = e.Data();
  EntityHead("LWPOLYLINE", e, owner, "AcDbPolyline");
  mOut.Int(90, static_cast<long long>(d.Vertices.size()));
  mOut.Int(70, d.Closed ? 1 : 0);
  if (d.Elevation != 0) mOut.Real(38, d.Elevation);
  for (const PolylineVertex& v : d.Vertices) {
    mOut.Reals(10, v.X, 20, v.Y);
    if (v.StartWidth != 0 || v.EndWidth != 0) {
      mOut.Real(40, v.StartWidth);
      mOut.Real(41, v.EndWidth);
    }
    if (v.Bulge != 0) mOut.Real(42, v.Bulge);
  }
}

// A POLYLINE with its VERTEX records and SEQEND; the only polyline of R12
// and R13, and the form of 3D polylines in every version.
void AdditionWriter::OldPolyline(const DrawingEntity& e, const std::string& owner, bool is3d) {
  const EntityData& d = e.Data();
  EntityHead("POLYLINE", e, owner, is3d ? "AcDb3dPolyline" : "AcDb2dPolyline");
  mOut.Int(66, 1);
  mOut.Point(10, {0, 0, is3d ? 0 : d.Elevation});
  mOut.Int(70, (d.Closed ? 1 : 0) | (is3d ? 8 : 0));
  // Extended data belongs to the POLYLINE record, ahead of its vertices.
  XData(e);
  for (const PolylineVertex& v : d.Vertices) {
    mOut.Raw(0, "VERTEX");
    Handle(mNewHandle());
    if (Modern()) {
      mOut.Raw(330, e.Handle());
      mOut.Raw(100, "AcDbEntity");
    }
    mOut.Text(8, e.Layer());
    if (Modern()) {
      mOut.Raw(100, "AcDbVertex");
      mOut.Raw(100, is3d ? "AcDb3dPolylineVertex" : "AcDb2dVertex");
    }
    mOut.Point(10, {v.X, v.Y, is3d ? v.Z : d.Elevation});
    if (!is3d && (v.StartWidth != 0 || v.EndWidth != 0)) {
      mOut.Real(40, v.StartWidth);
      mOut.Real(41, v.EndWidth);
    }
    if (!is3d && v.Bulge != 0) mOut.Real(42, v.Bulge);
    mOut.Int(70, is3d ? 32 : 0);
  }
  mOut.Raw(0, "SEQEND");
  Handle(mNewHandle());
  if (Modern()) {
    mOut.Raw(330, e.Handle());
    mOut.Raw(100, "AcDbEntity");
  }
  mOut.Text(8, e.Layer());
}

void AdditionWriter::Text(const DrawingEntity& e, const std::string& owner) {
  const EntityData& d = e.Data();
  EntityHead("TEXT", e, owner, "AcDbText");
  mOut.Point(10, d.Insertion);
  mOut.Real(40, d.Height);
  mOut.Text(1, d.Text);
  if (d.RotationDeg != 0) mOut.Real(50, d.RotationDeg);
  if (!mStyle.TextStyle.empty()) mOut.Text(7, mStyle.TextStyle);
  if (d.HorizontalAlignment != 0) mOut.Int(72, d.HorizontalAlignment);
  if (d.HorizontalAlignment != 0 || d.HasAlignmentPoint) {
    mOut.Point(11, d.HasAlignmentPoint ? d.AlignmentPoint : d.Insertion);
  }
  if (Modern()) mOut.Raw(100, "AcDbText");
}

}  // namespace veerline::cad
