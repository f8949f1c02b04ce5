#include <algorithm>

#include "pipeline/host_contract.h"
#include "pipeline/installation.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/sha256.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

constexpr std::string_view kKeptVersionLine = "version=";

// Any browser's main window counts, even one of another installation.
WindowHandle FindHostWindow(Platform& platform) {
  return platform.desktop.FindTopWindow(std::string(kHostWindowClass), "");
}

// True when a browser of this installation is running and may be closed;
// nullopt when the user answered Cancel.
std::optional<bool> MayCloseRunningHost(const Installation& installation, RoadUser& window, WindowHandle hostWindow) {
  for (const ProcessInfo& process : installation.platform.processes.ListProcesses(std::string(kHostImageName))) {
    if (!BelongsToHost(installation, process)) continue;
    // A browser without a main window has nothing the user could lose.
    if (hostWindow == 0) return true;
    if (!window.ConfirmCloseHost()) return std::nullopt;
    return true;
  }
  return false;
}

void CloseHost(const Installation& installation, WindowHandle hostWindow, RoadUser& window) {
  Platform& platform = installation.platform;
  const unsigned limit = ((hostWindow != 0 ? kClosePolls : 0) + kTerminatePolls) * kPollIntervalMs;
  unsigned waited = 0;
  const auto wait = [&] {
    platform.system.Sleep(kPollIntervalMs);
    waited += kPollIntervalMs;
    window.ShowWait(WaitStep::ClosingHost, waited, limit);
    platform.desktop.PumpEvents();
    return IsHostClosed(installation);
  };
  if (hostWindow != 0) {
    platform.desktop.SendCloseCommand(hostWindow);
    platform.desktop.PumpEvents();
    for (int poll = 0; poll < kClosePolls; ++poll)
      if (wait()) break;
  }
  for (const ProcessInfo& process : platform.processes.ListProcesses(std::string(kHostImageName)))
    if (BelongsToHost(installation, process)) platform.processes.TerminateProcess(process.pid);
  for (int poll = 0; poll < kTerminatePolls; ++poll)
    if (wait()) break;
  window.EndWait();
}

// Shows the wait cursor from the moment the host may be touched to the end.
class WaitCursor {
 public:
  explicit WaitCursor(Platform& platform) : platform_(platform) { platform_.desktop.SetWaitCursor(true); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { platform_.desktop.SetWaitCursor(false); }

 private:
  Platform& platform_;
};

struct Replaced {
  FileChange copied;
  std::uint32_t pid = 0;
  WindowHandle otherWindow = 0;  // a host window already there at the start
};

// Closes a running host, puts `source` in the place of its archive and
// starts it again, whether the copy worked or not. The host's archive is
// only ever replaced whole: a failed copy leaves the one it has.
Replaced ReplaceAndStart(const Installation& installation, RoadUser& user, WindowHandle hostWindow, bool running,
                         const std::string& source) {
  Platform& platform = installation.platform;
  if (running) CloseHost(installation, hostWindow, user);
  Replaced replaced;
  replaced.copied = CopyFileAtomic(platform, source, installation.HostArchive());
  replaced.otherWindow = FindHostWindow(platform);
  replaced.pid = platform.processes.StartProcess(HostCommandLine(installation), /*hidden=*/false);
  return replaced;
}

// The host was started with its new archive: true when it was seen to come
// up, or when nobody wanted it watched. The watch hides the window first.
bool CameUp(const Installation& installation, RoadUser& user, const Replaced& replaced, Watch watch) {
  if (watch == Watch::None) return true;
  user.StepAside();
  if (WatchHostStart(installation, replaced.pid, replaced.otherWindow, &user) != HostStart::Running) return false;
  DropKeptAside(installation);
  return true;
}

// Packs the working tree into the packed archive and checks it. One that
// failed is removed: a later unpack would take it as the last install and
// record its loss as a good tree.
PipelineResult PackAndVerify(const Installation& installation, RoadUser& window) {
  Platform& platform = installation.platform;
  const std::string packed = installation.PackedArchive();
  // One that cannot be removed would later pass for the packer's output.
  if (platform.files.FileExists(packed) && !platform.files.RemoveFile(packed)) return {Outcome::PackFailed, packed};
  PipelineResult result;
  if (!RunTool(platform, PackerCommandLine(installation), kPackerImageName, &window, WaitStep::Packing) ||
      !IsUsableArchive(platform, packed))
    result = {Outcome::PackFailed, packed};
  else
    result = VerifyPackedArchive(installation, &window);
  if (result.outcome != Outcome::Done && platform.files.FileExists(packed)) platform.files.RemoveFile(packed);
  return result;
}

// Both lists sorted, compared name by name and then byte by byte.
bool SameFiles(const Installation& installation, const std::string& a, const std::string& b) {
  Platform& platform = installation.platform;
  const auto sortedLower = [&](const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;  // lowered name, name
    for (std::string& name : platform.files.ListTree(folder)) files.emplace_back(platform.system.LowerCase(name), name);
    std::sort(files.begin(), files.end());
    return files;
  };
  const auto left = sortedLower(a);
  const auto right = sortedLower(b);
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i].first != right[i].first) return false;
    const std::optional<std::string> x = platform.files.ReadFile(a + "\\" + left[i].second);
    const std::optional<std::string> y = platform.files.ReadFile(b + "\\" + right[i].second);
    if (!x || !y || *x != *y) return false;
  }
  return true;
}

