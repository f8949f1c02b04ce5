// The own rules in an exported settings file: a section of their own after
// "General", each line of a file after the file's name and a "|", so that
// no rule can pass for a key or a section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/own_rules.h"
#include "stores/own_rules_files.h"

namespace rw {

struct App;

inline constexpr std::string_view kOwnRulesSection = "Own rules";

/// The section for `rules` (CR LF line ends); empty when neither skin has
/// any.
std::string OwnRulesExportText(const OwnRulesPair& rules);

/// The lines of `text`, whichever line ends it has; none after the last.
std::vector<std::string_view> LinesOf(std::string_view text);

/// The lines of section `section` of an exported file, in order; none
/// without one.
std::vector<std::string_view> SectionLines(std::string_view fileText, std::string_view section);

/// One skin's rules as an import found them.
struct OwnRulesImport {
  Skin skin;
  OwnRulesCheck check;  // not Ok: refused, the current rules stay
  std::string text;     // CR LF line ends, one after every line
};

/// The skins the section of an exported file holds rules for; none when it
/// has no such section.
std::vector<OwnRulesImport> ReadOwnRulesSection(std::string_view fileText);

/// The rules of `imports` that were taken put over `current`.
OwnRulesPair WithImported(OwnRulesPair current, const std::vector<OwnRulesImport>& imports);

/// One line per skin: taken, or refused and why.
std::string OwnRulesImportText(const App& app, const std::vector<OwnRulesImport>& imports);

}  // namespace rw
