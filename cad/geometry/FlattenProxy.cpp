// Flattening of proxy graphics: the shapes a custom object's writer stored
// with it (hexadecimal groups 310 after a byte count in 92 or 160), so a
// drawing shows its architectural walls and the like without the program
// that made them. The stream is a list of primitives, each led by its byte
// size and type: lines, polygons, circles, arcs, meshes, shells, lightweight
// polylines, texts and endless lines are drawn; colours, layers, fills and
// model transforms set how the primitives after them are drawn.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "cad/dxf/DxfNumber.h"
#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"
#include "cad/geometry/ProxyStream.h"

namespace veerline::cad {
namespace {

using proxy::BitReader;
using proxy::ByteReader;
using proxy::V3;

constexpr double kTurn = 2 * std::numbers::pi;

// Primitive types of the stream.
enum Primitive : std::uint32_t {
  kCircle = 2,
  kCircle3p = 3,
  kArc = 4,
  kArc3p = 5,
  kPolyline = 6,
  kPolygon = 7,
  kMesh = 8,
  kShell = 9,
  kText = 10,
  kText2 = 11,
  kXline = 12,
  kRay = 13,
  kColor = 14,
  kLayer = 16,
  kFill = 20,
  kTrueColor = 22,
  kPushMatrix = 29,
  kPopMatrix = 31,
  kPolylineWithNormal = 32,
  kLwPolyline = 33,
  kUnicodeText = 36,
  kUnicodeText2 = 38,
};

// A model transform: x' = M x + t, kept as three rows of four.
struct Transform {
  std::array<double, 12> M{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

  V3 Point(const V3& p) const { return Turn(p) + V3{M[3], M[7], M[11]}; }
  V3 Turn(const V3& v) const {
    return {M[0] * v.X + M[1] * v.Y + M[2] * v.Z, M[4] * v.X + M[5] * v.Y + M[6] * v.Z,
            M[8] * v.X + M[9] * v.Y + M[10] * v.Z};
  }
  // This transform applied after `inner`.
  Transform After(const Transform& inner) const {
    Transform out;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 4; ++c) {
        double sum = c == 3 ? M[r * 4 + 3] : 0;
        for (int k = 0; k < 3; ++k) sum += M[r * 4 + k] * inner.M[k * 4 + c];
        out.M[r * 4 + c] = sum;
      }
    }
    return out;
  }
};

Point2D Flat(const V3& p) { return {p.X, p.Y}; }

// Two axes across a plane's normal, by the arbitrary axis rule.
void PlaneAxes(const V3& normal, V3& u, V3& v) {
  const V3 n = Unit(normal);
  if (Length(n) == 0) {
    u = {1, 0, 0};
    v = {0, 1, 0};
    return;
  }
  u = std::fabs(n.X) < 1.0 / 64 && std::fabs(n.Y) < 1.0 / 64 ? Unit(Cross({0, 1, 0}, n))
                                                             : Unit(Cross({0, 0, 1}, n));
  v = Cross(n, u);
}

// The centre and radius of the circle through three points; false when they lie on a line.
bool CircleThrough(const V3& p1, const V3& p2, const V3& p3, V3& centre, double& radius) {
  const V3 a = p1 - p3, b = p2 - p3, axb = Cross(a, b);
  const double d = 2 * Dot(axb, axb);
  if (!(d > 1e-300)) return false;
  centre = p3 + Cross(b * Dot(a, a) - a * Dot(b, b), axb) * (1 / d);
  radius = Length(p1 - centre);
  return std::isfinite(radius);
}

// The curve centre + major cos t + minor sin t for t from 0 to sweep: an arc
// (cut at its quarter points, so its extents are true) when the two axes are
// a circle's, else an elliptic arc.
void AppendConic(std::vector<Point2D>& out, const Point2D& centre, const Point2D& major,
                 const Point2D& minor, double sweep, double tolerance) {
  const double a = std::hypot(major.X, major.Y), b = std::hypot(minor.X, minor.Y);
  const double across = major.X * minor.Y - major.Y * minor.X;
  const double along = major.X * minor.X + major.Y * minor.Y;
  if (a > 0 && std::fabs(a - b) <= 1e-9 * a && std::fabs(along) <= 1e-9 * a * a) {
    AppendArc(out, centre, a, std::atan2(major.Y, major.X), across > 0 ? sweep : -sweep, tolerance);
  } else {
    AppendEllipse(out, centre, major, minor, 0, sweep, tolerance);
  }
}

class ProxyPainter {
 public:
  ProxyPainter(const EntityRecord& record, ShapeSink& sink) : mRecord(record), mSink(sink) {}

