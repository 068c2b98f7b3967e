#include "cad/DxfText.h"

#include <cstdint>
#include <cstdio>

namespace veerline::cad {

namespace {

// Code page 1252's characters 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// One UTF-8 character at text[i]; advances i. U+FFFD for a malformed one.
char32_t NextUtf8(std::string_view text, std::size_t& i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  int extra = b < 0x80             ? 0
              : (b & 0xE0) == 0xC0 ? 1
              : (b & 0xF0) == 0xE0 ? 2
              : (b & 0xF8) == 0xF0 ? 3
                                   : -1;
  if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    unsigned char next = byte(i + static_cast<std::size_t>(k));
    if ((next & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (next & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  bool overlong =
      (extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
  return c;
}

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
      AppendUtf8(out, NextUtf8(raw, i));
    } else {
      AppendUtf8(out, b < 0xA0 ? kCp1252High[b - 0x80] : b);
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
    char32_t c = NextUtf8(utf8, i);
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
