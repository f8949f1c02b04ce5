#include "ui/main_sequence.h"

#include <cstdio>

#include "app/host_check.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "platform/canonical_path.h"
#include "stores/settings.h"
#include "ui/activity_log.h"

namespace rw {

namespace {

constexpr std::string_view kHostExeBelowFolder = "Bin\\Maxthon.exe";

// The first start may still be on its way to its main window.
constexpr unsigned kRunningWindowPollMs = 100;
constexpr int kRunningWindowPolls = 50;

WindowHandle WaitForRunningMainWindow(App& app) {
  for (int poll = 0;; ++poll) {
    if (const WindowHandle window = app.platform.desktop.FindTopWindow(std::string(kMainWindowClass), app.AppTitle))
      return window;
    if (poll == kRunningWindowPolls) return 0;
    app.platform.system.Sleep(kRunningWindowPollMs);
  }
}

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
  if (!platform.files.FileExists(withSlash + std::string(kHostExeBelowFolder))) return std::nullopt;
  return withSlash;
}

std::string SingleInstanceName(Platform& platform, const std::string& programFolder) {
  // The long, lowered form: a start through an 8.3 path or in other letter
  // case is the same program folder.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : platform.system.LowerCase(CanonicalPath(platform, programFolder).value_or(programFolder))) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return "Ravelwick-" + std::string(hex);
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

MainExit Main(App& app, UiFactory& ui) {
  NameTheProgram(app);

  // Claimed before anything else: of two starts at the same moment exactly
  // one gets on, where looking for a window would let both through.
  if (!app.platform.system.ClaimSingleInstance(SingleInstanceName(app.platform, app.programFolder))) {
    if (const WindowHandle running = WaitForRunningMainWindow(app)) app.platform.desktop.RaiseWindow(running);
    return MainExit::AlreadyRunning;
  }
  // A copy in another folder counts as running too.
  if (const WindowHandle running = app.platform.desktop.FindTopWindow(std::string(kMainWindowClass), app.AppTitle)) {
    app.platform.desktop.RaiseWindow(running);
    return MainExit::AlreadyRunning;
  }

  // Settled before the first message, so every message speaks the
  // user's language.
  app.LanguageName = ChooseLanguage(app);

  if (!ToolsPresent(app)) {
    app.Message(Text(app, "MissingFile"));
    return MainExit::MissingTool;
  }

  app.HostBinFolder.clear();
  if (const std::optional<FoundHostFolder> found = FindHostFolder(app)) {
    if (found->store) Write(app, ProgramSetting::InstallFolder, found->folder);
    app.HostBinFolder = found->folder + "Bin\\";
  }
  if (app.HostBinFolder.empty()) ui.ShowSetFolderDialog(app, 0);
  if (app.HostBinFolder.empty()) {
    app.Message(Text(app, "NoMX3"));
    return MainExit::NoHostFolder;
  }

  const HostCheckResult check = CheckHost(app);
  if (const std::string message = MessageFor(app, check); !message.empty()) app.Message(message);
  if (check.outcome == HostCheck::Locked) return MainExit::StartupAborted;

  app.platform.desktop.InitCommonControls();
  ui.ShowMainWindow(app);
  return MainExit::MainWindowShown;
}

}  // namespace rw
