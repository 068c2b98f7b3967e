#include "cad/DxfReader.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <clocale>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <locale>
#include <sstream>

#include "cad/DxfNumber.h"
#include "cad/DxfScan.h"

namespace veerline::cad {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 512u * 1024u * 1024u;
constexpr double kPi = 3.14159265358979323846;

enum class ValueKind { Real, Int, Text };

struct Whitelisted {
  int Code;
  ValueKind Kind;
};

// The groups of each understood record type that go to the DXF library.
const std::vector<Whitelisted>& GroupsFor(const std::string& type) {
  static const std::vector<Whitelisted> kNone;
  static const std::vector<Whitelisted> kLine = {{10, ValueKind::Real}, {20, ValueKind::Real},
                                                 {30, ValueKind::Real}, {11, ValueKind::Real},
                                                 {21, ValueKind::Real}, {31, ValueKind::Real}};
  static const std::vector<Whitelisted> kCircle = {
      {10, ValueKind::Real}, {20, ValueKind::Real}, {30, ValueKind::Real}, {40, ValueKind::Real}};
  static const std::vector<Whitelisted> kArc = {{10, ValueKind::Real}, {20, ValueKind::Real},
                                                {30, ValueKind::Real}, {40, ValueKind::Real},
                                                {50, ValueKind::Real}, {51, ValueKind::Real}};
  static const std::vector<Whitelisted> kText = {
      {1, ValueKind::Text},  {7, ValueKind::Text},  {10, ValueKind::Real}, {20, ValueKind::Real},
      {30, ValueKind::Real}, {11, ValueKind::Real}, {21, ValueKind::Real}, {31, ValueKind::Real},
      {40, ValueKind::Real}, {41, ValueKind::Real}, {50, ValueKind::Real}, {71, ValueKind::Int},
      {72, ValueKind::Int},  {73, ValueKind::Int}};
  static const std::vector<Whitelisted> kInsert = {
      {2, ValueKind::Text},  {10, ValueKind::Real}, {20, ValueKind::Real}, {30, ValueKind::Real},
      {41, ValueKind::Real}, {42, ValueKind::Real}, {43, ValueKind::Real}, {50, ValueKind::Real}};
  static const std::vector<Whitelisted> kLwPolyline = {{70, ValueKind::Int},
                                                       {38, ValueKind::Real},
                                                       {10, ValueKind::Real},
                                                       {20, ValueKind::Real},
                                                       {42, ValueKind::Real}};
  static const std::vector<Whitelisted> kPolyline = {{70, ValueKind::Int}, {30, ValueKind::Real}};
  static const std::vector<Whitelisted> kVertex = {{10, ValueKind::Real},
                                                   {20, ValueKind::Real},
                                                   {30, ValueKind::Real},
                                                   {42, ValueKind::Real},
                                                   {70, ValueKind::Int}};
  static const std::vector<Whitelisted> kBlock = {{2, ValueKind::Text},
                                                  {70, ValueKind::Int},
                                                  {10, ValueKind::Real},
                                                  {20, ValueKind::Real},
                                                  {30, ValueKind::Real}};
  static const std::vector<Whitelisted> kLayer = {{2, ValueKind::Text}, {70, ValueKind::Int}};
  if (type == "LINE") return kLine;
  if (type == "CIRCLE") return kCircle;
  if (type == "ARC") return kArc;
  if (type == "TEXT") return kText;
  if (type == "INSERT") return kInsert;
  if (type == "LWPOLYLINE") return kLwPolyline;
  if (type == "POLYLINE") return kPolyline;
  if (type == "VERTEX") return kVertex;
  if (type == "BLOCK") return kBlock;
  if (type == "LAYER") return kLayer;
  return kNone;
}

int IntOr(const DxfRecord& record, int code, int fallback) {
  const std::string* value = record.Find(code);
  return value ? ParseDxfInt(*value).value_or(fallback) : fallback;
}

// Whether the drawing model takes this entity apart; all else is kept raw.
bool IsUnderstood(const DxfRecord& record) {
  if (IntOr(record, 67, 0) == 1) return false;                                    // paper space
  if (record.Type == "POLYLINE") return (IntOr(record, 70, 0) & (16 | 64)) == 0;  // no meshes
  if (record.Type == "INSERT") return IntOr(record, 66, 0) != 1;                  // no attributes
  for (const char* type : {"LINE", "CIRCLE", "ARC", "TEXT", "LWPOLYLINE"}) {
    if (record.Type == type) return true;
  }
  return false;
}

// Writes the checked, understood part of the drawing as plain DXF text for the
// DXF library: only the groups it needs, numbers in canonical form, the
// vertex count of lightweight polylines counted rather than trusted.
class LibraryFeed {
 public:
  explicit LibraryFeed(const std::string& fileName) : mFileName(fileName) {
    mOut.imbue(std::locale::classic());
  }

