// The host installation check: reads the host version and, when it differs
// from the one last prepared for, removes the old derived files and keeps a
// backup of the host's own archive.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

struct App;

/// True for a file that exists and is not empty.
bool IsUsableArchive(Platform& platform, const std::string& path);

/// Copies the host's archive to the backup of its version. False, and no
/// backup, when the archive is empty or unreadable or the version unknown.
bool MakeBackup(App& app);

inline constexpr std::string_view kDefaultFileVersion = "3.0.0.0";
inline constexpr std::string_view kSpecialHostVersion = "3.0.15.300";

/// Reads app.HostBinFolder; sets app.HostVersion, app.SingleSkinHost and, when
/// the old working tree cannot be removed, app.StartupAborted (after showing
/// "FolderLocked"). A host executable without version information leaves
/// HostVersion empty and touches nothing on disk.
void CheckHostInstallation(App& app);

}  // namespace rw
