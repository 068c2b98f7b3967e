#include "cad/geometry/EntityGeometry.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <unordered_map>

#include "cad/dxf/DxfNumber.h"
#include "cad/dxf/DxfText.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180;
// The most copies one array reference (rows times columns) places.
constexpr int kMaxArrayCells = 100000;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Kinds drawn through a block of their own, placed as they lie.
bool DrawsOwnBlock(std::string_view type) {
  return type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION" ||
         type == "ACAD_TABLE";
}

// What a layer means for drawing, looked up once per name.
struct LayerState {
  std::uint32_t Index = 0;  // into DrawingGeometry::LayerNames
  bool Shown = true;        // on and thawed
  bool Frozen = false;
  int ColorIndex = 7;
  int TrueColor = -1;
  const DrawingLinetype* Linetype = nullptr;
};

// A resolved linetype: the pattern in the entity's own units, or none.
struct LinetypeChoice {
  const DrawingLinetype* Linetype = nullptr;
  double Scale = 1;
};

// What the entities of a block inherit from the reference that inserts them.
struct Context {
  Affine2D Placement;
  const LayerState* Layer = nullptr;  // taken by contents on layer "0"
  int ColorIndex = 7;                 // taken by "by block" contents
  int TrueColor = -1;
  LinetypeChoice Linetype;  // taken by "by block" contents
  const DrawingEntity* Owner = nullptr;
  int Depth = 0;
};

// The entity's own style as written: colour, true colour, linetype and its scale.
struct OwnStyle {
  std::string_view Layer;
  int ColorIndex = kColorByLayer;
  int TrueColor = -1;
  std::string_view Linetype;  // empty: by layer
  double LinetypeScale = 1;
};

OwnStyle StyleOf(std::string_view layer, int colorIndex, std::span<const DxfTag> body) {
  OwnStyle style;
  style.Layer = layer;
  style.ColorIndex = colorIndex;
  for (const DxfTag& tag : body) {
    if (tag.Code == 420) style.TrueColor = ReadInt(tag) & 0xFFFFFF;
    if (tag.Code == 6) style.Linetype = TrimDxf(tag.Value);
    if (tag.Code == 48) style.LinetypeScale = ReadReal(tag);
  }
  return style;
}

class GeometryBuilder final : public ShapeSink {
 public:
  GeometryBuilder(const DrawingModel& model, const GeometryOptions& options)
      : mModel(model), mOptions(options) {
    if (model.Source()) mCoding = model.Source()->Coding();
    mLinetypeScale = model.HeaderReal("$LTSCALE").value_or(1);
    if (!(mLinetypeScale > 0)) mLinetypeScale = 1;
    const double dimScale = model.HeaderReal("$DIMSCALE").value_or(1);
    mArrowSize = model.HeaderReal("$DIMASZ").value_or(0.18) * (dimScale > 0 ? dimScale : 1);
  }

  DrawingGeometry Build() {
    Context top;
    for (const auto& entity : mModel.ModelSpace().Entities()) {
      top.Owner = entity.get();
      AddEntity(*entity, top);
      if (mOut.Truncated) break;
    }
    CutEndlessLines(mOut, mEndless);
    return std::move(mOut);
  }