  std::string Text() const { return mOut.str(); }

  void Group(int code, const std::string& value) { mOut << code << '\n' << value << '\n'; }

  void Record(const DxfRecord& record) {
    Group(0, record.Type);
    Group(8, LayerOf(record));
    if (const std::string* colour = record.Find(62))
      Group(62, Checked(record, {62, *colour, 0}, ValueKind::Int));
    if (record.Type == "LWPOLYLINE") {
      int count = 0;
      for (const DxfGroup& g : record.Groups) count += g.Code == 10 ? 1 : 0;
      Group(90, std::to_string(count));
    }
    if (record.Type == "POLYLINE") Group(66, "1");
    for (const DxfGroup& g : record.Groups) {
      for (const Whitelisted& w : GroupsFor(record.Type)) {
        if (w.Code == g.Code) Group(g.Code, Checked(record, g, w.Kind));
      }
    }
    if (record.Type == "POLYLINE") {
      for (const DxfRecord& vertex : record.Followers) {
        if (vertex.Type == "VERTEX") Record(vertex);
      }
      Group(0, "SEQEND");
    }
  }

 private:
  static std::string LayerOf(const DxfRecord& record) {
    const std::string* layer = record.Find(8);
    return layer && !TrimDxf(*layer).empty() ? std::string(TrimDxf(*layer)) : "0";
  }

  std::string Checked(const DxfRecord& record, const DxfGroup& g, ValueKind kind) const {
    if (kind == ValueKind::Text) return g.Value;
    if (kind == ValueKind::Int) {
      if (auto v = ParseDxfInt(g.Value)) return std::to_string(*v);
    } else if (auto v = ParseDxfReal(g.Value)) {
      return FormatDxfReal(*v);
    }
    throw DxfError(mFileName + ": bad number '" + g.Value.substr(0, 30) + "' in group " +
                   std::to_string(g.Code) + " of " + record.Type + " at line " +
                   std::to_string(g.Line ? g.Line : record.Line));
  }

  const std::string& mFileName;
  std::ostringstream mOut;
};

// What the DXF library reports, collected in order.
class Collector final : public DL_CreationAdapter {
 public:
  struct Decoded {
    EntityKind Kind;
    EntityData Data;
  };
  struct Block {
    std::string Name;
    CadPoint Origin;
    int Flags;
  };
  std::vector<DrawingLayer> Layers;
  std::vector<Block> Blocks;
  std::vector<Decoded> Entities;

