#include "cad/DxfWriter.h"

#include <dxflib/dl_writer.h>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "cad/DxfNumber.h"

namespace veerline::cad {

namespace {

// The DXF library's group writer, writing into memory with numbers formatted
// independently of the process locale.
class TextWriter final : public DL_Writer {
 public:
  TextWriter() : DL_Writer(DL_Codes::AC1015) {}
  std::string& Text() { return mText; }

  void dxfReal(int gc, double value) const override { Put(gc, FormatDxfReal(value)); }
  void dxfInt(int gc, int value) const override { Put(gc, std::to_string(value)); }
  void dxfHex(int gc, int value) const override {
    char text[16];
    auto [end, ec] = std::to_chars(text, text + sizeof text, static_cast<unsigned>(value), 16);
    std::string hex(text, end);
    for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Put(gc, hex);
  }
  void dxfString(int gc, const char* value) const override { Put(gc, value); }
  void dxfString(int gc, const std::string& value) const override { Put(gc, value); }

 private:
  // One group; a value must stay on its line, so line breaks become blanks.
  void Put(int gc, std::string value) const {
    for (char& c : value) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    mText += std::to_string(gc);
    mText += '\n';
    mText += value;
    mText += '\n';
  }
  mutable std::string mText;
};

// Handles for the objects the writer adds (tables, block records, dictionaries),
// taken above the drawing's own and never equal to one of them.
class HandleSource {
 public:
  explicit HandleSource(const DrawingModel& drawing)
      : mDrawing(drawing), mNext(std::max<std::uint64_t>(drawing.HandleSeed(), 0x20)) {}
  std::string Next() {
    for (;;) {
      char text[24];
      auto [end, ec] = std::to_chars(text, text + sizeof text, mNext++, 16);
      std::string handle(text, end);
      for (char& c : handle) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (!mDrawing.IsHandleUsed(handle)) return handle;
    }
  }
  std::uint64_t Seed() const { return mNext; }

 private:
  const DrawingModel& mDrawing;
  std::uint64_t mNext;
};

struct BlockHandles {
  std::string Record, Begin, End;
};

class DrawingWriter {
 public:
  explicit DrawingWriter(const DrawingModel& drawing) : mDrawing(drawing), mHandles(drawing) {}

  std::string Write() {
    Plan();
    WriteHeader();
    Section("CLASSES");
    EndSection();
    WriteTables();
    WriteBlocks();
    Section("ENTITIES");
    WriteEntities(mDrawing.ModelSpace(), mModel.Record);
    EndSection();
    WriteObjects();
    W(0, "EOF");
    return std::move(mOut.Text());
  }

 private:
  void W(int code, const std::string& value) { mOut.dxfString(code, value); }
  void R(int code, double value) { mOut.dxfReal(code, value); }
  void I(int code, int value) { mOut.dxfInt(code, value); }
  void Point(int code, const CadPoint& p) {
    R(code, p.X);
    R(code + 10, p.Y);
    R(code + 20, p.Z);
  }
  void Section(const char* name) {
    W(0, "SECTION");
    W(2, name);
  }
  void EndSection() { W(0, "ENDSEC"); }