  // ShapeSink: shapes arrive in the entity's own coordinates.
  double Tolerance() const override { return mTolerance; }
  void SetLocal(const Affine2D& local) override {
    mMap = mPlacement.After(local);
    mTolerance = mOptions.ChordTolerance / std::max(mMap.MaxStretch(), 1e-12);
  }
  void Polyline(std::vector<Point2D> points, bool closed) override {
    if (points.size() == 1) return Dot(points.front());
    GeometryPiece* piece = NewPiece(PieceKind::Polyline, std::move(points));
    if (!piece) return;
    piece->Closed = closed;
    piece->Linetype = mLinetype;
    if (mLinetype >= 0 && !mLinetypeChoice.Linetype->Texts.empty()) {
      const std::vector<Point2D> drawn = piece->Points;
      for (GeometryText& text : LinetypeTextsAlong(drawn, closed, *mLinetypeChoice.Linetype,
                                                   PatternScale(mLinetypeChoice)))
        AddText(std::move(text));
    }
  }
  void Fill(std::vector<Point2D> points, std::vector<std::uint32_t> ringEnds, bool unionRings,
            bool faint) override {
    if (points.size() < 3) return;
    if (ringEnds.empty()) ringEnds.push_back(static_cast<std::uint32_t>(points.size()));
    GeometryPiece* piece = NewPiece(PieceKind::Fill, std::move(points));
    if (!piece) return;
    piece->RingEnds = std::move(ringEnds);
    piece->Union = unionRings;
    piece->Faint = faint;
  }
  void Dot(const Point2D& point) override { NewPiece(PieceKind::Point, {point}); }
  void Text(GeometryText text) override {
    text.Origin = mMap.Apply(text.Origin);
    text.Along = mMap.Turn(text.Along);
    text.Up = mMap.Turn(text.Up);
    AddText(std::move(text));
  }
  // A text already in drawing coordinates.
  void AddText(GeometryText text) {
    if (text.Value.empty()) return;
    const Point2D o = text.Origin, a = text.Along, u = text.Up;
    // The box is already in drawing coordinates: no second mapping.
    const Affine2D map = mMap;
    mMap = Affine2D{};
    GeometryPiece* piece = NewPiece(
        PieceKind::Text,
        {o, {o.X + a.X, o.Y + a.Y}, {o.X + a.X + u.X, o.Y + a.Y + u.Y}, {o.X + u.X, o.Y + u.Y}});
    mMap = map;
    if (!piece) return;
    piece->Closed = true;
    piece->Text = static_cast<std::int32_t>(mOut.Texts.size());
    mOut.Texts.push_back(std::move(text));
  }
  void PatternLine(std::vector<Point2D> points, const std::vector<double>& dashes) override {
    GeometryPiece* piece = NewPiece(PieceKind::Polyline, std::move(points));
    if (!piece || dashes.empty()) return;
    const double stretch = std::sqrt(std::fabs(mMap.Determinant()));
    std::vector<double> scaled;
    for (double d : dashes) scaled.push_back(d * stretch);
    // Lines of one pattern family come one after another and share their dashes.
    if (mLastDashes < 0 || mOut.Patterns[mLastDashes] != scaled) {
      mLastDashes = static_cast<std::int32_t>(mOut.Patterns.size());
      mOut.Patterns.push_back(std::move(scaled));
    }
    piece->Linetype = mLastDashes;
  }
  void InfiniteLine(const Point2D& base, const Point2D& direction, bool bothWays) override {
    const Point2D far{base.X + direction.X, base.Y + direction.Y};
    GeometryPiece* piece = NewPiece(PieceKind::Polyline, {base, far});
    if (!piece) return;
    piece->Linetype = mLinetype;
    mEndless.push_back({mOut.Pieces.size() - 1, bothWays});
  }
  void Mask(std::vector<Point2D> ring) override {
    if (ring.size() < 3) return;
    const auto end = static_cast<std::uint32_t>(ring.size());
    GeometryPiece* piece = NewPiece(PieceKind::Fill, std::move(ring));
    if (!piece) return;
    piece->RingEnds = {end};
    piece->Mask = true;
  }
  void SetPartStyle(const PartStyle& part) override {
    const LayerState* layer = mEntityLayer;
    const auto& layers = mModel.Layers();
    if (part.LayerIndex >= 0 && static_cast<std::size_t>(part.LayerIndex) < layers.size())
      layer = &Layer(layers[part.LayerIndex].Name);
    if (!layer) return;
    mLayerIndex = layer->Index;
    mPartHidden = !layer->Shown;
    if (part.TrueColor >= 0) {
      mColorIndex = 7;
      mTrueColor = part.TrueColor;
    } else if (part.ColorIndex == 0) {
      mColorIndex = mEntityColorIndex;
      mTrueColor = mEntityTrueColor;
    } else if (part.ColorIndex >= 1 && part.ColorIndex <= 255) {
      mColorIndex = part.ColorIndex;
      mTrueColor = -1;
    } else {
      mColorIndex = layer->ColorIndex;
      mTrueColor = layer->TrueColor;
    }
  }

 private:
  GeometryPiece* NewPiece(PieceKind kind, std::vector<Point2D> points) {
    if (points.empty() || mPartHidden) return nullptr;
    // A piece costs about as much memory as this many points of its own.
    constexpr std::size_t kPieceWeight = 8;
    if (mPointCount + points.size() + kPieceWeight > mOptions.MaxPoints) {
      mOut.Truncated = true;
      return nullptr;
    }
    for (Point2D& p : points) {
      p = mMap.Apply(p);
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return nullptr;
    }
    mPointCount += points.size() + kPieceWeight;
    GeometryPiece& piece = mOut.Pieces.emplace_back();
    piece.Kind = kind;
    piece.Points = std::move(points);
    piece.ColorIndex = mColorIndex;
    piece.TrueColor = mTrueColor;
    piece.Layer = mLayerIndex;
    piece.Owner = mOwner;
    return &piece;
  }

