#include "ui/field_checks.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "engine/number_text.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/option_model.h"

namespace rw {

namespace {

// The whole value of a numeric text. A number beyond the 16-bit range
// cannot be converted; it comes back just past the range on its own side so
// that the bound checks clamp it instead of leaving it as typed.
std::optional<int> WholeValue(std::string_view text) {
  if (!IsNumeric(text)) return std::nullopt;
  if (auto value = RoundToInt16(text)) return *value;
  return TrimBlanks(text).starts_with('-') ? SHRT_MIN - 1 : SHRT_MAX + 1;
}

}  // namespace

std::string CheckWidthField(std::string_view text, std::string_view defaultText) {
  std::string out(text);
  if (out.empty() || !IsNumeric(out)) out = defaultText;
  if (auto value = WholeValue(out); value && *value < kMinTabWidth) out = std::to_string(kMinTabWidth);
  if (auto value = WholeValue(out); value && *value > kMaxTabWidth) out = std::to_string(kMaxTabWidth);
  return out;
}

int TabWidthLimit(bool maxTabWidthTicked, std::string_view maxTabWidthText) {
  if (!maxTabWidthTicked) return kDefaultTabWidthLimit;
  // The field is checked only when the user leaves it, so it may still hold
  // what the settings file gave: non-numeric text counts as its default.
  const auto value = WholeValue(maxTabWidthText);
  if (!value) return kDefaultTabWidthLimit;
  if (*value > SHRT_MAX) return kMaxTabWidth;
  if (*value < SHRT_MIN) return kMinTabWidth;
  return *value;
}

std::string CheckBkgndTabWidth(std::string_view text, int limit) {
  std::string out(text);
  if (out.empty() || !IsNumeric(out)) out = "60";
  if (auto value = WholeValue(out); value && *value < kMinBkgndTabWidth) out = std::to_string(kMinBkgndTabWidth);
  if (auto value = WholeValue(out); value && *value > limit) out = std::to_string(limit);
  return out;
}

std::string CheckFontFamily(std::string_view text) {
  return text.empty() ? std::string("Segoe UI, Tahoma") : std::string(text);
}

std::string CheckFontSize(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  if (s.empty()) return "12px";
  if (IsNumeric(s)) return std::string(s) + "px";
  if (!s.ends_with("px") && !s.ends_with("pt")) return "12px";
  return std::string(s);
}

std::string CheckField(Option field, const OptionModel& model) {
  const OptionDef& def = Def(field);
  const std::string& text = model.Text(field);
  switch (def.check) {
    case FieldCheck::None:
      return text;
    case FieldCheck::Width:
      return CheckWidthField(text, def.defaultValue);
    case FieldCheck::BkgndTabWidth:
      return CheckBkgndTabWidth(
          text, TabWidthLimit(model.State(Option::MaxTabWidth) == 1, model.Text(Option::MaxTabWidthText)));
    case FieldCheck::FontFamily:
      return CheckFontFamily(text);
    case FieldCheck::FontSize:
      return CheckFontSize(text);
  }
  return text;
}

}  // namespace rw