  void addLayer(const DL_LayerData& d) override {
    int colour = getAttributes().getColor();
    Layers.push_back({d.name, std::abs(colour), colour >= 0 && !d.off});
  }
  void addBlock(const DL_BlockData& d) override {
    Blocks.push_back({d.name, {d.bpx, d.bpy, d.bpz}, d.flags});
  }
  void addLine(const DL_LineData& d) override {
    EntityData& e = Add(EntityKind::Line);
    e.Start = {d.x1, d.y1, d.z1};
    e.End = {d.x2, d.y2, d.z2};
  }
  void addCircle(const DL_CircleData& d) override {
    EntityData& e = Add(EntityKind::Circle);
    e.Centre = {d.cx, d.cy, d.cz};
    e.Radius = d.radius;
  }
  void addArc(const DL_ArcData& d) override {
    EntityData& e = Add(EntityKind::Arc);
    e.Centre = {d.cx, d.cy, d.cz};
    e.Radius = d.radius;
    e.StartAngleDeg = d.angle1;
    e.EndAngleDeg = d.angle2;
  }
  void addText(const DL_TextData& d) override {
    EntityData& e = Add(EntityKind::Text);
    e.Text = d.text;
    e.Insertion = {d.ipx, d.ipy, d.ipz};
    e.AlignmentPoint = {d.apx, d.apy, d.apz};
    e.Height = d.height;
    e.HorizontalAlignment = d.hJustification;
    e.RotationDeg = d.angle * 180 / kPi;
  }
  void addInsert(const DL_InsertData& d) override {
    EntityData& e = Add(EntityKind::Insert);
    e.BlockName = d.name;
    e.Insertion = {d.ipx, d.ipy, d.ipz};
    e.ScaleX = d.sx;
    e.ScaleY = d.sy;
    e.ScaleZ = d.sz;
    e.RotationDeg = d.angle;
  }
  void addPolyline(const DL_PolylineData& d) override {
    // Lightweight polylines are told apart later, from the record they came from.
    EntityData& e = Add((d.flags & 8) != 0 ? EntityKind::Polyline3d : EntityKind::Polyline2d);
    e.Closed = (d.flags & 1) != 0;
    e.Elevation = d.elevation;
  }
  void addVertex(const DL_VertexData& d) override {
    if (Entities.empty()) return;
    Entities.back().Data.Vertices.push_back({d.x, d.y, d.z, d.bulge, 0, 0});
  }

 private:
  EntityData& Add(EntityKind kind) {
    Entities.push_back({kind, {}});
    EntityData& e = Entities.back().Data;
    e.Layer = getAttributes().getLayer();
    e.ColorIndex = getAttributes().getColor();
    return e;
  }
};

// The DXF library reads numbers through streams that follow the global C++
// locale; while it reads, that locale is the classic one, so a decimal comma
// set by the desktop program cannot turn 10.5 into 10.
class ClassicNumbers {
 public:
  ClassicNumbers() : mPrevious(std::locale()) {
    mSwapped = mPrevious != std::locale::classic();
    if (mSwapped) std::locale::global(std::locale::classic());
  }
  ~ClassicNumbers() {
    if (mSwapped) std::locale::global(mPrevious);
  }
  ClassicNumbers(const ClassicNumbers&) = delete;
  ClassicNumbers& operator=(const ClassicNumbers&) = delete;

 private:
  std::locale mPrevious;
  bool mSwapped = false;
};

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::string name = path.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) throw DxfError(name + ": no such file");
  std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) throw DxfError(name + ": cannot be read (" + ec.message() + ")");
  if (size > kMaxFileBytes) throw DxfError(name + ": the file is too large for a drawing");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DxfError(name + ": cannot be opened");
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(size));
  if (!in && !in.eof()) throw DxfError(name + ": cannot be read");
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

