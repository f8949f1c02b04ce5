#include "ui/preview.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/app.h"
#include "app/language_text.h"
#include "engine/apply_tweaks.h"
#include "engine/conflicts.h"
#include "engine/line_diff.h"
#include "platform/overlay_platform.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "ui/catalogue.h"
#include "ui/own_rules_state.h"

namespace rw {

namespace {

// "C:\Ravelwick\Resource\ui\main\index.css" -> "ui/main/index.css".
std::string BelowTree(const std::string& path, const std::string& tree) {
  std::string below = path.size() > tree.size() ? path.substr(tree.size() + 1) : path;
  std::replace(below.begin(), below.end(), '\\', '/');
  return below;
}

// Why a ticked box cannot act on this host, or nothing.
bool CannotActHere(const OptionDef& def, bool singleSkinHost, bool compositionEnabled) {
  if (GreyedOnThisHost(def, singleSkinHost)) return true;
  return def.host == HostRule::Composition && !compositionEnabled;
}

constexpr size_t kJudgedTemplateBytes = 512 * 1024;

struct SkinRun {
  bool isClassic;
  TweakReport report;
  std::vector<OptionConflict> conflicts;
  std::vector<Option> withoutEffect;
};

SkinRun RunSkin(Platform& overlay, const App& app, const TweakInputs& inputs, bool isClassic) {
  SkinRun run{isClassic, {}, {}, {}};
  const std::string ui = app.Host().Tree() + "\\ui\\";
  std::vector<std::optional<std::string>> templates;
  size_t bytes = 0;
  for (const std::string& name : TemplatesOf(inputs.singleSkinHost, isClassic)) {
    templates.push_back(ReadUtf8File(overlay, ui + name));
    bytes += templates.back() ? templates.back()->size() : 0;
  }
  // Judging the options edits the templates a few hundred times; templates
  // far beyond any browser's are judged by the style rules alone.
  if (bytes > kJudgedTemplateBytes)
    for (auto& text : templates) text.reset();
  run.conflicts = FindConflicts(templates, inputs, isClassic);
  run.withoutEffect = OptionsWithoutEffect(templates, inputs, isClassic);
  run.report = ApplyTweaks(overlay, app.programFolder, inputs, isClassic);
  return run;
}

void Line(std::string& text, const std::string& line) {
  text += line;
  text += '\n';
}

// The own rules' part of the summary, their warnings, and a section each
// holding what goes into the block.
struct OwnRulesPart {
  std::string summary;
  std::vector<std::string> warnings;
  std::vector<PreviewSection> sections;
};

OwnRulesPart DescribeOwnRules(const App& app, const std::vector<OwnRulesLook>& looks) {
  OwnRulesPart part;
  if (looks.empty()) return part;
  Line(part.summary, Text(app, "PreviewOwnRules"));
  for (const OwnRulesLook& look : looks) {
    const std::string name = OwnRulesName(look.skin);
    PreviewSection section{name, {}};
    if (look.read.state == OwnRulesRead::State::Unreadable) {
      part.warnings.push_back(Fill(Text(app, "OwnRulesUnreadable"), {{"$file", name}}));
      Line(part.summary, "  " + name + ": " + Text(app, "PreviewOwnRulesNotUsed"));
      continue;
    }
    for (const OwnRulesFinding& finding : look.findings) {
      const std::string told = OwnRulesFindingText(app, look.skin, finding);
      part.warnings.push_back(finding.fault ? Fill(Text(app, "OwnRulesRefused"), {{"$finding", told}}) : told);
      if (finding.fault) Line(section.text, told);
    }
    const std::vector<std::string_view> lines = OwnRulesLines(look.read.text, look.check);
    Line(part.summary, "  " + name + ": " +
                           Fill(Text(app, look.check.Ok() ? "PreviewOwnRulesUsed" : "PreviewOwnRulesNotUsed"),
                                {{"$count", std::to_string(lines.size())}}));
    for (const std::string_view line : lines) Line(section.text, std::string(line));
    part.sections.push_back(std::move(section));
  }
  part.summary += '\n';
  return part;
}

// The warnings' lines, each marked, and how many there are.
struct Warnings {
  std::string text;
  int count = 0;
  void Add(const std::string& line) {
    Line(text, "! " + line);
    ++count;
  }
};

std::vector<SkinRun> RunSkins(Platform& overlay, const App& app, const TweakInputs& inputs) {
  std::vector<SkinRun> runs;
  runs.push_back(RunSkin(overlay, app, inputs, /*isClassic=*/false));
  if (!app.SingleSkinHost) runs.push_back(RunSkin(overlay, app, inputs, /*isClassic=*/true));
  return runs;
}

// Files the run needed and could not read.
void WarnUnreadFiles(const App& app, const std::vector<SkinRun>& runs, Warnings& warnings) {
  std::set<std::string> toldFiles;
  for (const SkinRun& run : runs)
    for (const FileNotRead& notRead : run.report.unreadable)
      if (toldFiles.insert(notRead.file).second)
        warnings.Add(Fill(notRead.exists ? Text(app, "PreviewUnreadable") : Text(app, "PreviewMissing"),
                          {{"$file", notRead.file}}));
}

// Ticked boxes this host does not let act; they are told.
std::set<Option> WarnCannotAct(const App& app, const OptionSnapshot& options, bool compositionEnabled,
                               Warnings& warnings) {
  std::set<Option> told;
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check || !options.Ticked(def.option)) continue;
    if (!CannotActHere(def, app.SingleSkinHost, compositionEnabled)) continue;
    warnings.Add(Fill(Text(app, "PreviewCannotAct"), {{"$option", QuotedCaption(app, def.option)}}));
    told.insert(def.option);
  }
  return told;
}

