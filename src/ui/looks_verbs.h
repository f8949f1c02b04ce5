// The command line verbs of the looks (looks.h, named_looks.h).
#pragma once

#include <string_view>

#include "ui/command_line.h"

namespace rw {

/// Makes /apply install the named look NAME instead of the stored options.
inline constexpr std::string_view kLookSwitch = "/look";

/// ApplyVerb, with /look NAME first made the stored options under its claim;
/// Failed when no look has that name.
ExitCode ApplyWithLookVerb(App& app, ConsoleOutput& console, const Invocation& invocation);
/// Applies the look before the newest of the history as /apply does;
/// NothingToDo, with nothing changed, when there is none.
ExitCode UndoVerb(App& app, ConsoleOutput& console, const Invocation& invocation);
/// Keeps the stored options and own rules under a name; a kept look of that
/// name is replaced only with /force (else Failed).
ExitCode SaveLookVerb(App& app, ConsoleOutput& console, const Invocation& invocation);
/// Lists the history, newest first, and the named looks with their dates.
ExitCode LooksVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

}  // namespace rw
