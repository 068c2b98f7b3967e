#pragma once

// Text values of drawing files: UTF-8 from R2007 on, a Windows code page
// before, and in both "\U+XXXX" escapes for characters the encoding lacks.
// Inside Veerline every text is UTF-8.

#include <string>
#include <string_view>

namespace veerline::cad {

// The value as UTF-8: decoded from the file's encoding, escapes resolved.
// Bytes that do not decode become U+FFFD; nothing is dropped.
std::string DecodeDxfText(std::string_view raw, bool utf8File);

// UTF-8 text for a file: unchanged for a UTF-8 file; for older files every
// character beyond ASCII as a "\U+XXXX" escape, which every reader takes.
std::string EncodeDxfText(std::string_view utf8, bool utf8File);

}  // namespace veerline::cad
