// The roads that the main window and the command line both take: one flow
// each, told and asked through a RoadUser (the window, the console, a
// test), so that the two differ only in how they ask and tell.
#pragma once

#include <optional>
#include <string>

#include "app/host_check.h"
#include "engine/tweak_report.h"
#include "pipeline/outcome.h"
#include "pipeline/pipeline.h"
#include "pipeline/road_user.h"
#include "stores/own_rules_files.h"

namespace rw {

struct App;
class OptionModel;

/// Who starts the program: a RoadUser that may also be asked for the host
/// folder when none is found (the window's start shows the dialog).
class StartUser : public RoadUser {
 public:
  // A start neither closes the host nor works on the tree.
  bool ConfirmCloseHost() override { return false; }
  void SetBusy(bool) override {}
  void StepAside() override {}
  /// Sets app.HostBinFolder when the user names a host folder.
  virtual void ChooseHostFolder(App& /*app*/) {}
};

/// What a start needs of the host to go on. The window opens on any host
/// found, and stores a newly found folder at once; a command needs one ready
/// for it, and writes the folder only then, so a refusal leaves all as it was.
enum class HostNeed { Found, Ready };

/// Why a start goes no further; its word was told (a raised window says
/// nothing).
enum class StartStop {
  None,
  AlreadyRunning,   // another instance holds this program folder, or a window of the program is open
  CommandLineBusy,  // a command-line run of this folder is at work
  MissingTool,
  NoHostFolder,
  Locked,
  HostNotReady,
};

/// What every start does once it holds the program folder: the tools (when
/// `needsTools`), the host folder and the host check (CheckHost), telling
/// `user` what stops it and what the check has to say.
StartStop PrepareHost(App& app, StartUser& user, bool needsTools, HostNeed need);

/// CheckHost, and its word told: what start-up and re-pointing run.
HostCheckResult CheckHostAndTell(App& app, RoadUser& user);

/// Whether an install watches the host start ("HealthCheck", on unless "0").
Watch WatchWanted(const App& app);

/// Language and host as start-up finds them, writing nothing: the host
/// folder, its Bin folder and version. False when no host folder is found.
bool LookAtHost(App& app);

/// The working tree as Apply and the preview need it: a tree that never
/// finished unpacking, or lost files since, is built again now.
PipelineResult EnsureTree(App& app, RoadUser& user);

/// What a road that writes the log did, and whether its entry was written.
struct Logged {
  PipelineResult result;
  bool logged = true;
};

struct Applied {
  PipelineResult result;
  TweakReport report;
  bool ownRulesWritten = false;  // the own rules handed in are the user's files now
  bool logged = true;
};
/// Apply: the options checked and stored first (with `language` when it
/// was imported), so the settings file holds what is installed; then the
/// tree made sure of, the tweaks written from what was stored, installed
/// with the watch wanted, and logged. Done forgets a browser update.
/// `ownRules` (imported, not yet the user's files) are written with the
/// options they came with.
Applied ApplyOptions(App& app, RoadUser& user, OptionModel& options, bool compositionEnabled,
                     const std::string& language = {}, const OwnRulesPair* ownRules = nullptr);

/// Restore: installs the backup of the current host version; NoBackup when
/// there is none, NoHostVersion when the version is unknown. Logged.
Logged RestoreHost(App& app, RoadUser& user);

/// Puts back the archive an install kept aside when its watch was cut off,
/// closing and starting the host, and logs it.
Logged PutBackKept(App& app, RoadUser& user);

/// After an install whose watch was cut off: asks whether the archive it
/// kept aside goes back (PutBackKept) or is forgotten. nullopt when no
/// archive of this host is kept or the user keeps the installed one.
std::optional<Logged> OfferKeptArchive(App& app, RoadUser& user);

/// After a browser update: asks once per version whether the stored options
/// go onto it now; true when they should. Any answer ends the offer, and a
/// no is remembered for this version ("ReapplyDeclined").
bool OfferToReapply(App& app, RoadUser& user, const OptionModel& options, bool compositionEnabled);

}  // namespace rw
