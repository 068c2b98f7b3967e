#include "ui/paint/DrawingScene.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/DrawingModel.h"

namespace veerline::paint {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kArcStepRad = kPi / 36;  // 5 degrees per segment
constexpr int kMaxInsertDepth = 16;
constexpr std::size_t kMaxSceneItems = 2'000'000;
constexpr double kFontPixels = 100;  // text outlines are built at this size and scaled

bool CanBuildText() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

// What an entity inherits from the block reference that draws it.
struct Placement {
  QTransform transform;     // block coordinates to drawing coordinates
  std::string layer = "0";  // the reference's layer, taken by entities on layer "0"
  int colorIndex = 7;       // the reference's colour, taken by "by block" entities
  std::string handle;       // the model-space reference; empty at model-space level
  int depth = 0;
};

class SceneBuilder {
 public:
  explicit SceneBuilder(const cad::DrawingModel& model)
      : mModel(model), mTextAllowed(CanBuildText()) {}

  Scene Build() {
    AddBlock(mModel.ModelSpace(), Placement{});
    return std::move(mScene);
  }

 private:
  void AddBlock(const cad::DrawingBlock& block, const Placement& placement) {
    for (const auto& entity : block.Entities()) {
      if (mScene.size() >= kMaxSceneItems) return;
      AddEntity(*entity, placement);
    }
  }

  // The layer an entity is drawn on: block contents on layer "0" take the reference's.
  std::string EffectiveLayer(const cad::EntityData& data, const Placement& placement) const {
    if (placement.depth > 0 && data.Layer == "0") return placement.layer;
    return data.Layer;
  }

  bool LayerShown(const std::string& name) const {
    const cad::DrawingLayer* layer = mModel.FindLayer(name);
    return !layer || (layer->Visible && layer->ColorIndex >= 0);
  }

  int ResolveColor(int index, const std::string& layerName, const Placement& placement) const {
    if (index == cad::kColorByLayer) {
      const cad::DrawingLayer* layer = mModel.FindLayer(layerName);
      index = layer ? std::abs(layer->ColorIndex) : 7;
    } else if (index == 0) {
      index = placement.colorIndex;
    }
    return (index >= 1 && index <= 255) ? index : 7;
  }

  void AddEntity(const cad::DrawingEntity& entity, const Placement& placement) {
    const cad::EntityData& data = entity.Data();
    const std::string layer = EffectiveLayer(data, placement);
    if (!LayerShown(layer)) return;
    SceneItem item;
    item.handle = placement.depth > 0 ? placement.handle : entity.Handle();
    item.colorIndex = ResolveColor(data.ColorIndex, layer, placement);
    switch (entity.Kind()) {
      case cad::EntityKind::LwPolyline:
      case cad::EntityKind::Polyline2d:
      case cad::EntityKind::Polyline3d:
        AddPolyline(data, entity.Kind() != cad::EntityKind::Polyline3d, item);
        break;
      case cad::EntityKind::Line:
        item.points = {{data.Start.X, data.Start.Y}, {data.End.X, data.End.Y}};
        break;
      case cad::EntityKind::Circle:
        item.points = ArcPoints(data, 0, 360);
        item.closed = true;
        break;
      case cad::EntityKind::Arc:
        item.points = ArcPoints(data, data.StartAngleDeg, data.EndAngleDeg);
        break;
      case cad::EntityKind::Text:
        if (mTextAllowed) item.text = TextOutline(data);
        break;
      case cad::EntityKind::Insert:
        AddInsert(data, layer, item, placement, entity.Handle());
        return;
      default:
        return;
    }
    Place(item, placement.transform);
    if (item.points.size() >= 2 || item.IsText()) mScene.push_back(std::move(item));
  }

