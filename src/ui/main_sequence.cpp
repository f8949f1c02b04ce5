#include "ui/main_sequence.h"

#include <cstdio>

#include "app/host_check.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "platform/canonical_path.h"
#include "stores/settings.h"
#include "ui/activity_log.h"
#include "ui/roads.h"

namespace rw {

namespace {

// The first start may still be on its way to its main window, or be a
// command-line run that is about to end.
constexpr unsigned kRunningWindowPollMs = 100;
constexpr int kRunningWindowPolls = 50;

std::string CommandLineRunName(const std::string& instanceName) { return instanceName + "-CommandLine"; }

// How the claim of this program folder went.
enum class Claim { Held, Raised, CommandLineBusy, Refused };

WindowHandle OpenMainWindow(const App& app) {
  return app.platform.desktop.FindTopWindow(std::string(kMainWindowClass), app.AppTitle);
}

// Another instance holds this folder's claim. Its window is raised once it
// shows; when the other instance ends meanwhile, this start goes on
// (nullopt); a command-line run still at work is told about.
std::optional<Claim> MeetTheOtherInstance(App& app, const std::string& instanceName) {
  for (int poll = 0;; ++poll) {
    if (const WindowHandle window = OpenMainWindow(app)) {
      app.platform.desktop.RaiseWindow(window);
      return Claim::Raised;
    }
    if (app.platform.system.ClaimSingleInstance(instanceName)) return std::nullopt;
    if (poll == kRunningWindowPolls) break;
    app.platform.system.Sleep(kRunningWindowPollMs);
  }
  // A start with no window yet (a dialog, a message) holds only the first
  // name. Holding the second costs nothing: this process ends now.
  if (app.platform.system.ClaimSingleInstance(CommandLineRunName(instanceName))) return Claim::Raised;
  return Claim::CommandLineBusy;
}

Claim ClaimProgramFolder(App& app, WhenClaimed whenClaimed) {
  if (whenClaimed == WhenClaimed::Refuse) {
    // Claimed as the window's start claims it, so of the window and any
    // number of commands started at once exactly one goes on; a copy of the
    // program in another folder shows its window.
    if (!ClaimForCommandLine(app.platform, app.programFolder) || OpenMainWindow(app)) return Claim::Refused;
    return Claim::Held;
  }
  if (const std::string name = SingleInstanceName(app.platform, app.programFolder);
      !app.platform.system.ClaimSingleInstance(name)) {
    if (const std::optional<Claim> met = MeetTheOtherInstance(app, name)) return *met;
  }
  // A copy in another folder counts as running too.
  if (const WindowHandle running = OpenMainWindow(app)) {
    app.platform.desktop.RaiseWindow(running);
    return Claim::Raised;
  }
  return Claim::Held;
}

// The start of the window, before it opens: its words are boxes of their
// own, and the host folder dialog is shown when no folder is found.
class StartingWindow : public StartUser {
 public:
  StartingWindow(App& app, UiFactory& ui) : app_(app), ui_(ui) {}
  void Tell(std::string_view text, MessageIcon icon) override { app_.Message(text, MessageButtons::Ok, 0, icon); }
  void ChooseHostFolder(App& app) override { ui_.ShowSetFolderDialog(app, 0, FolderDialogCause::NoneFound); }

