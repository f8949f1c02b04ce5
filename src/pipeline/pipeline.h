// Unpacking, replacement images, packing and installing, restoring.
#pragma once

#include "pipeline/window_ops.h"

namespace rw {

struct App;

/// Copies the fourteen replacement images (seventeen copies) from ResFiles
/// into the working resource tree; each failed copy is skipped.
void CopyReplacementImages(App& app);

/// Builds the working resource tree with unpak.exe, waiting by polling.
void UnpackArchive(App& app, MainWindowOps& window);

/// Closes the host (asking first when it shows a window), installs the
/// packed working tree (or the backup when restore is true), starts the host
/// again and unloads the main window. Returns false when the user declined
/// to close the host (nothing was touched).
bool InstallArchive(App& app, MainWindowOps& window, bool restore);

/// True when no "Maxthon.exe" process of this installation is listed.
bool IsHostClosed(App& app);

}  // namespace rw
