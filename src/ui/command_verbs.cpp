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
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/preview.h"
#include "ui/settings_transfer.h"

namespace rw {

namespace {

// The pipeline's window, where there is none: nothing to disable, hide or
// ask with. Whether a host with a window may be closed was said on the
// command line.
class NoWindow : public MainWindowOps {
 public:
  explicit NoWindow(bool mayCloseHost = false) : mayCloseHost_(mayCloseHost) {}
  WindowHandle Handle() override { return 0; }
  bool ConfirmCloseHost() override { return mayCloseHost_; }
  void SetBusy(bool) override {}
  void Hide() override {}

 private:
  bool mayCloseHost_;
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
  NoWindow noWindow;
  const PipelineResult result = UnpackArchive(installation, noWindow);
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
  NameTheProgram(app);
  app.LanguageName = ChooseLanguage(app);
  // Claimed as the window's start claims it, so of the window and any number
  // of verbs started at once exactly one goes on; a copy of the program in
  // another folder shows its window.
  if (!ClaimForCommandLine(app.platform, app.programFolder) ||
      app.platform.desktop.FindTopWindow(std::string(kMainWindowClass), app.AppTitle))
    return Refusal{ExitCode::WindowOpen, Text(app, "AlreadyRunning")};
  if (needsTools && !ToolsPresent(app)) return Refusal{ExitCode::Failed, Text(app, "MissingFile")};
  const std::optional<FoundHostFolder> found = FindHostFolder(app);
  if (!found) return Refusal{ExitCode::Failed, Text(app, "NoMX3")};
  app.HostBinFolder = found->folder + "Bin\\";
  const HostCheckResult check = CheckHost(app);
  if (check.outcome == HostCheck::NoVersion)
    return Refusal{ExitCode::Failed, MessageFor(app, {Outcome::NoHostVersion, app.Host().HostExecutable()})};
  if (check.outcome != HostCheck::Ready) return Refusal{ExitCode::Failed, MessageFor(app, check)};
  if (found->store) Write(app, ProgramSetting::InstallFolder, found->folder);
  return std::nullopt;
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

  // The options as the window loads them, so this installs what its OK would.
  const bool composition = app.platform.desktop.IsCompositionEnabled();
  OptionModel model;
  LoadOptions(app, model, composition);
  // As OK does: checked and stored first, so a hand-edited value is
  // corrected and the file keeps what is installed.
  PipelineResult result = SaveForInstall(app, model, composition);
  const OptionSnapshot options = model.Snapshot();
  NoWindow window(invocation.Has(kForceSwitch));
  TweakReport report;
  // A tree that never finished unpacking, or lost files since, is built
  // again rather than packed.
  if (result.outcome == Outcome::Done && !IsTreeUsable(app.Host())) result = UnpackArchive(app.Host(), window);
  if (result.outcome == Outcome::Done) {
    report = WriteTweaks(app, options, composition);
    result = InstallArchive(app.Host(), window, /*restore=*/false, HealthCheckWanted(app));
  }
  // A log that could not be written is said on the error stream, once.
  if (!LogApply(app, options, report, result)) console.Err(LogNotWrittenNote(app, false) + "\n");
  // The options are on this version now: nothing left to offer.
  if (result.outcome == Outcome::Done) ForgetUpdate(app);
  return Finish(app, console, invocation, ExitCodeFor(result.outcome),
                result.outcome == Outcome::Done ? AppliedLine(app, report) : MessageOf(app, result));
}

ExitCode RestoreVerb(App& app, ConsoleOutput& console, const Invocation& invocation) {
  if (const std::optional<Refusal> refused = PrepareAsAStart(app, /*needsTools=*/false))
    return Finish(app, console, invocation, refused->code, refused->message);
  if (const std::optional<ExitCode> failed = SettleKeptArchive(app, console, invocation)) return *failed;
  NoWindow window(invocation.Has(kForceSwitch));
  const PipelineResult result = RestoreCommand(app, window);
  if (!LogRestore(app, result)) console.Err(LogNotWrittenNote(app, false) + "\n");
  return Finish(app, console, invocation, ExitCodeFor(result.outcome),
                result.outcome == Outcome::Done
                    ? Fill(Text(app, "CommandRestored"), {{"$backup", app.Host().BackupPath()},
                                                          {"$archive", app.Host().HostArchive()},
                                                          {"$version", app.HostVersion}})
                    : MessageOf(app, result));
}

ExitCode PreviewVerb(App& app, ConsoleOutput& console, const Invocation&) {
  app.LanguageName = ChooseLanguage(app);
  const std::optional<FoundHostFolder> found = FindHostFolder(app);
  if (!found) return Fail(console, Fill(Text(app, "CommandNoHost"), {{"$file", app.SettingsPath()}}));
  app.HostBinFolder = found->folder + "Bin\\";
  ReadHostVersion(app);
  if (app.HostVersion.empty())
    return Fail(console, Fill(Text(app, "CommandNoHostVersion"), {{"$file", app.Host().HostExecutable()}}));
  if (const std::optional<ExitCode> failed = UnpackIfNeeded(app, console)) return *failed;

  // The options as the window loads them, so the preview is what its OK
  // would do.
  const bool composition = app.platform.desktop.IsCompositionEnabled();
  OptionModel model;
  LoadOptions(app, model, composition);
  console.Out(PreviewAsText(BuildPreview(app, WithEveryFieldChecked(model).Snapshot(), composition)));
  return ExitCode::Done;
}

}  // namespace rw
