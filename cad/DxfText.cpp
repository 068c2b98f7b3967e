#include "cad/DxfText.h"

#include <cstdint>
#include <cstdio>

#include "engine/TextCoding.h"

namespace veerline::cad {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A "\U+XXXX" escape at text[i], or nothing.
bool ReadEscape(std::string_view text, std::size_t i, char32_t& c) {
  if (i + 7 > text.size() || text[i] != '\\' || (text[i + 1] != 'U' && text[i + 1] != 'u') ||
      text[i + 2] != '+') {
    return false;
  }
  c = 0;
  for (std::size_t k = i + 3; k < i + 7; ++k) {
    int digit = HexDigit(text[k]);
    if (digit < 0) return false;
    c = c * 16 + static_cast<char32_t>(digit);
  }
  return true;
}

}  // namespace

std::string DecodeDxfText(std::string_view raw, bool utf8File) {
  std::string out;
  out.reserve(raw.size());
  std::size_t i = 0;
  while (i < raw.size()) {
    char32_t c;
    if (raw[i] == '\\' && ReadEscape(raw, i, c)) {
      AppendUtf8(out, (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
      i += 7;
      continue;
    }
    unsigned char b = static_cast<unsigned char>(raw[i]);
    if (b < 0x80) {
      out += raw[i++];
    } else if (utf8File) {
      AppendUtf8(out, NextUtf8(raw, i).value_or(0xFFFD));
    } else {
      AppendUtf8(out, Cp1252CodePoint(b));
      ++i;
    }
  }
  return out;
}

std::string EncodeDxfText(std::string_view utf8, bool utf8File) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      // A value must stay on its line.
      out += (b == '\n' || b == '\r') ? ' ' : utf8[i];
      ++i;
      continue;
    }
    char32_t c = NextUtf8(utf8, i).value_or(0xFFFD);
    if (utf8File) {
      AppendUtf8(out, c);
    } else if (c < 0x10000) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += '?';
    }
  }
  return out;
}

}  // namespace veerline::cad
