// The header line of the main window and of /status: which host folder and
// version Ravelwick works on, and which interface that host has now.
#pragma once

#include <string>

#include "pipeline/archive_state.h"

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

}  // namespace rw
