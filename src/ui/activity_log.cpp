#include "ui/activity_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/app.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "stores/log_file.h"
#include "stores/text.h"
#include "ui/catalogue.h"
#include "ui/own_rules_state.h"

namespace rw {

namespace {

// Stored spellings: LastInstallTime reads entries by them.
constexpr std::string_view kApplyTitle = " Apply";
constexpr std::string_view kInstalledLine = "Archive installed: ";
constexpr std::string_view kDoneWord = "yes";

std::string HostLine(const App& app) {
  return "Host: " + (app.HostVersion.empty() ? std::string("version unknown") : app.HostVersion) + ", " +
         (app.HostBinFolder.empty() ? std::string("folder unknown") : app.HostBinFolder);
}

// "Done" or the message the user saw, on one line.
std::string ResultLine(const App& app, const PipelineResult& result, std::string_view doneText) {
  if (result.outcome == Outcome::Done) return std::string(doneText);
  if (result.outcome == Outcome::Declined) return "no: the browser was left running";
  std::string message = MessageFor(app, result);
  for (char& c : message)
    if (c == '\r' || c == '\n') c = ' ';
  return "no: " + message;
}

}  // namespace

std::string NowUtc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
  return text;
}

std::string ApplyLogEntry(const App& app, const OptionSnapshot& options, const TweakReport& report,
                          const PipelineResult& result, const std::string& time) {
  std::string entry = time + std::string(kApplyTitle) + "\n" + HostLine(app) + "\n";
  std::string ticked;
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Check && options.Ticked(def.option))
      ticked += (ticked.empty() ? "" : ", ") + std::string(def.settingsKey);
    if (def.kind == OptionKind::Text)
      ticked += (ticked.empty() ? "" : ", ") + std::string(def.settingsKey) + "=" + options.Text(def.option);
  }
  entry += "Options: " + ticked + "\n";
  std::string changed;
  for (const std::string& file : report.changedFiles) changed += (changed.empty() ? "" : ", ") + file;
  entry += "Files changed: " + (changed.empty() ? std::string("none") : changed) + "\n";
  for (const TweakEffect& effect : report.effects)
    if (effect.result == EditResult::NotFound)
      entry += "Not found: " + std::string(Def(effect.option).settingsKey) + " in " + effect.file + " (" +
               effect.detail + ")\n";
  for (const FileNotRead& notRead : report.unreadable)
    entry += "Not read: " + notRead.file + (notRead.exists ? " (unreadable)\n" : " (missing)\n");
  for (const OwnRulesUse& own : report.ownRules) {
    const Skin skin = own.classic ? Skin::Classic : Skin::Modern;
    entry += "Own rules: " + OwnRulesName(skin) + ", " + std::to_string(own.bytes) + " bytes, SHA-256 " + own.sha256;
    if (own.used)
      entry += ", used\n";
    else if (!own.check.Ok())
      entry += ", not used: " +
               OwnRulesFindingText(app, skin, {own.check.line, Text(app, OwnRulesReasonKey(own.check.fault))}) + "\n";
    else
      entry += ", not used\n";
  }
  entry += std::string(kInstalledLine) + ResultLine(app, result, kDoneWord) + "\n";
  if (result.outcome == Outcome::RolledBack || result.outcome == Outcome::StillDown)
    entry += "Browser did not start with it: the archive before was put back\n";
  return entry;
}

std::string RestoreLogEntry(const App& app, const PipelineResult& result, const std::string& time,
                            std::string_view what) {
  return time + " " + std::string(what) + "\n" + HostLine(app) + "\nPut back: " + ResultLine(app, result, "yes") + "\n";
}

std::string KeptAsideLogEntry(const App& app, std::string_view what, const std::string& time) {
  return time + " Kept archive\n" + HostLine(app) + "\n" + std::string(what) + "\n";
}

std::string DroppedKeptAsideText(const App& app, const KeptAsideOwner& owner) {
  const std::string version = owner.hostVersion.empty() ? std::string("an unknown version") : owner.hostVersion;
  const std::string from = owner.hostArchive.empty() ? std::string("an unknown folder") : owner.hostArchive;
  const bool gone = !app.platform.files.FileExists(app.Host().KeptAsidePath());
  return "Resource.kept.dat was kept from Maxthon " + version + " (" + from +
         "), not from this one: " + (gone ? "deleted, not put back" : "never put back, but it could not be deleted");
}

std::string SettledText(const App& app, const Settled& settled) {
  const std::string why = settled.osError.empty() ? std::string() : " (" + settled.osError + ")";
  switch (settled.how) {
    case Settlement::NothingKept:
      break;
    case Settlement::KeptDropped:
      return "Maxthon 3 runs with the installed look: Resource.kept.dat, the archive from before it, was deleted";
    case Settlement::PutBack:
      return "Maxthon 3 was not running, so it was never seen to start with the installed look: Resource.kept.dat, "
             "the archive from before it, was put back into " +
             app.Host().HostArchive();
    case Settlement::NotSettled:
      return "Resource.kept.dat, the archive from before an install that was cut off, stays kept: it could not be "
             "put back or deleted" +
             why;
  }
  return {};
}

bool LogKeptAside(const App& app, std::string_view what) {
  return AppendLogEntry(app.platform, app.Path(kLogFileName), KeptAsideLogEntry(app, what, NowUtc()));
}

std::string LastInstallTime(std::string_view log) {
  std::string last;
  std::string entryTime;  // of the entry being read, when it is an Apply
  bool firstLine = true;
  while (!log.empty()) {
    const std::size_t end = log.find('\n');
    std::string_view line = log.substr(0, end);
    log = end == std::string_view::npos ? std::string_view() : log.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) {
      firstLine = true;
      continue;
    }
    if (firstLine)
      entryTime = line.ends_with(kApplyTitle) ? std::string(line.substr(0, line.size() - kApplyTitle.size())) : "";
    firstLine = false;
    if (!entryTime.empty() && line.starts_with(kInstalledLine) && line.substr(kInstalledLine.size()) == kDoneWord)
      last = entryTime;
  }
  return last;
}

std::string LastInstallTime(const App& app) {
  return LastInstallTime(app.platform.files.ReadFile(app.Path(kLogFileName)).value_or(""));
}

bool LogApply(const App& app, const OptionSnapshot& options, const TweakReport& report, const PipelineResult& result) {
  return AppendLogEntry(app.platform, app.Path(kLogFileName), ApplyLogEntry(app, options, report, result, NowUtc()));
}

bool LogRestore(const App& app, const PipelineResult& result, std::string_view what) {
  return AppendLogEntry(app.platform, app.Path(kLogFileName), RestoreLogEntry(app, result, NowUtc(), what));
}

std::string LogNotWrittenNote(const App& app, bool written) {
  return written ? std::string() : Fill(Text(app, "LogNotWritten"), {{"$file", app.Path(kLogFileName)}});
}

}  // namespace rw
