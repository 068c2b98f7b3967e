#include "cad/dxf/DxfWriter.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "cad/dxf/DxfAdditions.h"
#include "cad/dxf/DxfDecode.h"
#include "cad/dxf/DxfErasure.h"
#include "cad/dxf/DxfNumber.h"
#include "cad/dxf/DxfSource.h"
#include "cad/dxf/DxfTemplate.h"
#include "cad/dxf/DxfText.h"
#include "engine/SafeSave.h"

namespace veerline::cad {

namespace {

// The new blocks go to the file in pieces of at least this many bytes.
constexpr std::size_t kFlushBytes = 256 * 1024;

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The standard patterns, in drawing units at linetype scale 1.
const std::vector<DrawingLinetype>& StandardLinetypes() {
  static const std::vector<DrawingLinetype> kStandard = {
      {"DASHED", "Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ _", {0.5, -0.25}, false},
      {"HIDDEN", "Hidden __ __ __ __ __ __ __ __ __ __ __ __ __ __", {0.25, -0.125}, false},
      {"CENTER",
       "Center ____ _ ____ _ ____ _ ____ _ ____ _ ____",
       {1.25, -0.25, 0.25, -0.25},
       false},
      {"DOT", "Dot . . . . . . . . . . . . . . . . . . . . . . . .", {0, -0.25}, false},
      {"DASHDOT", "Dash dot __ . __ . __ . __ . __ . __ . __ . __", {0.5, -0.25, 0, -0.25}, false},
  };
  return kStandard;
}

// One change to the file's text: the bytes [Begin, End) replaced by Text
// (an insertion when they are equal). Changes at the same place keep their order.
using PieceSink = std::function<void(std::string_view)>;

struct Patch {
  std::size_t Begin = 0, End = 0;
  std::string Text;
  // Written at the patch's turn instead of Text, for additions too large to
  // hold twice (the blocks of a long run).
  std::function<void(const PieceSink&)> Generate;
};

class LosslessWriter {
 public:
  LosslessWriter(const DrawingModel& drawing, const DxfSource& source)
      : mDrawing(drawing),
        mSource(source),
        mTags(source.Tags()),
        mUtf8(source.Version() >= DxfVersion::R2007),
        mNextHandle(std::max(drawing.HandleSeed(), source.HandleFloor())) {
    mStyle.Version = source.Version();
    mStyle.Handles = source.HasHandles() || source.Version() >= DxfVersion::R13;
  }

  // Hands the written text to `put` piece by piece, so a file can take it
  // without a second copy of the whole drawing in memory.
  void Write(const std::function<void(std::string_view)>& put) {
    Survey();
    PlanTables();
    PlanBlocks();
    PlanEntities();
    PlanErasure();
    PlanHandleSeed();
    Apply(put);
  }

 private:
  // Handles for new records: above every handle of the file and of the model.
  std::string NewHandle() {
    for (;;) {
      std::string handle = FormatHandle(mNextHandle++);
      mSeedNeeded = std::max(mSeedNeeded, mNextHandle);
      if (!mDrawing.IsHandleUsed(handle)) return handle;
    }
  }

  // Notes the handle of an entity Veerline added, so the seed passes it.
  void NoteAdded(const DrawingEntity& entity) {
    if (auto value = ParseHandle(entity.Handle()); value && *value < UINT64_MAX / 2) {
      mSeedNeeded = std::max(mSeedNeeded, *value + 1);
    }
  }

  DxfEmitter Emitter() const { return DxfEmitter(mSource.Style(), mUtf8); }
  AdditionWriter Writer(DxfEmitter& out) {
    return AdditionWriter(out, mStyle, [this] { return NewHandle(); });
  }

  std::size_t Offset(std::size_t tag) const { return mSource.OffsetOf(tag); }
  void Insert(std::size_t offset, std::string text) {
    if (!text.empty()) mPatches.push_back({offset, offset, std::move(text)});
  }
  void Replace(std::string_view value, std::string text) {
    std::size_t begin = static_cast<std::size_t>(value.data() - mSource.Text().data());
    mPatches.push_back({begin, begin + value.size(), std::move(text)});
  }

