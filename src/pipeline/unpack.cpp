#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "startup/app.h"
#include "startup/host_check.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// Builds the tree; the caller has set the window busy.
PipelineResult Unpack(App& app) {
  Platform& platform = app.platform;
  const std::string hostExe = app.HostBinFolder + "Maxthon.exe";
  const std::string hostArchive = app.HostBinFolder + "Resource.dat";
  // Without a version no backup can be named, and the derived files that
  // are here belong to some other version.
  if (app.HostVersion.empty()) return {Outcome::NoHostVersion, hostExe};

  // The record goes first: a run killed from here on leaves a tree that is
  // recognised as unfinished.
  if (!DiscardTree(app) || platform.FileExists(app.TreeRecordPath()))
    return {Outcome::UnpackFailed, app.Path("Resource")};

  // A packed archive already here carries the last install and is unpacked
  // as it is; otherwise it comes from the backup, made first when missing.
  const std::string packed = app.Path("Resource.dat");
  if (!platform.FileExists(packed)) {
    const std::string backup = app.BackupPath();
    if (!platform.FileExists(backup) && !MakeBackup(app)) return {Outcome::ArchiveUnusable, hostArchive};
    if (!IsUsableArchive(platform, backup)) return {Outcome::BackupUnusable, backup};
    if (!CopyFileAtomic(platform, backup, packed)) return {Outcome::UnpackFailed, packed};
  }

  if (RunTool(platform, UnpackerCommandLine(app), kUnpackerImageName, /*pumpEvents=*/true) && RecordTree(app)) {
    CopyReplacementImages(app);
    return {};
  }
  // The next try starts from the backup: a packed archive that did not
  // unpack would fail the same way again.
  DiscardTree(app);
  if (platform.FileExists(packed)) platform.RemoveFile(packed);
  return {Outcome::UnpackFailed, packed};
}

}  // namespace

PipelineResult UnpackArchive(App& app, MainWindowOps& window) {
  window.EnableOk(false);
  app.platform.SetWaitCursor(true);
  PipelineResult result = Unpack(app);
  app.platform.SetWaitCursor(false);
  window.EnableOk(true);
  return result;
}

}  // namespace rw
