#include "engine/NumberRule.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace veerline {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Copies the digits of a run into out; returns how many digits there were.
std::size_t TakeDigits(std::string_view& rest, std::string& out) {
  std::size_t digits = 0;
  while (!rest.empty() && IsDigit(rest.front())) {
    out.push_back(rest.front());
    rest.remove_prefix(1);
    ++digits;
  }
  return digits;
}

// Copies the integer part into out. A grouping symbol is taken only where it
// separates groups of three digits ("1.234.567"); anywhere else the text is
// not a number, so that "6.6" typed under a decimal comma is refused instead of
// being read as 66. Returns the digit count, or nothing for misplaced grouping.
std::optional<std::size_t> TakeIntegerPart(std::string_view& rest, std::string& out,
                                           std::string_view grouping) {
  std::size_t digits = TakeDigits(rest, out);
  if (grouping.empty() || digits == 0 || !rest.starts_with(grouping)) return digits;
  if (digits > 3) return std::nullopt;
  while (rest.starts_with(grouping)) {
    rest.remove_prefix(grouping.size());
    const std::size_t group = TakeDigits(rest, out);
    if (group != 3) return std::nullopt;
    digits += group;
  }
  return digits;
}

}  // namespace

std::optional<double> TryParseFieldNumber(std::string_view text, const NumberSymbols& symbols) {
  std::string_view rest = Trim(text);
  std::string plain;  // the number in C syntax
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    if (rest.front() == '-') plain.push_back('-');
    rest.remove_prefix(1);
  }
  const std::optional<std::size_t> integerDigits = TakeIntegerPart(rest, plain, symbols.grouping);
  if (!integerDigits) return std::nullopt;
  std::size_t digits = *integerDigits;
  if (!symbols.decimal.empty() && rest.starts_with(symbols.decimal)) {
    rest.remove_prefix(symbols.decimal.size());
    plain.push_back('.');
    digits += TakeDigits(rest, plain);
  }
  if (digits == 0) return std::nullopt;
  if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
    rest.remove_prefix(1);
    plain.push_back('e');
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
      plain.push_back(rest.front());
      rest.remove_prefix(1);
    }
    if (TakeDigits(rest, plain) == 0) return std::nullopt;
  }
  if (!rest.empty()) return std::nullopt;

  double value = 0.0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double ParseFieldNumber(std::string_view text, const NumberSymbols& symbols) {
  if (auto value = TryParseFieldNumber(text, symbols)) return *value;
  throw ConversionError{};
}

std::string FormatFieldNumber(double value, const NumberSymbols& symbols) {
  if (value == 0.0) return "0";  // also -0
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '.')
      out += symbols.decimal;
    else if (c == 'e')
      out.push_back('E');
    else
      out.push_back(c);
  }
  return out;
}

}  // namespace veerline