  void AddInsert(const cad::EntityData& data, const std::string& layer, const SceneItem& item,
                 const Placement& outer, const std::string& handle) {
    if (outer.depth >= kMaxInsertDepth) return;
    const cad::DrawingBlock* block = mModel.FindBlock(data.BlockName);
    if (!block) return;
    Placement inner;
    inner.transform =
        QTransform::fromTranslate(-block->Origin().X, -block->Origin().Y) *
        QTransform::fromScale(data.ScaleX, data.ScaleY) * QTransform().rotate(data.RotationDeg) *
        QTransform::fromTranslate(data.Insertion.X, data.Insertion.Y) * outer.transform;
    inner.layer = layer;
    inner.colorIndex = item.colorIndex;
    inner.handle = outer.depth > 0 ? outer.handle : handle;
    inner.depth = outer.depth + 1;
    AddBlock(*block, inner);
  }

  // Vertices with their bulges and widths; 3D polylines have neither bulges nor widths.
  static void AddPolyline(const cad::EntityData& data, bool planar, SceneItem& item) {
    const auto& vertices = data.Vertices;
    if (vertices.empty()) return;
    const std::size_t segments = data.Closed ? vertices.size() : vertices.size() - 1;
    bool anyWidth = false;
    item.points.push_back({vertices[0].X, vertices[0].Y});
    for (std::size_t i = 0; i < segments; ++i) {
      const cad::PolylineVertex& a = vertices[i];
      const cad::PolylineVertex& b = vertices[(i + 1) % vertices.size()];
      const std::vector<QPointF> run = BulgeArcPoints({a.X, a.Y}, {b.X, b.Y}, planar ? a.Bulge : 0);
      const double startWidth = planar ? a.StartWidth : 0;
      const double endWidth = planar ? a.EndWidth : 0;
      anyWidth = anyWidth || startWidth > 0 || endWidth > 0;
      for (std::size_t k = 0; k < run.size(); ++k) {
        const double t = (k + 0.5) / run.size();
        item.widths.push_back(startWidth + (endWidth - startWidth) * t);
        item.points.push_back(run[k]);
      }
    }
    if (!anyWidth) item.widths.clear();
  }

  static std::vector<QPointF> ArcPoints(const cad::EntityData& data, double startDeg,
                                        double endDeg) {
    double sweepDeg = endDeg - startDeg;
    if (!std::isfinite(sweepDeg) || !std::isfinite(data.Radius)) return {};
    sweepDeg = std::fmod(sweepDeg, 360.0);
    if (sweepDeg <= 0) sweepDeg += 360;
    const double start = startDeg * kPi / 180, sweep = sweepDeg * kPi / 180;
    const int steps = std::max(2, static_cast<int>(std::ceil(sweep / kArcStepRad)));
    std::vector<QPointF> points;
    points.reserve(steps + 1);
    for (int k = 0; k <= steps; ++k) {
      const double a = start + sweep * k / steps;
      points.push_back(
          {data.Centre.X + data.Radius * std::cos(a), data.Centre.Y + data.Radius * std::sin(a)});
    }
    return points;
  }

  // The text as an outline in block coordinates, placed by its alignment: left
  // on the base line at the insertion point, or at the alignment point centred
  // (1), right-aligned (2) or centred both ways (4, middle).
  static QPainterPath TextOutline(const cad::EntityData& data) {
    if (data.Text.empty() || !(data.Height > 0) || !std::isfinite(data.Height)) return {};
    QFont font = QGuiApplication::font();
    font.setPixelSize(static_cast<int>(kFontPixels));
    const QFontMetricsF metrics(font);
    const QString text = QString::fromStdString(data.Text);
    const double advance = metrics.horizontalAdvance(text);
    const double capHeight = metrics.capHeight() > 0 ? metrics.capHeight() : kFontPixels * 0.7;
    double dx = 0, dy = 0;
    switch (data.HorizontalAlignment) {
      case 1:
        dx = -advance / 2;
        break;
      case 2:
        dx = -advance;
        break;
      case cad::kAlignMiddle:
        dx = -advance / 2;
        dy = capHeight / 2;
        break;
      default:
        break;
    }
    const bool useAlignmentPoint = data.HorizontalAlignment != 0 && data.HasAlignmentPoint;
    const cad::CadPoint& anchor = useAlignmentPoint ? data.AlignmentPoint : data.Insertion;
    const double k = data.Height / capHeight;
    QPainterPath path;
    path.addText(dx, dy, font, text);
    // Glyph space has y down; the flip makes it y up like the drawing.
    const QTransform toBlock = QTransform::fromScale(k, -k) *
                               QTransform().rotate(data.RotationDeg) *
                               QTransform::fromTranslate(anchor.X, anchor.Y);
    return toBlock.map(path);
  }

