#include <algorithm>
#include <cmath>
#include <optional>

#include "cad/DrawingModel.h"

namespace veerline::cad {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Block references nested deeper than this are not followed (and a block that
// refers to itself does not recurse forever).
constexpr int kMaxInsertDepth = 16;

// Maps a point of a block definition into the coordinates of its reference.
struct Placement {
  double OffsetX = 0, OffsetY = 0, ScaleX = 1, ScaleY = 1, Cos = 1, Sin = 0, BaseX = 0, BaseY = 0;
  const Placement* Outer = nullptr;

  void Apply(double& x, double& y) const {
    double sx = (x - BaseX) * ScaleX, sy = (y - BaseY) * ScaleY;
    x = OffsetX + sx * Cos - sy * Sin;
    y = OffsetY + sx * Sin + sy * Cos;
    if (Outer) Outer->Apply(x, y);
  }
};

class ExtentsBuilder {
 public:
  explicit ExtentsBuilder(const DrawingModel& model) : mModel(model) {}

  void AddBlock(const DrawingBlock& block, const Placement* placement, int depth) {
    for (const auto& entity : block.Entities()) AddEntity(*entity, placement, depth);
  }

  std::optional<DrawingExtents> Result() const {
    if (!mAny) return std::nullopt;
    return mExtents;
  }

 private:
  void AddPoint(double x, double y, const Placement* placement) {
    if (placement) placement->Apply(x, y);
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (!mAny) {
      mExtents = {x, y, x, y};
      mAny = true;
      return;
    }
    mExtents.MinX = std::min(mExtents.MinX, x);
    mExtents.MinY = std::min(mExtents.MinY, y);
    mExtents.MaxX = std::max(mExtents.MaxX, x);
    mExtents.MaxY = std::max(mExtents.MaxY, y);
  }

  // The four extreme points of a circle (a transformed circle stays inside them
  // only without rotation; for bounds that is close enough).
  void AddCircle(const CadPoint& c, double r, const Placement* placement) {
    AddPoint(c.X - r, c.Y - r, placement);
    AddPoint(c.X + r, c.Y + r, placement);
    AddPoint(c.X - r, c.Y + r, placement);
    AddPoint(c.X + r, c.Y - r, placement);
  }

  // A bulged segment also reaches out to the middle of its arc.
  void AddBulgeMidpoint(const PolylineVertex& a, const PolylineVertex& b,
                        const Placement* placement) {
    if (a.Bulge == 0) return;
    double dx = b.X - a.X, dy = b.Y - a.Y;
    double sagitta = a.Bulge * std::hypot(dx, dy) / 2;
    double len = std::hypot(dx, dy);
    if (len == 0) return;
    AddPoint((a.X + b.X) / 2 + sagitta * dy / len, (a.Y + b.Y) / 2 - sagitta * dx / len, placement);
  }

  void AddEntity(const DrawingEntity& entity, const Placement* placement, int depth) {
    const EntityData& d = entity.Data();
    switch (entity.Kind()) {
      case EntityKind::LwPolyline:
      case EntityKind::Polyline2d:
      case EntityKind::Polyline3d:
        for (std::size_t i = 0; i < d.Vertices.size(); ++i) {
          AddPoint(d.Vertices[i].X, d.Vertices[i].Y, placement);
          std::size_t next = i + 1 < d.Vertices.size() ? i + 1 : 0;
          if (next != i && (next != 0 || d.Closed)) {
            AddBulgeMidpoint(d.Vertices[i], d.Vertices[next], placement);
          }
        }
        break;
      case EntityKind::Line:
        AddPoint(d.Start.X, d.Start.Y, placement);
        AddPoint(d.End.X, d.End.Y, placement);
        break;
      case EntityKind::Circle:
      case EntityKind::Arc:
        AddCircle(d.Centre, d.Radius, placement);
        break;
      case EntityKind::Text:
        AddPoint(d.Insertion.X, d.Insertion.Y, placement);
        break;
      case EntityKind::Insert:
        AddInsert(d, placement, depth);
        break;
      case EntityKind::Unknown:
        break;
    }
  }

  void AddInsert(const EntityData& d, const Placement* placement, int depth) {
    const DrawingBlock* block = mModel.FindBlock(d.BlockName);
    if (!block || depth >= kMaxInsertDepth) {
      AddPoint(d.Insertion.X, d.Insertion.Y, placement);
      return;
    }
    Placement inner;
    inner.OffsetX = d.Insertion.X;
    inner.OffsetY = d.Insertion.Y;
    inner.ScaleX = d.ScaleX;
    inner.ScaleY = d.ScaleY;
    inner.Cos = std::cos(d.RotationDeg * kPi / 180);
    inner.Sin = std::sin(d.RotationDeg * kPi / 180);
    inner.BaseX = block->Origin().X;
    inner.BaseY = block->Origin().Y;
    inner.Outer = placement;
    AddBlock(*block, &inner, depth + 1);
  }

  const DrawingModel& mModel;
  DrawingExtents mExtents;
  bool mAny = false;
};

}  // namespace

std::optional<DrawingExtents> DrawingModel::Extents() const {
  ExtentsBuilder builder(*this);
  builder.AddBlock(*mModelSpace, nullptr, 0);
  return builder.Result();
}

}  // namespace veerline::cad
