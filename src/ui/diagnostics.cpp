#include "ui/diagnostics.h"

#include "app/app.h"
#include "app/language_text.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/option_model.h"
#include "ui/status_verb.h"

namespace rw {

namespace {

constexpr std::size_t kLogEntriesShown = 3;

std::string ChangedOptions(const App& app, const OptionModel& shown) {
  std::string changed;
  for (const OptionDef& def : Options()) {
    if (IsDefault(def, shown)) continue;
    const std::string value =
        def.kind == OptionKind::Text ? shown.Text(def.option) : std::to_string(shown.State(def.option));
    changed += "  " + std::string(def.settingsKey) + "=" + value + "\n";
  }
  return changed.empty() ? Text(app, "PreviewNoOptions") + "\n" : changed;
}

}  // namespace

std::vector<std::string> LastLogEntries(std::string_view log, std::size_t count) {
  std::vector<std::string> entries;
  std::string entry;
  const auto end = [&] {
    if (!entry.empty()) entries.push_back(entry);
    entry.clear();
  };
  while (!log.empty()) {
    const std::size_t cut = log.find('\n');
    std::string_view line = log.substr(0, cut);
    log = cut == std::string_view::npos ? std::string_view() : log.substr(cut + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) {
      end();
      continue;
    }
    entry += (entry.empty() ? "" : "\n") + std::string(line);
  }
  end();
  if (entries.size() > count) entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(count));
  return entries;
}

std::string DiagnosticsText(const App& app, const OptionModel& shown, std::string_view header,
                            std::string_view status) {
  const std::string unknown = Text(app, "DiagnosticsUnknown");
  const auto known = [&](const std::string& value) { return value.empty() ? unknown : value; };
  std::string text =
      Fill(Text(app, "DiagnosticsProgram"), {{"$version", app.AppVersion}, {"$language", app.LanguageName}}) + "\n";
  text += Fill(Text(app, "DiagnosticsSystem"), {{"$version", app.platform.system.SystemVersion()}}) + "\n";
  text += Fill(Text(app, "DiagnosticsBrowser"),
               {{"$folder", known(app.HostBinFolder)}, {"$version", known(app.HostVersion)}}) +
          "\n";
  text += std::string(header) + "\n\n";
  text += Text(app, "DiagnosticsChanged") + "\n" + ChangedOptions(app, shown) + "\n";

  const std::string logPath = app.Path(kLogFileName);
  text += Fill(Text(app, "DiagnosticsLog"), {{"$file", logPath}}) + "\n";
  const std::vector<std::string> entries =
      LastLogEntries(app.platform.files.ReadFile(logPath).value_or(""), kLogEntriesShown);
  if (entries.empty()) text += Text(app, "PreviewNoOptions") + "\n";
  for (const std::string& entry : entries) text += entry + "\n\n";
  if (entries.empty()) text += "\n";

  text += Text(app, "DiagnosticsStatus") + "\n" + std::string(status);
  return text;
}

}  // namespace rw
