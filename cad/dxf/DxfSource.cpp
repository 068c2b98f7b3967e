#include "cad/dxf/DxfSource.h"

#include <charconv>

#include "cad/dxf/DxfError.h"
#include "cad/dxf/DxfNumber.h"

namespace veerline::cad {

namespace {

bool IsZero(const DxfTag& tag, std::string_view value) {
  return tag.Code == 0 && tag.Value == value;
}

constexpr int kCommentCode = 999;

// The first tag at or after `i` that is no comment.
std::size_t SkipComments(const std::vector<DxfTag>& tags, std::size_t i) {
  while (i < tags.size() && tags[i].Code == kCommentCode) ++i;
  return i;
}

// The file's text with an EOF record after its last section, in the file's
// own line style, for a file that ends without one.
void AppendEof(std::string& text, const DxfLineStyle& style) {
  const char* end = style.CrLf ? "\r\n" : "\n";
  if (!text.empty() && text.back() != '\n') text += end;
  text += style.PaddedCodes ? "  0" : "0";
  text += end;
  text += "EOF";
  text += end;
}

}  // namespace

DxfVersion VersionFromName(std::string_view acadver) {
  acadver = TrimDxf(acadver);
  if (acadver == "AC1012") return DxfVersion::R13;
  if (acadver == "AC1014") return DxfVersion::R14;
  if (acadver == "AC1015") return DxfVersion::R2000;
  if (acadver == "AC1018") return DxfVersion::R2004;
  if (acadver == "AC1021") return DxfVersion::R2007;
  if (acadver == "AC1024") return DxfVersion::R2010;
  if (acadver == "AC1027") return DxfVersion::R2013;
  if (acadver.size() == 6 && acadver.substr(0, 2) == "AC" && acadver > "AC1027") {
    return DxfVersion::R2018;
  }
  return DxfVersion::R12;
}

std::string_view VersionName(DxfVersion version) {
  switch (version) {
    case DxfVersion::R12:
      return "AC1009";
    case DxfVersion::R13:
      return "AC1012";
    case DxfVersion::R14:
      return "AC1014";
    case DxfVersion::R2000:
      return "AC1015";
    case DxfVersion::R2004:
      return "AC1018";
    case DxfVersion::R2007:
      return "AC1021";
    case DxfVersion::R2010:
      return "AC1024";
    case DxfVersion::R2013:
      return "AC1027";
    case DxfVersion::R2018:
      return "AC1032";
  }
  return "AC1015";
}

std::optional<std::uint64_t> ParseHandle(std::string_view text) {
  text = TrimDxf(text);
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string FormatHandle(std::uint64_t value) {
  char text[24];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value, 16);
  std::string handle(text, end);
  for (char& c : handle) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return handle;
}

std::shared_ptr<const DxfSource> DxfSource::Parse(std::string text, const std::string& fileName) {
  auto source = std::make_shared<DxfSource>();
  source->mText = std::move(text);
  DxfTagText split = SplitDxfTags(source->mText, fileName);
  if (!split.Tags.empty() && !IsZero(split.Tags.back(), "EOF") && split.Tags.size() >= 2 &&
      IsZero(split.Tags.back(), "ENDSEC")) {
    // Some writers stop after the last ENDSEC: the drawing is whole, and it
    // is written back with the EOF it lacks.
    AppendEof(source->mText, split.Style);
    split = SplitDxfTags(source->mText, fileName);
  }
  source->mTags = std::move(split.Tags);
  source->mStyle = split.Style;
  source->Index(fileName);
  return source;
}

const DxfSection* DxfSource::FindSection(std::string_view name) const {
  for (const DxfSection& section : mSections) {
    if (section.Name == name) return &section;
  }
  return nullptr;
}

const DxfTable* DxfSource::FindTable(std::string_view name) const {
  for (const DxfTable& table : mTables) {
    if (table.Name == name) return &table;
  }
  return nullptr;
}

std::size_t DxfSource::RecordEnd(std::size_t first) const {
  std::size_t i = first + 1;
  while (i < mTags.size() && mTags[i].Code != 0) ++i;
  return i;
}

std::span<const DxfTag> DxfSource::Record(std::size_t first) const {
  return std::span<const DxfTag>(mTags).subspan(first, RecordEnd(first) - first);
}

std::span<const DxfTag> DxfSource::HeaderVariable(std::string_view name) const {
  for (const auto& [variable, first] : mHeaderVariables) {
    if (variable != name) continue;
    std::size_t end = first;
    while (end < mTags.size() && mTags[end].Code != 9 && mTags[end].Code != 0) ++end;
    return std::span<const DxfTag>(mTags).subspan(first, end - first);
  }
  return {};
}

std::optional<double> DxfSource::HeaderReal(std::string_view name) const {
  std::span<const DxfTag> tags = HeaderVariable(name);
  if (tags.empty()) return std::nullopt;
  return ParseDxfReal(tags.front().Value);
}

std::size_t DxfSource::OffsetOf(std::size_t tag) const {
  return tag < mTags.size() ? mTags[tag].Begin : mText.size();
}

// Finds the sections, tables and header variables, checking the structure on
// the way: sections closed, blocks closed, EOF present.
void DxfSource::Index(const std::string& fileName) {
  auto fail = [&](const std::string& problem) -> void {
    throw DxfError(fileName + ": not a DXF drawing (" + problem + ")");
  };
  auto lineOf = [&](std::size_t tag) { return std::to_string(LineAt(mText, mTags[tag].Begin)); };
  const std::size_t n = mTags.size();
  // Comments (999) may stand before, between and inside the sections.
  std::size_t i = SkipComments(mTags, 0);
  if (i == n) fail("the file holds only comments");
  if (!IsZero(mTags[i], "SECTION")) fail("it does not begin with a SECTION");
  bool sawEof = false;
  while ((i = SkipComments(mTags, i)) < n) {
    if (IsZero(mTags[i], "EOF")) {
      sawEof = true;
      break;
    }
    if (!IsZero(mTags[i], "SECTION")) {
      fail("groups outside any section at line " + lineOf(i) +
           "; the file is damaged, a CAD program's recover command may repair it");
    }
    DxfSection section;
    section.Head = i;
    std::size_t headEnd = RecordEnd(i);
    for (std::size_t k = i + 1; k < headEnd; ++k) {
      if (mTags[k].Code == 2) {
        section.Name = std::string(TrimDxf(mTags[k].Value));
        break;
      }
    }
    if (section.Name.empty()) fail("SECTION without a name at line " + lineOf(i));
    std::size_t k = headEnd;
    while (k < n && !IsZero(mTags[k], "ENDSEC")) {
      if (IsZero(mTags[k], "SECTION") || IsZero(mTags[k], "EOF")) {
        fail("section " + section.Name + " is not closed with ENDSEC");
      }
      k = RecordEnd(k);
    }
    if (k >= n) fail("the file is truncated: section " + section.Name + " has no ENDSEC");
    section.EndSec = k;
    mSections.push_back(section);
    i = k + 1;
  }
  if (!sawEof) fail("the file is truncated: no EOF");

  for (const DxfSection& section : mSections) {
    if (section.Name == "HEADER") {
      for (std::size_t k = section.Head; k < section.EndSec; ++k) {
        if (mTags[k].Code == 9) mHeaderVariables.emplace_back(TrimDxf(mTags[k].Value), k + 1);
      }
    } else if (section.Name == "TABLES") {
      DxfTable* open = nullptr;
      for (std::size_t k = RecordEnd(section.Head); k < section.EndSec; k = RecordEnd(k)) {
        if (IsZero(mTags[k], "TABLE")) {
          mTables.push_back({});
          open = &mTables.back();
          open->Head = k;
          for (std::size_t g = k + 1; g < RecordEnd(k); ++g) {
            if (mTags[g].Code == 2 && open->Name.empty()) open->Name = TrimDxf(mTags[g].Value);
            if (mTags[g].Code == 5 && open->Handle.empty()) open->Handle = TrimDxf(mTags[g].Value);
            if (mTags[g].Code == 70 && open->CountTag == kNoTag) open->CountTag = g;
          }
        } else if (IsZero(mTags[k], "ENDTAB")) {
          if (open) open->EndTab = k;
          open = nullptr;
        } else if (open) {
          open->Records.push_back(k);
        }
      }
      if (open) fail("table " + open->Name + " is not closed with ENDTAB");
    } else if (section.Name == "BLOCKS") {
      bool inBlock = false;
      std::size_t blockStart = 0;
      for (std::size_t k = RecordEnd(section.Head); k < section.EndSec; k = RecordEnd(k)) {
        if (IsZero(mTags[k], "BLOCK")) {
          if (inBlock) fail("block at line " + lineOf(blockStart) + " has no ENDBLK");
          inBlock = true;
          blockStart = k;
        } else if (IsZero(mTags[k], "ENDBLK")) {
          if (!inBlock) fail("ENDBLK without a BLOCK at line " + lineOf(k));
          inBlock = false;
        } else if (!inBlock) {
          fail("unexpected " + std::string(mTags[k].Value) + " outside a block at line " +
               lineOf(k));
        }
      }
      if (inBlock) fail("block at line " + lineOf(blockStart) + " has no ENDBLK");
    }
  }

  if (auto acadver = HeaderVariable("$ACADVER"); !acadver.empty()) {
    mVersion = VersionFromName(acadver.front().Value);
  }
  if (auto codepage = HeaderVariable("$DWGCODEPAGE"); !codepage.empty()) {
    mCodePage = std::string(TrimDxf(codepage.front().Value));
  }
  mCoding = mVersion >= DxfVersion::R2007 ? DxfTextCoding::Utf8()
                                          : DxfTextCoding::ForCodePage(mCodePage);
  // Handles: every 5 (and a dimension style's 105) outside the header, and the seed.
  std::size_t bodyStart = 0;
  if (const DxfSection* header = FindSection("HEADER")) bodyStart = header->EndSec;
  for (std::size_t k = bodyStart; k < n; ++k) {
    if (mTags[k].Code != 5 && mTags[k].Code != 105) continue;
    mHasHandles = true;
    if (auto value = ParseHandle(mTags[k].Value); value && *value < UINT64_MAX / 2) {
      mHandleFloor = std::max(mHandleFloor, *value + 1);
    }
  }
  if (auto seed = HeaderVariable("$HANDSEED"); !seed.empty()) {
    if (auto value = ParseHandle(seed.front().Value); value && *value < UINT64_MAX / 2) {
      mHandleFloor = std::max(mHandleFloor, *value);
    }
  }
  if (auto handling = HeaderVariable("$HANDLING"); !handling.empty()) {
    if (ParseDxfInt(handling.front().Value).value_or(1) == 0) mHasHandles = false;
  }
}

}  // namespace veerline::cad
