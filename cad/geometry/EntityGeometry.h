#pragma once

// What model space shows, as plain geometry in drawing coordinates: every
// visible entity, and the blocks it inserts, turned into polylines, filled
// areas, points and text items, each with its resolved colour, layer and
// linetype and the model-space entity it belongs to. Painting, extents, picking
// and the clearance check all read the drawing through this one flattening.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/dxf/DrawingModel.h"
#include "engine/Geometry.h"

namespace veerline::cad {

// Axis-aligned bounds of drawn geometry.
struct DrawingExtents {
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

enum class PieceKind : std::uint8_t {
  Polyline,  // Points joined in order; Closed joins the last to the first
  Fill,      // an area: RingEnds splits Points into rings
  Point,     // one point
  Text,      // Points is the text's box (four corners); Text indexes Texts
};

// One line of text placed in the drawing: the glyphs fill the parallelogram
// from Origin along Along (the whole line's length) and up Up (the height of
// capitals), so a painter stretches its font to it and extents and picking use
// the same box. Mirrored or slanted references give a mirrored or slanted box.
struct GeometryText {
  std::string Value;  // UTF-8, formatting codes removed
  Point2D Origin;     // start of the base line
  Point2D Along;      // base line from start to end
  Point2D Up;         // from the base line to the top of capitals
};

struct GeometryPiece {
  PieceKind Kind = PieceKind::Polyline;
  bool Closed = false;
  // Fills: rings joined (a wide polyline's segments) instead of alternating
  // inside and outside (a hatch with islands).
  bool Union = false;
  // Fills: a stand-in drawn faint, such as a hatch whose pattern is not drawn.
  bool Faint = false;
  // Fills: painted in the background colour, hiding what comes before it (a wipeout).
  bool Mask = false;
  std::vector<Point2D> Points;
  std::vector<std::uint32_t> RingEnds;  // fills: one past the last point of each ring
  int ColorIndex = 7;                   // 1 to 255, "by layer" and "by block" resolved
  std::int32_t TrueColor = -1;          // 0xRRGGBB when the entity has one, else -1
  std::uint32_t Layer = 0;              // index into DrawingGeometry::LayerNames
  std::int32_t Linetype = -1;           // index into DrawingGeometry::Patterns; -1 continuous
  std::int32_t Text = -1;               // index into DrawingGeometry::Texts
  // The model-space entity drawn: a block reference for everything it inserts.
  const DrawingEntity* Owner = nullptr;
};

struct DrawingGeometry {
  std::vector<GeometryPiece> Pieces;  // in drawing order
  std::vector<GeometryText> Texts;
  // Dash patterns in drawing units, $LTSCALE, the entity's scale and any
  // enclosing reference's scale applied: positive drawn, negative gaps, zero dots.
  std::vector<std::vector<double>> Patterns;
  std::vector<std::string> LayerNames;
  // True when a limit on the amount of geometry cut the drawing short.
  bool Truncated = false;
};

struct GeometryOptions {
  // Largest distance, in drawing units, between a curve and the chords that
  // stand for it (arcs, ellipses, splines, bulges).
  double ChordTolerance = 0.01;
  // Block references nested deeper than this are not followed.
  int MaxInsertDepth = 16;
  // Geometry stops growing past this many points, each piece counting as
  // eight more (a reference array of arrays, or a hatch pattern at a tiny
  // scale, could otherwise fill the memory).
  std::size_t MaxPoints = 20'000'000;
  // Flattens layers that are off or frozen as well, for work that does not
  // depend on what is shown (obstacles of a clearance check).
  bool HiddenLayersToo = false;
};

// Flattens model space. Entities on layers that are off or frozen are left
// out, and so is everything a reference on a frozen layer inserts (unless the
// options ask for hidden layers too). Kinds
// without geometry, and records with numbers that do not read, give nothing.
DrawingGeometry BuildDrawingGeometry(const DrawingModel& model, const GeometryOptions& options);

// Bounds of one piece, and of all pieces; nothing when there are none.
DrawingExtents PieceBounds(const GeometryPiece& piece);
std::optional<DrawingExtents> GeometryBounds(const DrawingGeometry& geometry);

// Bounds of model space with block references expanded; empty when nothing is drawn.
std::optional<DrawingExtents> ModelExtents(const DrawingModel& model);

}  // namespace veerline::cad