namespace {

bool KindMatches(const std::string& type, EntityKind kind) {
  if (type == "LINE") return kind == EntityKind::Line;
  if (type == "CIRCLE") return kind == EntityKind::Circle;
  if (type == "ARC") return kind == EntityKind::Arc;
  if (type == "TEXT") return kind == EntityKind::Text;
  if (type == "INSERT") return kind == EntityKind::Insert;
  return kind == EntityKind::Polyline2d || kind == EntityKind::Polyline3d;
}

double RealOr(const DxfGroup& g, double fallback) {
  return ParseDxfReal(g.Value).value_or(fallback);
}

// Segment widths, which the DXF library does not report: per vertex (40, 41)
// and, for lightweight polylines, one constant width (43) for all segments.
void ReadWidths(const DxfRecord& record, std::vector<PolylineVertex>& vertices) {
  if (record.Type == "LWPOLYLINE") {
    double constant = 0;
    for (const DxfGroup& g : record.Groups) {
      if (g.Code == 43) constant = RealOr(g, 0);
    }
    for (PolylineVertex& v : vertices) v.StartWidth = v.EndWidth = constant;
    int index = -1;
    for (const DxfGroup& g : record.Groups) {
      if (g.Code == 10) ++index;
      if (index < 0 || static_cast<std::size_t>(index) >= vertices.size()) continue;
      if (g.Code == 40) vertices[static_cast<std::size_t>(index)].StartWidth = RealOr(g, 0);
      if (g.Code == 41) vertices[static_cast<std::size_t>(index)].EndWidth = RealOr(g, 0);
    }
    return;
  }
  double start = 0, end = 0;
  for (const DxfGroup& g : record.Groups) {
    if (g.Code == 40) start = RealOr(g, 0);
    if (g.Code == 41) end = RealOr(g, 0);
  }
  std::size_t index = 0;
  for (const DxfRecord& vertex : record.Followers) {
    if (vertex.Type != "VERTEX" || index >= vertices.size()) continue;
    PolylineVertex& v = vertices[index++];
    v.StartWidth = start;
    v.EndWidth = end;
    for (const DxfGroup& g : vertex.Groups) {
      if (g.Code == 40) v.StartWidth = RealOr(g, 0);
      if (g.Code == 41) v.EndWidth = RealOr(g, 0);
    }
  }
}

// Builds the drawing from the scanned records and what the library decoded.
class DrawingBuilder {
 public:
  DrawingBuilder(DrawingModel& model, const Collector& collected, const std::string& fileName)
      : mModel(model), mCollected(collected), mFileName(fileName) {}

  void AddEntities(DrawingBlock& block, const std::vector<DxfRecord>& records) {
    for (const DxfRecord& record : records) {
      if (IsUnderstood(record)) {
        AddUnderstood(block, record);
      } else {
        AddRaw(block, record);
      }
    }
  }

  void CheckAllUsed() const {
    if (mNext != mCollected.Entities.size()) Inconsistent();
  }

 private:
  [[noreturn]] void Inconsistent() const {
    throw DxfError(mFileName + ": the drawing's entities could not be read consistently");
  }

  std::string HandleFor(const std::string* handle) {
    if (handle && mModel.ClaimHandle(std::string(TrimDxf(*handle)))) {
      return std::string(TrimDxf(*handle));
    }
    return mModel.NewHandle();
  }

  void AddUnderstood(DrawingBlock& block, const DxfRecord& record) {
    if (mNext >= mCollected.Entities.size()) Inconsistent();
    const Collector::Decoded& decoded = mCollected.Entities[mNext++];
    if (!KindMatches(record.Type, decoded.Kind)) Inconsistent();
    EntityKind kind = record.Type == "LWPOLYLINE" ? EntityKind::LwPolyline : decoded.Kind;
    auto entity = std::make_unique<DrawingEntity>(kind, HandleFor(record.Find(5)));
    EntityData& data = entity->Data();
    data = decoded.Data;
    if (data.Layer.empty()) data.Layer = "0";
    if (data.ColorIndex < 0 || data.ColorIndex > kColorByLayer) data.ColorIndex = kColorByLayer;
    if (entity->IsPolyline()) ReadWidths(record, data.Vertices);
    data.HasAlignmentPoint = kind == EntityKind::Text && record.Find(11) != nullptr;
    mModel.AddOrGetLayer(data.Layer);
    block.Adopt(std::move(entity));
  }

  // Keeps the record and its sequence verbatim; handles stay as read unless
  // they clash or are missing, so the written drawing has unique handles.
  void AddRaw(DrawingBlock& block, const DxfRecord& record) {
    std::string handle;
    EntityData data;
    data.TypeName = record.Type;
    AppendRaw(record, data.RawGroups, handle);
    for (const DxfRecord& follower : record.Followers) {
      data.RawGroups.push_back({0, follower.Type});
      std::string ignored;
      AppendRaw(follower, data.RawGroups, ignored);
    }
    if (const std::string* layer = record.Find(8)) data.Layer = std::string(TrimDxf(*layer));
    if (data.Layer.empty()) data.Layer = "0";
    data.ColorIndex = IntOr(record, 62, kColorByLayer);
    mModel.AddOrGetLayer(data.Layer);
    auto entity = std::make_unique<DrawingEntity>(EntityKind::Unknown, handle);
    entity->Data() = std::move(data);
    block.Adopt(std::move(entity));
  }

