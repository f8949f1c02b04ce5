// The verbs of the command line (command_line.h), each run without a window.
#pragma once

#include <string_view>

#include "ui/command_line.h"

namespace rw {

/// Lets /apply and /restore close a running host that shows a window.
inline constexpr std::string_view kForceSwitch = "/force";
/// Keeps every message off the screen: standard error and the log only.
inline constexpr std::string_view kQuietSwitch = "/quiet";

/// Prints the preview of the stored options (preview.h) to standard output.
/// Finds the host as start-up does but writes nothing; only a working tree
/// that is missing or unfinished is unpacked first, as the first start
/// would. Done, Failed (with a reason on standard error) or WindowOpen when
/// it would have to unpack while the window runs in another instance.
ExitCode PreviewVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

/// Installs the stored options as the window's OK does, with no window:
/// claims the program as a start does, checks the host (a new version gets
/// its backup first), unpacks a tree that is not usable, writes the tweaks,
/// installs and watches the host, and logs. A running host with a window is
/// closed only with /force (else HostRunning, nothing changed). An archive
/// kept by an install that was cut off is settled first (SettleKeptAside).
ExitCode ApplyVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

/// Puts the host's own archive back as the window's Restore does, under the
/// same rules as ApplyVerb; NothingToDo without a backup.
ExitCode RestoreVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

}  // namespace rw
