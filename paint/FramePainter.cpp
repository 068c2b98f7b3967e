#include "paint/FramePainter.h"

#include <QPainterPath>
#include <QPen>
#include <array>
#include <cmath>

#include "paint/AciColors.h"
#include "paint/SegmentClip.h"
#include "paint/TextPainting.h"
#include "paint/ThinLines.h"

namespace veerline::paint {

namespace {

// Consecutive points closer than this on the screen are drawn as one: a
// curve keeps chords of at least this length, which is still round to the eye.
constexpr double kMergePixels = 1.5;
// Pieces reaching further off the screen than this are clipped before they
// reach the raster engine, whose fixed-point maths would overflow.
constexpr double kSafePixels = 1e6;
// Faint fills (hatches whose pattern is not drawn) show at this opacity.
constexpr double kFaintAlpha = 0.25;

bool Safe(const QRectF& screenBounds) {
  return screenBounds.left() > -kSafePixels && screenBounds.right() < kSafePixels &&
         screenBounds.top() > -kSafePixels && screenBounds.bottom() < kSafePixels;
}

bool BelowAPixel(const QRectF& screenBounds) {
  return screenBounds.width() < 1 && screenBounds.height() < 1;
}

// A one-pixel pen; a cosmetic pen takes the raster engine's fast path for thin lines.
QPen ThinPen(const QColor& colour) {
  QPen pen(colour, 1);
  pen.setCosmetic(true);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

}  // namespace

QColor FramePainter::PieceColor(const cad::GeometryPiece& piece, bool dark) {
  if (piece.TrueColor >= 0) {
    return QColor::fromRgb(VisibleOn(
        qRgb((piece.TrueColor >> 16) & 0xFF, (piece.TrueColor >> 8) & 0xFF, piece.TrueColor & 0xFF),
        dark));
  }
  // The colour indices on both backgrounds, worked out once.
  static const auto table = [] {
    std::array<std::array<QRgb, 256>, 2> colours{};
    for (int i = 0; i < 256; ++i) {
      colours[0][i] = VisibleOn(AciColor(i, false).rgb(), false);
      colours[1][i] = VisibleOn(AciColor(i, true).rgb(), true);
    }
    return colours;
  }();
  return QColor::fromRgb(table[dark ? 1 : 0][piece.ColorIndex & 0xFF]);
}

FramePainter::FramePainter(QPainter& painter, const DrawingScene& scene, const FrameSetup& setup,
                           std::vector<float>& textAdvances)
    : mPainter(painter), mScene(scene), mSetup(setup), mTextAdvances(textAdvances) {
  const std::size_t patterns = scene.Geometry().Patterns.size();
  mDashes.resize(patterns);
  mDashesMade.assign(patterns, false);
}

void FramePainter::Paint(const std::vector<std::uint32_t>& visible) {
  // A mask hides what is drawn before it: the pieces between two masks are
  // painted as one layer, then the mask over them.
  std::size_t first = 0;
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (!mScene.Piece(visible[i]).Mask) continue;
    PaintLayer({visible.data() + first, i - first});
    PaintMask(visible[i]);
    first = i + 1;
  }
  PaintLayer({visible.data() + first, visible.size() - first});
}

void FramePainter::PaintLayer(std::span<const std::uint32_t> visible) {
  for (std::uint32_t index : visible) {
    if (mScene.Piece(index).Kind == cad::PieceKind::Fill) PaintFill(index);
  }
  for (std::uint32_t index : visible) {
    if (mScene.Piece(index).Kind == cad::PieceKind::Polyline) AddLineWork(index);
  }
  const bool antialiased = mPainter.testRenderHint(QPainter::Antialiasing);
  if (mSetup.Dense) mPainter.setRenderHint(QPainter::Antialiasing, false);
  FlushBatches(mSetup.Dense ? DirectTarget(mPainter) : std::nullopt);
  mPainter.setRenderHint(QPainter::Antialiasing, antialiased);
  for (std::uint32_t index : visible) {
    const cad::PieceKind kind = mScene.Piece(index).Kind;
    if (kind == cad::PieceKind::Point || kind == cad::PieceKind::Text) PaintMarker(index);
  }
}

QRectF FramePainter::ScreenBounds(std::uint32_t index) const {
  return mSetup.ToScreen.mapRect(mScene.PieceBounds(index));
}

void FramePainter::ToScreen(const cad::GeometryPiece& piece, std::size_t first, std::size_t end) {
  const double sx = mSetup.ToScreen.m11(), sy = mSetup.ToScreen.m22();
  const double dx = mSetup.ToScreen.dx(), dy = mSetup.ToScreen.dy();
  mPolygon.clear();
  QPointF last;
  for (std::size_t i = first; i < end; ++i) {
    const Point2D& p = piece.Points[i];
    const QPointF s(sx * p.X + dx, sy * p.Y + dy);
    if (!mPolygon.empty() && i + 1 < end && std::fabs(s.x() - last.x()) < kMergePixels &&
        std::fabs(s.y() - last.y()) < kMergePixels) {
      continue;
    }
    mPolygon.push_back(s);
    last = s;
  }
}

const std::optional<ScreenDashes>& FramePainter::DashesOf(std::int32_t linetype) {
  if (!mDashesMade[linetype]) {
    mDashes[linetype] = DashesOnScreen(mScene.Geometry().Patterns[linetype], mSetup.PixelsPerUnit);
    mDashesMade[linetype] = true;
  }
  return mDashes[linetype];
}

FramePainter::Batch& FramePainter::BatchFor(const QColor& colour) {
  auto [it, added] = mBatchOf.try_emplace(colour.rgba(), mBatches.size());
  if (added) mBatches.push_back({colour, {}, {}});
  return mBatches[it->second];
}

void FramePainter::PaintMask(std::uint32_t index) {
  const bool antialiased = mPainter.testRenderHint(QPainter::Antialiasing);
  // Edges without antialiasing, so nothing under the mask shows through its rim.
  mPainter.setRenderHint(QPainter::Antialiasing, false);
  PaintFill(index);
  mPainter.setRenderHint(QPainter::Antialiasing, antialiased);
}

void FramePainter::PaintFill(std::uint32_t index) {
  const cad::GeometryPiece& piece = mScene.Piece(index);
  QColor fill = piece.Mask ? DrawingBackground(mSetup.Dark) : PieceColor(piece, mSetup.Dark);
  if (piece.Faint) fill.setAlphaF(kFaintAlpha);
  const QRectF bounds = ScreenBounds(index);
  if (BelowAPixel(bounds)) {
    mPainter.setPen(ThinPen(fill));
    mPainter.drawPoint(bounds.center());
    return;
  }
  QPainterPath path;
  path.setFillRule(piece.Union ? Qt::WindingFill : Qt::OddEvenFill);
  std::size_t first = 0;
  for (std::uint32_t end : piece.RingEnds) {
    if (end <= first || end > piece.Points.size()) break;
    ToScreen(piece, first, end);
    path.addPolygon(QPolygonF(QList<QPointF>(mPolygon.begin(), mPolygon.end())));
    path.closeSubpath();
    first = end;
  }
  if (!Safe(bounds)) {
    QPainterPath screen;
    screen.addRect(mSetup.Screen.adjusted(-2, -2, 2, 2));
    path = path.intersected(screen);
  }
  mPainter.fillPath(path, fill);
}

void FramePainter::AddLineWork(std::uint32_t index) {
  const cad::GeometryPiece& piece = mScene.Piece(index);
  const QColor colour = PieceColor(piece, mSetup.Dark);
  const QRectF bounds = ScreenBounds(index);
  if (BelowAPixel(bounds)) {
    BatchFor(colour).Dots.push_back(bounds.center());
    return;
  }
  ToScreen(piece, 0, piece.Points.size());
  if (piece.Closed && mPolygon.size() > 2) mPolygon.push_back(mPolygon.front());
  if (!Safe(bounds)) return PaintClipped(colour);
  if (piece.Linetype >= 0) {
    if (const auto& dashes = DashesOf(piece.Linetype)) return PaintDashed(piece, colour, *dashes);
  }
  Batch& batch = BatchFor(colour);
  if (mPolygon.size() == 1) batch.Dots.push_back(mPolygon.front());
  for (std::size_t i = 0; i + 1 < mPolygon.size(); ++i) {
    batch.Lines.emplace_back(mPolygon[i], mPolygon[i + 1]);
  }
}

// Dashed line work is drawn piece by piece, so that its pattern runs on
// through the vertices.
void FramePainter::PaintDashed(const cad::GeometryPiece&, const QColor& colour,
                               const ScreenDashes& dashes) {
  QPen pen = ThinPen(colour);
  pen.setDashPattern(dashes.Pattern);
  pen.setDashOffset(dashes.Offset);
  mPainter.setPen(pen);
  mPainter.drawPolyline(mPolygon.data(), static_cast<int>(mPolygon.size()));
}

// Line work reaching far off the screen, drawn segment by segment as far as
// it is in view.
void FramePainter::PaintClipped(const QColor& colour) {
  mPainter.setPen(ThinPen(colour));
  const QRectF area = mSetup.Screen.adjusted(-2, -2, 2, 2);
  for (std::size_t i = 0; i + 1 < mPolygon.size(); ++i) {
    if (auto clipped = ClipSegment(QLineF(mPolygon[i], mPolygon[i + 1]), area)) {
      mPainter.drawLine(*clipped);
    }
  }
}

void FramePainter::FlushBatches(const std::optional<DirectCanvas>& direct) {
  for (Batch& batch : mBatches) {
    if (direct && batch.Colour.alpha() == 255) {
      DrawThinLines(*direct, batch.Lines.data(), batch.Lines.size(), batch.Colour.rgb());
      DrawDots(*direct, batch.Dots.data(), batch.Dots.size(), batch.Colour.rgb());
      continue;
    }
    mPainter.setPen(ThinPen(batch.Colour));
    if (!batch.Lines.empty()) {
      mPainter.drawLines(batch.Lines.data(), static_cast<int>(batch.Lines.size()));
    }
    if (!batch.Dots.empty()) {
      mPainter.drawPoints(batch.Dots.data(), static_cast<int>(batch.Dots.size()));
    }
  }
  mBatches.clear();
  mBatchOf.clear();
}

void FramePainter::PaintMarker(std::uint32_t index) {
  const cad::GeometryPiece& piece = mScene.Piece(index);
  const QColor colour = PieceColor(piece, mSetup.Dark);
  if (piece.Kind == cad::PieceKind::Point) {
    const QPointF at = ScreenBounds(index).center();
    mPainter.fillRect(QRectF(at - QPointF(1, 1), QSizeF(2, 2)), colour);
    return;
  }
  PaintText(mPainter, mScene.Geometry().Texts[piece.Text], mScene.TextOf(piece),
            mTextAdvances[piece.Text], mSetup.ToScreen, colour);
}

}  // namespace veerline::paint