  // Moves an item from block coordinates into drawing coordinates.
  static void Place(SceneItem& item, const QTransform& transform) {
    if (transform.isIdentity()) return;
    for (QPointF& p : item.points) p = transform.map(p);
    if (item.IsText()) item.text = transform.map(item.text);
    const double widthScale = std::sqrt(std::abs(transform.determinant()));
    for (double& w : item.widths) w *= widthScale;
  }

  const cad::DrawingModel& mModel;
  bool mTextAllowed;
  Scene mScene;
};

}  // namespace

QRectF SceneItem::Bounds() const {
  if (IsText()) return text.boundingRect();
  if (points.empty()) return {};
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (std::size_t i = 0; i < points.size(); ++i) {
    double half = 0;
    if (!widths.empty()) {
      const double before = i > 0 ? widths[i - 1] : 0;
      const double after = i < widths.size() ? widths[i] : 0;
      half = std::max(before, after) / 2;
    }
    minX = std::min(minX, points[i].x() - half);
    maxX = std::max(maxX, points[i].x() + half);
    minY = std::min(minY, points[i].y() - half);
    maxY = std::max(maxY, points[i].y() + half);
  }
  return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

Scene BuildDrawingScene(const cad::DrawingModel& model) { return SceneBuilder(model).Build(); }

std::vector<QPointF> BulgeArcPoints(const QPointF& from, const QPointF& to, double bulge) {
  const double chord = std::hypot(to.x() - from.x(), to.y() - from.y());
  if (!std::isfinite(bulge) || std::abs(bulge) < 1e-9 || chord == 0) return {to};
  const double included = 4 * std::atan(bulge);
  // The centre lies on the chord's perpendicular bisector; left of the chord
  // for a counter-clockwise arc shorter than a half circle.
  const QPointF mid = (from + to) / 2;
  const QPointF left(-(to.y() - from.y()) / chord, (to.x() - from.x()) / chord);
  const QPointF centre = mid + left * (chord / (2 * std::tan(included / 2)));
  const double radius = std::hypot(from.x() - centre.x(), from.y() - centre.y());
  const double startAngle = std::atan2(from.y() - centre.y(), from.x() - centre.x());
  const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(included) / kArcStepRad)));
  std::vector<QPointF> points;
  points.reserve(steps);
  for (int k = 1; k < steps; ++k) {
    const double a = startAngle + included * k / steps;
    points.push_back(centre + QPointF(radius * std::cos(a), radius * std::sin(a)));
  }
  points.push_back(to);
  return points;
}

std::optional<QRectF> SceneBounds(const Scene& scene) {
  // Kept by hand: QRectF::united drops rectangles without area, such as an
  // axis-parallel line.
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (const SceneItem& item : scene) {
    const QRectF b = item.Bounds();
    if (!std::isfinite(b.left()) || !std::isfinite(b.right()) || !std::isfinite(b.top()) ||
        !std::isfinite(b.bottom())) {
      continue;
    }
    minX = std::min(minX, b.left());
    maxX = std::max(maxX, b.right());
    minY = std::min(minY, b.top());
    maxY = std::max(maxY, b.bottom());
  }
  if (minX > maxX) return std::nullopt;
  return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

}  // namespace veerline::paint
