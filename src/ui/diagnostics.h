// Copy Diagnostics: what a user hands on when asking for help, as one text.
// It names the program, the system, the browser and its interface, the
// options changed, the latest log entries and what /status prints; of the
// user it holds nothing but paths.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

struct App;
class OptionModel;

/// The last `count` entries of ravelwick.log (entries are separated by an
/// empty line), oldest first, each without its trailing line break.
std::vector<std::string> LastLogEntries(std::string_view log, std::size_t count);

/// The whole text, in the chosen language: `shown` holds the options as the
/// window shows them, `header` the window's header line and `status` the
/// text /status prints.
std::string DiagnosticsText(const App& app, const OptionModel& shown, std::string_view header, std::string_view status);

}  // namespace rw
