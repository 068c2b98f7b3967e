#include "cad/dxf/DxfTags.h"

#include <algorithm>
#include <cstring>

#include "cad/dxf/DxfError.h"
#include "cad/dxf/DxfNumber.h"

namespace veerline::cad {

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[noreturn]] void Fail(const std::string& fileName, const std::string& problem) {
  throw DxfError(fileName + ": not a DXF drawing (" + problem + ")");
}

std::string Shorten(std::string_view text) {
  std::string shown(text.substr(0, 20));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32) c = '?';
  }
  return shown;
}

// Reads a group code line quickly: blanks, an optional minus, digits, blanks.
bool ParseCode(std::string_view line, int& code) {
  std::size_t i = 0, n = line.size();
  while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
  bool negative = i < n && line[i] == '-';
  if (negative) ++i;
  std::size_t digits = 0;
  int value = 0;
  while (i < n && line[i] >= '0' && line[i] <= '9' && digits < 6) {
    value = value * 10 + (line[i] - '0');
    ++i;
    ++digits;
  }
  while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
  if (digits == 0 || i != n) return false;
  code = negative ? -value : value;
  return code >= -5 && code <= 1071;
}

}  // namespace

std::size_t LineAt(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

DxfTagText SplitDxfTags(std::string_view text, const std::string& fileName) {
  if (text.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
    Fail(fileName, "binary DXF files are not supported; save the drawing as ASCII DXF");
  }
  DxfTagText result;
  std::size_t pos = text.substr(0, 3) == kByteOrderMark ? 3 : 0;
  result.BodyBegin = pos;
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    Fail(fileName, "the file contains binary data");
  }
  if (TrimDxf(text.substr(pos)).empty()) Fail(fileName, "the file is empty");
  result.Tags.reserve(text.size() / 12 + 16);

  auto nextLine = [&](std::string_view& line) {
    if (pos >= text.size()) return false;
    const char* start = text.data() + pos;
    const void* found = std::memchr(start, '\n', text.size() - pos);
    std::size_t end = found
                          ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data())
                          : text.size();
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    return true;
  };

  std::string_view codeLine, value;
  bool first = true;
  while (true) {
    std::size_t begin = pos;
    if (!nextLine(codeLine)) break;
    DxfTag tag;
    tag.Begin = begin;
    if (!ParseCode(codeLine, tag.Code)) {
      if (TrimDxf(text.substr(begin)).empty()) break;  // blank lines at the end
      Fail(fileName, "bad group code '" + Shorten(codeLine) + "' at line " +
                         std::to_string(LineAt(text, begin)));
    }
    if (first && tag.Code != 999) {  // a comment's code line says nothing of the style
      std::size_t lineEnd = text.find('\n', begin);
      result.Style.CrLf =
          lineEnd != std::string_view::npos && lineEnd > begin && text[lineEnd - 1] == '\r';
      result.Style.PaddedCodes = !codeLine.empty() && codeLine.front() == ' ';
      first = false;
    }
    if (!nextLine(value)) {
      Fail(fileName, "the file is truncated: no value for the group code at line " +
                         std::to_string(LineAt(text, begin)));
    }
    tag.Value = tag.Code == 0 ? TrimDxf(value) : value;
    result.Tags.push_back(tag);
    if (tag.Code == 0 && tag.Value == "EOF") break;
  }
  if (result.Tags.empty()) Fail(fileName, "the file is empty");
  return result;
}

}  // namespace veerline::cad
