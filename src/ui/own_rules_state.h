// The user's own rules as the commands see them: read, checked and judged
// against the working tree, and told in the user's language.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/own_rules.h"
#include "stores/own_rules_files.h"

namespace rw {

struct App;

/// The skins of this host: the classic one only where the host has it.
std::vector<Skin> SkinsOf(const App& app);

/// One finding of the check, for the editor's list, the preview and the
/// log: the 1-based line (0 for the whole file) and the reason in words.
struct OwnRulesFinding {
  int line = 0;
  std::string reason;
  bool fault = true;  // false: a warning, the rules are still used
};

/// Judges texts of one skin against the working tree's templates and style
/// sheets, read once; the tree's earlier tweak block is left out, so the
/// rules never vouch for themselves.
class OwnRulesJudge {
 public:
  OwnRulesJudge(const App& app, Skin skin);
  /// The fault first when there is one (then nothing else), else one
  /// warning per name without effect. Empty: all is well.
  std::vector<OwnRulesFinding> Findings(std::string_view text) const;
  /// The same for a text whose check is known.
  std::vector<OwnRulesFinding> Findings(std::string_view text, const OwnRulesCheck& check) const;

 private:
  const App& app_;
  std::optional<KnownNames> known_;  // none until the tree is there
};

/// "Own rules\main.css, line 3: <reason>".
std::string OwnRulesFindingText(const App& app, Skin skin, const OwnRulesFinding& finding);

/// What one skin's file holds now.
struct OwnRulesLook {
  Skin skin;
  OwnRulesRead read;
  OwnRulesCheck check;
  std::vector<OwnRulesFinding> findings;
};

/// Both files as Apply would use them; `pending` stands for the files when
/// given (imported rules not yet saved).
std::vector<OwnRulesLook> LookAtOwnRules(const App& app, const OwnRulesPair* pending = nullptr);

/// One line for the window's header or details line: empty when there are
/// no own rules, else the first fault, or how many skins use them and the
/// first name without effect.
std::string OwnRulesStatusLine(const App& app, const OwnRulesPair* pending = nullptr);

/// The texts the engine takes; they must outlive its run.
OwnRulesTexts TextsOf(const OwnRulesPair& rules);

}  // namespace rw
