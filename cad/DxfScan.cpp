#include "cad/DxfScan.h"

#include <algorithm>
#include <cstring>

#include "cad/DxfError.h"
#include "cad/DxfNumber.h"

namespace veerline::cad {

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";

class GroupReader {
 public:
  GroupReader(std::string_view text, const std::string& fileName)
      : mText(text), mFileName(fileName) {}

  [[noreturn]] void Fail(const std::string& problem) const {
    throw DxfError(mFileName + ": not a DXF drawing (" + problem + ")");
  }

  // All groups of the text, up to and including 0/EOF.
  std::vector<DxfGroup> ReadAll() {
    std::vector<DxfGroup> groups;
    std::string_view codeLine;
    while (NextLine(codeLine)) {
      DxfGroup group;
      group.Line = mLine;
      auto code = ParseDxfInt(codeLine);
      if (!code || *code < -5 || *code > 1071) {
        if (TrimDxf(codeLine).empty() && groups.empty()) Fail("the file is empty");
        Fail("bad group code '" + Shorten(codeLine) + "' at line " + std::to_string(mLine));
      }
      group.Code = *code;
      std::string_view value;
      if (!NextLine(value))
        Fail("the file is truncated: no value for the group code at line " + std::to_string(mLine));
      group.Value = std::string(group.Code == 0 ? TrimDxf(value) : value);
      groups.push_back(std::move(group));
      if (groups.back().Code == 0 && groups.back().Value == "EOF") break;
    }
    if (groups.empty()) Fail("the file is empty");
    return groups;
  }

 private:
  bool NextLine(std::string_view& line) {
    if (mPos >= mText.size()) return false;
    std::size_t end = mText.find('\n', mPos);
    if (end == std::string_view::npos) end = mText.size();
    line = mText.substr(mPos, end - mPos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    mPos = end + 1;
    ++mLine;
    return true;
  }

  static std::string Shorten(std::string_view text) {
    std::string shown(text.substr(0, 20));
    for (char& c : shown) {
      if (static_cast<unsigned char>(c) < 32) c = '?';
    }
    return shown;
  }

  std::string_view mText;
  const std::string& mFileName;
  std::size_t mPos = 0;
  std::size_t mLine = 0;
};

bool IsZero(const DxfGroup& g, std::string_view value) { return g.Code == 0 && g.Value == value; }

// Entities after which VERTEX, ATTRIB and SEQEND records belong to them.
bool OwnsSequence(const DxfRecord& record) {
  if (record.Type == "POLYLINE") return true;
  if (record.Type == "INSERT") {
    const std::string* follows = record.Find(66);
    return follows && ParseDxfInt(*follows).value_or(0) == 1;
  }
  return false;
}

class StructureReader {
 public:
  StructureReader(std::vector<DxfGroup> groups, GroupReader& reader)
      : mGroups(std::move(groups)), mReader(reader) {}

  DxfContent Read() {
    if (!IsZero(mGroups.front(), "SECTION")) {
      mReader.Fail("it does not begin with a SECTION");
    }
    while (mIndex < mGroups.size()) {
      const DxfGroup& g = mGroups[mIndex];
      if (IsZero(g, "EOF")) return std::move(mContent);
      if (!IsZero(g, "SECTION")) {
        mReader.Fail("expected SECTION or EOF at line " + std::to_string(g.Line));
      }
      ReadSection();
    }
    mReader.Fail("the file is truncated: no EOF");
  }

 private:
  // The record that starts at the current 0 group: its groups up to the next 0.
  DxfRecord ReadRecord() {
    DxfRecord record;
    record.Type = mGroups[mIndex].Value;
    record.Line = mGroups[mIndex].Line;
    ++mIndex;
    while (mIndex < mGroups.size() && mGroups[mIndex].Code != 0) {
      record.Groups.push_back(std::move(mGroups[mIndex]));
      ++mIndex;
    }
    if (mIndex >= mGroups.size()) mReader.Fail("the file is truncated: no EOF");
    return record;
  }

