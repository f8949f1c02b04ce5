#include "engine/own_rules.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "engine/tweak_block.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// A lone CR ends a line as CR LF and LF do.
bool EndsLine(std::string_view css, std::size_t i) {
  return css[i] == '\n' || (css[i] == '\r' && (i + 1 == css.size() || css[i + 1] != '\n'));
}

int LineAt(std::string_view css, std::size_t position) {
  int line = 1;
  for (std::size_t i = 0; i < position && i < css.size(); ++i)
    if (EndsLine(css, i)) ++line;
  return line;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The marker begins with "/*", which is rare in rules; only there are the
// letters compared.
std::size_t FindMarker(std::string_view css) {
  for (std::size_t at = css.find("/*"); at != std::string_view::npos; at = css.find("/*", at + 1)) {
    if (css.size() - at < kBlockMarker.size()) break;
    std::size_t i = 2;
    while (i < kBlockMarker.size() && Lower(css[at + i]) == kBlockMarker[i]) ++i;
    if (i == kBlockMarker.size()) return at;
  }
  return std::string_view::npos;
}

// The control characters that may not stand in the rules: all but tab and
// the line breaks.
constexpr std::array<std::uint8_t, 256> kControl = [] {
  std::array<std::uint8_t, 256> control{};
  for (unsigned c = 0; c < 0x20; ++c) control[c] = c != '\t' && c != '\r' && c != '\n';
  control[0x7F] = 1;
  return control;
}();

// What the bytes are before the structure is looked at.
OwnRulesCheck CheckCharacters(std::string_view css) {
  if (css.size() > kOwnRulesMaxBytes) return {OwnRulesFault::TooLarge, LineAt(css, kOwnRulesMaxBytes)};
  // In blocks, looked up in a table without an early exit.
  constexpr std::size_t kBlock = 64;
  for (std::size_t start = 0; start < css.size(); start += kBlock) {
    const std::string_view block = css.substr(start, kBlock);
    unsigned any = 0;
    for (const char c : block) any |= kControl[static_cast<unsigned char>(c)];
    if (any == 0) continue;
    for (std::size_t i = start;; ++i)
      if (kControl[static_cast<unsigned char>(css[i])]) return {OwnRulesFault::ControlCharacter, LineAt(css, i)};
  }
  if (!IsWellFormedUtf8(css)) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= css.size(); ++i) {
      if (i < css.size() && !EndsLine(css, i)) continue;
      if (!IsWellFormedUtf8(css.substr(start, i - start))) return {OwnRulesFault::NotUtf8, LineAt(css, start)};
      start = i + 1;
    }
    return {OwnRulesFault::NotUtf8, 1};
  }
  if (const std::size_t at = FindMarker(css); at != std::string_view::npos)
    return {OwnRulesFault::Marker, LineAt(css, at)};
  return {};
}

// The characters Scan stops at outside comments and strings.
constexpr std::array<bool, 256> kMeaningful = [] {
  std::array<bool, 256> meaningful{};
  for (const unsigned char c : std::string_view("/\"'{};\r\n")) meaningful[c] = true;
  return meaningful;
}();

// One pass over comments, strings and braces, calling `prelude` (unless
// null) with the text before each '{' (comments and strings left out).
template <typename Prelude>
OwnRulesCheck Scan(std::string_view css, Prelude&& prelude) {
  constexpr bool kPreludes = !std::is_same_v<std::decay_t<Prelude>, std::nullptr_t>;
  enum class In { Rules, Comment, String } in = In::Rules;
  char quote = 0;
  int line = 1;
  int openedAt = 0;         // line of the comment or string being read
  std::vector<int> braces;  // lines of the open '{'
  std::string segment;      // since the last '{', '}' or ';'
  for (std::size_t i = 0; i < css.size(); ++i) {
    if (in == In::Rules) {
      // Most of the text is plain; it is passed over in one step.
      const std::size_t plain = i;
      while (i < css.size() && !kMeaningful[static_cast<unsigned char>(css[i])]) ++i;
      if constexpr (kPreludes) segment.append(css.substr(plain, i - plain));
      if (i == css.size()) break;
    } else if (in == In::Comment) {
      const std::size_t close = css.find("*/", i);
      if (close == std::string_view::npos) break;
      for (; i < close; ++i)
        if (EndsLine(css, i)) ++line;
      in = In::Rules, ++i;
      continue;
    }
    const char c = css[i];
    const bool lineEnd = EndsLine(css, i);
    if (in == In::String) {
      if (c == '\\' && i + 1 < css.size()) {
        ++i;  // an escaped quote or line break
        if (css[i] == '\r' && i + 1 < css.size() && css[i + 1] == '\n') ++i;
        if (EndsLine(css, i)) ++line;
        continue;
      }
      if (lineEnd) return {OwnRulesFault::UnclosedString, openedAt};
      if (c == quote) in = In::Rules;
    } else if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
      in = In::Comment, openedAt = line, ++i;
    } else if (c == '"' || c == '\'') {
      in = In::String, quote = c, openedAt = line;
    } else if (c == '{') {
      braces.push_back(line);
      if constexpr (kPreludes) prelude(std::string_view(segment));
      segment.clear();
    } else if (c == '}') {
      if (braces.empty()) return {OwnRulesFault::StrayClosingBrace, line};
      braces.pop_back();
      segment.clear();
    } else if (c == ';') {
      segment.clear();
    } else if constexpr (kPreludes) {
      segment.push_back(c);
    }
    if (lineEnd) ++line;
  }
  if (in == In::Comment) return {OwnRulesFault::UnclosedComment, openedAt};
  if (in == In::String) return {OwnRulesFault::UnclosedString, openedAt};
  if (!braces.empty()) return {OwnRulesFault::UnclosedBrace, braces.front()};
  return {};
}

