// The command line's verbs that carry settings between installations.
#pragma once

#include <string_view>

#include "ui/command_line.h"

namespace rw {

/// Makes /export write the named looks to the file as well.
inline constexpr std::string_view kWithLooksSwitch = "/withlooks";

/// Writes the stored options and language to FILE (the export format);
/// refuses the program's own settings.ini. Done or Failed.
ExitCode ExportVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

/// Checks FILE as an import in the window would and stores the result in
/// settings.ini, printing the import report. Done, Failed (refused or not
/// written; settings.ini unchanged) or WindowOpen while the window runs.
ExitCode ImportVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

}  // namespace rw
