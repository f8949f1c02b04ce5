// ravelwick.log in the program folder: one entry per Apply and Restore, so a
// user can tell afterwards what was changed, what was not found and why an
// install did not happen.
#pragma once

#include <string>

#include "engine/option_snapshot.h"
#include "engine/tweak_report.h"
#include "pipeline/outcome.h"
#include "pipeline/pipeline.h"

namespace rw {

struct App;

inline constexpr std::string_view kLogFileName = "ravelwick.log";

/// The current time as the log and exported settings show it:
/// "2024-05-01 09:30:00 UTC".
std::string NowUtc();

/// The entry of one Apply: time, host, the options, the files the engine
/// changed, the places it did not find, and whether the archive was
/// installed (with the message the user was given when not).
std::string ApplyLogEntry(const App& app, const OptionSnapshot& options, const TweakReport& report,
                          const PipelineResult& result, const std::string& time);
/// The entry of one Restore (or of another archive put back, by `what`).
std::string RestoreLogEntry(const App& app, const PipelineResult& result, const std::string& time,
                            std::string_view what = "Restore");

/// The entry of a kept archive settled without the user: what became of it.
std::string KeptAsideLogEntry(const App& app, std::string_view what, const std::string& time);
/// What the log says of a kept archive of another host that the host check
/// dropped.
std::string DroppedKeptAsideText(const App& app, const KeptAsideOwner& owner);
/// ... and of one that /apply or /restore settled; empty when none was kept.
std::string SettledText(const App& app, const Settled& settled);

/// Appends an entry stamped with the current time (UTC). A log that cannot
/// be written never stops a road; false tells the caller to say so.
bool LogApply(const App& app, const OptionSnapshot& options, const TweakReport& report, const PipelineResult& result);
bool LogRestore(const App& app, const PipelineResult& result, std::string_view what = "Restore");
bool LogKeptAside(const App& app, std::string_view what);
/// What the message of a run adds when its entry was not written ("LogNotWritten"); empty when it was.
std::string LogNotWrittenNote(const App& app, bool written);

/// The time stamp of the newest Apply entry in `log` that installed its
/// archive, as the entry spells it; empty when there is none.
std::string LastInstallTime(std::string_view log);
/// The same, read from ravelwick.log in the program folder.
std::string LastInstallTime(const App& app);

}  // namespace rw