// The host ended with the new archive: the kept one goes back, and the host
// gets one more start with it; whatever that start does, there is no
// second way back.
PipelineResult RollBack(const Installation& installation, RoadUser& window) {
  Platform& platform = installation.platform;
  const std::string hostArchive = installation.HostArchive();
  CloseHost(installation, 0, window);
  if (const FileChange back = CopyFileAtomic(platform, installation.KeptAsidePath(), hostArchive); !back)
    return {Outcome::RollbackFailed, hostArchive, back.osError};
  const WindowHandle otherWindow = FindHostWindow(platform);
  const std::uint32_t pid = platform.processes.StartProcess(HostCommandLine(installation), /*hidden=*/false);
  const HostStart again = WatchHostStart(installation, pid, otherWindow, &window);
  DropKeptAside(installation);
  return {again == HostStart::Running ? Outcome::RolledBack : Outcome::StillDown, hostArchive};
}

// Remembers which archive the host now has from Ravelwick. Only a help to
// tell the look later: a record that cannot be written fails nothing.
PipelineResult RecordInstalled(const Installation& installation) {
  Platform& platform = installation.platform;
  if (const std::optional<std::string> bytes = platform.files.ReadFile(installation.HostArchive()))
    WriteFileAtomic(platform, installation.InstalledRecordPath(), InstalledRecordText(bytes->size(), Sha256(*bytes)));
  return {};
}

// A restore leaves the host the browser's own archive.
PipelineResult ForgetInstalled(const Installation& installation) {
  Platform& platform = installation.platform;
  if (platform.files.FileExists(installation.InstalledRecordPath()))
    platform.files.RemoveFile(installation.InstalledRecordPath());
  return {};
}

}  // namespace

std::string InstalledRecordText(std::uint64_t size, const Sha256Digest& digest) {
  return std::to_string(size) + " " + HexOf(digest) + "\r\n";
}

PipelineResult VerifyPackedArchive(const Installation& installation, RoadUser* window) {
  Platform& platform = installation.platform;
  const std::string packed = installation.PackedArchive();
  const std::string folder = installation.Path("Resource.verify");
  const std::string copy = folder + "\\Resource.dat";
  if (platform.files.FolderExists(folder)) platform.files.DeleteFolder(folder);
  const bool verified =
      !platform.files.FolderExists(folder) && platform.files.CreateFolder(folder) &&
      platform.files.CopyFileOver(packed, copy) &&
      RunTool(platform, UnpackerCommandLineFor(installation, copy), kUnpackerImageName, window, WaitStep::Verifying) &&
      SameFiles(installation, installation.Tree(), folder + "\\Resource");
  platform.files.DeleteFolder(folder);
  if (!verified) return {Outcome::VerifyFailed, packed};
  return {};
}

