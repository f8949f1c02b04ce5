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

constexpr std::string_view kRuleBreakers = "{};<>\"\\";

bool IsControl(std::string_view text, std::size_t i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  if (byte < 0x20 || byte == 0x7F) return true;
  // U+0080 to U+009F in UTF-8.
  return byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
}

// The text without what could end a declaration, a rule, the style sheet or
// the tweak block (whose markers are comments). A character that would make
// a comment opening or closing with the one before it is dropped too.
std::string WithoutRuleBreakers(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsControl(text, i)) {
      if (static_cast<unsigned char>(c) == 0xC2) ++i;
      continue;
    }
    if (kRuleBreakers.find(c) != std::string_view::npos) continue;
    if (!out.empty() && ((out.back() == '/' && c == '*') || (out.back() == '*' && c == '/'))) continue;
    out += c;
  }
  return out;
}

}  // namespace

std::string CheckWidthField(std::string_view text, std::string_view defaultText) {
  std::string out(text);
  if (out.empty() || !IsNumeric(out)) out = defaultText;
  if (auto value = WholeValue(out); value && *value < kMinTabWidth) out = std::to_string(kMinTabWidth);
  if (auto value = WholeValue(out); value && *value > kMaxTabWidth) out = std::to_string(kMaxTabWidth);
  // A numeric text may still have tabs around it.
  return WithoutRuleBreakers(out);
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
  return WithoutRuleBreakers(out);
}

bool FitsInDeclaration(std::string_view text) { return WithoutRuleBreakers(text) == text; }

// The engine puts each name in double quotation marks; quotes typed around
// a name would end that string, so they go with the rest.
std::string CheckFontFamily(std::string_view text) {
  std::string out = WithoutRuleBreakers(text);
  return out.empty() ? std::string("Segoe UI, Tahoma") : out;
}

std::string CheckFontSize(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  if (s.empty()) return "12px";
  if (IsNumeric(s)) return std::string(s) + "px";
  if (!s.ends_with("px") && !s.ends_with("pt")) return "12px";
  // What is left of a size after dropping the rest means nothing as a size.
  if (!FitsInDeclaration(s)) return "12px";
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

OptionModel WithEveryFieldChecked(OptionModel model) {
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Text) model.SetText(def.option, CheckField(def.option, model));
  return model;
}

}  // namespace rw
