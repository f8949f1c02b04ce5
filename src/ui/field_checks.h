// The checks that correct a typed value when the focus leaves a text field.
// Typed values are corrected, never refused.
#pragma once

#include <string>
#include <string_view>

#include "engine/option.h"

namespace rw {

class OptionModel;

inline constexpr int kMinTabWidth = 100;
inline constexpr int kMaxTabWidth = 400;
inline constexpr int kMinBkgndTabWidth = 16;
inline constexpr int kDefaultTabWidthLimit = 180;

/// The tab and search bar width fields: empty or non-numeric text becomes
/// `defaultText`, values below 100 become "100", above 400 "400". Other
/// numeric text stays as typed ("250.6" is kept).
std::string CheckWidthField(std::string_view text, std::string_view defaultText);

/// The limit for the background tab width: the value of the maximum tab
/// width field when its box is ticked, else 180.
int TabWidthLimit(bool maxTabWidthTicked, std::string_view maxTabWidthText);

/// The background tab width field: empty or non-numeric becomes "60", below 16 "16",
/// above `limit` the limit.
std::string CheckBkgndTabWidth(std::string_view text, int limit);

/// The font family field: only an empty text is replaced.
std::string CheckFontFamily(std::string_view text);

/// The font size field: trimmed; a bare number gets "px"; anything not ending in
/// "px" or "pt" becomes "12px".
std::string CheckFontSize(std::string_view text);

/// The corrected text of the field as the model holds it now, by the check
/// its catalogue row names; the text unchanged for an option without one.
std::string CheckField(Option field, const OptionModel& model);

}  // namespace rw