  void ReadSection() {
    std::size_t sectionLine = mGroups[mIndex].Line;
    DxfRecord header = ReadRecord();
    const std::string* name = header.Find(2);
    if (!name) mReader.Fail("SECTION without a name at line " + std::to_string(sectionLine));
    std::string section(TrimDxf(*name));
    std::vector<DxfRecord> records;
    while (!IsZero(mGroups[mIndex], "ENDSEC")) {
      if (IsZero(mGroups[mIndex], "SECTION") || IsZero(mGroups[mIndex], "EOF")) {
        mReader.Fail("section " + section + " is not closed with ENDSEC");
      }
      records.push_back(ReadRecord());
    }
    ++mIndex;  // ENDSEC
    if (section == "TABLES") TakeLayers(records);
    if (section == "BLOCKS") TakeBlocks(records);
    if (section == "ENTITIES")
      mContent.Entities = GroupSequences(std::move(records), 0, records.size());
  }

  void TakeLayers(std::vector<DxfRecord>& records) {
    for (DxfRecord& record : records) {
      if (record.Type == "LAYER") mContent.Layers.push_back(std::move(record));
    }
  }

  void TakeBlocks(std::vector<DxfRecord>& records) {
    std::size_t i = 0;
    while (i < records.size()) {
      if (records[i].Type != "BLOCK") {
        mReader.Fail("unexpected " + records[i].Type + " outside a block at line " +
                     std::to_string(records[i].Line));
      }
      std::size_t end = i + 1;
      while (end < records.size() && records[end].Type != "ENDBLK") {
        if (records[end].Type == "BLOCK") {
          mReader.Fail("block at line " + std::to_string(records[i].Line) + " has no ENDBLK");
        }
        ++end;
      }
      if (end == records.size()) {
        mReader.Fail("block at line " + std::to_string(records[i].Line) + " has no ENDBLK");
      }
      DxfBlockDefinition block;
      block.Entities = GroupSequences(std::move(records), i + 1, end);
      block.Header = std::move(records[i]);
      mContent.Blocks.push_back(std::move(block));
      i = end + 1;
    }
  }

  // Moves the records [first, last) into a list of entities, hanging each
  // VERTEX, ATTRIB and SEQEND on the entity whose sequence it belongs to.
  // Stray sequence records, which no drawing program could place, are dropped.
  static std::vector<DxfRecord> GroupSequences(std::vector<DxfRecord>&& records, std::size_t first,
                                               std::size_t last) {
    std::vector<DxfRecord> entities;
    bool sequenceOpen = false;
    for (std::size_t i = first; i < last; ++i) {
      DxfRecord& record = records[i];
      bool follower = record.Type == "VERTEX" || record.Type == "ATTRIB" || record.Type == "SEQEND";
      if (follower) {
        if (sequenceOpen) {
          entities.back().Followers.push_back(std::move(record));
          if (entities.back().Followers.back().Type == "SEQEND") sequenceOpen = false;
        }
        continue;
      }
      entities.push_back(std::move(record));
      sequenceOpen = OwnsSequence(entities.back());
    }
    return entities;
  }

  std::vector<DxfGroup> mGroups;
  GroupReader& mReader;
  std::size_t mIndex = 0;
  DxfContent mContent;
};

}  // namespace

const std::string* DxfRecord::Find(int code) const {
  for (const DxfGroup& g : Groups) {
    if (g.Code == code) return &g.Value;
  }
  return nullptr;
}

DxfContent ScanDxf(std::string_view text, const std::string& fileName) {
  GroupReader reader(text, fileName);
  if (text.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
    reader.Fail("binary DXF files are not supported; save the drawing as ASCII DXF");
  }
  if (text.find('\0') != std::string_view::npos) reader.Fail("the file contains binary data");
  if (TrimDxf(text).empty()) reader.Fail("the file is empty");
  StructureReader structure(reader.ReadAll(), reader);
  return structure.Read();
}

}  // namespace veerline::cad
