#include "ui/own_rules_transfer.h"

#include <algorithm>

#include "app/language_text.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "ui/own_rules_state.h"

namespace rw {

namespace {

constexpr std::string_view kSeparator = "|";

// "main.css" or "main.classic.css": the file's name in the section.
std::string ShortName(Skin skin) { return OwnRulesName(skin).substr(kOwnRulesFolder.size() + 1); }

}  // namespace

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::vector<std::string_view> SectionLines(std::string_view fileText, std::string_view section) {
  if (fileText.starts_with(kUtf8Bom)) fileText.remove_prefix(kUtf8Bom.size());
  std::vector<std::string_view> lines;
  bool inSection = false;
  for (const std::string_view line : LinesOf(fileText)) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.starts_with('[')) {
      inSection = EqualsIgnoreCase(trimmed, "[" + std::string(section) + "]");
      continue;
    }
    if (inSection) lines.push_back(line);
  }
  return lines;
}

std::string OwnRulesExportText(const OwnRulesPair& rules) {
  std::string text;
  for (const Skin skin : {Skin::Modern, Skin::Classic}) {
    if (!HasOwnRules(rules.For(skin))) continue;
    for (const std::string_view line : LinesOf(rules.For(skin)))
      text += ShortName(skin) + std::string(kSeparator) + std::string(line) + "\r\n";
  }
  return text.empty() ? text : "[" + std::string(kOwnRulesSection) + "]\r\n" + text;
}

std::vector<OwnRulesImport> ReadOwnRulesSection(std::string_view fileText) {
  std::vector<OwnRulesImport> imports;
  for (const std::string_view line : SectionLines(fileText, kOwnRulesSection)) {
    for (const Skin skin : {Skin::Modern, Skin::Classic}) {
      const std::string prefix = ShortName(skin) + std::string(kSeparator);
      if (!line.starts_with(prefix)) continue;
      auto it = std::find_if(imports.begin(), imports.end(), [&](const OwnRulesImport& i) { return i.skin == skin; });
      if (it == imports.end()) it = imports.insert(imports.end(), {skin, {}, {}});
      it->text.append(line.substr(prefix.size()));
      it->text.append("\r\n");
    }
  }
  for (OwnRulesImport& import : imports) import.check = CheckOwnRules(import.text);
  return imports;
}

OwnRulesPair WithImported(OwnRulesPair current, const std::vector<OwnRulesImport>& imports) {
  for (const OwnRulesImport& import : imports)
    if (import.check.Ok()) current.For(import.skin) = import.text;
  return current;
}

std::string OwnRulesImportText(const App& app, const std::vector<OwnRulesImport>& imports) {
  std::string text;
  for (const OwnRulesImport& import : imports) {
    const std::string name = OwnRulesName(import.skin);
    if (!text.empty()) text += "\r\n";
    if (import.check.Ok()) {
      text += Fill(Text(app, "ImportOwnRulesTaken"), {{"$file", name}});
      continue;
    }
    const OwnRulesFinding finding{import.check.line, Text(app, OwnRulesReasonKey(import.check.fault))};
    text += Fill(Text(app, "ImportOwnRulesRefused"), {{"$reason", OwnRulesFindingText(app, import.skin, finding)}});
  }
  return text;
}

}  // namespace rw
