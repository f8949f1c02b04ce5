#include "engine/conflicts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <string_view>

#include "engine/tweak_block.h"

namespace rw {

namespace {

using Texts = std::vector<std::optional<std::string>>;

struct Declaration {
  std::string property;
  std::string value;
  bool important = false;
};

struct StyleRule {
  std::string line;
  std::vector<std::string> selectors;
  std::vector<Declaration> declarations;
  size_t position = 0;  // in the block
};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    parts.push_back(Trim(text.substr(start, end == std::string_view::npos ? end : end - start)));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::vector<StyleRule> RulesOf(std::string_view block) {
  std::vector<StyleRule> rules;
  size_t position = 0;
  for (std::string_view line : Split(block, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t open = line.find('{');
    const size_t close = line.rfind('}');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) continue;
    StyleRule rule{std::string(line), {}, {}, position++};
    for (std::string_view selector : Split(line.substr(0, open), ','))
      if (!selector.empty()) rule.selectors.emplace_back(selector);
    for (std::string_view declaration : Split(line.substr(open + 1, close - open - 1), ';')) {
      const size_t colon = declaration.find(':');
      if (colon == std::string_view::npos) continue;
      std::string_view value = Trim(declaration.substr(colon + 1));
      const size_t bang = value.find("!important");
      const bool important = bang != std::string_view::npos;
      if (important) value = Trim(value.substr(0, bang));
      rule.declarations.push_back({std::string(Trim(declaration.substr(0, colon))), std::string(value), important});
    }
    rules.push_back(std::move(rule));
  }
  return rules;
}

// The element a selector picks, without the states it is picked in:
// ".tabbar .tab:hover .close" and ".tabbar .tab .close" are one element.
std::string ElementOf(std::string_view selector) {
  std::string out;
  bool inPseudo = false;
  for (const char c : selector) {
    if (c == ':') inPseudo = true;
    if (c == ' ' || c == '>' || c == '.' || c == '#' || c == '[') inPseudo = false;
    if (!inPseudo) out += c;
  }
  return out;
}

// Ids, then classes, attributes and states, then element names.
std::array<int, 3> Specificity(std::string_view selector) {
  std::array<int, 3> counts{};
  for (size_t i = 0; i < selector.size(); ++i) {
    const char c = selector[i];
    if (c == '#')
      ++counts[0];
    else if (c == '.' || c == ':' || c == '[')
      ++counts[1];
    else if (std::isalpha(static_cast<unsigned char>(c)) &&
             (i == 0 || selector[i - 1] == ' ' || selector[i - 1] == '>'))
      ++counts[2];
  }
  return counts;
}

// Whether a declaration shows or hides its element; nullopt for others.
std::optional<bool> Shows(const Declaration& d) {
  if (d.property == "display") return d.value != "none";
  if (d.property == "visibility") return d.value != "hidden" && d.value != "collapse";
  return std::nullopt;
}

OptionSnapshot Only(const OptionSnapshot& options, const std::vector<Option>& ticked) {
  OptionSnapshot only = options;
  for (int i = 0; i < kOptionCount; ++i) {
    const auto option = static_cast<Option>(i);
    if (only.State(option) != 0) only = only.WithState(option, 0);
  }
  for (const Option option : ticked) only = only.WithState(option, 1);
  return only;
}

std::vector<Option> TickedBoxes(const OptionSnapshot& options) {
  std::vector<Option> ticked;
  for (int i = 0; i < kOptionCount; ++i)
    if (options.Ticked(static_cast<Option>(i))) ticked.push_back(static_cast<Option>(i));
  return ticked;
}

// The rules `option` adds to a block of `base` alone.
std::vector<StyleRule> RulesAddedBy(const std::vector<StyleRule>& with, const std::vector<StyleRule>& base) {
  std::vector<StyleRule> added;
  for (const StyleRule& rule : with)
    if (std::none_of(base.begin(), base.end(), [&](const StyleRule& b) { return b.line == rule.line; }))
      added.push_back(rule);
  return added;
}

// The winner when one rule shows what the other hides, or nullopt.
// `aRule` and `bRule` stand in one block, so their positions compare.
std::optional<bool> FirstWins(const StyleRule& aRule, const StyleRule& bRule) {
  for (const std::string& aSelector : aRule.selectors) {
    for (const std::string& bSelector : bRule.selectors) {
      if (ElementOf(aSelector) != ElementOf(bSelector)) continue;
      for (const Declaration& a : aRule.declarations) {
        for (const Declaration& b : bRule.declarations) {
          const auto aShows = Shows(a);
          const auto bShows = Shows(b);
          if (!aShows || !bShows || *aShows == *bShows) continue;
          // Hidden by one property stays hidden whatever the other says.
          if (a.property != b.property) return !*aShows;
          if (a.important != b.important) return a.important;
          const auto aWeight = Specificity(aSelector);
          const auto bWeight = Specificity(bSelector);
          if (aWeight != bWeight) return aWeight > bWeight;
          return aRule.position > bRule.position;
        }
      }
    }
  }
  return std::nullopt;
}

// The fields with other values, so that an option whose text only happens to
// equal a default is not taken for one that another option overrides.
OptionSnapshot OtherFields(const OptionSnapshot& options) {
  OptionSnapshot other = options;
  for (int i = 0; i < kOptionCount; ++i) {
    const auto option = static_cast<Option>(i);
    if (!options.Text(option).empty()) other = other.WithText(option, options.Text(option) + "1");
  }
  return other;
}

}  // namespace

// Runs of the engine with a few boxes ticked, each made once, for the fields
// as given and for the fields changed.
struct ConflictJudge::Runs {
  TweakRuns runs;
  std::array<OptionSnapshot, 2> fields;  // as given, and OtherFields
  std::map<std::pair<Option, Option>, std::optional<OptionConflict>> judged;
  std::vector<StyleRule> baseRules;
  std::map<Option, std::vector<StyleRule>> ownRules;

