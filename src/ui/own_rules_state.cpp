#include "ui/own_rules_state.h"

#include "app/app.h"
#include "app/language_text.h"
#include "engine/apply_tweaks.h"
#include "engine/tweak_block.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

bool IsSheetOrTemplate(std::string_view name) {
  for (const std::string_view end : {".css", ".htm", ".html"})
    if (name.size() > end.size() && name.substr(name.size() - end.size()) == end) return true;
  return false;
}

}  // namespace

std::vector<Skin> SkinsOf(const App& app) {
  if (app.SingleSkinHost) return {Skin::Modern};
  return {Skin::Modern, Skin::Classic};
}

OwnRulesJudge::OwnRulesJudge(const App& app, Skin skin) : app_(app) {
  const bool classic = skin == Skin::Classic;
  const std::string ui = app.Host().Tree() + "\\ui\\";
  const std::string folder = classic ? "main.classic" : "main";
  if (!app.platform.files.FolderExists(ui + folder)) return;
  std::vector<std::string> texts;
  for (const std::string& name : app.platform.files.ListTree(ui + folder)) {
    if (!IsSheetOrTemplate(app.platform.system.LowerCase(name))) continue;
    std::optional<std::string> text = ReadUtf8File(app.platform, ui + folder + "\\" + name);
    if (!text) continue;
    if (app.platform.system.LowerCase(name) == "index.css") *text = SheetWithBlock(*text, {});
    texts.push_back(std::move(*text));
  }
  // The shared templates the skin's pages use.
  for (const std::string& name : TemplatesOf(app.SingleSkinHost, classic))
    if (!name.starts_with(folder + "\\"))
      if (std::optional<std::string> text = ReadUtf8File(app.platform, ui + name)) texts.push_back(std::move(*text));
  known_.emplace(std::vector<std::string_view>(texts.begin(), texts.end()));
}

std::vector<OwnRulesFinding> OwnRulesJudge::Findings(std::string_view text) const {
  return Findings(text, CheckOwnRules(text));
}

std::vector<OwnRulesFinding> OwnRulesJudge::Findings(std::string_view text, const OwnRulesCheck& check) const {
  if (!check.Ok()) return {{check.line, Text(app_, OwnRulesReasonKey(check.fault)), true}};
  std::vector<OwnRulesFinding> findings;
  if (!known_) return findings;
  const std::vector<std::string> names = NamesWithoutEffect(text, *known_);
  if (names.empty()) return findings;
  // A list no one reads to its end is told by its length.
  constexpr std::size_t kNamesTold = 20;
  const std::string noEffect = Text(app_, "OwnRulesNoEffect");
  for (std::size_t i = 0; i < names.size() && i < kNamesTold; ++i)
    findings.push_back({0, Fill(noEffect, {{"$name", names[i]}}), false});
  if (names.size() > kNamesTold)
    findings.push_back(
        {0, Fill(Text(app_, "OwnRulesMoreNoEffect"), {{"$count", std::to_string(names.size() - kNamesTold)}}), false});
  return findings;
}

std::string OwnRulesFindingText(const App& app, Skin skin, const OwnRulesFinding& finding) {
  if (finding.line == 0) return OwnRulesName(skin) + ": " + finding.reason;
  return Fill(Text(app, "OwnRulesAtLine"),
              {{"$file", OwnRulesName(skin)}, {"$line", std::to_string(finding.line)}, {"$reason", finding.reason}});
}

std::vector<OwnRulesLook> LookAtOwnRules(const App& app, const OwnRulesPair* pending) {
  std::vector<OwnRulesLook> looks;
  for (const Skin skin : SkinsOf(app)) {
    OwnRulesRead read = pending ? OwnRulesRead{OwnRulesRead::State::Read, pending->For(skin)}
                                : ReadOwnRules(app.platform, app.programFolder, skin);
    if (read.state == OwnRulesRead::State::Missing ||
        (read.state == OwnRulesRead::State::Read && !HasOwnRules(read.text)))
      continue;
    OwnRulesLook look{skin, std::move(read), {}, {}};
    if (look.read.state == OwnRulesRead::State::Read) {
      look.check = CheckOwnRules(look.read.text);
      look.findings = OwnRulesJudge(app, skin).Findings(look.read.text, look.check);
    }
    looks.push_back(std::move(look));
  }
  return looks;
}

std::string OwnRulesStatusLine(const App& app, const OwnRulesPair* pending) {
  const std::vector<OwnRulesLook> looks = LookAtOwnRules(app, pending);
  if (looks.empty()) return {};
  int used = 0;
  std::string warning;
  for (const OwnRulesLook& look : looks) {
    if (look.read.state == OwnRulesRead::State::Unreadable)
      return Fill(Text(app, "OwnRulesUnreadable"), {{"$file", OwnRulesName(look.skin)}});
    if (!look.check.Ok()) return OwnRulesFindingText(app, look.skin, look.findings.front());
    if (warning.empty() && !look.findings.empty()) warning = OwnRulesFindingText(app, look.skin, look.findings.front());
    ++used;
  }
  const std::string inUse = Fill(Text(app, "OwnRulesInUse"), {{"$count", std::to_string(used)}});
  return warning.empty() ? inUse : inUse + " \u00B7 " + warning;
}

OwnRulesTexts TextsOf(const OwnRulesPair& rules) { return {rules.modern, rules.classic}; }

}  // namespace rw
