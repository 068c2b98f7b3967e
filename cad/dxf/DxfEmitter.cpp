#include "cad/dxf/DxfEmitter.h"

#include <charconv>

#include "cad/dxf/DxfText.h"

namespace veerline::cad {

void DxfEmitter::Code(int code) {
  char text[16];
  auto [end, ec] = std::to_chars(text, text + sizeof text, code);
  std::size_t length = static_cast<std::size_t>(end - text);
  if (mStyle.PaddedCodes && length < 3) mOut.append(3 - length, ' ');
  mOut.append(text, length);
  End();
}

void DxfEmitter::End() { mOut += mStyle.CrLf ? "\r\n" : "\n"; }

void DxfEmitter::Raw(int code, std::string_view value) {
  if (mDiscard) return;
  Code(code);
  for (char c : value) mOut += (c == '\n' || c == '\r') ? ' ' : c;
  End();
}

void DxfEmitter::Text(int code, std::string_view utf8) {
  if (mDiscard) return;
  Code(code);
  mOut += EncodeDxfText(utf8, mUtf8);
  End();
}

void DxfEmitter::Real(int code, double value) {
  if (mDiscard) return;
  Code(code);
  if (value == 0) value = 0;  // no "-0"
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  std::string_view written(text, static_cast<std::size_t>(end - text));
  mOut += written;
  // Some readers want a decimal point in a real: "12" becomes "12.0".
  if (written.find_first_of(".eEn") == std::string_view::npos) mOut += ".0";
  End();
}

void DxfEmitter::Int(int code, long long value) {
  if (mDiscard) return;
  Code(code);
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  mOut.append(text, end);
  End();
}

void DxfEmitter::Point(int code, const CadPoint& point) {
  Real(code, point.X);
  Real(code + 10, point.Y);
  Real(code + 20, point.Z);
}

}  // namespace veerline::cad