// Edits whose place in the interface is gone; how many options have one.
int WarnNotFound(const App& app, const std::vector<SkinRun>& runs, std::set<Option>& told, Warnings& warnings) {
  for (const SkinRun& run : runs)
    for (const TweakEffect& effect : run.report.effects)
      if (effect.result == EditResult::NotFound && !told.count(effect.option))
        warnings.Add(
            Fill(Text(app, "PreviewNotFound"),
                 {{"$option", QuotedCaption(app, effect.option)}, {"$anchor", effect.detail}, {"$file", effect.file}}));
  int notFound = 0;
  for (const SkinRun& run : runs)
    for (const TweakEffect& effect : run.report.effects)
      if (effect.result == EditResult::NotFound && told.insert(effect.option).second) ++notFound;
  return notFound;
}

// Contradictions, once however many skins show them.
void WarnConflicts(const App& app, const std::vector<SkinRun>& runs, std::set<Option>& told, Warnings& warnings) {
  std::set<std::pair<Option, Option>> pairs;
  for (const SkinRun& run : runs) {
    for (const OptionConflict& conflict : run.conflicts) {
      if (!pairs.insert({conflict.winner, conflict.loser}).second) continue;
      std::string line = Fill(Text(app, "PreviewConflict"), {{"$winner", QuotedCaption(app, conflict.winner)},
                                                             {"$loser", QuotedCaption(app, conflict.loser)}});
      if (!conflict.rule.empty()) line += " (" + conflict.rule + ")";
      warnings.Add(line);
      told.insert(conflict.loser);
    }
  }
}

// Boxes that change nothing in any skin, for a reason not told above.
void WarnNoEffect(const App& app, const std::vector<SkinRun>& runs, const std::set<Option>& told, Warnings& warnings) {
  for (const Option option : runs.front().withoutEffect) {
    const bool everywhere = std::all_of(runs.begin(), runs.end(), [&](const SkinRun& run) {
      return std::find(run.withoutEffect.begin(), run.withoutEffect.end(), option) != run.withoutEffect.end();
    });
    if (everywhere && !told.count(option))
      warnings.Add(Fill(Text(app, "PreviewNoEffect"), {{"$option", QuotedCaption(app, option)}}));
  }
}

// What one effect does, in lines below its option.
void DescribeEffect(const App& app, const TweakEffect& effect, std::string& lines) {
  if (effect.kind == TweakEffect::Kind::Rules) {
    Line(lines, "  " + effect.file + ":");
    for (size_t start = 0, end; start < effect.detail.size(); start = end + 1) {
      end = effect.detail.find('\n', start);
      if (end == std::string::npos) end = effect.detail.size();
      Line(lines, "    " + effect.detail.substr(start, end - start));
    }
  } else if (effect.result != EditResult::NotFound) {
    Line(lines, "  " + effect.file + ": " +
                    (effect.result == EditResult::Made ? Text(app, "PreviewEdited") : Text(app, "PreviewInPlace")));
  }
}