  const LayerState& Layer(std::string_view name) {
    auto found = mLayers.find(std::string(name));
    if (found != mLayers.end()) return found->second;
    LayerState state;
    const DrawingLayer* layer = mModel.FindLayer(std::string(name));
    state.Index = static_cast<std::uint32_t>(mOut.LayerNames.size());
    mOut.LayerNames.push_back(layer ? layer->Name : std::string(name));
    if (layer && !mOptions.HiddenLayersToo) {
      state.Frozen = layer->Frozen;
      state.Shown = layer->Visible && !layer->Frozen;
    }
    if (layer) {
      state.ColorIndex = std::clamp(std::abs(layer->ColorIndex), 1, 255);
      state.TrueColor = layer->TrueColor;
      state.Linetype = mModel.FindLinetype(layer->Linetype);
    }
    return mLayers.emplace(std::string(name), state).first->second;
  }

  LinetypeChoice ResolveLinetype(const OwnStyle& style, const LayerState& layer,
                                 const Context& context) const {
    const std::string name = Upper(style.Linetype);
    LinetypeChoice choice;
    if (name.empty() || name == "BYLAYER") {
      choice.Linetype = layer.Linetype;
    } else if (name == "BYBLOCK") {
      choice = context.Linetype;
    } else {
      choice.Linetype = mModel.FindLinetype(std::string(style.Linetype));
    }
    if (choice.Linetype && choice.Linetype->Pattern.empty()) choice.Linetype = nullptr;
    choice.Scale *= style.LinetypeScale > 0 ? style.LinetypeScale : 1;
    return choice;
  }

  // Drawing units per unit of a linetype's pattern.
  double PatternScale(const LinetypeChoice& choice) const {
    return choice.Scale * mLinetypeScale * std::sqrt(std::fabs(mPlacement.Determinant()));
  }

  // The pattern index for a linetype scaled into drawing units; -1 for continuous.
  std::int32_t PatternIndex(const LinetypeChoice& choice) {
    if (!choice.Linetype) return -1;
    const double scale = PatternScale(choice);
    const auto key = std::make_pair(choice.Linetype, scale);
    auto found = mPatterns.find(key);
    if (found != mPatterns.end()) return found->second;
    std::vector<double> pattern;
    double total = 0;
    for (double d : choice.Linetype->Pattern) {
      pattern.push_back(d * scale);
      total += std::fabs(d * scale);
    }
    std::int32_t index = -1;
    if (total > 0 && std::isfinite(total)) {
      index = static_cast<std::int32_t>(mOut.Patterns.size());
      mOut.Patterns.push_back(std::move(pattern));
    }
    mPatterns.emplace(key, index);
    return index;
  }

  void AddEntity(const DrawingEntity& entity, const Context& context) {
    if (entity.Erased()) return;
    try {
      AddEntityOrThrow(entity, context);
    } catch (const BadGeometryRecord&) {
      // A number that does not read leaves this entity out; the drawing goes on.
    }
  }

  void AddEntityOrThrow(const DrawingEntity& entity, const Context& context) {
    const std::span<const DxfTag> body = RecordBody(entity.Tags());
    if (IntOf(body, 60, 0) == 1) return;  // invisible
    const std::string_view type = entity.Kind() == EntityKind::Unknown
                                      ? std::string_view(entity.TypeName())
                                      : std::string_view();
    const std::string& ownLayer = entity.Data().Layer;
    const LayerState& layer =
        context.Depth > 0 && ownLayer == "0" && context.Layer ? *context.Layer : Layer(ownLayer);
    const OwnStyle style = StyleOf(ownLayer, entity.Data().ColorIndex, body);
    if (entity.Kind() == EntityKind::Insert || DrawsOwnBlock(type)) {
      // A frozen reference hides everything it inserts; one that is off
      // hides only what takes its layer.
      if (layer.Frozen) return;
      AddReference(entity, body, style, layer, context);
      return;
    }
    if (!layer.Shown) return;
    // Attribute definitions show their tag only outside blocks.
    if (type == "ATTDEF" && context.Depth > 0) return;
    Begin(style, layer, context);
    if (entity.Kind() == EntityKind::Text) {
      FlattenText({entity, body, mCoding}, *this);
    } else if (entity.Kind() != EntityKind::Unknown) {
      FlattenDecoded({entity, body, mCoding}, *this);
    } else {
      FlattenByType(type, {entity, body, mCoding});
    }
  }

