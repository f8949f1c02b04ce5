#include "startup/host_check.h"

#include "startup/app.h"
#include "stores/text.h"

namespace rw {

namespace {

// Copies under a temporary name first: a backup is never replaced once it
// exists, so a half-written one would stay wrong for good.
void MakeBackup(Platform& platform, const std::string& from, const std::string& to) {
  const std::string partial = to + ".partial";
  if (platform.FileExists(partial)) platform.RemoveFile(partial);
  if (!platform.CopyFileOver(from, partial)) {
    platform.RemoveFile(partial);
    return;
  }
  if (!platform.RenameOver(partial, to)) platform.RemoveFile(partial);
}

}  // namespace

void CheckHostInstallation(App& app) {
  Platform& platform = app.platform;
  const std::optional<std::string> version = platform.FileVersion(app.HostBinFolder + "Maxthon.exe");
  app.HostVersion = version.value_or("");
  app.Host3015300 = app.HostVersion == kSpecialHostVersion;
  // Without a version there is nothing to name a backup after nor to compare
  // with "FileVersion"; the files of the last known version stay as they are.
  if (app.HostVersion.empty()) return;

  if (app.ReadSetting("FileVersion", kDefaultFileVersion) == app.HostVersion) return;

  const std::string packed = app.Path("Resource.dat");
  if (platform.FileExists(packed)) platform.RemoveFile(packed);

  const std::string backup = app.BackupPath();
  if (!platform.FileExists(backup)) MakeBackup(platform, app.HostBinFolder + "Resource.dat", backup);

  const std::string tree = app.Path("Resource");
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

  app.WriteSetting("FileVersion", app.HostVersion);
}

}  // namespace rw
