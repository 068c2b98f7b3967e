// Text values and their size on the drawing: MTEXT formatting codes and
// TEXT control codes turned into plain text, and the estimated length of a
// line, which fixes the box a painter fits its font into.

#include <array>
#include <cctype>
#include <cstdint>
#include <string>

#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {
namespace {

// Advance widths of the printable ASCII characters in thousandths of the em of
// a common sans-serif face, whose capitals stand 0.718 em tall.
constexpr std::array<std::uint16_t, 95> kAsciiWidths = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p..~
constexpr double kCapHeightEm = 0.718;

// The next code point of UTF-8 text; invalid bytes count as one character each.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto byte = static_cast<unsigned char>(text[i++]);
  if (byte < 0x80) return byte;
  int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
  std::uint32_t cp = byte & (0x3F >> extra);
  while (extra-- > 0 && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return cp;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Stacked text ("\S1/2;" and "\S1^2;") written on one line as "1/2".
std::size_t AppendStack(std::string_view raw, std::size_t i, std::string& out) {
  for (; i < raw.size() && raw[i] != ';'; ++i) {
    const char c = raw[i];
    if (c == '\\' && i + 1 < raw.size()) {
      out += raw[++i];
    } else {
      out += (c == '^' || c == '#') ? '/' : c;
    }
  }
  return i;
}

}  // namespace

double TextLength(std::string_view utf8, double height, double widthFactor) {
  double em = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::uint32_t cp = NextCodePoint(utf8, i);
    if (cp >= 32 && cp < 127) {
      em += kAsciiWidths[cp - 32];
    } else if (cp >= 0x2E80) {
      em += 1000;  // East Asian characters are square
    } else if (cp >= 32) {
      em += 556;
    }
  }
  return em / 1000 / kCapHeightEm * height * (widthFactor > 0 ? widthFactor : 1);
}

std::string PlainText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%' || i + 2 >= text.size() || text[i + 1] != '%') {
      out += text[i];
      continue;
    }
    const char code = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
    i += 2;
    if (code == 'd') {
      out += "\u00B0";
    } else if (code == 'p') {
      out += "\u00B1";
    } else if (code == 'c') {
      out += "\u2300";
    } else if (code == '%') {
      out += '%';
    } else if (code >= '0' && code <= '9' && i + 2 < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[i + 1])) &&
               std::isdigit(static_cast<unsigned char>(text[i + 2]))) {
      const int value = (code - '0') * 100 + (text[i + 1] - '0') * 10 + (text[i + 2] - '0');
      if (value >= 32 && value < 256) AppendUtf8(out, static_cast<std::uint32_t>(value));
      i += 2;
    }
    // %%u, %%o and %%k switch underline, overline and strike-through: not drawn.
  }
  return out;
}

std::string PlainMText(std::string_view raw) {
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '{' || c == '}') continue;
    if (c == '^' && i + 1 < raw.size()) {
      const char next = raw[++i];
      if (next == 'J' || next == 'M')
        out += '\n';
      else if (next == 'I')
        out += ' ';
      else if (next == ' ')
        out += '^';
      continue;
    }
    if (c != '\\' || i + 1 >= raw.size()) {
      out += c;
      continue;
    }
    const char code = raw[++i];
    switch (code) {
      case 'P':
      case 'X':
      case 'N':
        out += '\n';
        break;
      case '~':
        out += ' ';
        break;
      case '\\':
      case '{':
      case '}':
        out += code;
        break;
      case 'S':
        i = AppendStack(raw, i + 1, out);
        break;
      case 'L':
      case 'l':
      case 'O':
      case 'o':
      case 'K':
      case 'k':
        break;  // underline, overline, strike-through on and off
      case 'f':
      case 'F':
      case 'H':
      case 'W':
      case 'Q':
      case 'T':
      case 'A':
      case 'C':
      case 'c':
      case 'p':
        while (i < raw.size() && raw[i] != ';') ++i;  // a setting up to ';'
        break;
      default:
        out += code;
        break;
    }
  }
  return PlainText(out);
}

}  // namespace veerline::cad
