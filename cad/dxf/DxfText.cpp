#include "cad/dxf/DxfText.h"

#include <algorithm>
#include <cctype>
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

// A "\M+nXXXX" escape at text[i]: the double-byte character XXXX of the
// Asian code page n, as UTF-8; nothing when it is no such escape.
bool ReadMultibyteEscape(std::string_view text, std::size_t i, std::string& out) {
  if (i + 8 > text.size() || text[i] != '\\' || (text[i + 1] != 'M' && text[i + 1] != 'm') ||
      text[i + 2] != '+') {
    return false;
  }
  int page = text[i + 3] - '0';
  if (page < 1 || page > 5) return false;
  char bytes[2];
  for (int k = 0; k < 2; ++k) {
    int high = HexDigit(text[i + 4 + 2 * k]), low = HexDigit(text[i + 5 + 2 * k]);
    if (high < 0 || low < 0) return false;
    bytes[k] = static_cast<char>(high * 16 + low);
  }
  static const std::shared_ptr<const CodePageConverter> kConverters[] = {
      nullptr,
      CodePageConverter::Open(932),
      CodePageConverter::Open(950),
      CodePageConverter::Open(949),
      CodePageConverter::Open(1361),
      CodePageConverter::Open(936)};
  if (!kConverters[page]) return false;  // kept as written
  out += kConverters[page]->ToUtf8(std::string_view(bytes, 2));
  return true;
}

}  // namespace

DxfTextCoding DxfTextCoding::Utf8() {
  DxfTextCoding coding;
  coding.mUtf8 = true;
  return coding;
}

DxfTextCoding DxfTextCoding::ForCodePage(std::string_view dwgCodePage) {
  DxfTextCoding coding;
  int number = DwgCodePageNumber(dwgCodePage);
  // 1252 keeps its own table: it gives every byte a character, so text that
  // is edited and written back keeps bytes the code page leaves undefined.
  if (number != 0 && number != 1252) coding.mConverter = CodePageConverter::Open(number);
  return coding;
}

int DxfTextCoding::CodePage() const {
  if (mUtf8) return 65001;
  return mConverter ? mConverter->CodePage() : 1252;
}

std::string DxfTextCoding::BytesToUtf8(std::string_view bytes) const {
  std::string out;
  if (mUtf8) {
    for (std::size_t i = 0; i < bytes.size();) AppendUtf8(out, NextUtf8(bytes, i).value_or(0xFFFD));
  } else if (mConverter) {
    out = mConverter->ToUtf8(bytes);
  } else {
    for (char b : bytes) AppendUtf8(out, Cp1252CodePoint(static_cast<std::uint8_t>(b)));
  }
  return out;
}

int DwgCodePageNumber(std::string_view name) {
  std::string upper;
  for (char c : name) {
    if (c != ' ' && c != '\t' && c != '\r') {
      upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  auto numberAfter = [&](std::string_view prefix) {
    if (upper.rfind(prefix, 0) != 0 || upper.size() == prefix.size()) return 0;
    int number = 0;
    for (char c : upper.substr(prefix.size())) {
      if (c < '0' || c > '9' || number > 100000) return 0;
      number = number * 10 + (c - '0');
    }
    return number;
  };
  if (int n = numberAfter("ANSI_")) return n;
  if (int n = numberAfter("DOS")) return n;
  if (int n = numberAfter("ISO8859-")) return n <= 16 ? 28590 + n : 0;
  if (upper == "MACINTOSH" || upper == "MAC-ROMAN") return 10000;
  if (upper == "BIG5") return 950;
  if (upper == "GB2312") return 936;
  if (upper == "KSC5601") return 949;
  if (upper == "JOHAB") return 1361;
  if (upper == "UTF8" || upper == "UTF-8") return 65001;
  return 0;
}

std::string DecodeDxfText(std::string_view raw, const DxfTextCoding& coding) {
  std::string out;
  out.reserve(raw.size());
  std::size_t i = 0, plain = 0;  // raw[plain, i) is text not yet decoded
  auto flush = [&] {
    std::string_view text = raw.substr(plain, i - plain);
    bool ascii = std::all_of(text.begin(), text.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    out += ascii ? std::string(text) : coding.BytesToUtf8(text);
  };
  while (i < raw.size()) {
    if (raw[i] == '\\') {
      char32_t c;
      std::string escaped;
      std::size_t length = 0;
      if (ReadEscape(raw, i, c)) {
        AppendUtf8(escaped, (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c);
        length = 7;
      } else if (ReadMultibyteEscape(raw, i, escaped)) {
        length = 8;
      }
      if (length != 0) {
        flush();
        out += escaped;
        plain = i += length;
        continue;
      }
    }
    ++i;
  }
  flush();
  return out;
}

std::string DecodeDxfText(std::string_view raw, bool utf8File) {
  static const DxfTextCoding kUtf8 = DxfTextCoding::Utf8(), kCp1252;
  return DecodeDxfText(raw, utf8File ? kUtf8 : kCp1252);
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