  bool Same(int variant, const std::vector<Option>& a, const std::vector<Option>& b) {
    return runs.Same(Only(fields[variant], a), Only(fields[variant], b));
  }
  std::string Block(std::initializer_list<Option> boxes) const {
    return BuildTweakBlock({Only(fields[0], boxes), runs.singleSkinHost, runs.compositionEnabled}, runs.isClassic);
  }
  /// `loser` changes something on its own but nothing next to `winner`.
  bool Suppresses(int variant, Option winner, Option loser) {
    return !Same(variant, {loser}, {}) && !Same(variant, {winner}, {}) && !Same(variant, {loser}, {winner}) &&
           Same(variant, {winner, loser}, {winner});
  }
  bool SuppressesEither(Option winner, Option loser) {
    return Suppresses(0, winner, loser) && Suppresses(1, winner, loser);
  }
  const std::vector<StyleRule>& OwnRules(Option option) {
    auto it = ownRules.find(option);
    if (it == ownRules.end()) it = ownRules.emplace(option, RulesAddedBy(RulesOf(Block({option})), baseRules)).first;
    return it->second;
  }
  std::optional<OptionConflict> Judge(Option a, Option b);
};

std::optional<OptionConflict> ConflictJudge::Runs::Judge(Option a, Option b) {
  if (SuppressesEither(a, b)) return OptionConflict{a, b, {}};
  if (SuppressesEither(b, a)) return OptionConflict{b, a, {}};
  // Both write rules: the cascade decides, in the block that has both.
  const auto owned = [](const StyleRule& rule, const std::vector<StyleRule>& own) {
    return std::any_of(own.begin(), own.end(), [&](const StyleRule& o) { return o.line == rule.line; });
  };
  const std::vector<StyleRule> pairRules = RulesAddedBy(RulesOf(Block({a, b})), baseRules);
  const std::vector<StyleRule>& aOwn = OwnRules(a);
  const std::vector<StyleRule>& bOwn = OwnRules(b);
  for (const StyleRule& ra : pairRules) {
    if (!owned(ra, aOwn) || owned(ra, bOwn)) continue;
    for (const StyleRule& rb : pairRules) {
      if (!owned(rb, bOwn) || owned(rb, aOwn)) continue;
      if (const auto aWins = FirstWins(ra, rb))
        return *aWins ? OptionConflict{a, b, ra.line} : OptionConflict{b, a, rb.line};
    }
  }
  return std::nullopt;
}

ConflictJudge::ConflictJudge(const Texts& templates, const TweakInputs& inputs, bool isClassic)
    : runs_(new Runs{TweakRuns(templates, inputs.singleSkinHost, inputs.compositionEnabled, isClassic),
                     {Only(inputs.options, {}), OtherFields(Only(inputs.options, {}))},
                     {},
                     {},
                     {}}) {
  runs_->baseRules = RulesOf(runs_->Block({}));
}

ConflictJudge::~ConflictJudge() = default;
ConflictJudge::ConflictJudge(ConflictJudge&&) noexcept = default;
ConflictJudge& ConflictJudge::operator=(ConflictJudge&&) noexcept = default;

std::optional<OptionConflict> ConflictJudge::Judge(Option a, Option b) {
  if (b < a) std::swap(a, b);
  const auto key = std::make_pair(a, b);
  auto it = runs_->judged.find(key);
  if (it == runs_->judged.end()) it = runs_->judged.emplace(key, runs_->Judge(a, b)).first;
  return it->second;
}

bool ConflictJudge::Serves(const TweakInputs& inputs, bool isClassic) const {
  const TweakRuns& runs = runs_->runs;
  if (inputs.singleSkinHost != runs.singleSkinHost || inputs.compositionEnabled != runs.compositionEnabled ||
      isClassic != runs.isClassic)
    return false;
  for (int i = 0; i < kOptionCount; ++i)
    if (inputs.options.Text(static_cast<Option>(i)) != runs_->fields[0].Text(static_cast<Option>(i))) return false;
  return true;
}

namespace {

std::string KeyOf(const OptionSnapshot& options) {
  std::string key;
  for (int i = 0; i < kOptionCount; ++i) {
    const auto option = static_cast<Option>(i);
    key += static_cast<char>('0' + options.State(option));
    key += options.Text(option);
    key += '\0';
  }
  return key;
}

std::pair<size_t, size_t> PrintOf(const std::optional<std::string>& text) {
  return text ? std::make_pair(text->size(), std::hash<std::string>{}(*text)) : std::make_pair(~size_t{0}, size_t{0});
}

}  // namespace

TweakRuns::TweakRuns(const Texts& templates, bool singleSkinHost, bool compositionEnabled, bool isClassic)
    : singleSkinHost(singleSkinHost),
      compositionEnabled(compositionEnabled),
      isClassic(isClassic),
      templates_(templates) {}

TweakRuns::Print& TweakRuns::BlockOf(const OptionSnapshot& options) {
  std::string key = KeyOf(options);
  auto it = made_.find(key);
  if (it == made_.end()) {
    const std::optional<std::string> block = BuildTweakBlock({options, singleSkinHost, compositionEnabled}, isClassic);
    it = made_.emplace(std::move(key), Print{PrintOf(block), {}}).first;
  }
  return it->second;
}

const std::vector<std::pair<size_t, size_t>>& TweakRuns::TemplatesOf(Print& print, const OptionSnapshot& options) {
  if (!print.templates) {
    const Texts texts = TweakTexts(templates_, {options, singleSkinHost, compositionEnabled}, isClassic);
    print.templates.emplace();
    for (size_t i = 1; i < texts.size(); ++i) print.templates->push_back(PrintOf(texts[i]));
  }
  return *print.templates;
}

bool TweakRuns::Same(const OptionSnapshot& a, const OptionSnapshot& b) {
  Print& aPrint = BlockOf(a);
  Print& bPrint = BlockOf(b);
  return aPrint.block == bPrint.block && TemplatesOf(aPrint, a) == TemplatesOf(bPrint, b);
}

std::vector<OptionConflict> FindConflicts(const Texts& templates, const TweakInputs& inputs, bool isClassic) {
  ConflictJudge judge(templates, inputs, isClassic);
  return judge.ConflictsAmong(inputs.options);
}

std::vector<OptionConflict> ConflictJudge::ConflictsAmong(const OptionSnapshot& options) {
  const std::vector<Option> ticked = TickedBoxes(options);
  std::vector<OptionConflict> conflicts;
  for (size_t i = 0; i < ticked.size(); ++i)
    for (size_t j = i + 1; j < ticked.size(); ++j)
      if (auto conflict = Judge(ticked[i], ticked[j])) conflicts.push_back(std::move(*conflict));
  return conflicts;
}

std::vector<Option> OptionsWithoutEffect(const Texts& templates, const TweakInputs& inputs, bool isClassic) {
  std::vector<Option> without;
  // The own rules stand alike with and without any box.
  const Texts all =
      TweakTexts(templates, {inputs.options, inputs.singleSkinHost, inputs.compositionEnabled}, isClassic);
  for (const Option option : TickedBoxes(inputs.options)) {
    const OptionSnapshot cleared = inputs.options.WithState(option, 0);
    if (TweakTexts(templates, {cleared, inputs.singleSkinHost, inputs.compositionEnabled}, isClassic) == all)
      without.push_back(option);
  }
  return without;
}

}  // namespace rw