  // Draws the primitives of the stream; false when it is no stream.
  bool Paint(std::span<const std::uint8_t> stream) {
    ByteReader head(stream);
    std::uint32_t total = 0;
    try {
      total = head.Long();
      head.Long();  // the primitive count, which the sizes repeat
    } catch (const BadGeometryRecord&) {
      return false;
    }
    if (total < 8 || total > stream.size()) return false;
    std::size_t at = 8;
    while (at + 8 <= total) {
      ByteReader lead(stream.subspan(at, 8));
      const std::uint32_t size = lead.Long(), type = lead.Long();
      if (size < 8 || size > total - at) break;
      try {
        Primitive(type, stream.subspan(at + 8, size - 8));
      } catch (const BadGeometryRecord&) {
        break;  // a primitive that does not read ends the stream; what came before stays
      }
      at += size;
    }
    return true;
  }

 private:
  void Primitive(std::uint32_t type, std::span<const std::uint8_t> data) {
    ByteReader r(data);
    switch (type) {
      case kCircle: {
        const V3 centre = r.Vertex();
        const double radius = r.Real();
        Circle(centre, radius, r.Vertex());
        break;
      }
      case kCircle3p: {
        const V3 p1 = r.Vertex(), p2 = r.Vertex(), p3 = r.Vertex();
        V3 centre;
        double radius;
        if (CircleThrough(p1, p2, p3, centre, radius))
          Circle(centre, radius, Cross(p2 - p1, p3 - p2));
        break;
      }
      case kArc: {
        const V3 centre = r.Vertex();
        const double radius = r.Real();
        const V3 normal = r.Vertex(), start = r.Vertex();
        const double sweep = r.Real();
        const std::uint32_t kind = r.Left() >= 4 ? r.Long() : 0;
        Arc(centre, radius, normal, start, sweep, kind);
        break;
      }
      case kArc3p: {
        const V3 p1 = r.Vertex(), p2 = r.Vertex(), p3 = r.Vertex();
        const std::uint32_t kind = r.Left() >= 4 ? r.Long() : 0;
        V3 centre;
        double radius;
        if (!CircleThrough(p1, p2, p3, centre, radius)) {
          Lines({p1, p3}, false);
          break;
        }
        // Turning from the first point through the second to the third.
        const V3 normal = Unit(Cross(p2 - p1, p3 - p2)), u = Unit(p1 - centre);
        const V3 w = Cross(normal, u), to = p3 - centre;
        double sweep = std::atan2(Dot(to, w), Dot(to, u));
        if (sweep <= 0) sweep += kTurn;
        Arc(centre, radius, normal, u, sweep, kind);
        break;
      }
      case kPolyline:
      case kPolygon:
      case kPolylineWithNormal: {
        const std::uint32_t count = r.Count(24);
        std::vector<V3> points;
        for (std::uint32_t k = 0; k < count; ++k) points.push_back(r.Vertex());
        Lines(points, type == kPolygon);
        break;
      }
      case kMesh:
        Mesh(r);
        break;
      case kShell:
        Shell(r);
        break;
      case kText:
      case kUnicodeText:
      case kText2:
      case kUnicodeText2:
        TextPrimitive(type, r);
        break;
      case kXline:
      case kRay: {
        const V3 base = mTransform.Point(r.Vertex()), other = mTransform.Point(r.Vertex());
        const Point2D direction = Flat(other - base);
        if (direction.X != 0 || direction.Y != 0)
          mSink.InfiniteLine(Flat(base), direction, type == kXline);
        break;
      }
      case kColor: {
        const std::uint32_t colour = r.Long();
        mStyle.TrueColor = -1;
        mStyle.ColorIndex = colour <= 256 ? static_cast<int>(colour) : kColorByLayer;
        mSink.SetPartStyle(mStyle);
        break;
      }
      case kTrueColor: {
        const std::uint32_t raw = r.Long(), method = raw >> 24;
        mStyle.TrueColor = -1;
        if (method == 0xC2) {
          mStyle.TrueColor = static_cast<std::int32_t>(raw & 0xFFFFFF);
        } else if (method == 0xC3) {
          mStyle.ColorIndex = static_cast<int>(raw & 0xFF);
        } else if (method == 0xC1) {
          mStyle.ColorIndex = 0;
        } else {
          mStyle.ColorIndex = kColorByLayer;
        }
        mSink.SetPartStyle(mStyle);
        break;
      }
      case kLayer:
        mStyle.LayerIndex = static_cast<int>(std::min<std::uint32_t>(r.Long(), 1u << 30));
        mSink.SetPartStyle(mStyle);
        break;
      case kFill:
        mFill = r.Long() != 0;
        break;
      case kPushMatrix: {
        Transform pushed;
        std::array<double, 16> m{};
        for (double& value : m) value = r.Real();
        for (int k = 0; k < 12; ++k) pushed.M[k] = m[k];
        mStack.push_back(mTransform);
        mTransform = mTransform.After(pushed);
        break;
      }
      case kPopMatrix:
        if (!mStack.empty()) {
          mTransform = mStack.back();
          mStack.pop_back();
        }
        break;
      case kLwPolyline:
        LwPolyline(data);
        break;
      default:
        break;  // attributes that change nothing drawn here (linetypes, weights, markers)
    }
  }