  // Names in the file's tables, and what the additions refer to.
  void Survey() {
    auto names = [&](const char* table) {
      std::set<std::string> found;
      if (const DxfTable* t = mSource.FindTable(table)) {
        for (std::size_t first : t->Records) {
          found.insert(
              Upper(DecodeDxfText(TrimDxf(FindValue(mSource.Record(first), 2)), mSource.Coding())));
        }
      }
      return found;
    };
    mFileLayers = names("LAYER");
    mFileLinetypes = names("LTYPE");
    mFileStyles = names("STYLE");
    mFileAppIds = names("APPID");
    if (const DxfTable* ltypes = mSource.FindTable("LTYPE")) {
      for (std::size_t first : ltypes->Records) {
        std::string name(TrimDxf(FindValue(mSource.Record(first), 2)));
        if (Upper(name) == "CONTINUOUS") mStyle.ContinuousName = DecodeDxfText(name, mSource.Coding());
      }
    }
    if (const DxfTable* layers = mSource.FindTable("LAYER")) {
      for (std::size_t first : layers->Records) {
        std::string_view plotStyle = TrimDxf(FindValue(mSource.Record(first), 390));
        if (!plotStyle.empty()) {
          mStyle.PlotStyleHandle = std::string(plotStyle);
          break;
        }
      }
    }
    if (const DxfTable* records = mSource.FindTable("BLOCK_RECORD")) {
      for (std::size_t first : records->Records) {
        auto record = mSource.Record(first);
        if (Upper(TrimDxf(FindValue(record, 2))) == "*MODEL_SPACE") {
          mModelSpaceOwner = std::string(TrimDxf(FindValue(record, 5)));
        }
      }
    }
  }

  std::vector<DrawingLayer> NewLayers() const {
    std::vector<DrawingLayer> layers;
    for (const DrawingLayer& layer : mDrawing.Layers()) {
      if (!layer.FromFile && !mFileLayers.count(Upper(layer.Name))) layers.push_back(layer);
    }
    return layers;
  }

  // Linetypes the new layers use that the file lacks, and a Continuous line
  // when the file has none.
  std::vector<DrawingLinetype> NewLinetypes(const std::vector<DrawingLayer>& layers) const {
    std::vector<DrawingLinetype> linetypes;
    std::set<std::string> taken = mFileLinetypes;
    auto want = [&](const std::string& name) {
      if (name.empty() || taken.count(Upper(name))) return;
      taken.insert(Upper(name));
      if (const DrawingLinetype* own = mDrawing.FindLinetype(name)) {
        linetypes.push_back(*own);
        return;
      }
      for (const DrawingLinetype& standard : StandardLinetypes()) {
        if (Upper(standard.Name) == Upper(name)) linetypes.push_back(standard);
      }
      if (Upper(name) == "CONTINUOUS") linetypes.push_back({name, "Solid line", {}, false});
    };
    for (const DrawingLinetype& own : mDrawing.Linetypes()) {
      if (!own.FromFile) want(own.Name);
    }
    if (!layers.empty()) want(mStyle.ContinuousName);
    for (const DrawingLayer& layer : layers) want(layer.Linetype);
    return linetypes;
  }

  std::vector<const DrawingBlock*> NewBlocks() const {
    std::vector<const DrawingBlock*> blocks;
    for (const auto& block : mDrawing.Blocks()) {
      if (!block->FromFile() && !block->Erased()) blocks.push_back(block.get());
    }
    return blocks;
  }

  // Applications named in the extended data of added entities that the file
  // has not registered.
  std::vector<std::string> NewAppIds() const {
    std::vector<std::string> names;
    std::set<std::string> taken = mFileAppIds;
    auto scan = [&](const DrawingBlock& block) {
      for (const auto& e : block.Entities()) {
        if (e->FromFile() || e->Erased()) continue;
        for (const EntityData::XDataTag& tag : e->Data().XData) {
          if (tag.Code == 1001 && taken.insert(Upper(tag.Value)).second) names.push_back(tag.Value);
        }
      }
    };
    scan(mDrawing.ModelSpace());
    for (const auto& block : mDrawing.Blocks()) {
      if (!block->Erased()) scan(*block);
    }
    return names;
  }

