// Unpacking, replacement images, packing and installing, restoring.
#pragma once

#include <cstdint>
#include <string>

#include "pipeline/outcome.h"
#include "pipeline/window_ops.h"
#include "platform/platform.h"

namespace rw {

struct Installation;

/// Copies the fourteen replacement images (seventeen copies) from ResFiles
/// into the working resource tree; each failed copy is skipped.
void CopyReplacementImages(const Installation& installation);

/// Builds the working resource tree with unpak.exe, waiting by polling with
/// the window kept responsive and its OK button disabled. A tree that is
/// there is discarded first; the new one counts only when the unpacker was
/// seen to finish, and is then recorded (tree_record.h).
PipelineResult UnpackArchive(const Installation& installation, MainWindowOps& window);

/// True for a file that exists and is not empty.
bool IsUsableArchive(Platform& platform, const std::string& path);

/// Copies the host's archive to the backup of its version. False, and no
/// backup, when the archive is empty or unreadable or the version unknown.
bool MakeBackup(const Installation& installation);

/// Unpacks a copy of the packed archive beside the tree and compares the
/// result with the tree: same files, same bytes.
PipelineResult VerifyPackedArchive(const Installation& installation, MainWindowOps* window = nullptr);

/// How long the host has to show that it starts after an install.
inline constexpr unsigned kHealthCheckMs = 15000;
inline constexpr unsigned kHealthPollMs = 250;

/// Closes the host (asking first when it shows a window), installs the
/// packed working tree (or the backup when restore is true) and starts the
/// host again. When installing, the tree is packed and the result verified
/// before the host is closed. After a restore the window is hidden and the
/// derived files are gone. Declined: nothing was touched.
///
/// With `healthCheck`, the host's archive is kept aside before it is
/// replaced, and the host is watched after its start (the window hidden): a
/// host that ends without showing a window gets the kept archive back and is
/// started once more (RolledBack, or StillDown when it ends again). A
/// restore is watched too, with nothing to go back to (RestoredButDown).
PipelineResult InstallArchive(const Installation& installation, MainWindowOps& window, bool restore,
                              bool healthCheck = false);

enum class HostStart {
  Running,  // a host window appeared, or a host process still runs at the end
  Ended     // every host process of this installation ended without a window
};
/// Watches the host started as `pid` for up to `limitMs`. `otherWindow` is a
/// host window that was there before the start and does not count.
HostStart WatchHostStart(const Installation& installation, std::uint32_t pid, WindowHandle otherWindow,
                         MainWindowOps* window = nullptr, unsigned limitMs = kHealthCheckMs);

/// The archive kept aside by an install that did not finish its watch (the
/// program was ended meanwhile), when it belongs to this host's archive.
bool HasKeptAsideArchive(const Installation& installation);
/// Closes the host (asking first when it shows a window), puts the kept
/// archive back, starts the host and forgets the kept archive.
PipelineResult PutBackKeptAside(const Installation& installation, MainWindowOps& window);
/// Forgets the kept archive: the user keeps the installed one.
void DropKeptAside(const Installation& installation);

/// True when no "Maxthon.exe" process of this installation is listed.
bool IsHostClosed(const Installation& installation);

}  // namespace rw
