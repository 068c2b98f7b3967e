#pragma once

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "paint/DrawingScene.h"
#include "paint/LinetypeDashes.h"
#include "paint/ThinLines.h"

namespace veerline::paint {

// What one frame paints with: the painter, the mapping to the screen and the
// background the colours are chosen for.
struct FrameSetup {
  QTransform ToScreen;
  QRectF Screen;
  double PixelsPerUnit = 1;
  bool Dark = false;
  // So many pieces in view that line work is drawn without antialiasing: it
  // would not show, and it costs twice the time.
  bool Dense = false;
};

// Beyond this many pieces in the whole view, the view counts as dense.
inline constexpr std::size_t kDenseViewPieces = 5000;

// Paints the pieces in view for one frame: filled areas first (hatches lie
// behind line work, as CAD programs place them), then line work, then points
// and text on top; a mask (a wipeout) covers what comes before it in drawing
// order and lies under what comes after. Continuous line work is gathered by colour and drawn in a
// few large batches; a piece smaller than a pixel becomes one dot; points
// closer than a pixel merge. A dense view draws its line work without
// antialiasing, straight into the image when it paints on one.
class FramePainter {
 public:
  FramePainter(QPainter& painter, const DrawingScene& scene, const FrameSetup& setup,
               std::vector<float>& textAdvances);
  void Paint(const std::vector<std::uint32_t>& visible);

  // The colour a piece is drawn in on this background.
  static QColor PieceColor(const cad::GeometryPiece& piece, bool dark);

 private:
  struct Batch {
    QColor Colour;
    std::vector<QLineF> Lines;
    std::vector<QPointF> Dots;
  };

  // The fills, line work, then points and text of pieces between two masks.
  void PaintLayer(std::span<const std::uint32_t> visible);
  void PaintMask(std::uint32_t index);
  void PaintFill(std::uint32_t index);
  void AddLineWork(std::uint32_t index);
  void PaintDashed(const cad::GeometryPiece& piece, const QColor& colour,
                   const ScreenDashes& dashes);
  void PaintClipped(const QColor& colour);
  // Draws the gathered line work; straight into the image when there is one.
  void FlushBatches(const std::optional<DirectCanvas>& direct);
  void PaintMarker(std::uint32_t index);
  Batch& BatchFor(const QColor& colour);
  const std::optional<ScreenDashes>& DashesOf(std::int32_t linetype);
  // Screen points of a piece's points [first, end), neighbours closer than a
  // fraction of a pixel merged; the last point always kept.
  void ToScreen(const cad::GeometryPiece& piece, std::size_t first, std::size_t end);
  QRectF ScreenBounds(std::uint32_t index) const;

  QPainter& mPainter;
  const DrawingScene& mScene;
  FrameSetup mSetup;
  std::vector<float>& mTextAdvances;
  std::vector<std::optional<ScreenDashes>> mDashes;  // per pattern, at this scale
  std::vector<bool> mDashesMade;
  std::vector<Batch> mBatches;
  std::unordered_map<QRgb, std::size_t> mBatchOf;
  std::vector<QPointF> mPolygon;  // screen points of one piece, reused
};

}  // namespace veerline::paint