// Copies the host's archive aside and records whose it is: the archive's
// path on the first line, as earlier releases wrote it alone, then the
// version, without which it could not be told from another version's.
FileChange KeepAside(const Installation& installation) {
  Platform& platform = installation.platform;
  const std::string record =
      installation.HostArchive() + "\r\n" + std::string(kKeptVersionLine) + installation.hostVersion + "\r\n";
  FileChange kept = CopyFileAtomic(platform, installation.HostArchive(), installation.KeptAsidePath());
  if (kept) kept = WriteFileAtomic(platform, installation.KeptAsideRecordPath(), record);
  if (!kept) DropKeptAside(installation);
  return kept;
}

bool IsHostClosed(const Installation& installation) {
  for (const ProcessInfo& process : installation.platform.processes.ListProcesses(std::string(kHostImageName)))
    if (BelongsToHost(installation, process)) return false;
  return true;
}

PipelineResult Install(const Installation& installation, RoadUser& user, Watch watch) {
  Platform& platform = installation.platform;
  if (installation.hostVersion.empty()) return {Outcome::NoHostVersion, installation.HostExecutable()};
  const WindowHandle hostWindow = FindHostWindow(platform);
  const std::optional<bool> running = MayCloseRunningHost(installation, user, hostWindow);
  if (!running) return {Outcome::Declined, {}};

  const WaitCursor cursor(platform);
  // Everything that can fail without the browser's help is done while it
  // still runs, so a failure costs the user nothing.
  const PipelineResult ready = PackAndVerify(installation, user);
  user.EndWait();
  if (ready.outcome != Outcome::Done) return ready;
  // The way back is secured before the way forward is taken.
  if (watch == Watch::HostStart)
    if (const FileChange kept = KeepAside(installation); !kept)
      return {Outcome::KeepAsideFailed, installation.KeptAsidePath(), kept.osError};

  const Replaced replaced = ReplaceAndStart(installation, user, hostWindow, *running, installation.PackedArchive());
  if (!replaced.copied) {
    DropKeptAside(installation);
    return {Outcome::InstallFailed, installation.HostArchive(), replaced.copied.osError};
  }
  if (CameUp(installation, user, replaced, watch)) return RecordInstalled(installation);
  return RollBack(installation, user);
}

PipelineResult Restore(const Installation& installation, RoadUser& user, Watch watch) {
  Platform& platform = installation.platform;
  if (installation.hostVersion.empty()) return {Outcome::NoHostVersion, installation.HostExecutable()};
  const std::string backup = installation.BackupPath();
  if (!IsUsableArchive(platform, backup)) return {Outcome::BackupUnusable, backup};
  const WindowHandle hostWindow = FindHostWindow(platform);
  const std::optional<bool> running = MayCloseRunningHost(installation, user, hostWindow);
  if (!running) return {Outcome::Declined, {}};

  const WaitCursor cursor(platform);
  const Replaced replaced = ReplaceAndStart(installation, user, hostWindow, *running, backup);
  if (!replaced.copied) {
    DropKeptAside(installation);
    return {Outcome::RestoreFailed, installation.HostArchive(), replaced.copied.osError};
  }
  user.StepAside();
  DiscardTree(installation);
  const std::string packed = installation.PackedArchive();
  if (platform.files.FileExists(packed)) platform.files.RemoveFile(packed);
  // Nothing to go back to when the browser's own archive does not come up.
  if (!CameUp(installation, user, replaced, watch)) return {Outcome::RestoredButDown, installation.HostArchive()};
  return ForgetInstalled(installation);
}

HostStart WatchHostStart(const Installation& installation, std::uint32_t pid, WindowHandle otherWindow,
                         RoadUser* window, unsigned limitMs) {
  Platform& platform = installation.platform;
  const auto seen = [&](HostStart start) {
    if (window) window->EndWait();
    return start;
  };
  for (unsigned waited = 0;; waited += kHealthPollMs) {
    const WindowHandle hostWindow = FindHostWindow(platform);
    if (hostWindow != 0 && hostWindow != otherWindow) return seen(HostStart::Running);
    // The started process may hand over to another of the same installation
    // and end; only when none is left has the host given up.
    const bool startedRuns = pid != 0 && !platform.processes.ExitCodeOf(pid).has_value();
    if (!startedRuns && IsHostClosed(installation)) return seen(HostStart::Ended);
    if (waited >= limitMs) return seen(HostStart::Running);
    if (window) window->ShowWait(WaitStep::WatchingHost, waited, limitMs);
    platform.desktop.PumpEvents();
    platform.system.Sleep(kHealthPollMs);
  }
}

