#include "startup/host_check.h"

#include "startup/app.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

bool IsUsableArchive(Platform& platform, const std::string& path) {
  const std::optional<FileStamp> stamp = platform.StampOf(path);
  return stamp && stamp->size > 0;
}

bool MakeBackup(App& app) {
  const std::string hostArchive = app.HostBinFolder + "Resource.dat";
  const std::string backup = app.BackupPath();
  // An empty archive is no browser's interface; as the backup it would
  // later be put back over a repaired one.
  if (backup.empty() || !IsUsableArchive(app.platform, hostArchive)) return false;
  return CopyFileAtomic(app.platform, hostArchive, backup);
}

void CheckHostInstallation(App& app) {
  Platform& platform = app.platform;
  const std::optional<std::string> version = platform.FileVersion(app.HostBinFolder + "Maxthon.exe");
  app.HostVersion = version.value_or("");
  app.SingleSkinHost = app.HostVersion == kSpecialHostVersion;
  // Without a version there is nothing to name a backup after nor to compare
  // with "FileVersion"; the files of the last known version stay as they
  // are, unused.
  if (app.HostVersion.empty()) return;

  if (app.ReadSetting("FileVersion", kDefaultFileVersion) == app.HostVersion) return;

  const std::string packed = app.Path("Resource.dat");
  if (platform.FileExists(packed)) platform.RemoveFile(packed);

  const std::string backup = app.BackupPath();
  const bool backedUp = platform.FileExists(backup) || MakeBackup(app);

  const std::string tree = app.Path("Resource");
  const std::string record = app.TreeRecordPath();
  if (platform.FileExists(record)) platform.RemoveFile(record);
  if (platform.FolderExists(tree)) platform.DeleteFolder(tree);

  // A packed archive of the old version that survived would later be
  // unpacked and installed into the new host, so it stops the start as
  // firmly as a locked tree does.
  std::string leftover;
  if (platform.FolderExists(tree))
    leftover = tree;
  else if (platform.FileExists(packed))
    leftover = packed;
  if (!leftover.empty()) {
    app.Message(ReplaceAll(app.LookupText("FolderLocked"), "$folder", leftover));
    app.StartupAborted = true;
    return;
  }

  // Without a backup the version is not recorded, so the next start tries
  // again once the archive is repaired.
  if (!backedUp) {
    app.Message(ReplaceAll(app.LookupText("ArchiveUnusable"), "$file", app.HostBinFolder + "Resource.dat"));
    return;
  }
  app.WriteSetting("FileVersion", app.HostVersion);
}

}  // namespace rw
