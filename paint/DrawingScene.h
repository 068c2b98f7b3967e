#pragma once

#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cad/geometry/EntityGeometry.h"
#include "cad/geometry/GeometryIndex.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::paint {

// A drawing flattened once for painting and picking: its pieces, a spatial
// index of them, and what painting needs again on every frame (text strings,
// each model-space entity's run of pieces).
class DrawingScene {
 public:
  DrawingScene() = default;
  // Flattens model space with a chord tolerance fine enough to zoom far in.
  explicit DrawingScene(const cad::DrawingModel& model);

  const cad::DrawingGeometry& Geometry() const { return mGeometry; }
  const cad::GeometryPiece& Piece(std::uint32_t index) const { return mGeometry.Pieces[index]; }
  std::size_t Size() const { return mGeometry.Pieces.size(); }
  QRectF PieceBounds(std::uint32_t index) const;
  // Bounds of everything drawn, or nothing for an empty drawing.
  const std::optional<QRectF>& Bounds() const { return mBounds; }

  // The pieces whose bounds meet the area (drawing units), in drawing order.
  void Query(const QRectF& area, std::vector<std::uint32_t>& out) const;
  // The pieces of one model-space entity: [first, end); empty when it draws nothing.
  std::pair<std::uint32_t, std::uint32_t> PiecesOf(const std::string& handle) const;
  // The model-space entity a piece belongs to.
  std::string HandleOf(std::uint32_t index) const;
  const QString& TextOf(const cad::GeometryPiece& piece) const { return mTexts[piece.Text]; }

 private:
  cad::DrawingGeometry mGeometry;
  cad::GeometryIndex mIndex;
  std::vector<QString> mTexts;
  std::unordered_map<const cad::DrawingEntity*, std::pair<std::uint32_t, std::uint32_t>> mOwners;
  std::optional<QRectF> mBounds;
};

// The chord tolerance a drawing of these bounds is flattened with for the
// screen: a small part of its size, so curves stay smooth when zoomed in.
double ScreenChordTolerance(const std::optional<cad::DrawingExtents>& bounds);

}  // namespace veerline::paint