  void FlattenByType(std::string_view type, const EntityRecord& record) {
    if (type == "MTEXT") return FlattenMText(record, *this);
    if (type == "ATTDEF") return FlattenAttribute(record.Body, true, mCoding, *this);
    if (type == "HATCH") return FlattenHatch(record, *this);
    if (type == "LEADER") {
      return FlattenLeader(record, ArrowSize(FindBodyValue(record.Body, 3)), *this);
    }
    if (type == "MULTILEADER" || type == "MLEADER") return FlattenMultiLeader(record, *this);
    if (type == "WIPEOUT") {
      ReadObjects();
      return FlattenWipeout(record, mWipeoutFrames, *this);
    }
    if (FlattenCurveKind(type, record, *this)) return;
    if (FlattenAreaKind(type, record, *this)) return;
    const std::span<const DxfTag> style =
        type == "MLINE" ? MLineStyle(FindBodyValue(record.Body, 340)) : std::span<const DxfTag>();
    if (FlattenLineKind(type, record, style, *this)) return;
    // Kinds of other programs show the graphics their writer stored with them.
    FlattenProxyGraphics(record, *this);
  }

  // The body of the MLINESTYLE object with the handle; empty when there is none.
  std::span<const DxfTag> MLineStyle(std::string_view handle) {
    ReadObjects();
    auto found = mMLineStyles.find(std::string(TrimDxf(handle)));
    return found == mMLineStyles.end() ? std::span<const DxfTag>() : found->second;
  }

  // The objects the flattening reads: multiline styles, and whether wipeouts show their frames.
  void ReadObjects() {
    const DxfSource* source = mModel.Source().get();
    if (mObjectsRead || !source) return;
    mObjectsRead = true;
    const DxfSection* objects = source->FindSection("OBJECTS");
    for (std::size_t i = objects ? objects->Head + 1 : 0; objects && i < objects->EndSec;
         i = source->RecordEnd(i)) {
      const std::span<const DxfTag> record = source->Record(i);
      const std::string_view type = record.empty() ? "" : TrimDxf(record.front().Value);
      const std::span<const DxfTag> body = RecordBody(record);
      if (type == "MLINESTYLE") {
        mMLineStyles.emplace(std::string(TrimDxf(FindBodyValue(body, 5))), body);
      } else if (type == "WIPEOUTVARIABLES") {
        mWipeoutFrames = IntOf(body, 70, 1) != 0;
      }
    }
  }

  // The arrowhead size of a dimension style (DIMASZ times DIMSCALE), or the
  // drawing's own when the style is not found.
  double ArrowSize(std::string_view style) {
    const std::string name = Upper(TrimDxf(style));
    auto found = mArrowSizes.find(name);
    if (found != mArrowSizes.end()) return found->second;
    double size = mArrowSize;
    const DxfSource* source = mModel.Source().get();
    const DxfTable* table = source ? source->FindTable("DIMSTYLE") : nullptr;
    for (std::size_t first : table ? table->Records : std::vector<std::size_t>{}) {
      const std::span<const DxfTag> body = RecordBody(source->Record(first));
      if (Upper(TrimDxf(FindBodyValue(body, 2))) != name) continue;
      const double scale = RealOf(body, 40, 1);
      size = RealOf(body, 41, 0.18) * (scale > 0 ? scale : 1);
    }
    mArrowSizes.emplace(name, size);
    return size;
  }

  // Sets the style and placement for the shapes of one entity.
  void Begin(const OwnStyle& style, const LayerState& layer, const Context& context) {
    ResolveColour(style, layer, context, mColorIndex, mTrueColor);
    mEntityColorIndex = mColorIndex;
    mEntityTrueColor = mTrueColor;
    mEntityLayer = &layer;
    mPartHidden = false;
    mLayerIndex = layer.Index;
    mOwner = context.Owner;
    mPlacement = context.Placement;
    SetLocal(Affine2D{});
    mLinetypeChoice = ResolveLinetype(style, layer, context);
    mLinetype = PatternIndex(mLinetypeChoice);
  }

