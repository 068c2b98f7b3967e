#include "cad/dxf/DxfEmitter.h"

#include <charconv>

#include "cad/dxf/DxfText.h"
#include "cad/dxf/ShortestReal.h"

namespace veerline::cad {

// Each group is put together in a small buffer of its own and appended to the
// output at once: the code, its line end, the value.
char* DxfEmitter::Code(char* at, int code) const {
  char digits[16];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, code);
  const std::size_t length = static_cast<std::size_t>(end - digits);
  if (mStyle.PaddedCodes)
    for (std::size_t pad = length; pad < 3; ++pad) *at++ = ' ';
  for (const char* c = digits; c != end; ++c) *at++ = *c;
  return End(at);
}

char* DxfEmitter::End(char* at) const {
  if (mStyle.CrLf) *at++ = '\r';
  *at++ = '\n';
  return at;
}

void DxfEmitter::Raw(int code, std::string_view value) {
  if (mDiscard) return;
  char head[kCodeChars];
  mOut.append(head, Code(head, code));
  const std::size_t start = mOut.size();
  mOut += value;
  for (std::size_t k = start; k < mOut.size(); ++k)
    if (mOut[k] == '\n' || mOut[k] == '\r') mOut[k] = ' ';
  char end[2];
  mOut.append(end, End(end));
}

void DxfEmitter::Text(int code, std::string_view utf8) {
  if (mDiscard) return;
  char head[kCodeChars];
  mOut.append(head, Code(head, code));
  mOut += EncodeDxfText(utf8, mUtf8);
  char end[2];
  mOut.append(end, End(end));
}

char* DxfEmitter::RealLine(char* at, int code, double value) const {
  if (value == 0) value = 0;  // no "-0"
  char* const number = Code(at, code);
  at = WriteShortestReal(number, value);
  // Some readers want a decimal point in a real: "12" becomes "12.0".
  bool marked = false;
  for (const char* c = number; c != at && !marked; ++c) marked = *c == '.' || *c == 'e' || *c == 'n';
  if (!marked) {
    *at++ = '.';
    *at++ = '0';
  }
  return End(at);
}

void DxfEmitter::Real(int code, double value) {
  if (mDiscard) return;
  char line[kRealLineChars];
  mOut.append(line, RealLine(line, code, value));
}

void DxfEmitter::Reals(int code, double value, int nextCode, double nextValue) {
  if (mDiscard) return;
  char lines[2 * kRealLineChars];
  mOut.append(lines, RealLine(RealLine(lines, code, value), nextCode, nextValue));
}

void DxfEmitter::Int(int code, long long value) {
  if (mDiscard) return;
  char line[kCodeChars + 32];
  char* const number = Code(line, code);
  mOut.append(line, End(std::to_chars(number, number + 24, value).ptr));
}

void DxfEmitter::Point(int code, const CadPoint& point) {
  Real(code, point.X);
  Real(code + 10, point.Y);
  Real(code + 20, point.Z);
}

}  // namespace veerline::cad
