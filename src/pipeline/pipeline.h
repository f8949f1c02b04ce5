// Unpacking, replacement images, packing and installing, restoring.
#pragma once

#include <string>

#include "pipeline/outcome.h"
#include "pipeline/window_ops.h"

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
PipelineResult VerifyPackedArchive(const Installation& installation);

/// Closes the host (asking first when it shows a window), installs the
/// packed working tree (or the backup when restore is true) and starts the
/// host again. When installing, the tree is packed and the result verified
/// before the host is closed. After a restore the window is hidden and the
/// derived files are gone. Declined: nothing was touched.
PipelineResult InstallArchive(const Installation& installation, MainWindowOps& window, bool restore);

/// True when no "Maxthon.exe" process of this installation is listed.
bool IsHostClosed(const Installation& installation);

}  // namespace rw
