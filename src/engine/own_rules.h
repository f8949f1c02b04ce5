// The user's own style rules, one text per skin: checked before they may
// stand in the tweak block, and placed there after the generated rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace rw {

/// A file larger than this is not used at all.
inline constexpr std::size_t kOwnRulesMaxBytes = 64 * 1024;

/// The comment line the rules stand under in the block.
inline constexpr std::string_view kOwnRulesHeading = "/* Own rules */";

enum class OwnRulesFault : std::uint8_t {
  None,
  TooLarge,
  NotUtf8,
  ControlCharacter,
  Marker,             // is or holds the tweak block's marker
  UnclosedComment,    // line of the comment's start
  UnclosedString,     // line of the string's start
  UnclosedBrace,      // line of the '{' never closed
  StrayClosingBrace,  // a '}' without its '{'
};

struct OwnRulesCheck {
  OwnRulesFault fault = OwnRulesFault::None;
  int line = 0;  // 1-based; 0 when there is no fault
  bool Ok() const { return fault == OwnRulesFault::None; }
  bool operator==(const OwnRulesCheck&) const = default;
};

/// Whether `css` may go into the block; the first fault found, with its line.
OwnRulesCheck CheckOwnRules(std::string_view css);

/// The language key of a fault's reason ("OwnRules..."); empty for None.
std::string_view OwnRulesReasonKey(OwnRulesFault fault);

/// Whether there is anything to place: a text of blanks and line breaks
/// holds no rules.
bool HasOwnRules(std::string_view css);

/// The lines as they stand in the block (any line end, no blank lines at
/// the start or the end); empty when the check fails or there are none.
std::vector<std::string_view> OwnRulesLines(std::string_view css);
/// The same for a text whose check is known.
std::vector<std::string_view> OwnRulesLines(std::string_view css, const OwnRulesCheck& check);

/// Every word of the skin's templates and style sheets, read once so that
/// the rules can be judged as they are typed.
class KnownNames {
 public:
  explicit KnownNames(const std::vector<std::string_view>& texts);
  bool Has(std::string_view name) const;

  /// Names are short and many; a plain byte hash, looked up without a copy.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const;
  };
  using Set = std::unordered_set<std::string, Hash, std::equal_to<>>;

 private:
  Set names_;
};

/// The "#id" and ".class" names the rules' selectors use that appear in
/// none of the known texts, each once, in the order of the rules. Names
/// compare without regard to letter case.
std::vector<std::string> NamesWithoutEffect(std::string_view css, const KnownNames& known);

/// The two skins' texts, as the engine takes them; empty means none.
struct OwnRulesTexts {
  std::string_view modern;
  std::string_view classic;
  std::string_view For(bool isClassic) const { return isClassic ? classic : modern; }
};

}  // namespace rw