  // Points joined in order, or an area when filling is on.
  void Lines(const std::vector<V3>& points, bool closed) {
    std::vector<Point2D> flat;
    for (const V3& p : points) flat.push_back(Flat(mTransform.Point(p)));
    Shape(std::move(flat), closed);
  }
  void Shape(std::vector<Point2D> points, bool closed) {
    if (points.empty()) return;
    if (points.size() == 2 && points[0] == points[1]) points.pop_back();
    if (mFill && points.size() > 2) {
      mSink.Fill(std::move(points), {}, false, false);
    } else {
      mSink.Polyline(std::move(points), closed && points.size() > 2);
    }
    mFill = false;  // filling holds for one shape
  }

  void Circle(const V3& centre, double radius, const V3& normal) {
    V3 u, v;
    PlaneAxes(normal, u, v);
    std::vector<Point2D> points;
    AppendConic(points, Flat(mTransform.Point(centre)), Flat(mTransform.Turn(u * radius)),
                Flat(mTransform.Turn(v * radius)), kTurn, mSink.Tolerance());
    if (points.size() > 2) points.pop_back();
    Shape(std::move(points), true);
  }

  // An arc from the start direction about the normal; kinds 1 (a sector) and
  // 2 (closed by its chord) close it.
  void Arc(const V3& centre, double radius, const V3& normal, const V3& start, double sweep,
           std::uint32_t kind) {
    const V3 n = Unit(normal);
    V3 u = Unit(start - n * Dot(start, n)), v;
    if (Length(u) == 0) PlaneAxes(n, u, v);
    v = Cross(n, u);
    if (sweep < 0) {
      v = v * -1;
      sweep = -sweep;
    }
    std::vector<Point2D> points;
    AppendConic(points, Flat(mTransform.Point(centre)), Flat(mTransform.Turn(u * radius)),
                Flat(mTransform.Turn(v * radius)), std::min(sweep, kTurn), mSink.Tolerance());
    if (kind == 1) points.push_back(Flat(mTransform.Point(centre)));
    Shape(std::move(points), kind == 1 || kind == 2);
  }