  bool HasNewTexts() const {
    auto any = [](const DrawingBlock& block) {
      return std::any_of(block.Entities().begin(), block.Entities().end(), [](const auto& e) {
        return !e->FromFile() && !e->Erased() && e->Kind() == EntityKind::Text;
      });
    };
    if (any(mDrawing.ModelSpace())) return true;
    for (const auto& block : mDrawing.Blocks()) {
      if (!block->Erased() && any(*block)) return true;
    }
    return false;
  }

  // New records for a table, placed before its ENDTAB with its count raised,
  // or a whole new table when the file has none.
  void AddToTable(const char* name, int added, const std::string& records) {
    if (added == 0) return;
    if (const DxfTable* table = mSource.FindTable(name)) {
      Insert(Offset(table->EndTab), records);
      if (table->CountTag != kNoTag) {
        int count = ParseDxfInt(mTags[table->CountTag].Value).value_or(0);
        Replace(mTags[table->CountTag].Value, std::to_string(std::max(count, 0) + added));
      }
      return;
    }
    DxfEmitter out = Emitter();
    AdditionWriter writer = Writer(out);
    writer.TableHead(name, NewHandle(), added);
    out.Out() += records;
    writer.TableEnd();
    mNewTables += out.Take();
  }

  std::string TableHandle(const char* name) const {
    const DxfTable* table = mSource.FindTable(name);
    return table ? std::string(table->Handle) : std::string();
  }

  void PlanTables() {
    std::vector<DrawingLayer> layers = NewLayers();
    std::vector<DrawingLinetype> linetypes = NewLinetypes(layers);
    bool needStyle = HasNewTexts() && mSource.FindTable("STYLE");
    if (HasNewTexts()) {
      mStyle.TextStyle = mFileStyles.count("STANDARD") || needStyle ? "Standard" : "";
    }
    {
      DxfEmitter out = Emitter();
      AdditionWriter writer = Writer(out);
      for (const DrawingLinetype& linetype : linetypes)
        writer.Linetype(linetype, TableHandle("LTYPE"));
      AddToTable("LTYPE", static_cast<int>(linetypes.size()), out.Take());
    }
    {
      DxfEmitter out = Emitter();
      AdditionWriter writer = Writer(out);
      for (const DrawingLayer& layer : layers) writer.Layer(layer, TableHandle("LAYER"));
      AddToTable("LAYER", static_cast<int>(layers.size()), out.Take());
    }
    {
      DxfEmitter out = Emitter();
      AdditionWriter writer = Writer(out);
      const std::vector<std::string> apps = NewAppIds();
      for (const std::string& app : apps) writer.AppId(app, TableHandle("APPID"));
      AddToTable("APPID", static_cast<int>(apps.size()), out.Take());
    }
    if (needStyle && !mFileStyles.count("STANDARD")) {
      DxfEmitter out = Emitter();
      Writer(out).TextStyle("Standard", TableHandle("STYLE"));
      AddToTable("STYLE", 1, out.Take());
    }
    if (mStyle.Version >= DxfVersion::R13) {
      DxfEmitter out = Emitter();
      AdditionWriter writer = Writer(out);
      std::vector<const DrawingBlock*> blocks = NewBlocks();
      for (const DrawingBlock* block : blocks) {
        mBlockRecords[block] = NewHandle();
        writer.BlockRecord(block->Name(), mBlockRecords[block], TableHandle("BLOCK_RECORD"));
      }
      AddToTable("BLOCK_RECORD", static_cast<int>(blocks.size()), out.Take());
    }
    if (!mNewTables.empty()) {
      if (const DxfSection* tables = mSource.FindSection("TABLES")) {
        Insert(Offset(tables->EndSec), std::move(mNewTables));
      } else {
        NewSection("TABLES", std::move(mNewTables), {"BLOCKS", "ENTITIES", "OBJECTS"});
      }
    }
  }

