#include "pipeline/host_contract.h"
#include "pipeline/installation.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// Builds the tree; the caller has set the window busy.
PipelineResult Unpack(const Installation& installation, RoadUser& window) {
  Platform& platform = installation.platform;
  const std::string hostExe = installation.HostExecutable();
  const std::string hostArchive = installation.HostArchive();
  // Without a version no backup can be named, and the derived files that
  // are here belong to some other version.
  if (installation.hostVersion.empty()) return {Outcome::NoHostVersion, hostExe};

  // The record goes first: a run killed from here on leaves a tree that is
  // recognised as unfinished.
  if (!DiscardTree(installation) || platform.files.FileExists(installation.TreeRecordPath()))
    return {Outcome::UnpackFailed, installation.Tree()};

  // A packed archive already here carries the last install and is unpacked
  // as it is; otherwise it comes from the backup, made first when missing.
  const std::string packed = installation.PackedArchive();
  const bool fromBackup = !platform.files.FileExists(packed);
  if (fromBackup) {
    const std::string backup = installation.BackupPath();
    if (!platform.files.FileExists(backup) && !MakeBackup(installation)) return {Outcome::ArchiveUnusable, hostArchive};
    if (!IsUsableArchive(platform, backup)) return {Outcome::BackupUnusable, backup};
    if (!CopyFileAtomic(platform, backup, packed)) return {Outcome::UnpackFailed, packed};
  }

  const ToolEnd end =
      RunToolToItsEnd(platform, UnpackerCommandLine(installation), kUnpackerImageName, &window, WaitStep::Unpacking);
  if (end == ToolEnd::Finished && RecordTree(installation)) {
    CopyReplacementImages(installation);
    return {};
  }
  // A tool that ended by itself on the browser's own archive and left
  // nothing, or a tree it called finished that is no skin, does the same on
  // every try: "try again" would send the user round in circles. A hang, a
  // kill, a half-written tree or a packed archive of ours may not recur.
  const std::vector<std::string> left = platform.files.ListTree(installation.Tree());
  const bool cannotRead =
      fromBackup && IsUsableArchive(platform, packed) &&
      ((end == ToolEnd::Ended && left.empty()) || (end == ToolEnd::Finished && !HoldsStyleSheet(installation, left)));
  // The next try starts from the backup: a packed archive that did not
  // unpack would fail the same way again.
  DiscardTree(installation);
  if (platform.files.FileExists(packed)) platform.files.RemoveFile(packed);
  return {cannotRead ? Outcome::ArchiveNotReadable : Outcome::UnpackFailed, packed};
}

}  // namespace

bool IsUsableArchive(Platform& platform, const std::string& path) {
  const std::optional<FileStamp> stamp = platform.files.StampOf(path);
  return stamp && stamp->size > 0;
}

bool MakeBackup(const Installation& installation) {
  const std::string backup = installation.BackupPath();
  // An empty archive is no browser's interface; as the backup it would
  // later be put back over a repaired one.
  if (backup.empty() || !IsUsableArchive(installation.platform, installation.HostArchive())) return false;
  return CopyFileAtomic(installation.platform, installation.HostArchive(), backup).ok;
}

PipelineResult UnpackArchive(const Installation& installation, RoadUser& window) {
  window.SetBusy(true);
  installation.platform.desktop.SetWaitCursor(true);
  PipelineResult result = Unpack(installation, window);
  window.EndWait();
  installation.platform.desktop.SetWaitCursor(false);
  window.SetBusy(false);
  return result;
}

}  // namespace rw
