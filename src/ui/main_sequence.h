// The program's entry sequence: single instance, language, tools, host
// folder, host check and the hand-over to the main window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/app.h"
#include "platform/platform.h"
#include "ui/ui_factory.h"

namespace rw {

inline constexpr std::string_view kAppVersion = "1.2.7";
inline constexpr std::uint32_t kLcidChineseSimplified = 2052;

/// How Main ended. Every exit but MainWindowShown leaves no window open.
enum class MainExit {
  AlreadyRunning,   // another main window was raised instead
  MissingTool,      // unpak.exe or makpak.exe is missing
  NoHostFolder,     // neither settings, registry nor the dialog gave one
  StartupAborted,   // the old working tree could not be removed
  MainWindowShown,  // the program now lives as long as the main window
};

MainExit Main(App& app, UiFactory& ui);

/// The canonical form of `folder`, with a trailing backslash, when it is a
/// fully qualified path holding "Bin\Maxthon.exe".
std::optional<std::string> CanonicalHostFolder(Platform& platform, std::string_view folder);

/// The name Main claims so that one program folder runs once:
/// "Ravelwick-" and a hash of the folder's long, lowered path.
std::string SingleInstanceName(Platform& platform, const std::string& programFolder);

/// `folder` with "\" appended unless it already ends in one.
std::string WithTrailingBackslash(std::string folder);

}  // namespace rw
