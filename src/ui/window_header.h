// The header line of the main window and of /status: which host folder and
// version Ravelwick works on, and which interface that host has now.
#pragma once

#include <string>

#include "pipeline/archive_state.h"
#include "stores/own_rules_files.h"

namespace rw {

struct App;

struct ArchiveState {
  ArchiveLook look = ArchiveLook::Unknown;
  /// For RavelwickLook: the time of the last Apply that installed, as the log
  /// has it; empty when the log does not tell.
  std::string installedOn;
};

/// Reads only, from app.HostBinFolder and app.HostVersion as set.
ArchiveState ReadArchiveState(const App& app, ArchiveFingerprints& fingerprints);

/// The header in the chosen language, in words.
std::string HeaderLine(const App& app, const ArchiveState& state);

/// HeaderLine followed by the own rules' check result (OwnRulesStatusLine:
/// how many skins use them, or the first refused file with line and
/// reason) when there are any; `pending` stands for the files when given.
std::string HeaderLineWithOwnRules(const App& app, const ArchiveState& state, const OwnRulesPair* pending = nullptr);

}  // namespace rw