  void Mesh(ByteReader& r) {
    const std::uint32_t rows = r.Long(), columns = r.Long();
    if (rows == 0 || columns == 0 || rows > r.Left() / 24 / columns) return;
    std::vector<Point2D> grid;
    for (std::uint32_t k = 0; k < rows * columns; ++k)
      grid.push_back(Flat(mTransform.Point(r.Vertex())));
    for (std::uint32_t i = 0; i < rows; ++i) {
      mSink.Polyline({grid.begin() + i * columns, grid.begin() + (i + 1) * columns}, false);
    }
    for (std::uint32_t j = 0; j < columns; ++j) {
      std::vector<Point2D> column;
      for (std::uint32_t i = 0; i < rows; ++i) column.push_back(grid[i * columns + j]);
      mSink.Polyline(std::move(column), false);
    }
  }

  // A shell: its vertices, then faces as a vertex count (negative for a
  // hole) followed by that many vertex indices.
  void Shell(ByteReader& r) {
    const std::uint32_t count = r.Count(24);
    std::vector<Point2D> vertices;
    for (std::uint32_t k = 0; k < count; ++k)
      vertices.push_back(Flat(mTransform.Point(r.Vertex())));
    const std::uint32_t entries = r.Count(4);
    for (std::uint32_t read = 0; read < entries;) {
      const auto edges = static_cast<std::uint32_t>(std::abs(static_cast<std::int32_t>(r.Long())));
      read += 1 + edges;
      if (edges > r.Left() / 4) throw BadGeometryRecord{};
      std::vector<Point2D> face;
      for (std::uint32_t k = 0; k < edges; ++k) {
        const std::uint32_t index = r.Long();
        if (index < vertices.size()) face.push_back(vertices[index]);
      }
      mSink.Polyline(std::move(face), edges > 2);
    }
  }

  void TextPrimitive(std::uint32_t type, ByteReader& r) {
    const V3 at = r.Vertex(), normal = r.Vertex(), direction = r.Vertex();
    std::string value;
    double height = 1, width = 1, oblique = 0;
    bool backwards = false, upsideDown = false;
    if (type == kText || type == kUnicodeText) {
      height = r.Real();
      width = r.Real();
      oblique = r.Real();
      value = type == kText ? DecodeDxfText(r.Bytes8(), mRecord.Coding) : r.Utf16();
    } else {
      value = type == kText2 ? DecodeDxfText(r.Bytes8(), mRecord.Coding) : r.Utf16();
      r.Long();  // length of the string
      r.Long();  // whether it is raw
      height = r.Real();
      width = r.Real();
      oblique = r.Real();
      r.Real();  // tracking
      backwards = r.Long() != 0;
      upsideDown = r.Long() != 0;
    }
    value = PlainText(value);
    if (value.empty() || !(height > 0)) return;
    // The text's axes: along its direction, and up across it in its plane.
    const V3 along = Unit(direction), up = Unit(Cross(normal, along));
    if (Length(along) == 0 || Length(up) == 0) return;
    const double length = TextLength(value, height, width);
    const V3 alongBox = along * (backwards ? -length : length);
    const V3 upBox = (up * height + along * (height * std::tan(oblique))) * (upsideDown ? -1 : 1);
    GeometryText text;
    text.Value = std::move(value);
    text.Origin = Flat(mTransform.Point(at));
    text.Along = Flat(mTransform.Turn(alongBox));
    text.Up = Flat(mTransform.Turn(upBox));
    mSink.Text(std::move(text));
  }