  static void ResolveColour(const OwnStyle& style, const LayerState& layer, const Context& context,
                            int& colorIndex, int& trueColor) {
    if (style.TrueColor >= 0 && style.ColorIndex != 0) {
      colorIndex = style.ColorIndex >= 1 && style.ColorIndex <= 255 ? style.ColorIndex : 7;
      trueColor = style.TrueColor;
    } else if (style.ColorIndex == 0) {
      colorIndex = context.ColorIndex;
      trueColor = context.TrueColor;
    } else if (style.ColorIndex >= 1 && style.ColorIndex <= 255) {
      colorIndex = style.ColorIndex;
      trueColor = -1;
    } else {
      colorIndex = layer.ColorIndex;
      trueColor = layer.TrueColor;
    }
  }

  // A block reference (with its array and attributes), or a kind drawn
  // through its own block.
  void AddReference(const DrawingEntity& entity, std::span<const DxfTag> body,
                    const OwnStyle& style, const LayerState& layer, const Context& outer) {
    Context inner = outer;
    ResolveColour(style, layer, outer, inner.ColorIndex, inner.TrueColor);
    inner.Layer = &layer;
    inner.Linetype = ResolveLinetype(style, layer, outer);
    inner.Depth = outer.Depth + 1;
    const bool insert = entity.Kind() == EntityKind::Insert;
    const std::string_view type = insert ? std::string_view() : std::string_view(entity.TypeName());
    std::string blockName = entity.Data().BlockName;
    if (!insert) blockName = DecodeDxfText(TrimDxf(FindBodyValue(body, 2)), mCoding);
    const DrawingBlock* block = mModel.FindBlock(blockName);
    if (block && outer.Depth < mOptions.MaxInsertDepth) {
      if (insert) {
        AddInsertCopies(entity.Data(), body, *block, inner);
      } else if (type == "ACAD_TABLE") {
        inner.Placement = outer.Placement.After(TablePlacement(body, *block));
        AddBlockContents(*block, inner);
      } else {
        inner.Placement = outer.Placement;
        AddBlockContents(*block, inner);
      }
    }
    if (insert) AddAttributes(entity, outer, inner);
  }

  // A table's block lies at its insertion point, turned to its direction,
  // as a block reference places its block (the groups before the table's own
  // subclass are a block reference's).
  static Affine2D TablePlacement(std::span<const DxfTag> body, const DrawingBlock& block) {
    std::size_t own = 0;
    while (own < body.size() && !(body[own].Code == 100 && TrimDxf(body[own].Value) == "AcDbTable"))
      ++own;
    const std::span<const DxfTag> reference = body.first(own), table = body.subspan(own);
    const Point2D at = PointOf(reference, 10);
    double turn = RealOf(reference, 50, 0) * kDegToRad;
    const Point2D direction = PointOf(table, 11, {0, 0});
    if (direction.X != 0 || direction.Y != 0) turn = std::atan2(direction.Y, direction.X);
    return OcsToWorld(NormalOf(body))
        .After(Affine2D::Translation(at.X, at.Y))
        .After(Affine2D::Rotation(turn))
        .After(Affine2D::Scale(RealOf(reference, 41, 1), RealOf(reference, 42, 1)))
        .After(Affine2D::Translation(-block.Origin().X, -block.Origin().Y));
  }

  static std::string_view FindBodyValue(std::span<const DxfTag> body, int code) {
    for (const DxfTag& tag : body) {
      if (tag.Code == code) return tag.Value;
    }
    return {};
  }

  void AddInsertCopies(const EntityData& d, std::span<const DxfTag> body, const DrawingBlock& block,
                       Context& inner) {
    const int columns = std::max(1, IntOf(body, 70, 1)), rows = std::max(1, IntOf(body, 71, 1));
    const double columnSpacing = RealOf(body, 44, 0), rowSpacing = RealOf(body, 45, 0);
    const Affine2D base = Affine2D::Scale(d.ScaleX, d.ScaleY)
                              .After(Affine2D::Translation(-block.Origin().X, -block.Origin().Y));
    const Affine2D place = OcsToWorld(NormalOf(body))
                               .After(Affine2D::Translation(d.Insertion.X, d.Insertion.Y))
                               .After(Affine2D::Rotation(d.RotationDeg * kDegToRad));
    const Affine2D outerPlacement = inner.Placement;
    const long long cells = static_cast<long long>(columns) * rows;
    const int usedRows = cells > kMaxArrayCells ? std::max(1, kMaxArrayCells / columns) : rows;
    const int usedColumns = std::min(columns, kMaxArrayCells);
    for (int r = 0; r < usedRows && !mOut.Truncated; ++r) {
      for (int c = 0; c < usedColumns && !mOut.Truncated; ++c) {
        const Affine2D cell = Affine2D::Translation(c * columnSpacing, r * rowSpacing).After(base);
        inner.Placement = outerPlacement.After(place.After(cell));
        AddBlockContents(block, inner);
      }
    }
    inner.Placement = outerPlacement;
  }

