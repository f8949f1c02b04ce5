// The verbs of the command line (command_line.h), each run without a window.
#pragma once

#include "ui/command_line.h"

namespace rw {

/// Prints the preview of the stored options (preview.h) to standard output.
/// Finds the host as start-up does but writes nothing; only a working tree
/// that is missing or unfinished is unpacked first, as the first start
/// would. Done, Failed (with a reason on standard error) or WindowOpen when
/// it would have to unpack while the window runs in another instance.
ExitCode PreviewVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

}  // namespace rw
