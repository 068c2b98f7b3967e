#include "cad/dxf/DxfDecode.h"

#include <cmath>

#include "cad/dxf/DxfError.h"
#include "cad/dxf/DxfNumber.h"
#include "cad/dxf/DxfText.h"

namespace veerline::cad {

namespace {

// Reads the numbers of one record, failing with the record's type, the group
// and the line of a value that is not a number.
class NumberReader {
 public:
  NumberReader(std::span<const DxfTag> record, const DecodeContext& context)
      : mType(record.empty() ? std::string_view() : record.front().Value), mContext(context) {}

  double Real(const DxfTag& tag) const {
    if (auto value = ParseDxfReal(tag.Value)) return *value;
    Fail(tag);
  }
  int Int(const DxfTag& tag) const {
    if (auto value = ParseDxfInt(tag.Value)) return *value;
    Fail(tag);
  }

 private:
  [[noreturn]] void Fail(const DxfTag& tag) const {
    throw DxfError(mContext.FileName + ": bad number '" + std::string(tag.Value.substr(0, 30)) +
                   "' in group " + std::to_string(tag.Code) + " of " + std::string(mType) +
                   " at line " + std::to_string(LineAt(mContext.Text, tag.Begin)));
  }

  std::string_view mType;
  const DecodeContext& mContext;
};

// A point's coordinate groups: 10/20/30 and so on.
void SetCoordinate(CadPoint& point, int code, int base, double value) {
  if (code == base) point.X = value;
  if (code == base + 10) point.Y = value;
  if (code == base + 20) point.Z = value;
}

bool IsCoordinate(int code, int base) {
  return code == base || code == base + 10 || code == base + 20;
}

void DecodeLightweight(std::span<const DxfTag> record, EntityData& d, const NumberReader& n) {
  double constantWidth = 0;
  for (const DxfTag& t : record.subspan(1)) {
    if (t.Code == 43) constantWidth = n.Real(t);
  }
  for (const DxfTag& t : record.subspan(1)) {
    switch (t.Code) {
      case 70:
        d.Closed = (n.Int(t) & 1) != 0;
        break;
      case 38:
        d.Elevation = n.Real(t);
        break;
      case 10:
        d.Vertices.push_back({n.Real(t), 0, 0, 0, constantWidth, constantWidth});
        break;
      default:
        if (d.Vertices.empty()) break;
        if (t.Code == 20) d.Vertices.back().Y = n.Real(t);
        if (t.Code == 40) d.Vertices.back().StartWidth = n.Real(t);
        if (t.Code == 41) d.Vertices.back().EndWidth = n.Real(t);
        if (t.Code == 42) d.Vertices.back().Bulge = n.Real(t);
    }
  }
}

// A POLYLINE and its VERTEX followers; spline frame control points (vertex
// flag 16) are not part of the drawn line.
void DecodeOldPolyline(std::span<const DxfTag> record, EntityData& d, const NumberReader& n) {
  double startWidth = 0, endWidth = 0;
  std::size_t i = 1;
  for (; i < record.size() && record[i].Code != 0; ++i) {
    const DxfTag& t = record[i];
    if (t.Code == 70) d.Closed = (n.Int(t) & 1) != 0;
    if (t.Code == 30) d.Elevation = n.Real(t);
    if (t.Code == 40) startWidth = n.Real(t);
    if (t.Code == 41) endWidth = n.Real(t);
  }
  while (i < record.size()) {
    bool isVertex = record[i].Value == "VERTEX";
    PolylineVertex v{0, 0, 0, 0, startWidth, endWidth};
    int flags = 0;
    for (++i; i < record.size() && record[i].Code != 0; ++i) {
      const DxfTag& t = record[i];
      if (!isVertex) continue;
      if (t.Code == 10) v.X = n.Real(t);
      if (t.Code == 20) v.Y = n.Real(t);
      if (t.Code == 30) v.Z = n.Real(t);
      if (t.Code == 40) v.StartWidth = n.Real(t);
      if (t.Code == 41) v.EndWidth = n.Real(t);
      if (t.Code == 42) v.Bulge = n.Real(t);
      if (t.Code == 70) flags = n.Int(t);
    }
    if (isVertex && (flags & 16) == 0) d.Vertices.push_back(v);
  }
}

}  // namespace

std::string_view FindValue(std::span<const DxfTag> record, int code) {
  for (std::size_t i = 1; i < record.size() && record[i].Code != 0; ++i) {
    if (record[i].Code == code) return record[i].Value;
  }
  return {};
}

EntityKind KindOfRecord(std::span<const DxfTag> record) {
  std::string_view type = record.front().Value;
  if (type == "LINE") return EntityKind::Line;
  if (type == "CIRCLE") return EntityKind::Circle;
  if (type == "ARC") return EntityKind::Arc;
  if (type == "TEXT") return EntityKind::Text;
  if (type == "INSERT") return EntityKind::Insert;
  if (type == "LWPOLYLINE") return EntityKind::LwPolyline;
  if (type == "POLYLINE") {
    int flags = ParseDxfInt(FindValue(record, 70)).value_or(0);
    if ((flags & (16 | 64)) != 0) return EntityKind::Unknown;  // meshes and polyface meshes
    return (flags & 8) != 0 ? EntityKind::Polyline3d : EntityKind::Polyline2d;
  }
  return EntityKind::Unknown;
}

void DecodeCommon(std::span<const DxfTag> record, EntityData& data, const DecodeContext& context) {
  std::string_view layer = TrimDxf(FindValue(record, 8));
  data.Layer = layer.empty() ? "0" : DecodeDxfText(layer, context.Coding);
  auto colour = ParseDxfInt(FindValue(record, 62));
  data.ColorIndex = colour && *colour >= 0 && *colour <= kColorByLayer ? *colour : kColorByLayer;
}

void DecodeEntity(EntityKind kind, std::span<const DxfTag> record, EntityData& d,
                  const DecodeContext& context) {
  NumberReader n(record, context);
  if (kind == EntityKind::LwPolyline) return DecodeLightweight(record, d, n);
  if (kind == EntityKind::Polyline2d || kind == EntityKind::Polyline3d) {
    return DecodeOldPolyline(record, d, n);
  }
  for (std::size_t i = 1; i < record.size() && record[i].Code != 0; ++i) {
    const DxfTag& t = record[i];
    switch (kind) {
      case EntityKind::Line:
        if (IsCoordinate(t.Code, 10)) SetCoordinate(d.Start, t.Code, 10, n.Real(t));
        if (IsCoordinate(t.Code, 11)) SetCoordinate(d.End, t.Code, 11, n.Real(t));
        break;
      case EntityKind::Circle:
      case EntityKind::Arc:
        if (IsCoordinate(t.Code, 10)) SetCoordinate(d.Centre, t.Code, 10, n.Real(t));
        if (t.Code == 40) d.Radius = n.Real(t);
        if (kind == EntityKind::Arc && t.Code == 50) d.StartAngleDeg = n.Real(t);
        if (kind == EntityKind::Arc && t.Code == 51) d.EndAngleDeg = n.Real(t);
        break;
      case EntityKind::Text:
        if (t.Code == 1) d.Text = DecodeDxfText(t.Value, context.Coding);
        if (IsCoordinate(t.Code, 10)) SetCoordinate(d.Insertion, t.Code, 10, n.Real(t));
        if (IsCoordinate(t.Code, 11)) {
          SetCoordinate(d.AlignmentPoint, t.Code, 11, n.Real(t));
          d.HasAlignmentPoint = true;
        }
        if (t.Code == 40) d.Height = n.Real(t);
        if (t.Code == 50) d.RotationDeg = n.Real(t);
        if (t.Code == 72) d.HorizontalAlignment = n.Int(t);
        break;
      case EntityKind::Insert:
        if (t.Code == 2) d.BlockName = DecodeDxfText(TrimDxf(t.Value), context.Coding);
        if (IsCoordinate(t.Code, 10)) SetCoordinate(d.Insertion, t.Code, 10, n.Real(t));
        if (t.Code == 41) d.ScaleX = n.Real(t);
        if (t.Code == 42) d.ScaleY = n.Real(t);
        if (t.Code == 43) d.ScaleZ = n.Real(t);
        if (t.Code == 50) d.RotationDeg = n.Real(t);
        break;
      default:
        break;
    }
  }
}

DrawingLayer DecodeLayer(std::span<const DxfTag> record, const DecodeContext& context) {
  DrawingLayer layer;
  layer.FromFile = true;
  layer.Name = DecodeDxfText(TrimDxf(FindValue(record, 2)), context.Coding);
  int colour = ParseDxfInt(FindValue(record, 62)).value_or(7);
  layer.Visible = colour >= 0;
  colour = std::abs(colour);
  layer.ColorIndex = colour >= 1 && colour <= 255 ? colour : 7;
  layer.Frozen = (ParseDxfInt(FindValue(record, 70)).value_or(0) & 1) != 0;
  std::string_view linetype = TrimDxf(FindValue(record, 6));
  if (!linetype.empty()) layer.Linetype = DecodeDxfText(linetype, context.Coding);
  if (auto rgb = ParseDxfInt(FindValue(record, 420))) layer.TrueColor = *rgb & 0xFFFFFF;
  return layer;
}

DrawingLinetype DecodeLinetype(std::span<const DxfTag> record, const DecodeContext& context) {
  DrawingLinetype linetype;
  linetype.FromFile = true;
  linetype.Name = DecodeDxfText(TrimDxf(FindValue(record, 2)), context.Coding);
  linetype.Description = DecodeDxfText(FindValue(record, 3), context.Coding);
  // Each element: its length (49), its kind (74: 2 a text, 1 its rotation
  // absolute), and for a text its height, rotation, offsets and string.
  LinetypeText text;
  int kind = 0;
  auto endElement = [&] {
    if ((kind & 2) != 0 && !text.Text.empty() && !linetype.Pattern.empty()) {
      text.Element = linetype.Pattern.size() - 1;
      text.AbsoluteRotation = (kind & 1) != 0;
      linetype.Texts.push_back(text);
    }
    text = LinetypeText{};
    kind = 0;
  };
  for (std::size_t i = 1; i < record.size() && record[i].Code != 0; ++i) {
    const DxfTag& tag = record[i];
    const std::optional<double> number = tag.Code == 9 ? std::nullopt : ParseDxfReal(tag.Value);
    if (tag.Code == 49) {
      endElement();
      if (number) linetype.Pattern.push_back(*number);
    } else if (tag.Code == 74 && number) {
      kind = static_cast<int>(*number);
    } else if (tag.Code == 46 && number) {
      text.Height = *number;
    } else if (tag.Code == 50 && number) {
      text.RotationDeg = *number;
    } else if (tag.Code == 44 && number) {
      text.OffsetX = *number;
    } else if (tag.Code == 45 && number) {
      text.OffsetY = *number;
    } else if (tag.Code == 9) {
      text.Text = DecodeDxfText(tag.Value, context.Coding);
    }
  }
  endElement();
  return linetype;
}

}  // namespace veerline::cad