bool NameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

std::string LowerName(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower;
}

// Into a buffer kept across calls, so that looking up allocates nothing.
std::string_view LowerInto(std::string& buffer, std::string_view name) {
  buffer.resize(name.size());
  std::transform(name.begin(), name.end(), buffer.begin(), Lower);
  return buffer;
}

}  // namespace

OwnRulesCheck CheckOwnRules(std::string_view css) {
  if (const OwnRulesCheck bytes = CheckCharacters(css); !bytes.Ok()) return bytes;
  return Scan(css, nullptr);
}

std::string_view OwnRulesReasonKey(OwnRulesFault fault) {
  switch (fault) {
    case OwnRulesFault::None:
      return {};
    case OwnRulesFault::TooLarge:
      return "OwnRulesTooLarge";
    case OwnRulesFault::NotUtf8:
      return "OwnRulesNotUtf8";
    case OwnRulesFault::ControlCharacter:
      return "OwnRulesControlCharacter";
    case OwnRulesFault::Marker:
      return "OwnRulesMarker";
    case OwnRulesFault::UnclosedComment:
      return "OwnRulesUnclosedComment";
    case OwnRulesFault::UnclosedString:
      return "OwnRulesUnclosedString";
    case OwnRulesFault::UnclosedBrace:
      return "OwnRulesUnclosedBrace";
    case OwnRulesFault::StrayClosingBrace:
      return "OwnRulesStrayClosingBrace";
  }
  return {};
}

bool HasOwnRules(std::string_view css) { return css.find_first_not_of(" \t\r\n") != std::string_view::npos; }

std::vector<std::string_view> OwnRulesLines(std::string_view css) { return OwnRulesLines(css, CheckOwnRules(css)); }

std::vector<std::string_view> OwnRulesLines(std::string_view css, const OwnRulesCheck& check) {
  std::vector<std::string_view> lines;
  if (!HasOwnRules(css) || !check.Ok()) return lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= css.size(); ++i) {
    if (i < css.size() && !EndsLine(css, i)) continue;
    std::string_view line = css.substr(start, i - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = i + 1;
  }
  const auto blank = [](std::string_view line) { return !HasOwnRules(line); };
  while (blank(lines.back())) lines.pop_back();
  lines.erase(lines.begin(), std::find_if_not(lines.begin(), lines.end(), blank));
  return lines;
}

KnownNames::KnownNames(const std::vector<std::string_view>& texts) {
  std::string buffer;
  for (const std::string_view text : texts) {
    for (std::size_t i = 0; i < text.size();) {
      if (!NameCharacter(text[i])) {
        ++i;
        continue;
      }
      const std::size_t start = i;
      while (i < text.size() && NameCharacter(text[i])) ++i;
      const std::string_view lower = LowerInto(buffer, text.substr(start, i - start));
      if (!names_.contains(lower)) names_.emplace(lower);
    }
  }
}

std::size_t KnownNames::Hash::operator()(std::string_view name) const {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
  return static_cast<std::size_t>(hash ^ (hash >> 32));
}

bool KnownNames::Has(std::string_view name) const {
  std::array<char, 32> small;
  if (name.size() > small.size()) return names_.contains(LowerName(name));
  std::transform(name.begin(), name.end(), small.begin(), Lower);
  return names_.contains(std::string_view(small.data(), name.size()));
}

std::vector<std::string> NamesWithoutEffect(std::string_view css, const KnownNames& known) {
  std::vector<std::string> missing;
  KnownNames::Set told;
  std::string buffer;
  Scan(css, [&](std::string_view prelude) {
    const std::string_view trimmed = TrimBlanks(prelude);
    if (trimmed.starts_with('@')) return;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
      if (trimmed[i] != '#' && trimmed[i] != '.') continue;
      std::size_t end = i + 1;
      while (end < trimmed.size() && NameCharacter(trimmed[end])) ++end;
      // ".5" is a number (a key frame), not a class.
      if (end == i + 1 || (trimmed[i + 1] >= '0' && trimmed[i + 1] <= '9')) continue;
      const std::string_view name = trimmed.substr(i, end - i);
      if (!known.Has(name.substr(1)))
        if (const std::string_view lower = LowerInto(buffer, name); !told.contains(lower)) {
          told.emplace(lower);
          missing.emplace_back(name);
        }
      i = end - 1;
    }
  });
  return missing;
}

}  // namespace rw
