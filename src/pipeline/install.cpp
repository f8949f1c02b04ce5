#include <algorithm>

#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "startup/app.h"
#include "startup/host_check.h"
#include "stores/utf8_file.h"

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

// Packs the working tree into the packed archive.
PipelineResult Pack(App& app) {
  Platform& platform = app.platform;
  const std::string packed = app.Path("Resource.dat");
  // One that cannot be removed would later pass for the packer's output.
  if (platform.FileExists(packed) && !platform.RemoveFile(packed)) return {Outcome::PackFailed, packed};
  if (!RunTool(platform, PackerCommandLine(app), kPackerImageName, /*pumpEvents=*/false) ||
      !IsUsableArchive(platform, packed))
    return {Outcome::PackFailed, packed};
  return {};
}

// Both lists sorted, compared name by name and then byte by byte.
bool SameFiles(App& app, const std::string& a, const std::string& b) {
  Platform& platform = app.platform;
  const auto sortedLower = [&](const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;  // lowered name, name
    for (std::string& name : platform.ListTree(folder)) files.emplace_back(platform.LowerCase(name), name);
    std::sort(files.begin(), files.end());
    return files;
  };
  const auto left = sortedLower(a);
  const auto right = sortedLower(b);
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i].first != right[i].first) return false;
    const std::optional<std::string> x = platform.ReadFile(a + "\\" + left[i].second);
    const std::optional<std::string> y = platform.ReadFile(b + "\\" + right[i].second);
    if (!x || !y || *x != *y) return false;
  }
  return true;
}

}  // namespace

PipelineResult VerifyPackedArchive(App& app) {
  Platform& platform = app.platform;
  const std::string packed = app.Path("Resource.dat");
  const std::string folder = app.Path("Resource.verify");
  const std::string copy = folder + "\\Resource.dat";
  if (platform.FolderExists(folder)) platform.DeleteFolder(folder);
  const bool verified = !platform.FolderExists(folder) && platform.CreateFolder(folder) &&
                        platform.CopyFileOver(packed, copy) &&
                        RunTool(platform, UnpackerCommandLineFor(app, copy), kUnpackerImageName, false) &&
                        SameFiles(app, app.Path("Resource"), folder + "\\Resource");
  platform.DeleteFolder(folder);
  if (!verified) return {Outcome::VerifyFailed, packed};
  return {};
}

bool IsHostClosed(App& app) {
  for (const ProcessInfo& process : app.platform.ListProcesses(std::string(kHostImageName)))
    if (BelongsToHost(app, process)) return false;
  return true;
}

PipelineResult InstallArchive(App& app, MainWindowOps& window, bool restore) {
  Platform& platform = app.platform;
  const std::string hostArchive = app.HostBinFolder + "Resource.dat";
  if (app.HostVersion.empty()) return {Outcome::NoHostVersion, app.HostBinFolder + "Maxthon.exe"};
  const std::string backup = app.BackupPath();
  if (restore && !IsUsableArchive(platform, backup)) return {Outcome::BackupUnusable, backup};

  // Any browser's main window counts, even one of another installation.
  const WindowHandle hostWindow = platform.FindTopWindow(std::string(kHostWindowClass), "");
  const std::optional<bool> running = MayCloseRunningHost(app, window, hostWindow);
  if (!running) return {Outcome::Declined, {}};

  platform.SetWaitCursor(true);
  // Everything that can fail without the browser's help is done while it
  // still runs, so a failure costs the user nothing.
  if (!restore) {
    PipelineResult ready = Pack(app);
    if (ready.outcome == Outcome::Done) ready = VerifyPackedArchive(app);
    if (ready.outcome != Outcome::Done) {
      platform.SetWaitCursor(false);
      return ready;
    }
  }

  if (*running) CloseHost(app, hostWindow);

  // The host's archive is only ever replaced whole: a failed copy leaves the
  // one it has.
  const bool installed = CopyFileAtomic(platform, restore ? backup : app.Path("Resource.dat"), hostArchive);
  if (installed && restore) app.WriteSetting("FileVersion", "");

  platform.StartProcess(HostCommandLine(app), /*hidden=*/false);

  if (!installed) {
    platform.SetWaitCursor(false);
    return {restore ? Outcome::RestoreFailed : Outcome::InstallFailed, hostArchive};
  }
  if (restore) {
    window.Hide();
    DiscardTree(app);
    const std::string packed = app.Path("Resource.dat");
    if (platform.FileExists(packed)) platform.RemoveFile(packed);
  }
  return {};
}

}  // namespace rw
