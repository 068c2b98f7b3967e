#pragma once

// The tag layer: a DXF text split into group code/value pairs. Values are
// views into the text, which the caller keeps alive; nothing is copied, so a
// large drawing is split in one pass.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veerline::cad {

struct DxfTag {
  int Code = 0;
  // The value line without its line end; for code 0 also without blanks.
  std::string_view Value;
  // Offset in the text of the first character of the code line.
  std::size_t Begin = 0;
};

// How the file writes its lines, so that what is added looks like the rest.
struct DxfLineStyle {
  bool CrLf = false;         // lines end in CR LF
  bool PaddedCodes = false;  // group codes right-aligned in three columns ("  0")
};

struct DxfTagText {
  std::vector<DxfTag> Tags;   // up to and including 0/EOF
  std::size_t BodyBegin = 0;  // offset of the first tag, after any byte-order mark
  DxfLineStyle Style;
};

// Splits the text into tags. Throws DxfError naming the file for binary,
// empty or truncated text and for lines that are not group codes. Lines may
// be of any length; a UTF-8 byte-order mark and CR LF line ends are accepted.
DxfTagText SplitDxfTags(std::string_view text, const std::string& fileName);

// The line number (from 1) of an offset in the text, for messages.
std::size_t LineAt(std::string_view text, std::size_t offset);

}  // namespace veerline::cad
