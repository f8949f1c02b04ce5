// Number reading as the option fields use it: the whole text, blanks around
// it allowed, is a decimal number with optional sign, decimal point and
// exponent ("12", " -3.5 ", "2.5e1", ".5", "7.").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rw {

/// True when the text reads as such a number, whatever its size.
bool IsNumeric(std::string_view text);

/// The number rounded to a whole number (halves to the even neighbour, on
/// the exact decimal value); nullopt when the text is not numeric or the
/// result lies outside -32768..32767.
std::optional<std::int16_t> RoundToInt16(std::string_view text);

/// a + b, nullopt when the sum leaves the 16-bit range.
std::optional<std::int16_t> AddWithinInt16(std::int16_t a, std::int16_t b);

}  // namespace rw
