#include "run/JsonStream.h"

#include <charconv>
#include <cmath>

namespace veerline {
namespace {
constexpr std::size_t kPieceSize = 256 * 1024;
}  // namespace

JsonStream::JsonStream(const SavePieces& sink) : sink_(sink) { buffer_.reserve(kPieceSize + 4096); }

void JsonStream::Finish() {
  if (!buffer_.empty()) sink_(buffer_);
  buffer_.clear();
}

void JsonStream::FlushIfFull() {
  if (buffer_.size() >= kPieceSize) Finish();
}

void JsonStream::Raw(std::string_view text) {
  buffer_.append(text);
  FlushIfFull();
}

void JsonStream::Indent(int level) { buffer_.append(static_cast<std::size_t>(level), ' '); }

void JsonStream::Number(double value) {
  if (!std::isfinite(value)) {
    buffer_.append("null");
  } else {
    // nlohmann's own formatter: Grisu2 digits, ".0" after a whole number,
    // an exponent outside 1e-5..1e15, exactly as a dumped tree has them.
    char digits[64];
    const char* end = nlohmann::detail::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, static_cast<std::size_t>(end - digits));
  }
  FlushIfFull();
}

void JsonStream::Integer(long long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, static_cast<std::size_t>(result.ptr - digits));
  FlushIfFull();
}

void JsonStream::Value(const nlohmann::json& value, int level) {
  // A dump holds no raw line breaks but its own (strings escape theirs), so
  // indenting after each one places the value at `level`.
  const std::string text = value.dump(1);
  std::size_t from = 0;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
    buffer_.append(text, from, at + 1 - from);
    Indent(level);
    from = at + 1;
  }
  buffer_.append(text, from, std::string::npos);
  FlushIfFull();
}

void JsonStream::Begin(int level) {
  Raw("{");
  open_.push_back({level, false});
}

void JsonStream::Member(std::string_view key) {
  Open& object = open_.back();
  buffer_.append(object.hasMember ? ",\n" : "\n");
  object.hasMember = true;
  Indent(object.level + 1);
  buffer_.push_back('"');
  buffer_.append(key);  // keys are the report's own, with nothing to escape
  buffer_.append("\": ");
}

void JsonStream::End() {
  const Open object = open_.back();
  open_.pop_back();
  if (object.hasMember) {
    buffer_.push_back('\n');
    Indent(object.level);
  }
  Raw("}");
}

void JsonStream::Numbers(const double* values, std::size_t count, int level) {
  Array(count, level, [&](std::size_t i, int) { Number(values[i]); });
}

}  // namespace veerline
