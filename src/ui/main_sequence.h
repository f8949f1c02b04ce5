// The program's entry sequence: single instance, language, tools, host
// folder, host check and the hand-over to the main window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/app.h"
#include "app/host_check.h"
#include "platform/platform.h"
#include "ui/roads.h"
#include "ui/ui_factory.h"

namespace rw {

inline constexpr std::string_view kAppVersion = "1.2.7";
inline constexpr std::uint32_t kLcidChineseSimplified = 2052;

/// How Main ended. Every exit but MainWindowShown leaves no window open.
enum class MainExit {
  AlreadyRunning,   // another main window was raised instead
  CommandLineBusy,  // a command-line run of this folder is at work; the user was told
  MissingTool,      // unpak.exe or makpak.exe is missing
  NoHostFolder,     // neither settings, registry nor the dialog gave one
  StartupAborted,   // the old working tree could not be removed
  MainWindowShown,  // the program now lives as long as the main window
};

MainExit Main(App& app, UiFactory& ui);

/// What a start does when another instance holds this program folder.
enum class WhenClaimed {
  MeetIt,  // waits for its window and raises it, as any open window of the program is
  Refuse,  // goes no further, and leaves every window as it is
};

/// How a start differs between the window and a command.
struct StartPolicy {
  WhenClaimed whenClaimed;
  bool needsTools;
  HostNeed host;
};

/// Every start, the window's and a command's: the program named, this
/// program folder claimed (a command's claim also says no window is on its
/// way), the language chosen, then PrepareHost as `policy` says. A raised
/// window is the one stop that tells `user` nothing.
StartStop Start(App& app, StartUser& user, const StartPolicy& policy);

/// Sets app.AppVersion and app.AppTitle, the title the main window is
/// found by.
void NameTheProgram(App& app);

/// The language start-up uses: the "Language" setting, else the system's
/// (Chinese Simplified or English); English when its file is missing.
std::string ChooseLanguage(const App& app);

/// True when both archive tools are in the program folder.
bool ToolsPresent(const App& app);

struct FoundHostFolder {
  std::string folder;  // canonical, with a trailing backslash
  bool store = false;  // "InstallFolder" does not hold it in this spelling yet
};

/// The host folder as start-up finds it, without asking and without
/// writing: the "InstallFolder" setting when it names a host, else the
/// registry value when that does.
std::optional<FoundHostFolder> FindHostFolder(const App& app);

/// The canonical form of `folder`, with a trailing backslash, when it is a
/// fully qualified path holding "Bin\Maxthon.exe".
std::optional<std::string> CanonicalHostFolder(Platform& platform, std::string_view folder);

/// The name Main claims so that one program folder runs once:
/// "Ravelwick-" and a hash of the folder's identity (of its long, lowered
/// path where it has none).
std::string SingleInstanceName(Platform& platform, const std::string& programFolder);

/// CheckHostInstallation, and an entry in the log for a kept archive it
/// dropped. What start-up, re-pointing and the writing verbs run.
HostCheckResult CheckHost(App& app);

/// The claim of a command-line run: the program folder's, as Main claims
/// it, and a second one that tells a start meeting it that no window is on
/// its way. False when another instance holds the folder's.
bool ClaimForCommandLine(Platform& platform, const std::string& programFolder);

/// `folder` with "\" appended unless it already ends in one.
std::string WithTrailingBackslash(std::string folder);

}  // namespace rw
