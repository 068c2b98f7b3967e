#pragma once

// Writes groups as DXF text in a file's own line style, numbers with a point
// whatever the locale, texts in the file's encoding.

#include <string>
#include <string_view>

#include "cad/dxf/CadEntityInterface.h"
#include "cad/dxf/DxfTags.h"
#include "cad/dxf/ShortestReal.h"

namespace veerline::cad {

class DxfEmitter {
 public:
  DxfEmitter(DxfLineStyle style, bool utf8) : mStyle(style), mUtf8(utf8) {}

  // A value written as it is (names of types, handles, subclass markers).
  void Raw(int code, std::string_view value);
  // A text value, encoded for the file; line breaks become blanks.
  void Text(int code, std::string_view utf8);
  void Real(int code, double value);
  // Two reals at once (the X and Y of a vertex): one append instead of two.
  void Reals(int code, double value, int nextCode, double nextValue);
  void Int(int code, long long value);
  void Point(int code, const CadPoint& point);

  // From now on nothing is kept: a dry run that only counts handles.
  void Discard() { mDiscard = true; }

  std::string& Out() { return mOut; }
  std::string Take() { return std::move(mOut); }

 private:
  // Room for a group code and its line end.
  static constexpr std::size_t kCodeChars = 16;
  // Writes the code (padded if the file pads) and its line end at `at`;
  // returns the end of what it wrote.
  char* Code(char* at, int code) const;
  char* End(char* at) const;
  // Room for a group of a real: code, line end, the number with ".0", line end.
  static constexpr std::size_t kRealLineChars = kCodeChars + kShortestRealChars + 8;
  // Writes the group of a real at `at`; returns the end of what it wrote.
  char* RealLine(char* at, int code, double value) const;

  DxfLineStyle mStyle;
  bool mUtf8;
  bool mDiscard = false;
  std::string mOut;
};

}  // namespace veerline::cad