 private:
  App& app_;
  UiFactory& ui_;
};

}  // namespace

HostCheckResult CheckHost(App& app) {
  HostCheckResult check = CheckHostInstallation(app);
  if (check.droppedKeptAside) LogKeptAside(app, DroppedKeptAsideText(app, *check.droppedKeptAside));
  return check;
}

std::string WithTrailingBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::optional<std::string> CanonicalHostFolder(Platform& platform, std::string_view folder) {
  // A relative folder would be resolved against whatever the current folder
  // happens to be, so it never counts; nor does an empty text.
  const std::optional<std::string> canonical = CanonicalPath(platform, folder);
  if (!canonical) return std::nullopt;
  const std::string withSlash = WithTrailingBackslash(*canonical);
  const Installation host{platform, {}, Installation::BinFolderOf(withSlash), {}};
  if (!platform.files.FileExists(host.HostExecutable())) return std::nullopt;
  return withSlash;
}

std::string SingleInstanceName(Platform& platform, const std::string& programFolder) {
  // The folder's identity: a start through a junction, a substituted drive
  // or a share is the same program folder. Without one, the long, lowered
  // form: a start through an 8.3 path or in other letter case is.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  const auto mix = [&](std::uint64_t byte) { hash = (hash ^ (byte & 0xFF)) * 0x100000001b3ULL; };
  if (const std::optional<FileIdentity> identity = platform.files.IdentityOf(programFolder)) {
    for (const std::uint64_t part : {identity->volume, identity->indexHigh, identity->indexLow})
      for (int shift = 0; shift < 64; shift += 8) mix(part >> shift);
  } else {
    for (const char c : platform.system.LowerCase(CanonicalPath(platform, programFolder).value_or(programFolder)))
      mix(static_cast<unsigned char>(c));
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return "Ravelwick-" + std::string(hex);
}

bool ClaimForCommandLine(Platform& platform, const std::string& programFolder) {
  const std::string name = SingleInstanceName(platform, programFolder);
  if (!platform.system.ClaimSingleInstance(name)) return false;
  platform.system.ClaimSingleInstance(CommandLineRunName(name));
  return true;
}

std::string ChooseLanguage(const App& app) {
  std::string language = Read(app, ProgramSetting::Language);
  if (language.empty())
    language = app.platform.system.SystemDefaultLcid() == kLcidChineseSimplified ? "Chinese Simplified" : "English";
  if (!app.platform.files.FileExists(LanguageFilePath(app.programFolder, language))) language = "English";
  return language;
}

bool ToolsPresent(const App& app) {
  // Both tests are always made.
  const bool makpak = app.platform.files.FileExists(app.Path("makpak.exe"));
  const bool unpak = app.platform.files.FileExists(app.Path("unpak.exe"));
  return makpak && unpak;
}

std::optional<FoundHostFolder> FindHostFolder(const App& app) {
  // The setting wins over the registry. An invalid setting is ignored, not
  // erased; the registry value is to be stored only once it has proved
  // valid. Both are stored in canonical form, which is how the host's
  // processes are recognised.
  if (const std::string stored = Read(app, ProgramSetting::InstallFolder); !stored.empty()) {
    if (auto folder = CanonicalHostFolder(app.platform, stored))
      return FoundHostFolder{*folder, *folder != WithTrailingBackslash(stored)};
  }
  const std::string registered = app.platform.system.ReadRegistryString(std::string(kHostRegistryValue)).value_or("");
  if (registered.empty()) return std::nullopt;
  if (auto folder = CanonicalHostFolder(app.platform, registered)) return FoundHostFolder{*folder, true};
  return std::nullopt;
}

void NameTheProgram(App& app) {
  app.AppVersion = std::string(kAppVersion);
  app.AppTitle = "Ravelwick (" + app.AppVersion + ")";
}

StartStop Start(App& app, StartUser& user, const StartPolicy& policy) {
  NameTheProgram(app);
  // Claimed before anything else: of two starts at the same moment exactly
  // one gets on, where looking for a window would let both through.
  const Claim claim = ClaimProgramFolder(app, policy.whenClaimed);
  if (claim == Claim::Raised) return StartStop::AlreadyRunning;
  // Settled before the first message, so every message speaks the
  // user's language.
  app.LanguageName = ChooseLanguage(app);
  if (claim == Claim::CommandLineBusy) {
    user.Tell(Text(app, "CommandLineBusy"), MessageIcon::Information);
    return StartStop::CommandLineBusy;
  }
  if (claim == Claim::Refused) {
    user.Tell(Text(app, "AlreadyRunning"), MessageIcon::Warning);
    return StartStop::AlreadyRunning;
  }
  return PrepareHost(app, user, policy.needsTools, policy.host);
}

MainExit Main(App& app, UiFactory& ui) {
  StartingWindow user(app, ui);
  switch (Start(app, user, {WhenClaimed::MeetIt, /*needsTools=*/true, HostNeed::Found})) {
    case StartStop::AlreadyRunning:
      return MainExit::AlreadyRunning;
    case StartStop::CommandLineBusy:
      return MainExit::CommandLineBusy;
    case StartStop::MissingTool:
      return MainExit::MissingTool;
    case StartStop::NoHostFolder:
      return MainExit::NoHostFolder;
    case StartStop::Locked:
    case StartStop::HostNotReady:
      return MainExit::StartupAborted;
    case StartStop::None:
      break;
  }

  app.platform.desktop.InitCommonControls();
  ui.ShowMainWindow(app);
  return MainExit::MainWindowShown;
}

}  // namespace rw
