#include "app/host_check.h"

#include "app/app.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

void ReadHostVersion(App& app) {
  app.HostVersion = app.platform.files.FileVersion(app.Host().HostExecutable()).value_or("");
  app.SingleSkinHost = app.HostVersion == kSpecialHostVersion;
}

HostCheckResult CheckHostInstallation(App& app) {
  Platform& platform = app.platform;
  const Installation installation = app.Host();
  ReadHostVersion(app);
  // Without a version there is nothing to name a backup after nor to compare
  // with "FileVersion"; the files of the last known version stay as they
  // are, unused.
  if (app.HostVersion.empty()) return {HostCheck::NoVersion, {}};
  // Litter of an install or restore that was killed while copying.
  RemoveCutOffCopy(platform, installation.HostArchive());

  const std::string prepared = app.ReadSetting("FileVersion", kDefaultFileVersion);
  if (prepared == app.HostVersion) return {};

  const Installation current = app.Host();
  const std::string packed = current.PackedArchive();
  if (platform.files.FileExists(packed)) platform.files.RemoveFile(packed);

  const bool backedUp = platform.files.FileExists(current.BackupPath()) || MakeBackup(current);
  DiscardTree(current);

  // A packed archive of the old version that survived would later be
  // unpacked and installed into the new host, so it stops the start as
  // firmly as a locked tree does.
  if (platform.files.FolderExists(current.Tree())) return {HostCheck::Locked, current.Tree()};
  if (platform.files.FileExists(packed)) return {HostCheck::Locked, packed};

  // Without a backup the version is not recorded, so the next start tries
  // again once the archive is repaired.
  if (!backedUp) return {HostCheck::ArchiveUnusable, current.HostArchive()};
  app.WriteSetting("FileVersion", app.HostVersion);
  // A version of its own was prepared before: the browser was updated (or
  // another installation chosen) and shows its default look again.
  if (!prepared.empty() && prepared != kDefaultFileVersion) app.UpdatedFromVersion = prepared;
  return {};
}

std::string MessageFor(const App& app, const HostCheckResult& result) {
  switch (result.outcome) {
    case HostCheck::Locked:
      return ReplaceAll(app.LookupText("FolderLocked"), "$folder", result.file);
    case HostCheck::ArchiveUnusable:
      return ReplaceAll(app.LookupText("ArchiveUnusable"), "$file", result.file);
    case HostCheck::Ready:
    case HostCheck::NoVersion:
      break;
  }
  return {};
}

}  // namespace rw