  // Every handle the tables and objects need, decided before anything is written.
  void Plan() {
    for (const char* key :
         {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCK_RECORD"}) {
      mTable[key] = mHandles.Next();
    }
    for (const char* key : {"vport", "ltByBlock", "ltByLayer", "ltContinuous", "style", "appid",
                            "dimstyle", "root", "groups", "placeholder", "plotstyles"}) {
      mObject[key] = mHandles.Next();
    }
    mModel = {mHandles.Next(), mHandles.Next(), mHandles.Next()};
    mPaper = {mHandles.Next(), mHandles.Next(), mHandles.Next()};
    for (const auto& block : mDrawing.Blocks()) {
      mBlocks[block.get()] = {mHandles.Next(), mHandles.Next(), mHandles.Next()};
    }
    // Layers: the drawing's own and any that entities name without defining.
    for (const DrawingLayer& layer : mDrawing.Layers()) AddLayer(layer);
    auto collect = [this](const DrawingBlock& block) {
      for (const auto& e : block.Entities()) AddLayer({e->Layer(), 7, true});
    };
    collect(mDrawing.ModelSpace());
    for (const auto& block : mDrawing.Blocks()) collect(*block);
  }

  void AddLayer(const DrawingLayer& layer) {
    if (layer.Name.empty() || mLayerNames.count(layer.Name)) return;
    mLayerNames.insert(layer.Name);
    mLayers.push_back(layer);
    mLayerHandles.push_back(mHandles.Next());
  }

  void WriteHeader() {
    Section("HEADER");
    W(9, "$ACADVER");
    W(1, "AC1015");
    W(9, "$DWGCODEPAGE");
    W(3, "ANSI_1252");
    W(9, "$INSBASE");
    Point(10, {});
    auto extents = mDrawing.Extents();
    DrawingExtents e = extents.value_or(DrawingExtents{0, 0, 0, 0});
    W(9, "$EXTMIN");
    Point(10, {e.MinX, e.MinY, 0});
    W(9, "$EXTMAX");
    Point(10, {e.MaxX, e.MaxY, 0});
    W(9, "$HANDSEED");
    mHandSeedAt = mOut.Text().size();
    W(5, "");  // filled in once every handle is known
    EndSection();
  }

  void TableStart(const char* name, int count) {
    W(0, "TABLE");
    W(2, name);
    W(5, mTable[name]);
    W(330, "0");
    W(100, "AcDbSymbolTable");
    I(70, count);
  }

  void RecordStart(const char* type, const std::string& handle, const char* table,
                   const char* subclass) {
    W(0, type);
    W(type == std::string("DIMSTYLE") ? 105 : 5, handle);
    W(330, mTable[table]);
    W(100, "AcDbSymbolTableRecord");
    W(100, subclass);
  }

  void WriteTables() {
    Section("TABLES");
    TableStart("VPORT", 1);
    RecordStart("VPORT", mObject["vport"], "VPORT", "AcDbViewportTableRecord");
    W(2, "*ACTIVE");
    I(70, 0);
    R(10, 0);
    R(20, 0);
    R(11, 1);
    R(21, 1);
    auto extents = mDrawing.Extents().value_or(DrawingExtents{0, 0, 10, 10});
    R(12, (extents.MinX + extents.MaxX) / 2);
    R(22, (extents.MinY + extents.MaxY) / 2);
    R(40, std::max(1.0, (extents.MaxY - extents.MinY) * 1.1));
    R(41, 1.5);
    W(0, "ENDTAB");

    TableStart("LTYPE", 3);
    for (auto [key, name, text] :
         {std::tuple{"ltByBlock", "ByBlock", ""}, std::tuple{"ltByLayer", "ByLayer", ""},
          std::tuple{"ltContinuous", "Continuous", "Solid line"}}) {
      RecordStart("LTYPE", mObject[key], "LTYPE", "AcDbLinetypeTableRecord");
      W(2, name);
      I(70, 0);
      W(3, text);
      I(72, 65);
      I(73, 0);
      R(40, 0);
    }
    W(0, "ENDTAB");

    TableStart("LAYER", static_cast<int>(mLayers.size()));
    for (std::size_t i = 0; i < mLayers.size(); ++i) {
      RecordStart("LAYER", mLayerHandles[i], "LAYER", "AcDbLayerTableRecord");
      W(2, mLayers[i].Name);
      I(70, 0);
      int colour =
          mLayers[i].ColorIndex >= 1 && mLayers[i].ColorIndex <= 255 ? mLayers[i].ColorIndex : 7;
      I(62, mLayers[i].Visible ? colour : -colour);
      W(6, "Continuous");
      I(370, -3);
      W(390, mObject["placeholder"]);
    }
    W(0, "ENDTAB");

    TableStart("STYLE", 1);
    RecordStart("STYLE", mObject["style"], "STYLE", "AcDbTextStyleTableRecord");
    W(2, "Standard");
    I(70, 0);
    R(40, 0);
    R(41, 1);
    R(50, 0);
    I(71, 0);
    R(42, 2.5);
    W(3, "txt");
    W(4, "");
    W(0, "ENDTAB");

    TableStart("VIEW", 0);
    W(0, "ENDTAB");
    TableStart("UCS", 0);
    W(0, "ENDTAB");

    TableStart("APPID", 1);
    RecordStart("APPID", mObject["appid"], "APPID", "AcDbRegAppTableRecord");
    W(2, "ACAD");
    I(70, 0);
    W(0, "ENDTAB");

    TableStart("DIMSTYLE", 1);
    W(100, "AcDbDimStyleTable");
    I(71, 0);
    RecordStart("DIMSTYLE", mObject["dimstyle"], "DIMSTYLE", "AcDbDimStyleTableRecord");
    W(2, "Standard");
    I(70, 0);
    W(0, "ENDTAB");

    TableStart("BLOCK_RECORD", static_cast<int>(2 + mDrawing.Blocks().size()));
    BlockRecord(mModel, "*Model_Space");
    BlockRecord(mPaper, "*Paper_Space");
    for (const auto& block : mDrawing.Blocks()) BlockRecord(mBlocks[block.get()], block->Name());
    W(0, "ENDTAB");
    EndSection();
  }

  void BlockRecord(const BlockHandles& handles, const std::string& name) {
    RecordStart("BLOCK_RECORD", handles.Record, "BLOCK_RECORD", "AcDbBlockTableRecord");
    W(2, name);
  }

  void BlockStart(const BlockHandles& handles, const std::string& name, const CadPoint& origin,
                  int flags) {
    W(0, "BLOCK");
    W(5, handles.Begin);
    W(330, handles.Record);
    W(100, "AcDbEntity");
    W(8, "0");
    W(100, "AcDbBlockBegin");
    W(2, name);
    I(70, flags);
    Point(10, origin);
    W(3, name);
    W(1, "");
  }

  void BlockEnd(const BlockHandles& handles) {
    W(0, "ENDBLK");
    W(5, handles.End);
    W(330, handles.Record);
    W(100, "AcDbEntity");
    W(8, "0");
    W(100, "AcDbBlockEnd");
  }

  void WriteBlocks() {
    Section("BLOCKS");
    BlockStart(mModel, "*Model_Space", {}, 0);
    BlockEnd(mModel);
    BlockStart(mPaper, "*Paper_Space", {}, 0);
    BlockEnd(mPaper);
    for (const auto& block : mDrawing.Blocks()) {
      const BlockHandles& handles = mBlocks[block.get()];
      BlockStart(handles, block->Name(), block->Origin(), block->Flags());
      WriteEntities(*block, handles.Record);
      BlockEnd(handles);
    }
    EndSection();
  }

  void WriteEntities(const DrawingBlock& block, const std::string& owner) {
    for (const auto& entity : block.Entities()) WriteEntity(*entity, owner);
  }

  void Common(const char* type, const DrawingEntity& e, const std::string& owner,
              const char* subclass) {
    W(0, type);
    W(5, e.Handle());
    W(330, owner);
    W(100, "AcDbEntity");
    W(8, e.Layer().empty() ? "0" : e.Layer());
    I(62, e.ColorIndex());
    if (subclass) W(100, subclass);
  }

  void WriteEntity(const DrawingEntity& e, const std::string& owner) {
    const EntityData& d = e.Data();
    switch (e.Kind()) {
      case EntityKind::LwPolyline:
        Common("LWPOLYLINE", e, owner, "AcDbPolyline");
        I(90, static_cast<int>(d.Vertices.size()));
        I(70, d.Closed ? 1 : 0);
        if (d.Elevation != 0) R(38, d.Elevation);
        for (const PolylineVertex& v : d.Vertices) {
          R(10, v.X);
          R(20, v.Y);
          if (v.StartWidth != 0 || v.EndWidth != 0) {
            R(40, v.StartWidth);
            R(41, v.EndWidth);
          }
          if (v.Bulge != 0) R(42, v.Bulge);
        }
        break;
      case EntityKind::Polyline2d:
      case EntityKind::Polyline3d:
        WriteOldPolyline(e, owner);
        break;
      case EntityKind::Line:
        Common("LINE", e, owner, "AcDbLine");
        Point(10, d.Start);
        Point(11, d.End);
        break;
      case EntityKind::Circle:
        Common("CIRCLE", e, owner, "AcDbCircle");
        Point(10, d.Centre);
        R(40, d.Radius);
        break;
      case EntityKind::Arc:
        Common("ARC", e, owner, "AcDbCircle");
        Point(10, d.Centre);
        R(40, d.Radius);
        W(100, "AcDbArc");
        R(50, d.StartAngleDeg);
        R(51, d.EndAngleDeg);
        break;
      case EntityKind::Text:
        WriteText(e, owner);
        break;
      case EntityKind::Insert:
        Common("INSERT", e, owner, "AcDbBlockReference");
        W(2, d.BlockName);
        Point(10, d.Insertion);
        R(41, d.ScaleX);
        R(42, d.ScaleY);
        R(43, d.ScaleZ);
        R(50, d.RotationDeg);
        break;
      case EntityKind::Unknown:
        WriteRaw(e, owner);
        break;
    }
  }

  void WriteOldPolyline(const DrawingEntity& e, const std::string& owner) {
    const EntityData& d = e.Data();
    bool is3d = e.Kind() == EntityKind::Polyline3d;
    Common("POLYLINE", e, owner, is3d ? "AcDb3dPolyline" : "AcDb2dPolyline");
    I(66, 1);
    Point(10, {0, 0, is3d ? 0 : d.Elevation});
    I(70, (d.Closed ? 1 : 0) | (is3d ? 8 : 0));
    for (const PolylineVertex& v : d.Vertices) {
      W(0, "VERTEX");
      W(5, mHandles.Next());
      W(330, e.Handle());
      W(100, "AcDbEntity");
      W(8, e.Layer());
      W(100, "AcDbVertex");
      W(100, is3d ? "AcDb3dPolylineVertex" : "AcDb2dVertex");
      Point(10, {v.X, v.Y, v.Z});
      if (!is3d && (v.StartWidth != 0 || v.EndWidth != 0)) {
        R(40, v.StartWidth);
        R(41, v.EndWidth);
      }
      if (!is3d && v.Bulge != 0) R(42, v.Bulge);
      I(70, is3d ? 32 : 0);
    }
    W(0, "SEQEND");
    W(5, mHandles.Next());
    W(330, e.Handle());
    W(100, "AcDbEntity");
    W(8, e.Layer());
  }

  void WriteText(const DrawingEntity& e, const std::string& owner) {
    const EntityData& d = e.Data();
    Common("TEXT", e, owner, "AcDbText");
    Point(10, d.Insertion);
    R(40, d.Height);
    W(1, d.Text);
    if (d.RotationDeg != 0) R(50, d.RotationDeg);
    W(7, "Standard");
    if (d.HorizontalAlignment != 0) I(72, d.HorizontalAlignment);
    if (d.HorizontalAlignment != 0 || d.HasAlignmentPoint) {
      Point(11, d.HasAlignmentPoint ? d.AlignmentPoint : d.Insertion);
    }
    W(100, "AcDbText");
  }

  // An entity kept as read; its owner becomes the block it is written into, and
  // links to objects that are not written (reactors, extension dictionaries) are left out.
  void WriteRaw(const DrawingEntity& e, const std::string& owner) {
    const EntityData& d = e.Data();
    W(0, d.TypeName);
    bool mainPart = true, inAppData = false, sequenceClosed = true;
    for (const RawGroup& g : d.RawGroups) {
      if (g.Code == 102) {
        inAppData = !inAppData && !g.Value.empty() && g.Value.front() == '{';
        continue;
      }
      if (inAppData) continue;
      if (g.Code == 0) {
        mainPart = false;  // followers keep their owner, the entity itself
        sequenceClosed = g.Value == "SEQEND";
      }
      if (mainPart && (g.Code == 330 || g.Code == 360)) continue;
      W(g.Code, g.Value);
      if (mainPart && g.Code == 5) W(330, owner);
    }
    // A sequence whose SEQEND was missing in the file is closed here.
    if (!sequenceClosed) {
      W(0, "SEQEND");
      W(5, mHandles.Next());
      W(330, e.Handle());
      W(100, "AcDbEntity");
      W(8, e.Layer());
    }
  }

  void WriteObjects() {
    Section("OBJECTS");
    W(0, "DICTIONARY");
    W(5, mObject["root"]);
    W(330, "0");
    W(100, "AcDbDictionary");
    I(281, 1);
    W(3, "ACAD_GROUP");
    W(350, mObject["groups"]);
    W(3, "ACAD_PLOTSTYLENAME");
    W(350, mObject["plotstyles"]);
    W(0, "DICTIONARY");
    W(5, mObject["groups"]);
    W(330, mObject["root"]);
    W(100, "AcDbDictionary");
    I(281, 1);
    W(0, "ACDBDICTIONARYWDFLT");
    W(5, mObject["plotstyles"]);
    W(330, mObject["root"]);
    W(100, "AcDbDictionary");
    I(281, 1);
    W(3, "Normal");
    W(350, mObject["placeholder"]);
    W(100, "AcDbDictionaryWithDefault");
    W(340, mObject["placeholder"]);
    W(0, "ACDBPLACEHOLDER");
    W(5, mObject["placeholder"]);
    W(330, mObject["plotstyles"]);
    EndSection();
    // Now every handle is known: the seed is the first one not used.
    std::string& text = mOut.Text();
    std::string seed;
    {
      char buffer[24];
      auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, mHandles.Seed(), 16);
      seed.assign(buffer, end);
      for (char& c : seed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    text.insert(mHandSeedAt + 2, seed);  // after "5\n", before the empty value's line end
  }

  const DrawingModel& mDrawing;
  HandleSource mHandles;
  TextWriter mOut;
  std::map<std::string, std::string> mTable, mObject;
  BlockHandles mModel, mPaper;
  std::map<const DrawingBlock*, BlockHandles> mBlocks;
  std::vector<DrawingLayer> mLayers;
  std::vector<std::string> mLayerHandles;
  std::set<std::string> mLayerNames;
  std::size_t mHandSeedAt = 0;
};

}  // namespace

std::string WriteDxfText(const DrawingModel& drawing) { return DrawingWriter(drawing).Write(); }

void WriteDxfFile(const DrawingModel& drawing, const std::filesystem::path& path) {
  const std::string name = path.string();
  std::string text = WriteDxfText(drawing);
  std::filesystem::path temporary = path;
  temporary += ".tmp-write";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw DxfError(name + ": cannot be written (the folder is missing or not writable)");
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw DxfError(name + ": writing failed (disk full?)");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw DxfError(name + ": cannot be replaced (" + ec.message() + ")");
  }
}

}  // namespace veerline::cad
