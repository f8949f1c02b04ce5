// /status: the header line and every option with its value, in words.
#pragma once

#include <string>
#include <vector>

#include "pipeline/archive_state.h"
#include "ui/command_line.h"

namespace rw {

struct App;
struct OptionDef;
class OptionModel;

struct OptionStatus;

/// An option's caption in the chosen language, without the colon that
/// leads into a field; a text field is named by its own caption.
std::string CaptionOf(const App& app, const OptionDef& def);

/// What is to be said about an option beside its value, each in words of
/// the chosen language: whether it differs from the default, then what its
/// live status says (no place found, contradicted, needs another, greyed).
std::vector<std::string> MarksInWords(const App& app, const OptionDef& def, const OptionModel& model,
                                      const OptionStatus& status);

/// Whether the model holds the option's default.
bool IsDefault(const OptionDef& def, const OptionModel& model);

/// What /status prints, for the host as `app` has it: the header line, why
/// the rows have no status (when so) and the stored options.
std::string StatusText(const App& app, ArchiveFingerprints& fingerprints);

/// Prints the header line (window_header.h), then one line per option:
/// caption, stored value and marks. Finds the host as start-up does and
/// writes no file: it never unpacks, and a missing host or tree still gives
/// the header and the options. Always Done.
ExitCode StatusVerb(App& app, ConsoleOutput& console, const Invocation& invocation);

}  // namespace rw
