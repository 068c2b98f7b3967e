#pragma once

// A DXF file as it was read: its whole text and the tags that split it,
// with the places of its sections, tables and header variables. The drawing
// keeps it unchanged; writing puts it back byte for byte, with additions
// merged in at the places recorded here.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cad/dxf/DxfTags.h"
#include "cad/dxf/DxfText.h"

namespace veerline::cad {

inline constexpr std::size_t kNoTag = static_cast<std::size_t>(-1);

// The file format versions, by the $ACADVER value that names them.
enum class DxfVersion { R12, R13, R14, R2000, R2004, R2007, R2010, R2013, R2018 };

// "AC1015" and so on; anything older than R13 counts as R12.
DxfVersion VersionFromName(std::string_view acadver);
std::string_view VersionName(DxfVersion version);

struct DxfSection {
  std::string Name;
  std::size_t Head = 0;    // tag index of 0/SECTION
  std::size_t EndSec = 0;  // tag index of 0/ENDSEC
};

// A table of the TABLES section: its head record and its records.
struct DxfTable {
  std::string Name;
  std::size_t Head = 0;              // tag index of 0/TABLE
  std::size_t EndTab = 0;            // tag index of 0/ENDTAB
  std::size_t CountTag = kNoTag;     // tag index of the head's 70 group
  std::string_view Handle;           // the head's handle, empty when it has none
  std::vector<std::size_t> Records;  // tag index of each record's 0 tag
};

class DxfSource {
 public:
  // Takes the text, splits and checks it. Throws DxfError naming the file.
  static std::shared_ptr<const DxfSource> Parse(std::string text, const std::string& fileName);

  const std::string& Text() const { return mText; }
  const std::vector<DxfTag>& Tags() const { return mTags; }
  const DxfLineStyle& Style() const { return mStyle; }
  const std::vector<DxfSection>& Sections() const { return mSections; }
  const DxfSection* FindSection(std::string_view name) const;
  const std::vector<DxfTable>& Tables() const { return mTables; }
  const DxfTable* FindTable(std::string_view name) const;

  // Index of the 0 tag that follows the record starting at `first`.
  std::size_t RecordEnd(std::size_t first) const;
  // The tags of one record, its 0 tag first.
  std::span<const DxfTag> Record(std::size_t first) const;
  // The tags of a header variable after its 9 tag; empty when absent.
  std::span<const DxfTag> HeaderVariable(std::string_view name) const;
  std::optional<double> HeaderReal(std::string_view name) const;

  DxfVersion Version() const { return mVersion; }
  // Text values are UTF-8 from R2007 on; before, this code page ("ANSI_1252").
  const std::string& CodePage() const { return mCodePage; }
  // How the text values are encoded: by version and code page.
  const DxfTextCoding& Coding() const { return mCoding; }
  // Whether the drawing's records carry handles.
  bool HasHandles() const { return mHasHandles; }
  // One above the largest handle in the file and its $HANDSEED.
  std::uint64_t HandleFloor() const { return mHandleFloor; }
  // Byte offset where the text of a tag's code line begins; the text's end for kNoTag.
  std::size_t OffsetOf(std::size_t tag) const;

 private:
  void Index(const std::string& fileName);

  std::string mText;
  std::vector<DxfTag> mTags;
  DxfLineStyle mStyle;
  std::vector<DxfSection> mSections;
  std::vector<DxfTable> mTables;
  std::vector<std::pair<std::string_view, std::size_t>> mHeaderVariables;  // name, first tag
  DxfVersion mVersion = DxfVersion::R12;
  std::string mCodePage = "ANSI_1252";
  DxfTextCoding mCoding;
  bool mHasHandles = false;
  std::uint64_t mHandleFloor = 1;
};

// A handle's value, or nothing for text that is no hexadecimal handle of at
// most 16 digits (wider handles are kept as text, never parsed).
std::optional<std::uint64_t> ParseHandle(std::string_view text);
std::string FormatHandle(std::uint64_t value);

}  // namespace veerline::cad
