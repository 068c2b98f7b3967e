#include "cad/dxf/DxfReader.h"

#include <fstream>

#include "cad/dxf/DxfDecode.h"
#include "cad/dxf/DxfNumber.h"
#include "cad/dxf/DxfSource.h"
#include "cad/dxf/DxfText.h"

namespace veerline::cad {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 1024u * 1024u * 1024u;

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

bool IsZero(const DxfTag& tag, std::string_view value) {
  return tag.Code == 0 && tag.Value == value;
}

bool IsLayoutBlock(std::string_view name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper.rfind("*MODEL_SPACE", 0) == 0 || upper.rfind("*PAPER_SPACE", 0) == 0;
}

// Entities after which VERTEX, ATTRIB and SEQEND records belong to them.
bool OwnsSequence(std::span<const DxfTag> record) {
  std::string_view type = record.front().Value;
  if (type == "POLYLINE") return true;
  return type == "INSERT" && ParseDxfInt(FindValue(record, 66)).value_or(0) == 1;
}

bool IsFollower(std::string_view type) {
  return type == "VERTEX" || type == "ATTRIB" || type == "SEQEND";
}

// Builds the drawing model's views onto the records of a parsed file.
class ModelBuilder {
 public:
  ModelBuilder(const DxfSource& source, DrawingModel& model, const std::string& fileName)
      : mSource(source),
        mTags(source.Tags()),
        mModel(model),
        mContext{fileName, source.Text(), source.Coding()} {}

  void Build() {
    mModel.ReserveHandles(mTags.size() / 8);
    if (const DxfTable* layers = mSource.FindTable("LAYER")) {
      for (std::size_t first : layers->Records) {
        if (mTags[first].Value != "LAYER") continue;
        DrawingLayer layer = DecodeLayer(mSource.Record(first), mContext);
        if (layer.Name.empty()) continue;
        DrawingLayer& target = mModel.AddOrGetLayer(layer.Name);
        if (!target.FromFile) target = layer;
      }
    }
    mModel.AddOrGetLayer("0").FromFile = true;  // always there, listed or not
    if (const DxfTable* linetypes = mSource.FindTable("LTYPE")) {
      for (std::size_t first : linetypes->Records) {
        if (mTags[first].Value == "LTYPE") {
          mModel.AddLinetype(DecodeLinetype(mSource.Record(first), mContext));
        }
      }
    }
    if (const DxfSection* blocks = mSource.FindSection("BLOCKS")) ReadBlocks(*blocks);
    if (const DxfSection* entities = mSource.FindSection("ENTITIES")) {
      AddEntities(mModel.ModelSpace(), mSource.RecordEnd(entities->Head), entities->EndSec, true);
    }
  }

 private:
  void ReadBlocks(const DxfSection& section) {
    std::size_t k = mSource.RecordEnd(section.Head);
    while (k < section.EndSec) {
      // The source has checked that every BLOCK has its ENDBLK.
      std::size_t head = k, end = mSource.RecordEnd(k);
      while (end < section.EndSec && !IsZero(mTags[end], "ENDBLK")) end = mSource.RecordEnd(end);
      if (end >= section.EndSec) break;
      std::span<const DxfTag> record = mSource.Record(head);
      std::string name = DecodeDxfText(TrimDxf(FindValue(record, 2)), mContext.Coding);
      if (!name.empty() && !IsLayoutBlock(name) && !mModel.FindBlock(name)) {
        CadPoint origin;
        for (const DxfTag& t : record.subspan(1)) {
          if (t.Code == 10) origin.X = ParseDxfReal(t.Value).value_or(0);
          if (t.Code == 20) origin.Y = ParseDxfReal(t.Value).value_or(0);
          if (t.Code == 30) origin.Z = ParseDxfReal(t.Value).value_or(0);
        }
        int flags = ParseDxfInt(FindValue(record, 70)).value_or(0);
        DrawingBlock& block = mModel.AddBlockDefinition(name, origin, flags);
        block.SetSource(head, end);
        AddEntities(block, mSource.RecordEnd(head), end, false);
      }
      k = mSource.RecordEnd(end);
    }
  }

  // Takes the entity records of [first, last), each with the sequence that
  // belongs to it. Paper-space entities of the ENTITIES section are left to
  // the file; stray sequence records, which no program could place, as well.
  void AddEntities(DrawingBlock& block, std::size_t first, std::size_t last, bool modelSpace) {
    std::size_t k = first;
    while (k < last) {
      std::size_t end = mSource.RecordEnd(k);
      std::span<const DxfTag> head = mSource.Record(k);
      if (IsFollower(head.front().Value)) {
        k = end;
        continue;
      }
      if (OwnsSequence(head)) {
        while (end < last && IsFollower(mTags[end].Value)) {
          bool closes = mTags[end].Value == "SEQEND";
          end = mSource.RecordEnd(end);
          if (closes) break;
        }
      }
      if (modelSpace && ParseDxfInt(FindValue(head, 67)).value_or(0) == 1) {
        mModel.CountOtherEntity();
      } else {
        AddEntity(block, k, end);
      }
      k = end;
    }
  }

  void AddEntity(DrawingBlock& block, std::size_t first, std::size_t end) {
    std::span<const DxfTag> tags = std::span<const DxfTag>(mTags).subspan(first, end - first);
    EntityKind kind = KindOfRecord(tags);
    std::string_view handleText = TrimDxf(FindValue(tags, 5));
    std::string handle(handleText);
    if (handle.empty() || !mModel.ClaimHandle(handle)) handle = mModel.NewHandle();
    auto entity = std::make_unique<DrawingEntity>(kind, handle);
    entity->SetTypeName(std::string(tags.front().Value));
    entity->SetSource(tags, first);
    DecodeCommon(tags, entity->Data(), mContext);
    if (kind != EntityKind::Unknown) DecodeEntity(kind, tags, entity->Data(), mContext);
    if (!mModel.FindLayer(entity->Data().Layer)) {
      mModel.AddOrGetLayer(entity->Data().Layer).FromFile = true;  // used but not listed
    }
    block.Adopt(std::move(entity));
  }

  const DxfSource& mSource;
  const std::vector<DxfTag>& mTags;
  DrawingModel& mModel;
  DecodeContext mContext;
};

}  // namespace

std::unique_ptr<DrawingModel> ReadDxfText(std::string_view text, const std::string& fileName) {
  return ReadDxfOwnedText(std::string(text), fileName);
}

std::unique_ptr<DrawingModel> ReadDxfOwnedText(std::string text, const std::string& fileName) {
  std::shared_ptr<const DxfSource> source = DxfSource::Parse(std::move(text), fileName);
  auto model = std::make_unique<DrawingModel>();
  model->SetFileName(std::filesystem::path(fileName).filename().string());
  model->SetSource(source);
  ModelBuilder(*source, *model, fileName).Build();
  return model;
}

std::unique_ptr<DrawingModel> ReadDxfFile(const std::filesystem::path& path) {
  return ReadDxfOwnedText(ReadWholeFile(path), path.string());
}

}  // namespace veerline::cad
