#include "ui/command_verbs.h"

#include "stores/text.h"

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/field_checks.h"
#include "ui/looks.h"
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/own_rules_state.h"
#include "ui/preview.h"
#include "ui/roads.h"
#include "ui/settings_transfer.h"

namespace rw {

namespace {

// A road's user on the command line: nothing to grey, hide or show a wait
// in, nobody to ask. Whether a host with a window may be closed was said on
// the command line.
class ConsoleRoadUser : public RoadUser {
 public:
  explicit ConsoleRoadUser(bool mayCloseHost = false) : mayCloseHost_(mayCloseHost) {}
  bool ConfirmCloseHost() override { return mayCloseHost_; }
  void SetBusy(bool) override {}
  void StepAside() override {}

 private:
  bool mayCloseHost_;
};

// A command's start: what stops it is kept for its last word.
class ConsoleStart : public StartUser {
 public:
  void Tell(std::string_view text, MessageIcon) override { told = text; }
  std::string told;
};

ExitCode Fail(ConsoleOutput& console, const std::string& reason) {
  console.Err(reason + "\n");
  return ExitCode::Failed;
}

bool HasArchiveToUnpack(const Installation& installation) {
  Platform& platform = installation.platform;
  if (platform.files.FileExists(installation.PackedArchive())) return true;
  if (platform.files.FileExists(installation.BackupPath())) return IsUsableArchive(platform, installation.BackupPath());
  return IsUsableArchive(platform, installation.HostArchive());
}

std::string UnpackFailure(const App& app, const PipelineResult& result) {
  std::string_view key = "CommandUnpackIncomplete";
  if (result.outcome == Outcome::ArchiveUnusable) key = "CommandArchiveUnusable";
  if (result.outcome == Outcome::BackupUnusable) key = "CommandBackupUnusable";
  if (result.outcome == Outcome::ArchiveNotReadable) key = "CommandArchiveNotReadable";
  std::string reason = Fill(Text(app, key), {{"$file", result.file}});
  if (!result.osError.empty()) reason += " (" + result.osError + ")";
  return reason;
}

// Builds the tree as the first start would; the reason when it cannot.
std::optional<ExitCode> UnpackIfNeeded(App& app, ConsoleOutput& console) {
  const Installation installation = app.Host();
  if (IsTreeUsable(installation)) return std::nullopt;
  const auto why = [&](std::string_view reasonKey) {
    return Fill(Text(app, "CommandUnpackFirst"), {{"$folder", installation.Tree()}, {"$reason", Text(app, reasonKey)}});
  };
  if (!ToolsPresent(app)) return Fail(console, why("CommandNoTools"));
  if (!HasArchiveToUnpack(installation)) return Fail(console, why("CommandNoArchive"));
  // Start-up removes a packed archive of an older host before it could be
  // unpacked for this one; that check writes, so it is left to the window.
  // Only a recorded version that differs tells of an older host: with none
  // recorded, only command-line runs for this host have packed it.
  const std::string recorded = Read(app, ProgramSetting::FileVersion);
  if (!recorded.empty() && recorded != kDefaultFileVersion && recorded != app.HostVersion &&
      app.platform.files.FileExists(installation.PackedArchive()))
    return Fail(console, why("CommandNewHostVersion"));
  if (!ClaimForCommandLine(app.platform, app.programFolder)) {
    console.Err(why("CommandWindowOpen") + "\n");
    return ExitCode::WindowOpen;
  }
  ConsoleRoadUser user;
  const PipelineResult result = EnsureTree(app, user);
  if (result.outcome != Outcome::Done) return Fail(console, UnpackFailure(app, result));
  return std::nullopt;
}

ExitCode ExitCodeFor(Outcome outcome) {
  switch (outcome) {
    case Outcome::Done:
      return ExitCode::Done;
    case Outcome::NoBackup:
      return ExitCode::NothingToDo;
    case Outcome::Declined:
      return ExitCode::HostRunning;
    // The host was closed and its archive replaced, and it did not come up.
    case Outcome::RolledBack:
    case Outcome::RollbackFailed:
    case Outcome::StillDown:
    case Outcome::RestoredButDown:
      return ExitCode::RolledBack;
    default:
      return ExitCode::Failed;
  }
}

// A message's paragraphs on one line, for scripts that read line by line.
std::string OneLine(std::string_view text) {
  std::string line;
  for (const char c : text) {
    const bool breaks = c == '\r' || c == '\n';
    if (!breaks)
      line += c;
    else if (!line.empty() && line.back() != ' ')
      line += ' ';
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// "1 file", "2 files": `oneKey` holds the first, `manyKey` the other with "$count".
std::string Count(const App& app, std::size_t n, std::string_view oneKey, std::string_view manyKey) {
  return n == 1 ? Text(app, oneKey) : Fill(Text(app, manyKey), {{"$count", std::to_string(n)}});
}

// The last word of /apply and /restore: success is one line on standard
// output; anything else is the message the window would show, on standard
// error and, unless /quiet, in a message box.
ExitCode Finish(const App& app, ConsoleOutput& console, const Invocation& invocation, ExitCode code, std::string text) {
  if (code == ExitCode::Done) {
    console.Out(text + "\n");
    return code;
  }
  // A language file may leave a message empty, but a script still needs a line.
  if (OneLine(text).empty())
    text = Fill(Text(app, "CommandStopped"), {{"$code", std::to_string(static_cast<int>(code))}});
  console.Err(OneLine(text) + "\n");
  // What left the browser as it was, or waits for the user, is no failure.
  const bool warning = code == ExitCode::NothingToDo || code == ExitCode::HostRunning || code == ExitCode::RolledBack ||
                       code == ExitCode::WindowOpen;
  if (!invocation.Has(kQuietSwitch))
    app.Message(text, MessageButtons::Ok, 0, warning ? MessageIcon::Warning : MessageIcon::Error);
  return code;
}

std::string MessageOf(const App& app, const PipelineResult& result) {
  if (result.outcome == Outcome::Declined) return Text(app, "HostLeftRunning");
  return MessageFor(app, result);
}

struct Refusal {
  ExitCode code;
  std::string message;
};

// What a start does before the window opens, with no dialog and no
// message: this program folder's claim, the tools, the host folder and the
// host check. A refusal leaves the host as it was.
std::optional<Refusal> PrepareAsAStart(App& app, bool needsTools) {
  ConsoleStart user;
  const StartStop stop = Start(app, user, {WhenClaimed::Refuse, needsTools, HostNeed::Ready});
  if (stop == StartStop::None) return std::nullopt;
  return Refusal{stop == StartStop::AlreadyRunning ? ExitCode::WindowOpen : ExitCode::Failed, user.told};
}

// A file of own rules that is not used is an error worth a line of its own,
// though the options go on.
void TellRefusedOwnRules(const App& app, ConsoleOutput& console) {
  for (const OwnRulesLook& look : LookAtOwnRules(app)) {
    if (look.read.state == OwnRulesRead::State::Unreadable)
      console.Err(Fill(Text(app, "OwnRulesUnreadable"), {{"$file", OwnRulesName(look.skin)}}) + "\n");
    for (const OwnRulesFinding& finding : look.findings)
      if (finding.fault)
        console.Err(Fill(Text(app, "OwnRulesRefused"), {{"$finding", OwnRulesFindingText(app, look.skin, finding)}}) +
                    "\n");
  }
}

std::string AppliedLine(const App& app, const TweakReport& report) {
  std::size_t notFound = 0;
  for (const TweakEffect& effect : report.effects)
    if (effect.result == EditResult::NotFound) ++notFound;
  return Fill(Text(app, notFound > 0 ? "CommandAppliedNotFound" : "CommandApplied"),
              {{"$archive", app.Host().HostArchive()},
               {"$version", app.HostVersion},
               {"$files", Count(app, report.changedFiles.size(), "CommandOneFile", "CommandFiles")},
               {"$places", Count(app, notFound, "CommandOnePlace", "CommandPlaces")},
               {"$log", kLogFileName}});
}

// An install cut off while it watched the browser start left the archive
// from before kept aside; a new install would keep another over it. The
// window asks the user; with nobody to ask it is settled as the watch would
// have, and only one that stays kept stops the command.
std::optional<ExitCode> SettleKeptArchive(App& app, ConsoleOutput& console, const Invocation& invocation) {
  const Settled settled = SettleKeptAside(app.Host());
  if (settled.how == Settlement::NothingKept) return std::nullopt;
  LogKeptAside(app, SettledText(app, settled));
  if (settled.how != Settlement::NotSettled) return std::nullopt;
  std::string text = Fill(Text(app, "KeptAsidePending"), {{"$file", app.Host().KeptAsidePath()}});
  if (!settled.osError.empty()) text += "\r\n\r\n" + settled.osError;
  return Finish(app, console, invocation, ExitCode::Failed, text);
}

}  // namespace

ExitCode ApplyVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  if (const std::optional<Refusal> refused = PrepareAsAStart(app, /*needsTools=*/true))
    return Finish(app, console, invocation, refused->code, refused->message);
  if (const std::optional<ExitCode> failed = SettleKeptArchive(app, console, invocation)) return *failed;
  // A look chosen by /undo or /look becomes the stored options, under the claim.
  if (const std::optional<std::string> failed = invocation.look ? PutLookInPlace(app, *invocation.look) : std::nullopt)
    return Finish(app, console, invocation, ExitCode::Failed,
                  Fill(Text(app, "LookNotPutInPlace"), {{"$file", *failed}}));

  // The options as the window loads them, so this installs what its OK would.
  const bool composition = app.platform.desktop.IsCompositionEnabled();
  OptionModel model;
  LoadOptions(app, model, composition);
  ConsoleRoadUser user(invocation.Has(kForceSwitch));
  TellRefusedOwnRules(app, console);
  const Applied applied = ApplyOptions(app, user, model, composition);
  const PipelineResult& result = applied.result;
  // A log that could not be written is said on the error stream, once.
  if (!applied.logged) console.Err(LogNotWrittenNote(app, false) + "\n");
  return Finish(app, console, invocation, ExitCodeFor(result.outcome),
                result.outcome == Outcome::Done ? AppliedLine(app, applied.report) : MessageOf(app, result));
}

ExitCode RestoreVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  if (const std::optional<Refusal> refused = PrepareAsAStart(app, /*needsTools=*/false))
    return Finish(app, console, invocation, refused->code, refused->message);
  if (const std::optional<ExitCode> failed = SettleKeptArchive(app, console, invocation)) return *failed;
  ConsoleRoadUser user(invocation.Has(kForceSwitch));
  const auto [result, logged] = RestoreHost(app, user);
  if (!logged) console.Err(LogNotWrittenNote(app, false) + "\n");
  return Finish(app, console, invocation, ExitCodeFor(result.outcome),
                result.outcome == Outcome::Done
                    ? Fill(Text(app, "CommandRestored"), {{"$backup", app.Host().BackupPath()},
                                                          {"$archive", app.Host().HostArchive()},
                                                          {"$version", app.HostVersion}})
                    : MessageOf(app, result));
}

ExitCode PreviewVerb(App& app, ConsoleOutput& console, const Invocation&) {
  if (!LookAtHost(app)) return Fail(console, Fill(Text(app, "CommandNoHost"), {{"$file", app.SettingsPath()}}));
  if (app.HostVersion.empty())
    return Fail(console, Fill(Text(app, "CommandNoHostVersion"), {{"$file", app.Host().HostExecutable()}}));
  if (const std::optional<ExitCode> failed = UnpackIfNeeded(app, console)) return *failed;

  // The options as the window loads them, so the preview is what its OK
  // would do.
  const bool composition = app.platform.desktop.IsCompositionEnabled();
  OptionModel model;
  LoadOptions(app, model, composition);
  TellRefusedOwnRules(app, console);
  console.Out(PreviewAsText(BuildPreview(app, WithEveryFieldChecked(model).Snapshot(), composition)));
  return ExitCode::Done;
}

}  // namespace rw
