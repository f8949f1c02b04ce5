#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "startup/app.h"

namespace rw {

namespace {

// True when a browser of this installation is running and may be closed;
// nullopt when the user answered Cancel.
std::optional<bool> MayCloseRunningHost(App& app, MainWindowOps& window, WindowHandle hostWindow) {
  for (const ProcessInfo& process : app.platform.ListProcesses(std::string(kHostImageName))) {
    if (!BelongsToHost(app, process)) continue;
    // A browser without a main window has nothing the user could lose.
    if (hostWindow == 0) return true;
    const MessageResult answer = app.Message(app.LookupText("ConfirmClose"), MessageButtons::OkCancel, window.Handle());
    if (answer != MessageResult::Ok) return std::nullopt;
    return true;
  }
  return false;
}

void CloseHost(App& app, WindowHandle hostWindow) {
  Platform& platform = app.platform;
  if (hostWindow != 0) {
    platform.SendCloseCommand(hostWindow);
    platform.PumpEvents();
    for (int poll = 0; poll < kClosePolls; ++poll) {
      platform.Sleep(kPollIntervalMs);
      if (IsHostClosed(app)) break;
    }
  }
  for (const ProcessInfo& process : platform.ListProcesses(std::string(kHostImageName)))
    if (BelongsToHost(app, process)) platform.TerminateProcess(process.pid);
  for (int poll = 0; poll < kTerminatePolls; ++poll) {
    platform.Sleep(kPollIntervalMs);
    if (IsHostClosed(app)) break;
  }
}

// Packs the working tree and installs the result. A packer still listed
// after the last poll may still be writing, so its output is left alone.
void PackAndInstall(App& app, const std::string& hostArchive) {
  Platform& platform = app.platform;
  const std::string packed = app.Path("Resource.dat");
  // One that cannot be removed would later pass for the packer's output.
  if (platform.FileExists(packed) && !platform.RemoveFile(packed)) return;
  platform.StartProcess(PackerCommandLine(app), /*hidden=*/true);
  if (!WaitForToolToEnd(platform, kPackerImageName, kToolPolls, /*pumpEvents=*/false)) return;
  if (platform.FileExists(packed)) CopyOverAtomically(platform, packed, hostArchive);
}

}  // namespace

bool IsHostClosed(App& app) {
  for (const ProcessInfo& process : app.platform.ListProcesses(std::string(kHostImageName)))
    if (BelongsToHost(app, process)) return false;
  return true;
}

bool InstallArchive(App& app, MainWindowOps& window, bool restore) {
  Platform& platform = app.platform;
  // Any browser's main window counts, even one of another installation.
  const WindowHandle hostWindow = platform.FindTopWindow(std::string(kHostWindowClass), "");
  const std::optional<bool> running = MayCloseRunningHost(app, window, hostWindow);
  if (!running) return false;

  platform.SetWaitCursor(true);
  if (*running) CloseHost(app, hostWindow);

  // The host's archive is only ever replaced whole: a failed copy leaves the
  // one it has.
  const std::string hostArchive = app.HostBinFolder + "Resource.dat";
  if (restore) {
    const std::string backup = app.BackupPath();
    if (!backup.empty()) CopyOverAtomically(platform, backup, hostArchive);
    app.WriteSetting("FileVersion", "");
  } else {
    PackAndInstall(app, hostArchive);
  }

  platform.StartProcess(HostCommandLine(app), /*hidden=*/false);

  if (restore) {
    window.Hide();
    const std::string tree = app.Path("Resource");
    if (platform.FolderExists(tree)) platform.DeleteFolder(tree);
    const std::string packed = app.Path("Resource.dat");
    if (platform.FileExists(packed)) platform.RemoveFile(packed);
  }
  window.Unload();
  return true;
}

}  // namespace rw