  // A lightweight polyline in the packed bit codes of the binary drawing
  // format, after the byte count of that packed data.
  void LwPolyline(std::span<const std::uint8_t> data) {
    if (data.size() < 4) return;
    BitReader b(data.subspan(4));
    const int flags = b.BitShort();
    double constantWidth = 0, elevation = 0;
    if (flags & 4) constantWidth = b.BitDouble();
    if (flags & 8) elevation = b.BitDouble();
    if (flags & 2) b.BitDouble();  // thickness
    V3 normal{0, 0, 1};
    if (flags & 1) normal = {b.BitDouble(), b.BitDouble(), b.BitDouble()};
    const std::size_t points = b.Count(2);
    const std::size_t bulges = (flags & 16) ? b.Count(2) : 0;
    const std::size_t ids = (flags & 1024) ? b.Count(2) : 0;
    const std::size_t widths = (flags & 32) ? b.Count(4) : 0;
    if (points == 0) return;
    std::vector<Point2D> vertices{{b.RawDouble(), b.RawDouble()}};
    for (std::size_t k = 1; k < points; ++k) {
      const double x = b.BitDoubleWithDefault(vertices.back().X);
      const double y = b.BitDoubleWithDefault(vertices.back().Y);
      vertices.push_back({x, y});
    }
    std::vector<double> bulge(points, 0.0);
    for (std::size_t k = 0; k < bulges; ++k) {
      const double value = b.BitDouble();
      if (k < points) bulge[k] = value;
    }
    (void)ids;
    (void)widths;
    (void)constantWidth;
    // Object coordinates of the polyline's plane onto the model, then the transform.
    const Affine2D ocs = OcsToWorld({normal.X, normal.Y, normal.Z}, elevation);
    const bool closed = (flags & 512) != 0;
    std::vector<Point2D> line{vertices.front()};
    const std::size_t segments = closed ? points : points - 1;
    for (std::size_t k = 0; k < segments; ++k) {
      AppendBulge(line, vertices[k], vertices[(k + 1) % points], bulge[k], mSink.Tolerance());
    }
    if (closed && line.size() > 2) line.pop_back();
    for (Point2D& p : line) {
      const Point2D q = ocs.Apply(p);
      p = Flat(mTransform.Point({q.X, q.Y, 0}));
    }
    Shape(std::move(line), closed);
  }

  const EntityRecord& mRecord;
  ShapeSink& mSink;
  PartStyle mStyle;
  bool mFill = false;
  Transform mTransform;
  std::vector<Transform> mStack;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes of the 310 groups that follow tag `first`; false for a group that is no hexadecimal.
bool StreamBytes(std::span<const DxfTag> body, std::size_t first, std::vector<std::uint8_t>& out) {
  for (std::size_t i = first; i < body.size() && body[i].Code == 310; ++i) {
    const std::string_view hex = TrimDxf(body[i].Value);
    if (hex.size() % 2 != 0) return false;
    for (std::size_t k = 0; k < hex.size(); k += 2) {
      const int high = HexDigit(hex[k]), low = HexDigit(hex[k + 1]);
      if (high < 0 || low < 0) return false;
      out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
  }
  return true;
}

}  // namespace

bool FlattenProxyGraphics(const EntityRecord& record, ShapeSink& sink) {
  const auto& body = record.Body;
  for (std::size_t i = 0; i + 1 < body.size(); ++i) {
    if ((body[i].Code != 92 && body[i].Code != 160) || body[i + 1].Code != 310) continue;
    std::vector<std::uint8_t> stream;
    if (!StreamBytes(body, i + 1, stream)) return false;
    sink.SetLocal(Affine2D{});
    const bool drawn = ProxyPainter(record, sink).Paint(stream);
    sink.SetPartStyle(PartStyle{});
    return drawn;
  }
  return false;
}

}  // namespace veerline::cad