  // A section the file lacks, placed before the first of the sections named
  // that it has, or before EOF.
  void NewSection(const char* name, std::string body, std::initializer_list<const char*> before) {
    DxfEmitter out = Emitter();
    out.Raw(0, "SECTION");
    out.Raw(2, name);
    out.Out() += body;
    out.Raw(0, "ENDSEC");
    Insert(SectionOffset(before), out.Take());
  }

  std::string RecordOwner(const DrawingBlock* block) const {
    auto it = mBlockRecords.find(block);
    return it == mBlockRecords.end() ? std::string() : it->second;
  }

  // Erased file entities leave the file; entities added to a file block go
  // before its ENDBLK; new blocks at the end of the BLOCKS section.
  void PlanBlocks() {
    std::vector<const DrawingBlock*> fresh;
    for (const auto& block : mDrawing.Blocks()) {
      if (block->FromFile()) {
        std::string owner(TrimDxf(FindValue(mSource.Record(block->BlockTag()), 330)));
        PlanEntities(*block, Offset(block->EndBlkTag()), owner);
      } else if (!block->Erased()) {
        for (const auto& entity : block->Entities()) NoteAdded(*entity);
        fresh.push_back(block.get());
      }
    }
    if (fresh.empty()) return;
    // A dry run takes the handles the blocks will have, so that the seed in
    // the header is known before they are written out, block by block.
    const std::uint64_t firstHandle = mNextHandle;
    {
      DxfEmitter dry = Emitter();
      dry.Discard();
      AdditionWriter writer = Writer(dry);
      for (const DrawingBlock* block : fresh) writer.Block(*block, RecordOwner(block));
    }
    const DxfSection* section = mSource.FindSection("BLOCKS");
    Patch patch;
    patch.Begin = patch.End =
        section ? Offset(section->EndSec) : SectionOffset({"ENTITIES", "OBJECTS"});
    patch.Generate = [this, fresh, firstHandle, wrap = section == nullptr](const PieceSink& put) {
      const std::uint64_t after = mNextHandle;
      mNextHandle = firstHandle;
      DxfEmitter out = Emitter();
      if (wrap) {
        out.Raw(0, "SECTION");
        out.Raw(2, "BLOCKS");
      }
      AdditionWriter writer = Writer(out);
      // Written out in pieces of a few hundred kilobytes: few writes, and the
      // text of a large run is never held whole.
      writer.SetFlush([&] {
        if (out.Out().size() < kFlushBytes) return;
        put(out.Out());
        out.Out().clear();
      });
      for (const DrawingBlock* block : fresh) writer.Block(*block, RecordOwner(block));
      if (wrap) out.Raw(0, "ENDSEC");
      put(out.Out());
      mNextHandle = after;
    };
    mPatches.push_back(std::move(patch));
  }

  // Where a section the file lacks goes: before the first of the sections
  // named that it has, or before EOF.
  std::size_t SectionOffset(std::initializer_list<const char*> before) const {
    for (const char* next : before) {
      if (const DxfSection* section = mSource.FindSection(next)) return Offset(section->Head);
    }
    return Offset(mTags.size() - 1);  // the EOF tag
  }

  void PlanEntities() {
    const DxfSection* section = mSource.FindSection("ENTITIES");
    if (section) {
      PlanEntities(mDrawing.ModelSpace(), Offset(section->EndSec), mModelSpaceOwner);
      return;
    }
    DxfEmitter out = Emitter();
    AdditionWriter writer = Writer(out);
    for (const auto& entity : mDrawing.ModelSpace().Entities()) {
      if (!entity->FromFile() && !entity->Erased()) {
        NoteAdded(*entity);
        writer.Entity(*entity, mModelSpaceOwner);
      }
    }
    std::string text = out.Take();
    if (!text.empty()) NewSection("ENTITIES", std::move(text), {"OBJECTS", "THUMBNAILIMAGE"});
  }

