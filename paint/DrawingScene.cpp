#include "paint/DrawingScene.h"

#include <algorithm>
#include <cmath>

#include "cad/dxf/DrawingModel.h"

namespace veerline::paint {

namespace {

// The tolerance as a part of the drawing's diagonal: at a full view of a
// 2000-pixel screen that is a twentieth of a pixel, and curves stay smooth
// to about a 40-fold zoom.
constexpr double kToleranceOfDiagonal = 2e-5;

QRectF ToRect(const cad::DrawingExtents& box) {
  return QRectF(QPointF(box.MinX, box.MinY), QPointF(box.MaxX, box.MaxY));
}

}  // namespace

double ScreenChordTolerance(const std::optional<cad::DrawingExtents>& bounds) {
  if (!bounds) return 0.01;
  const double diagonal = std::hypot(bounds->MaxX - bounds->MinX, bounds->MaxY - bounds->MinY);
  return diagonal > 0 && std::isfinite(diagonal) ? diagonal * kToleranceOfDiagonal : 0.01;
}

DrawingScene::DrawingScene(const cad::DrawingModel& model) {
  cad::GeometryOptions options;
  options.ChordTolerance = ScreenChordTolerance(ModelExtents(model));
  mGeometry = cad::BuildDrawingGeometry(model, options);
  mIndex = cad::GeometryIndex(mGeometry);
  if (mIndex.Size() > 0) mBounds = ToRect(mIndex.AllBounds());
  mTexts.reserve(mGeometry.Texts.size());
  for (const cad::GeometryText& text : mGeometry.Texts) {
    mTexts.push_back(QString::fromStdString(text.Value));
  }
  // Pieces of one model-space entity come one after another.
  for (std::uint32_t i = 0; i < mGeometry.Pieces.size(); ++i) {
    auto [it, added] = mOwners.try_emplace(mGeometry.Pieces[i].Owner, i, i + 1);
    if (!added) it->second.second = i + 1;
  }
}

QRectF DrawingScene::PieceBounds(std::uint32_t index) const { return ToRect(mIndex.Bounds(index)); }

void DrawingScene::Query(const QRectF& area, std::vector<std::uint32_t>& out) const {
  const QRectF r = area.normalized();
  mIndex.Query({r.left(), r.top(), r.right(), r.bottom()}, out);
}

std::pair<std::uint32_t, std::uint32_t> DrawingScene::PiecesOf(const std::string& handle) const {
  for (const auto& [owner, range] : mOwners) {
    if (owner && owner->Handle() == handle) return range;
  }
  return {0, 0};
}

std::string DrawingScene::HandleOf(std::uint32_t index) const {
  const cad::DrawingEntity* owner = mGeometry.Pieces[index].Owner;
  return owner ? owner->Handle() : std::string();
}

}  // namespace veerline::paint
