#include "engine/number_text.h"

#include <cstdint>
#include <string>

namespace rw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A parsed decimal: value = digits * 10^exponent, digits without leading
// zeros (empty for zero).
struct Decimal {
  bool negative = false;
  std::string_view intDigits;
  std::string_view fracDigits;
  std::int64_t exponent = 0;
};

// Keeps huge exponents finite; anything past this is far outside 16 bits or
// far below one half.
constexpr std::int64_t kExponentCap = std::int64_t{1} << 40;

std::optional<Decimal> Parse(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  Decimal d;
  if (i < n && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
  size_t start = i;
  while (i < n && IsDigit(text[i])) ++i;
  d.intDigits = text.substr(start, i - start);
  if (i < n && text[i] == '.') {
    start = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    d.fracDigits = text.substr(start, i - start);
  }
  if (d.intDigits.empty() && d.fracDigits.empty()) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    if (i == n || !IsDigit(text[i])) return std::nullopt;
    while (i < n && IsDigit(text[i])) {
      if (d.exponent < kExponentCap) d.exponent = d.exponent * 10 + (text[i] - '0');
      ++i;
    }
    if (negativeExponent) d.exponent = -d.exponent;
  }
  if (i != n) return std::nullopt;
  return d;
}

}  // namespace

bool IsNumeric(std::string_view text) { return Parse(text).has_value(); }

std::optional<std::int16_t> RoundToInt16(std::string_view text) {
  const auto d = Parse(text);
  if (!d) return std::nullopt;
  // All significant digits in one string; the decimal point sits after
  // `point` of them (may be negative or beyond the end).
  std::string digits(d->intDigits);
  digits.append(d->fracDigits);
  std::int64_t point = static_cast<std::int64_t>(d->intDigits.size()) + d->exponent;
  const size_t firstNonZero = digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return std::int16_t{0};
  digits.erase(0, firstNonZero);
  point -= static_cast<std::int64_t>(firstNonZero);

  // More than five integer digits is beyond 99999 and so out of range.
  if (point > 5) return std::nullopt;
  std::int32_t whole = 0;
  for (std::int64_t k = 0; k < point; ++k)
    whole = whole * 10 + (k < static_cast<std::int64_t>(digits.size()) ? digits[static_cast<size_t>(k)] - '0' : 0);

  // The fraction: compare with one half.
  if (point >= 0 && point < static_cast<std::int64_t>(digits.size())) {
    const std::string_view fraction = std::string_view(digits).substr(static_cast<size_t>(point));
    const char first = fraction[0];
    const bool restNonZero = fraction.find_first_not_of('0', 1) != std::string_view::npos;
    if (first > '5' || (first == '5' && (restNonZero || whole % 2 == 1))) ++whole;
  }
  // point < 0: the value is below 0.1, rounds to zero.

  const std::int32_t value = d->negative ? -whole : whole;
  if (value < INT16_MIN || value > INT16_MAX) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

std::optional<std::int16_t> AddWithinInt16(std::int16_t a, std::int16_t b) {
  const std::int32_t sum = std::int32_t{a} + std::int32_t{b};
  if (sum < INT16_MIN || sum > INT16_MAX) return std::nullopt;
  return static_cast<std::int16_t>(sum);
}

}  // namespace rw
