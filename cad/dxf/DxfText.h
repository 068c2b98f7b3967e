#pragma once

// Text values of drawing files: UTF-8 from R2007 on, a code page before
// (the header's $DWGCODEPAGE), and in both "\U+XXXX" escapes for characters
// the encoding lacks and "\M+nXXXX" escapes for double-byte characters of an
// Asian code page. Inside Veerline every text is UTF-8.

#include <memory>
#include <string>
#include <string_view>

#include "engine/CodePageConverter.h"

namespace veerline::cad {

// How one file's text values are encoded.
class DxfTextCoding {
 public:
  // Code page 1252, the default of drawings that name none.
  DxfTextCoding() = default;
  static DxfTextCoding Utf8();
  // For a file before R2007 by its $DWGCODEPAGE ("ANSI_1251", "dos932"...).
  // A code page that is unknown or missing on the system reads as 1252.
  static DxfTextCoding ForCodePage(std::string_view dwgCodePage);

  bool IsUtf8() const { return mUtf8; }
  // The Windows code page number; 65001 for UTF-8.
  int CodePage() const;
  // Bytes beyond ASCII of a value in this encoding, as UTF-8.
  std::string BytesToUtf8(std::string_view bytes) const;

 private:
  bool mUtf8 = false;
  std::shared_ptr<const CodePageConverter> mConverter;  // none: code page 1252
};

// The Windows code page a $DWGCODEPAGE value names, 0 when it names none.
int DwgCodePageNumber(std::string_view dwgCodePage);

// The value as UTF-8: decoded from the file's encoding, escapes resolved.
// Bytes that do not decode become U+FFFD; nothing is dropped.
std::string DecodeDxfText(std::string_view raw, const DxfTextCoding& coding);
// The same for a UTF-8 file or one in code page 1252.
std::string DecodeDxfText(std::string_view raw, bool utf8File);

// UTF-8 text for a file: unchanged for a UTF-8 file; for older files every
// character beyond ASCII as a "\U+XXXX" escape, which every reader takes
// whatever the file's code page.
std::string EncodeDxfText(std::string_view utf8, bool utf8File);

}  // namespace veerline::cad