std::optional<KeptAsideOwner> KeptAsideOwnerOf(const Installation& installation) {
  Platform& platform = installation.platform;
  if (!platform.files.FileExists(installation.KeptAsidePath())) return std::nullopt;
  KeptAsideOwner owner;
  const std::string record = platform.files.ReadFile(installation.KeptAsideRecordPath()).value_or("");
  std::size_t start = 0;
  for (bool first = true; start < record.size(); first = false) {
    std::size_t end = record.find('\n', start);
    if (end == std::string::npos) end = record.size();
    std::string_view line = std::string_view(record).substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (first)
      owner.hostArchive = line;
    else if (line.starts_with(kKeptVersionLine))
      owner.hostVersion = line.substr(kKeptVersionLine.size());
    start = end + 1;
  }
  return owner;
}

bool HasKeptAsideArchive(const Installation& installation) {
  const std::optional<KeptAsideOwner> owner = KeptAsideOwnerOf(installation);
  Platform& platform = installation.platform;
  return owner && !installation.hostVersion.empty() && owner->hostVersion == installation.hostVersion &&
         platform.system.LowerCase(owner->hostArchive) == platform.system.LowerCase(installation.HostArchive());
}

std::optional<KeptAsideOwner> DropForeignKeptAside(const Installation& installation) {
  std::optional<KeptAsideOwner> owner = KeptAsideOwnerOf(installation);
  if (!owner || HasKeptAsideArchive(installation)) return std::nullopt;
  DropKeptAside(installation);
  return owner;
}

Settled SettleKeptAside(const Installation& installation) {
  Platform& platform = installation.platform;
  if (!HasKeptAsideArchive(installation)) return {};
  if (!IsHostClosed(installation)) {
    // The record goes first; while it stays, the kept archive still counts.
    // Named before: an earlier release's name is known by its record.
    const std::string kept = installation.KeptAsidePath();
    if (const FileChange dropped = platform.files.RemoveFile(installation.KeptAsideRecordPath()); !dropped)
      return {Settlement::NotSettled, dropped.osError};
    if (platform.files.FileExists(kept)) platform.files.RemoveFile(kept);
    return {Settlement::KeptDropped, {}};
  }
  // Kept until it is back in place.
  if (const FileChange back = CopyFileAtomic(platform, installation.KeptAsidePath(), installation.HostArchive()); !back)
    return {Settlement::NotSettled, back.osError};
  DropKeptAside(installation);
  return {Settlement::PutBack, {}};
}

PipelineResult PutBackKeptAside(const Installation& installation, RoadUser& window) {
  Platform& platform = installation.platform;
  const WindowHandle hostWindow = FindHostWindow(platform);
  const std::optional<bool> running = MayCloseRunningHost(installation, window, hostWindow);
  if (!running) return {Outcome::Declined, {}};
  if (*running) CloseHost(installation, hostWindow, window);
  const FileChange putBack = CopyFileAtomic(platform, installation.KeptAsidePath(), installation.HostArchive());
  platform.processes.StartProcess(HostCommandLine(installation), /*hidden=*/false);
  // Kept until it is back in place.
  if (!putBack) return {Outcome::RollbackFailed, installation.HostArchive(), putBack.osError};
  DropKeptAside(installation);
  return {};
}

void DropKeptAside(const Installation& installation) {
  Platform& platform = installation.platform;
  // Both named before either goes: an earlier release's name is known by its
  // record. The record first: a kept archive without it is never offered.
  const std::string kept = installation.KeptAsidePath();
  const std::string record = installation.KeptAsideRecordPath();
  if (platform.files.FileExists(record)) platform.files.RemoveFile(record);
  if (platform.files.FileExists(kept)) platform.files.RemoveFile(kept);
}

}  // namespace rw