// What each ticked box does, file by file.
std::string DescribeEffects(const App& app, const OptionSnapshot& options, const std::vector<SkinRun>& runs) {
  std::string effects;
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check || !options.Ticked(def.option)) continue;
    std::string lines;
    for (const SkinRun& run : runs)
      for (const TweakEffect& effect : run.report.effects)
        if (effect.option == def.option) DescribeEffect(app, effect, lines);
    Line(effects, QuotedCaption(app, def.option));
    effects += lines.empty() ? "  -\n" : lines;
  }
  return effects;
}

struct ChangedFile {
  std::string title;
  std::string text;
  std::string note;
};

std::vector<ChangedFile> ChangedFiles(const App& app, OverlayPlatform& overlay) {
  const std::string tree = app.Host().Tree();
  std::vector<ChangedFile> files;
  for (const OverlayPlatform::Change& change : overlay.Changes()) {
    const std::string path = BelowTree(change.path, tree);
    const std::string before = change.before.value_or("");
    const std::string after = change.after.value_or("");
    const DiffOrSizes diff = DiffOrSizesOf(before, after, path);
    // The files are written back with a byte-order mark; one that had none
    // changes by that alone.
    const bool markOnly = after.size() == before.size() + kUtf8Bom.size() && after.starts_with(kUtf8Bom) &&
                          std::string_view(after).substr(kUtf8Bom.size()) == before;
    files.push_back({path, PreviewText(diff, path), markOnly ? " " + Text(app, "PreviewMarkOnly") : ""});
  }
  return files;
}

std::string Summary(const App& app, const Warnings& warnings, const std::string& effects,
                    const std::string& ownRulesSummary, const std::vector<ChangedFile>& files) {
  std::string summary;
  if (warnings.count > 0) {
    Line(summary, Text(app, "PreviewWarnings"));
    summary += warnings.text;
    summary += '\n';
  }
  Line(summary, Text(app, "PreviewOptions"));
  summary += effects.empty() ? Text(app, "PreviewNoOptions") + "\n" : effects;
  summary += '\n';
  summary += ownRulesSummary;
  Line(summary, Fill(Text(app, "PreviewFiles"), {{"$count", std::to_string(files.size())}}));
  for (const ChangedFile& file : files) Line(summary, "  " + file.title + file.note);
  return summary;
}

}  // namespace

Preview BuildPreview(const App& app, const OptionSnapshot& options, bool compositionEnabled,
                     const OwnRulesPair* pendingOwnRules) {
  OverlayPlatform overlay(app.platform);
  const std::vector<OwnRulesLook> looks = LookAtOwnRules(app, pendingOwnRules);
  OwnRulesPair own;
  for (const OwnRulesLook& look : looks) own.For(look.skin) = look.read.text;
  const TweakInputs inputs{options, app.SingleSkinHost, compositionEnabled, TextsOf(own)};
  const std::vector<SkinRun> runs = RunSkins(overlay, app, inputs);

  // In this order: what could not be read, the own rules, then the options.
  Preview preview;
  Warnings warnings;
  WarnUnreadFiles(app, runs, warnings);
  OwnRulesPart ownPart = DescribeOwnRules(app, looks);
  for (const std::string& line : ownPart.warnings) warnings.Add(line);
  std::set<Option> told = WarnCannotAct(app, options, compositionEnabled, warnings);
  preview.notFound = WarnNotFound(app, runs, told, warnings);
  WarnConflicts(app, runs, told, warnings);
  WarnNoEffect(app, runs, told, warnings);
  preview.warnings = warnings.count;

  std::vector<ChangedFile> files = ChangedFiles(app, overlay);
  preview.changedFiles = static_cast<int>(files.size());
  preview.sections.push_back({Text(app, "PreviewSummary"),
                              Summary(app, warnings, DescribeEffects(app, options, runs), ownPart.summary, files)});
  for (PreviewSection& section : ownPart.sections) preview.sections.push_back(std::move(section));
  for (ChangedFile& file : files) preview.sections.push_back({std::move(file.title), std::move(file.text)});
  return preview;
}

std::string PreviewAsText(const Preview& preview) {
  std::string text;
  for (const PreviewSection& section : preview.sections) {
    text += "== " + section.title + " ==\n";
    text += section.text;
    if (!section.text.empty() && section.text.back() != '\n') text += '\n';
    text += '\n';
  }
  return text;
}

}  // namespace rw
