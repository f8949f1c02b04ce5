#include "ui/named_looks_transfer.h"

#include <charconv>

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/own_rules_transfer.h"
#include "ui/settings_transfer.h"

namespace rw {

namespace {

constexpr std::string_view kSeparator = "|";
constexpr std::string_view kNameKey = "Name=";
constexpr std::size_t kShownLooks = 20;  // lines of a report

// The look's file with CR LF after every line of its own rules too, so that
// each of its lines is one line of the section and comes back byte for byte.
std::string LookLinesText(Look look) {
  for (std::string& rules : look.ownRules) {
    std::string lines;
    for (const std::string_view line : LinesOf(rules)) lines += std::string(line) + "\r\n";
    rules = lines;
  }
  return LookText(look);
}

// The number before the separator; 0 when the line has none.
int EntryNumber(std::string_view line) {
  const std::size_t separator = line.find(kSeparator);
  if (separator == std::string_view::npos) return 0;
  int number = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + separator, number);
  return error != std::errc{} || end != line.data() + separator || number < 1 ? 0 : number;
}

NamedLookImport Entry(int number, const std::string& text) {
  NamedLookImport entry;
  entry.number = number;
  if (std::optional<Look> look = ParseLook(text)) {
    entry.look = std::move(*look);
    entry.name = entry.look.name;
    if (CheckLookName(entry.name) != NameCheck::Fine) entry.status = LookImportStatus::BadName;
    return entry;
  }
  // Its name, when a line still gives it, tells the user which one it was.
  entry.status = LookImportStatus::Damaged;
  for (const std::string_view line : LinesOf(text))
    if (line.starts_with(kNameKey)) entry.name = line.substr(kNameKey.size());
  return entry;
}

}  // namespace

std::string NamedLooksExportText(const std::vector<Look>& looks) {
  std::string text;
  for (std::size_t i = 0; i < looks.size(); ++i) {
    const std::string lookText = LookLinesText(looks[i]);
    for (const std::string_view line : LinesOf(lookText))
      text += std::to_string(i + 1) + std::string(kSeparator) + std::string(line) + "\r\n";
  }
  return text.empty() ? text : "[" + std::string(kNamedLooksSection) + "]\r\n" + text;
}

std::vector<NamedLookImport> ReadNamedLooksSection(std::string_view fileText) {
  // A look's lines come together; a number met again starts an entry that fails its check.
  std::vector<std::pair<int, std::string>> texts;
  for (const std::string_view line : SectionLines(fileText, kNamedLooksSection)) {
    const int number = EntryNumber(line);
    if (number == 0) continue;
    if (texts.empty() || texts.back().first != number) texts.emplace_back(number, std::string());
    texts.back().second += std::string(line.substr(line.find(kSeparator) + kSeparator.size())) + "\r\n";
  }
  std::vector<NamedLookImport> imports;
  for (const auto& [number, text] : texts) imports.push_back(Entry(number, text));
  return imports;
}

void TakeNamedLooks(const App& app, std::vector<NamedLookImport>& imports) {
  for (NamedLookImport& import : imports) {
    if (import.status != LookImportStatus::Found) continue;
    const NamedSave saved = SaveNamedLook(app, import.look, import.name, /*replace=*/false);
    import.status = saved == NamedSave::Saved    ? LookImportStatus::Taken
                    : saved == NamedSave::Exists ? LookImportStatus::Kept
                                                 : LookImportStatus::Failed;
  }
}

std::string NamedLooksImportText(const App& app, const std::vector<NamedLookImport>& imports) {
  std::string text;
  std::size_t shown = 0;
  for (const NamedLookImport& import : imports) {
    if (import.status == LookImportStatus::Found) continue;
    if (++shown > kShownLooks) {
      text += "\r\n" + Fill(Text(app, "ImportMore"), {{"$count", std::to_string(imports.size() - kShownLooks)}});
      break;
    }
    // A refused entry's name may hold anything; a sound one is plain text.
    const bool refused = import.status == LookImportStatus::Damaged || import.status == LookImportStatus::BadName;
    const std::string name = !refused              ? import.name
                             : import.name.empty() ? "#" + std::to_string(import.number)
                                                   : Shown(import.name);
    std::string line;
    switch (import.status) {
      case LookImportStatus::Found:
        continue;
      case LookImportStatus::Taken:
        line = Fill(Text(app, "ImportLookTaken"), {{"$name", name}});
        break;
      case LookImportStatus::Kept:
        line = Fill(Text(app, "ImportLookKept"), {{"$name", name}});
        break;
      case LookImportStatus::Damaged:
        line = Fill(Text(app, "ImportLookDamaged"), {{"$name", name}});
        break;
      case LookImportStatus::BadName:
        line = Fill(Text(app, "ImportLookBadName"), {{"$reason", Fill(Text(app, "LookBadName"), {{"$name", name}})}});
        break;
      case LookImportStatus::Failed:
        line = Fill(Text(app, "ImportLookNotSaved"), {{"$name", name}, {"$folder", app.Path(kLooksFolder)}});
        break;
    }
    text += (text.empty() ? "" : "\r\n") + line;
  }
  return text;
}

}  // namespace rw
