#include "ui/roads.h"

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "app/program_settings.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/field_checks.h"
#include "ui/looks.h"
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/preview.h"
#include "ui/settings_transfer.h"

namespace rw {

HostCheckResult CheckHostAndTell(App& app, RoadUser& user) {
  const HostCheckResult check = CheckHost(app);
  if (const std::string message = MessageFor(app, check); !message.empty()) user.Tell(message, IconFor(check));
  return check;
}

StartStop PrepareHost(App& app, StartUser& user, bool needsTools, HostNeed need) {
  if (needsTools && !ToolsPresent(app)) {
    user.Tell(Text(app, "MissingFile"), MessageIcon::Error);
    return StartStop::MissingTool;
  }
  app.HostBinFolder.clear();
  const std::optional<FoundHostFolder> found = FindHostFolder(app);
  const bool store = found && found->store;
  if (found) {
    if (store && need == HostNeed::Found) Write(app, ProgramSetting::InstallFolder, found->folder);
    app.HostBinFolder = Installation::BinFolderOf(found->folder);
  } else {
    user.ChooseHostFolder(app);
  }
  if (app.HostBinFolder.empty()) {
    user.Tell(Text(app, "NoMX3"), MessageIcon::Error);
    return StartStop::NoHostFolder;
  }
  const HostCheckResult check = CheckHostAndTell(app, user);
  if (check.outcome == HostCheck::Locked) return StartStop::Locked;
  // Without a version a window still opens, and OK and Restore say why.
  if (need == HostNeed::Found) return StartStop::None;
  if (check.outcome == HostCheck::NoVersion)
    user.Tell(MessageFor(app, PipelineResult{Outcome::NoHostVersion, app.Host().HostExecutable()}), MessageIcon::Error);
  if (check.outcome != HostCheck::Ready) return StartStop::HostNotReady;
  if (store) Write(app, ProgramSetting::InstallFolder, found->folder);
  return StartStop::None;
}

Watch WatchWanted(const App& app) {
  return Read(app, ProgramSetting::HealthCheck) != "0" ? Watch::HostStart : Watch::None;
}

bool LookAtHost(App& app) {
  app.LanguageName = ChooseLanguage(app);
  const std::optional<FoundHostFolder> found = FindHostFolder(app);
  if (!found) return false;
  app.HostBinFolder = Installation::BinFolderOf(found->folder);
  ReadHostVersion(app);
  return true;
}

PipelineResult EnsureTree(App& app, RoadUser& user) {
  if (IsTreeUsable(app.Host())) return {};
  return UnpackArchive(app.Host(), user);
}

Applied ApplyOptions(App& app, RoadUser& user, OptionModel& options, bool compositionEnabled,
                     const std::string& language, const OwnRulesPair* ownRules) {
  Applied applied;
  // Nothing of another host version may reach this one.
  if (app.HostVersion.empty())
    applied.result = {Outcome::NoHostVersion, app.Host().HostExecutable()};
  else
    // Installed only what the settings file now holds, or the next /apply
    // would take it back.
    applied.result = SaveForInstall(app, options, compositionEnabled, language);
  if (applied.result.outcome == Outcome::Done && ownRules) {
    if (FileChange written = WriteBothOwnRules(app.platform, app.programFolder, *ownRules); !written)
      applied.result = {Outcome::SettingsUnsaved, app.Path(kOwnRulesFolder), std::move(written.osError)};
    else
      applied.ownRulesWritten = true;
  }
  const OptionSnapshot snapshot = options.Snapshot();
  // What was saved, even if a box was clicked while the tree was unpacked.
  if (applied.result.outcome == Outcome::Done) applied.result = EnsureTree(app, user);
  if (applied.result.outcome == Outcome::Done) {
    applied.report = WriteTweaks(app, snapshot, compositionEnabled);
    applied.result = Install(app.Host(), user, WatchWanted(app));
  }
  applied.logged = LogApply(app, snapshot, applied.report, applied.result);
  // The options are on this version now: nothing left to offer.
  if (applied.result.outcome == Outcome::Done) {
    ForgetUpdate(app);
    // Installed and through the watch: a look to come back to.
    RecordLook(app, snapshot);
  }
  return applied;
}

Logged RestoreHost(App& app, RoadUser& user) {
  const Installation installation = app.Host();
  PipelineResult result;
  if (installation.hostVersion.empty())
    result = {Outcome::NoHostVersion, installation.HostExecutable()};
  else if (!app.platform.files.FileExists(installation.BackupPath()))
    result = {Outcome::NoBackup, {}};
  else
    result = Restore(installation, user, WatchWanted(app));
  // The next start prepares everything again, and has no options to offer
  // for a look the user chose to leave.
  if (result.outcome == Outcome::Done || result.outcome == Outcome::RestoredButDown) {
    ForgetUpdate(app);
    Write(app, ProgramSetting::FileVersion, "");
  }
  return {result, LogRestore(app, result)};
}

Logged PutBackKept(App& app, RoadUser& user) {
  const PipelineResult result = PutBackKeptAside(app.Host(), user);
  return {result, LogRestore(app, result, "Previous look put back")};
}

std::optional<Logged> OfferKeptArchive(App& app, RoadUser& user) {
  if (!HasKeptAsideArchive(app.Host())) return std::nullopt;
  if (user.Ask(Text(app, "KeptAsideFound"))) return PutBackKept(app, user);
  DropKeptAside(app.Host());
  return std::nullopt;
}

// A browser update brings its own interface back; the user's choices are
// still in the settings and can go onto the new version at once.
bool OfferToReapply(App& app, RoadUser& user, const OptionModel& options, bool compositionEnabled) {
  const std::string version = app.HostVersion;
  const std::string from = app.UpdatedFromVersion;
  if (Read(app, ProgramSetting::ReapplyDeclined) == version) {
    ForgetUpdate(app);
    return false;
  }
  const OptionSnapshot snapshot = WithEveryFieldChecked(options).Snapshot();
  int ticked = 0;
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check && snapshot.Ticked(def.option)) ++ticked;
  if (ticked == 0) {
    ForgetUpdate(app);
    return false;
  }
  std::string question =
      Fill(Text(app, "ReapplyAfterUpdate"), {{"$old", from}, {"$new", version}, {"$count", std::to_string(ticked)}});
  const Preview preview = BuildPreview(app, snapshot, compositionEnabled);
  if (preview.notFound > 0)
    question += " " + Fill(Text(app, "ReapplyNotFound"), {{"$count", std::to_string(preview.notFound)}});
  const bool yes = user.Ask(question);
  ForgetUpdate(app);
  if (!yes) Write(app, ProgramSetting::ReapplyDeclined, version);
  return yes;
}

}  // namespace rw