  void PlanEntities(const DrawingBlock& block, std::size_t end, const std::string& owner) {
    DxfEmitter out = Emitter();
    AdditionWriter writer = Writer(out);
    for (const auto& entity : block.Entities()) {
      if (entity->FromFile()) {
        if (entity->Erased()) {
          mPatches.push_back({Offset(entity->SourceFirst()), Offset(entity->SourceEnd()), {}});
          mErased.push_back({entity->SourceFirst(), entity->SourceEnd()});
        }
      } else if (!entity->Erased()) {
        NoteAdded(*entity);
        writer.Entity(*entity, owner);
      }
    }
    Insert(end, out.Take());
  }

  // What the erased entities owned leaves with them, and other records stop
  // naming them.
  void PlanErasure() {
    for (const TagRange& cut : ErasureFollowUps(mSource, mErased)) {
      mPatches.push_back({Offset(cut.First), Offset(cut.End), {}});
    }
  }

  // Raises $HANDSEED past every handle given out. A drawing with handles but
  // no seed gets one.
  void PlanHandleSeed() {
    if (!mStyle.Handles || mSeedNeeded == 0) return;
    std::string seed = FormatHandle(mSeedNeeded);
    std::span<const DxfTag> variable = mSource.HeaderVariable("$HANDSEED");
    if (!variable.empty()) {
      auto current = ParseHandle(variable.front().Value);
      if (!current || *current < mSeedNeeded) Replace(variable.front().Value, seed);
      return;
    }
    if (const DxfSection* header = mSource.FindSection("HEADER")) {
      DxfEmitter out = Emitter();
      out.Raw(9, "$HANDSEED");
      out.Raw(5, seed);
      Insert(Offset(header->EndSec), out.Take());
    }
  }

  void Apply(const std::function<void(std::string_view)>& put) {
    // By place; at one place insertions before a cut, so a cut never hides them.
    std::stable_sort(mPatches.begin(), mPatches.end(), [](const Patch& a, const Patch& b) {
      return a.Begin != b.Begin ? a.Begin < b.Begin : (a.End == a.Begin && b.End != b.Begin);
    });
    const std::string_view text = mSource.Text();
    std::size_t at = 0;
    for (Patch& patch : mPatches) {
      if (patch.Begin < at) continue;  // overlaps an earlier change: cannot happen
      put(text.substr(at, patch.Begin - at));
      if (patch.Generate) {
        patch.Generate(put);
      } else {
        put(patch.Text);
      }
      std::string().swap(patch.Text);  // written: its memory can go
      at = patch.End;
    }
    put(text.substr(at));
  }

  const DrawingModel& mDrawing;
  const DxfSource& mSource;
  const std::vector<DxfTag>& mTags;
  bool mUtf8;
  std::uint64_t mNextHandle;
  std::uint64_t mSeedNeeded = 0;
  AdditionStyle mStyle;
  std::set<std::string> mFileLayers, mFileLinetypes, mFileStyles, mFileAppIds;
  std::string mModelSpaceOwner;
  std::map<const DrawingBlock*, std::string> mBlockRecords;
  std::string mNewTables;
  std::vector<Patch> mPatches;
  std::vector<TagRange> mErased;  // the erased file entities, each with its followers
};

}  // namespace

namespace {

// Writes the drawing piece by piece: from the file it was read from, or from
// an empty R2000 drawing for a new one.
void WriteDxfPieces(const DrawingModel& drawing, const std::function<void(std::string_view)>& put) {
  std::shared_ptr<const DxfSource> source = drawing.Source();
  if (!source) source = DxfSource::Parse(NewDrawingText(), "new drawing");
  LosslessWriter(drawing, *source).Write(put);
}

}  // namespace

std::string WriteDxfText(const DrawingModel& drawing) {
  std::string out;
  WriteDxfPieces(drawing, [&out](std::string_view piece) { out += piece; });
  return out;
}

void WriteDxfFile(const DrawingModel& drawing, const std::filesystem::path& path) {
  try {
    SaveFileSafely(path, [&drawing](const SavePieces& put) { WriteDxfPieces(drawing, put); });
  } catch (const SaveError& error) {
    throw DxfError(error.what());
  }
}

}  // namespace veerline::cad