  void AppendRaw(const DxfRecord& record, std::vector<RawGroup>& out, std::string& handle) {
    bool hasHandle = false;
    for (const DxfGroup& g : record.Groups) {
      if (g.Code == 5 && !hasHandle) {
        handle = HandleFor(&g.Value);
        out.push_back({5, handle});
        hasHandle = true;
      } else {
        out.push_back({g.Code, g.Value});
      }
    }
    if (!hasHandle) {
      handle = mModel.NewHandle();
      out.insert(out.begin(), RawGroup{5, handle});
    }
  }

  DrawingModel& mModel;
  const Collector& mCollected;
  const std::string& mFileName;
  std::size_t mNext = 0;
};

bool IsLayoutBlock(const std::string& name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.rfind("*MODEL_SPACE", 0) == 0 || upper.rfind("*PAPER_SPACE", 0) == 0;
}

}  // namespace

std::unique_ptr<DrawingModel> ReadDxfText(std::string_view text, const std::string& fileName) {
  DxfContent content = ScanDxf(text, fileName);

  LibraryFeed feed(fileName);
  feed.Group(0, "SECTION");
  feed.Group(2, "TABLES");
  feed.Group(0, "TABLE");
  feed.Group(2, "LAYER");
  for (const DxfRecord& layer : content.Layers) {
    if (layer.Find(2)) feed.Record(layer);
  }
  feed.Group(0, "ENDTAB");
  feed.Group(0, "ENDSEC");
  feed.Group(0, "SECTION");
  feed.Group(2, "BLOCKS");
  std::vector<const DxfBlockDefinition*> blocks;
  for (const DxfBlockDefinition& block : content.Blocks) {
    const std::string* name = block.Header.Find(2);
    if (!name || TrimDxf(*name).empty() || IsLayoutBlock(*name)) continue;
    blocks.push_back(&block);
    feed.Record(block.Header);
    for (const DxfRecord& record : block.Entities) {
      if (IsUnderstood(record)) feed.Record(record);
    }
    feed.Group(0, "ENDBLK");
  }
  feed.Group(0, "ENDSEC");
  feed.Group(0, "SECTION");
  feed.Group(2, "ENTITIES");
  for (const DxfRecord& record : content.Entities) {
    if (IsUnderstood(record)) feed.Record(record);
  }
  feed.Group(0, "ENDSEC");
  feed.Group(0, "EOF");

  Collector collected;
  DL_Dxf dxf;
  std::istringstream stream(feed.Text());
  ClassicNumbers classic;
  if (!dxf.in(stream, &collected)) throw DxfError(fileName + ": the DXF library could not read it");
  if (collected.Blocks.size() != blocks.size()) {
    throw DxfError(fileName + ": the drawing's blocks could not be read consistently");
  }

  auto model = std::make_unique<DrawingModel>();
  model->SetFileName(std::filesystem::path(fileName).filename().string());
  for (const DrawingLayer& layer : collected.Layers) {
    if (layer.Name.empty()) continue;
    DrawingLayer& added = model->AddOrGetLayer(layer.Name);
    added.ColorIndex = layer.ColorIndex >= 1 && layer.ColorIndex <= 255 ? layer.ColorIndex : 7;
    added.Visible = layer.Visible;
  }
  DrawingBuilder builder(*model, collected, fileName);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Collector::Block& b = collected.Blocks[i];
    DrawingBlock& block = model->AddBlockDefinition(b.Name, b.Origin, b.Flags);
    builder.AddEntities(block, blocks[i]->Entities);
  }
  builder.AddEntities(model->ModelSpace(), content.Entities);
  builder.CheckAllUsed();
  return model;
}

std::unique_ptr<DrawingModel> ReadDxfFile(const std::filesystem::path& path) {
  return ReadDxfText(ReadWholeFile(path), path.string());
}

}  // namespace veerline::cad
