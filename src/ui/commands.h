// The main window's menu commands that act on the host installation as a
// whole, kept apart from the window so they run against test doubles.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/option_snapshot.h"
#include "engine/tweak_report.h"
#include "platform/platform.h"

namespace rw {

struct App;

/// Writes the options into the working tree: the modern skin and, unless
/// the host has only that one, the classic skin. What OK and /apply install.
TweakReport WriteTweaks(const App& app, const OptionSnapshot& options, bool compositionEnabled);

/// Help: opens "HelpURL" in the host browser, or in the default browser
/// when the host's executable is missing.
void HelpCommand(App& app);

/// The help address made safe to hand on: control characters dropped,
/// quotes percent-encoded. nullopt for an empty address or one that would
/// read as a switch.
std::optional<std::string> SafeHelpAddress(std::string_view address);
/// `text` quoted as one command-line argument; backslashes before the
/// closing quote are doubled so they cannot escape it.
std::string QuoteArgument(std::string_view text);

/// The About box's three lines.
std::string AboutText(const App& app);
void AboutCommand(App& app, WindowHandle owner);

}  // namespace rw
