#pragma once

// The inside of the drawing's flattening: what each entity kind's flattening
// reads (its record) and where it puts its shapes (a sink that places them in
// the drawing and gives them the entity's colour, layer and linetype).

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "cad/dxf/DrawingEntity.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfTags.h"
#include "cad/dxf/DxfText.h"
#include "cad/geometry/EntityGeometry.h"
#include "cad/geometry/GeometryMath.h"

namespace veerline::cad {

// Thrown by the readers below for a number that does not read; the entity
// that holds it is left out.
struct BadGeometryRecord {};

double ReadReal(const DxfTag& tag);
int ReadInt(const DxfTag& tag);

// The tags of a record after its 0 tag, up to the next record.
std::span<const DxfTag> RecordBody(std::span<const DxfTag> tags);
// The records that follow the first one (VERTEX, ATTRIB, SEQEND), each from its 0 tag.
std::vector<std::span<const DxfTag>> Followers(std::span<const DxfTag> tags);

// The first value of a group as a number, or the fallback when the group is absent.
double RealOf(std::span<const DxfTag> body, int code, double fallback);
int IntOf(std::span<const DxfTag> body, int code, int fallback);
// The point of groups code and code + 10 (x and y).
Point2D PointOf(std::span<const DxfTag> body, int code, Point2D fallback = {});
// The extrusion (groups 210, 220, 230); (0, 0, 1) when absent.
Vector3 NormalOf(std::span<const DxfTag> body);

// The colour and layer of the shapes an entity gives from now on, for an
// entity drawn in parts of their own style (the graphics of custom objects).
struct PartStyle {
  int ColorIndex = kColorByLayer;  // 0: by block, the entity's own colour
  std::int32_t TrueColor = -1;     // 0xRRGGBB, or -1 for the colour index
  int LayerIndex = -1;             // place in the drawing's layer table; -1 the entity's layer
};

// Receives one entity's shapes in the entity's own coordinates.
class ShapeSink {
 public:
  virtual ~ShapeSink() = default;
  // Chord tolerance in the entity's own units.
  virtual double Tolerance() const = 0;
  // Coordinates given from now on are mapped by `local` first (an object
  // coordinate system); identity until set.
  virtual void SetLocal(const Affine2D& local) = 0;
  virtual void Polyline(std::vector<Point2D> points, bool closed) = 0;
  // An area of one or more rings, one after another in `points`.
  virtual void Fill(std::vector<Point2D> points, std::vector<std::uint32_t> ringEnds,
                    bool unionRings, bool faint) = 0;
  virtual void Dot(const Point2D& point) = 0;
  virtual void Text(GeometryText text) = 0;
  // A polyline with its own dash pattern (hatch pattern lines), lengths in own units.
  virtual void PatternLine(std::vector<Point2D> points, const std::vector<double>& dashes) = 0;
  // A line without end through `base` along `direction`, both ways or from
  // `base` on; it is cut where the rest of the drawing ends.
  virtual void InfiniteLine(const Point2D& base, const Point2D& direction, bool bothWays) = 0;
  // An area painted in the background colour, hiding what was drawn before it.
  virtual void Mask(std::vector<Point2D> ring) = 0;
  virtual void SetPartStyle(const PartStyle& style) = 0;
};

// One entity record as the flattening reads it.
struct EntityRecord {
  const DrawingEntity& Entity;
  std::span<const DxfTag> Body;  // the record's own tags, without its 0 tag and followers
  const DxfTextCoding& Coding;   // how the file's text values are encoded
};

// The kinds flattened from their decoded data: lines, arcs, circles, polylines.
void FlattenDecoded(const EntityRecord& record, ShapeSink& sink);
// Kinds read from their tags; each returns false for a kind it does not know.
bool FlattenCurveKind(std::string_view type, const EntityRecord& record, ShapeSink& sink);
bool FlattenAreaKind(std::string_view type, const EntityRecord& record, ShapeSink& sink);
void FlattenHatch(const EntityRecord& record, ShapeSink& sink);
// A wipeout hides what lies under it, framed when the drawing shows wipeout frames.
void FlattenWipeout(const EntityRecord& record, bool frame, ShapeSink& sink);
// XLINE, RAY, MLINE (with the body of its MLINESTYLE, empty when it has none)
// and MESH; false for another kind.
bool FlattenLineKind(std::string_view type, const EntityRecord& record,
                     std::span<const DxfTag> style, ShapeSink& sink);
// The texts of a complex linetype along a polyline (drawing coordinates),
// its pattern scaled to drawing units by `scale`.
std::vector<GeometryText> LinetypeTextsAlong(const std::vector<Point2D>& points, bool closed,
                                             const DrawingLinetype& linetype, double scale);

// A piece that stands for a line without end, as its base point and a
// second point on it; CutEndlessLines makes it the part of the line that
// crosses the rest of the drawing (with a small margin), so such lines show
// across the drawing without widening its extents.
struct EndlessLine {
  std::size_t Piece = 0;
  bool BothWays = true;
};
void CutEndlessLines(DrawingGeometry& geometry, const std::vector<EndlessLine>& lines);
// The shapes a custom object's writer stored with it (groups 310 after a
// byte count in 92 or 160); false when the record holds none that read.
bool FlattenProxyGraphics(const EntityRecord& record, ShapeSink& sink);
void FlattenLeader(const EntityRecord& record, double arrowSize, ShapeSink& sink);
void FlattenMultiLeader(const EntityRecord& record, ShapeSink& sink);
// TEXT (decoded data, alignment from the tags), ATTRIB and ATTDEF (tags only;
// an attribute definition shows its tag), MTEXT.
void FlattenText(const EntityRecord& record, ShapeSink& sink);
void FlattenAttribute(std::span<const DxfTag> body, bool definition, const DxfTextCoding& coding,
                      ShapeSink& sink);
void FlattenMText(const EntityRecord& record, ShapeSink& sink);

// A single line of text as TEXT gives it, placed by its alignment.
struct LineText {
  std::string Value;  // UTF-8
  Point2D First, Second;
  bool HasSecond = false;
  double Height = 1, WidthFactor = 1, RotationDeg = 0, ObliqueDeg = 0;
  int Horizontal = 0;  // 0 left, 1 centre, 2 right, 3 aligned, 4 middle, 5 fit
  int Vertical = 0;    // 0 base line, 1 bottom, 2 middle, 3 top
  int Generation = 0;  // 2 backwards, 4 upside down
};
void PlaceTextLine(const LineText& text, ShapeSink& sink);

// Text layout shared by the text kinds and the multileader.
struct MTextFrame {
  Point2D Insertion;
  Point2D Direction{1, 0};  // the text's x direction (need not be unit length)
  Point2D Up;               // its y direction; zero: a quarter turn left of Direction
  double Height = 1;
  double WrapWidth = 0;  // 0: no wrapping
  int Attachment = 1;    // 1 top left ... 9 bottom right
  double LineSpacing = 1;
};
void LayOutMText(const std::string& plain, const MTextFrame& frame, ShapeSink& sink);
// The text of an MTEXT value without its formatting codes; "\P" becomes a line break.
std::string PlainMText(std::string_view raw);
// A TEXT value with its %% codes resolved (%%d degree, %%p plus-minus, %%c diameter).
std::string PlainText(std::string_view text);
// Estimated length of a line of text of the given cap height and width factor.
double TextLength(std::string_view utf8, double height, double widthFactor);

}  // namespace veerline::cad
