// The host installation check: reads the host version and, when it differs
// from the one last prepared for, removes the old derived files and keeps a
// backup of the host's own archive.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pipeline/pipeline.h"

namespace rw {

struct App;

inline constexpr std::string_view kSpecialHostVersion = "3.0.15.300";

enum class HostCheck {
  Ready,            // prepared for this version, or nothing to prepare
  NoVersion,        // the host's executable has no version: nothing touched
  ArchiveUnusable,  // no backup could be made; the version is not recorded
  Locked,           // the old derived files could not be removed
};

struct HostCheckResult {
  HostCheck outcome = HostCheck::Ready;
  std::string file;  // what the message names
  /// A kept archive of another version or folder that was dropped.
  std::optional<KeptAsideOwner> droppedKeptAside;
};

/// Sets app.HostVersion (empty when the host's executable has none) and
/// app.SingleSkinHost from the host in app.HostBinFolder; writes nothing.
void ReadHostVersion(App& app);

/// Reads app.HostBinFolder; sets app.HostVersion and app.SingleSkinHost. A new
/// version removes the old derived files, backs up the host's archive and is
/// recorded in "FileVersion"; the version prepared before it is remembered
/// (app.UpdatedFromVersion) until ForgetUpdate. A kept archive that is not
/// this host's is dropped whatever the version.
HostCheckResult CheckHostInstallation(App& app);

/// The offer after a browser update was answered, or has become moot (the
/// options were installed, or the host's own archive put back).
void ForgetUpdate(App& app);

/// The message for a result: "FolderLocked" or "ArchiveUnusable"; empty
/// for the others.
std::string MessageFor(const App& app, const HostCheckResult& result);
/// Both of those tell of a failure.
inline MessageIcon IconFor(const HostCheckResult&) { return MessageIcon::Error; }

}  // namespace rw
