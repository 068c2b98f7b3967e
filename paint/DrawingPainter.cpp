#include "paint/DrawingPainter.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

#include "cad/dxf/DrawingModel.h"
#include "paint/AciColors.h"
#include "paint/FramePainter.h"
#include "paint/PieceDistance.h"
#include "paint/ScaleBar.h"

namespace veerline::paint {

namespace {

// Screen points of points [first, end) of a piece.
void RingOnScreen(const cad::GeometryPiece& piece, std::size_t first, std::size_t end,
                  const QTransform& t, QPolygonF& out) {
  out.clear();
  for (std::size_t i = first; i < end; ++i)
    out.push_back(t.map(QPointF(piece.Points[i].X, piece.Points[i].Y)));
}

}  // namespace

DrawingPainter::DrawingPainter(const cad::DrawingModel& model) : mModel(model) { Rebuild(); }

DrawingPainter::~DrawingPainter() = default;

void DrawingPainter::Rebuild() {
  mScene = std::make_unique<DrawingScene>(mModel);
  ++mGeneration;
  mTextAdvances.assign(mScene->Geometry().Texts.size(), -1.0f);
}

void DrawingPainter::ZoomToExtents(const QSize& screen, const RenderOptions& options) {
  const double margin = options.marginPixels;
  const double bottom = options.scaleBar ? std::max(margin, double{kScaleBarStripPixels}) : margin;
  mView.FitInto(Extents().value_or(QRectF()), QRectF(margin, margin, screen.width() - 2 * margin,
                                                     screen.height() - margin - bottom));
}

void DrawingPainter::Paint(QPainter& painter, const QSize& screen,
                           const RenderOptions& options) const {
  PaintArea(painter, screen, options, QRect(QPoint(0, 0), screen));
  PaintOverlay(painter, screen, options);
}

void DrawingPainter::PaintArea(QPainter& painter, const QSize& screen, const RenderOptions& options,
                               const QRect& area) const {
  painter.save();
  const QRect whole(QPoint(0, 0), screen);
  if (area != whole) painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing, options.antialiasing);
  painter.fillRect(area, DrawingBackground(options.darkBackground));
  FrameSetup setup{mView.ToScreen(), QRectF(whole), mView.PixelsPerUnit(), options.darkBackground};
  // A pixel's margin, so a line on the area's edge still shows.
  mScene->Query(setup.ToScreen.inverted().mapRect(QRectF(area).adjusted(-1, -1, 1, 1)), mVisible);
  // A strip is as dense as the whole screen it belongs to would be.
  const double share = static_cast<double>(area.width()) * area.height() /
                       std::max(1.0, static_cast<double>(whole.width()) * whole.height());
  setup.Dense = static_cast<double>(mVisible.size()) > kDenseViewPieces * std::min(1.0, share);
  FramePainter(painter, *mScene, setup, mTextAdvances).Paint(mVisible);
  painter.restore();
}

void DrawingPainter::PaintOverlay(QPainter& painter, const QSize& screen,
                                  const RenderOptions& options) const {
  if (!options.scaleBar || !Extents()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, options.antialiasing);
  const QColor ink = options.darkBackground ? QColor(255, 255, 255) : QColor(0, 0, 0);
  PaintScaleBar(painter, screen, mView.PixelsPerUnit(), ink, options.unitLabel, options.symbols);
  painter.restore();
}

void DrawingPainter::PaintHighlight(QPainter& painter, const std::string& handle,
                                    const QColor& colour, double widthPixels) const {
  if (handle.empty()) return;
  const auto [first, end] = mScene->PiecesOf(handle);
  const QTransform toScreen = mView.ToScreen();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour, widthPixels, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  QPolygonF line;
  for (std::uint32_t i = first; i < end; ++i) {
    const cad::GeometryPiece& piece = mScene->Piece(i);
    std::size_t ringFirst = 0;
    const std::vector<std::uint32_t> whole{static_cast<std::uint32_t>(piece.Points.size())};
    const bool closed = piece.Closed || piece.Kind != cad::PieceKind::Polyline;
    for (std::uint32_t ringEnd : piece.Kind == cad::PieceKind::Fill ? piece.RingEnds : whole) {
      if (ringEnd <= ringFirst || ringEnd > piece.Points.size()) break;
      RingOnScreen(piece, ringFirst, ringEnd, toScreen, line);
      if (closed && line.size() > 2) line.push_back(line.front());
      if (line.size() == 1) line.push_back(line.front());
      painter.drawPolyline(line);
      ringFirst = ringEnd;
    }
  }
  painter.restore();
}

std::optional<std::string> DrawingPainter::HitTest(const QPointF& screen, double tolerancePixels,
                                                   bool preferPolylines) const {
  const QTransform toScreen = mView.ToScreen();
  const QRectF around(screen - QPointF(tolerancePixels, tolerancePixels),
                      QSizeF(2 * tolerancePixels, 2 * tolerancePixels));
  std::vector<std::uint32_t> near;
  mScene->Query(toScreen.inverted().mapRect(around), near);
  double best = tolerancePixels, bestPolyline = tolerancePixels;
  std::optional<std::uint32_t> found, foundPolyline;
  // Later pieces are drawn on top, so they win a tie.
  for (std::uint32_t index : near) {
    const cad::GeometryPiece& piece = mScene->Piece(index);
    const double d = ScreenDistance(piece, toScreen, screen);
    if (d <= best) {
      best = d;
      found = index;
    }
    if (preferPolylines && piece.Owner && piece.Owner->IsPolyline() && d <= bestPolyline) {
      bestPolyline = d;
      foundPolyline = index;
    }
  }
  if (foundPolyline) return mScene->HandleOf(*foundPolyline);
  if (found) return mScene->HandleOf(*found);
  return std::nullopt;
}

QImage RenderDrawing(const cad::DrawingModel& model, const QSize& size,
                     const RenderOptions& options) {
  if (size.width() <= 0 || size.height() <= 0) return {};
  QImage image(size, QImage::Format_RGB32);
  DrawingPainter drawing(model);
  drawing.ZoomToExtents(size, options);
  QPainter painter(&image);
  drawing.Paint(painter, size, options);
  return image;
}

}  // namespace veerline::paint