  void AddBlockContents(const DrawingBlock& block, const Context& inner) {
    for (const auto& child : block.Entities()) {
      AddEntity(*child, inner);
      if (mOut.Truncated) return;
    }
  }

  // The attributes that follow a reference lie where they are written, in the
  // coordinates the reference itself is placed in.
  void AddAttributes(const DrawingEntity& entity, const Context& outer, const Context& inner) {
    for (std::span<const DxfTag> record : Followers(entity.Tags())) {
      if (record.front().Value != "ATTRIB") continue;
      try {
        const std::span<const DxfTag> body = RecordBody(record);
        if ((IntOf(body, 70, 0) & 1) != 0 || IntOf(body, 60, 0) == 1) continue;
        const std::string own = DecodeDxfText(TrimDxf(FindBodyValue(body, 8)), mCoding);
        const std::string_view layerName = own.empty() ? std::string_view("0") : own;
        const LayerState& layer =
            outer.Depth > 0 && layerName == "0" && outer.Layer ? *outer.Layer : Layer(layerName);
        if (!layer.Shown) continue;
        const OwnStyle style = StyleOf(layerName, IntOf(body, 62, kColorByLayer), body);
        Context attributeContext = outer;
        attributeContext.ColorIndex = inner.ColorIndex;  // "by block" means the reference's
        attributeContext.TrueColor = inner.TrueColor;
        Begin(style, layer, attributeContext);
        FlattenAttribute(body, false, mCoding, *this);
      } catch (const BadGeometryRecord&) {
        // This attribute is left out; the others still show.
      }
    }
  }

  const DrawingModel& mModel;
  GeometryOptions mOptions;
  DrawingGeometry mOut;
  DxfTextCoding mCoding;
  double mLinetypeScale = 1;
  double mArrowSize = 0.18;
  std::unordered_map<std::string, LayerState> mLayers;
  std::unordered_map<std::string, double> mArrowSizes;
  std::map<std::pair<const DrawingLinetype*, double>, std::int32_t> mPatterns;
  std::size_t mPointCount = 0;
  // The entity being flattened.
  Affine2D mPlacement, mMap;
  double mTolerance = 0.01;
  int mColorIndex = 7, mTrueColor = -1;
  std::uint32_t mLayerIndex = 0;
  std::int32_t mLinetype = -1;
  LinetypeChoice mLinetypeChoice;
  std::int32_t mLastDashes = -1;
  const DrawingEntity* mOwner = nullptr;
  // The entity's own colour and layer, which parts drawn in their own style return to.
  int mEntityColorIndex = 7, mEntityTrueColor = -1;
  const LayerState* mEntityLayer = nullptr;
  bool mPartHidden = false;  // a part on a layer that is not shown
  std::vector<EndlessLine> mEndless;
  bool mObjectsRead = false;
  bool mWipeoutFrames = true;
  std::unordered_map<std::string, std::span<const DxfTag>> mMLineStyles;
};

}  // namespace

DrawingGeometry BuildDrawingGeometry(const DrawingModel& model, const GeometryOptions& options) {
  return GeometryBuilder(model, options).Build();
}

DrawingExtents PieceBounds(const GeometryPiece& piece) {
  DrawingExtents box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const Point2D& p : piece.Points) {
    box.MinX = std::min(box.MinX, p.X);
    box.MinY = std::min(box.MinY, p.Y);
    box.MaxX = std::max(box.MaxX, p.X);
    box.MaxY = std::max(box.MaxY, p.Y);
  }
  return box;
}

std::optional<DrawingExtents> GeometryBounds(const DrawingGeometry& geometry) {
  if (geometry.Pieces.empty()) return std::nullopt;
  DrawingExtents all{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const GeometryPiece& piece : geometry.Pieces) {
    const DrawingExtents box = PieceBounds(piece);
    all.MinX = std::min(all.MinX, box.MinX);
    all.MinY = std::min(all.MinY, box.MinY);
    all.MaxX = std::max(all.MaxX, box.MaxX);
    all.MaxY = std::max(all.MaxY, box.MaxY);
  }
  return all;
}

}  // namespace veerline::cad
