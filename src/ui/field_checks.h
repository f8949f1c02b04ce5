// The checks that correct a typed value when the focus leaves a text field.
// Typed values are corrected, never refused. Every value goes into a style
// rule as it is, so no checked value can end the rule or open another.
#pragma once

#include <string>
#include <string_view>

#include "engine/option.h"
#include "ui/option_model.h"

namespace rw {

inline constexpr int kMinTabWidth = 100;
inline constexpr int kMaxTabWidth = 400;
inline constexpr int kMinBkgndTabWidth = 16;
inline constexpr int kDefaultTabWidthLimit = 180;

/// The tab and search bar width fields: empty or non-numeric text becomes
/// `defaultText`, values below 100 become "100", above 400 "400". Other
/// numeric text stays as typed ("250.6" is kept), tabs around it dropped.
std::string CheckWidthField(std::string_view text, std::string_view defaultText);

/// The limit for the background tab width: the value of the maximum tab
/// width field when its box is ticked, else 180.
int TabWidthLimit(bool maxTabWidthTicked, std::string_view maxTabWidthText);

/// The background tab width field: empty or non-numeric becomes "60", below 16 "16",
/// above `limit` the limit.
std::string CheckBkgndTabWidth(std::string_view text, int limit);

/// Whether `text` can stand inside one declaration of a style rule: none of
/// { } ; < > " \, no comment opening or closing, no control character.
bool FitsInDeclaration(std::string_view text);

/// The font family field: those characters are dropped, then an empty text
/// becomes the default.
std::string CheckFontFamily(std::string_view text);

/// The font size field: trimmed; a bare number gets "px"; anything not ending in
/// "px" or "pt", or not fitting in a declaration, becomes "12px".
std::string CheckFontSize(std::string_view text);

/// The corrected text of the field as the model holds it now, by the check
/// its catalogue row names; the text unchanged for an option without one.
std::string CheckField(Option field, const OptionModel& model);

/// `model` with every text field corrected as leaving it corrects it, the
/// tab width before the background tab width that it bounds: what the tweak
/// engine is given, whoever typed or stored the values.
OptionModel WithEveryFieldChecked(OptionModel model);

}  // namespace rw
