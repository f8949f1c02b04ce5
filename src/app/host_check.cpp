#include "app/host_check.h"

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/text.h"
#include "stores/utf8_file.h"

namespace rw {

namespace {

// The offer to re-apply stays until it is answered: the first unpack may
// fail, or the window be closed, before it is made.
void RememberUpdate(App& app) {
  const std::string from = Read(app, ProgramSetting::UpdatedFromVersion);
  app.UpdatedFromVersion = from == app.HostVersion ? std::string() : from;
}

}  // namespace

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
  if (app.HostVersion.empty()) return {HostCheck::NoVersion, {}, {}};
  // Litter of an install or restore that was killed while copying.
  RemoveCutOffCopy(platform, installation.HostArchive());
  HostCheckResult result;
  // Whatever "FileVersion" says: an update while an install's watch was cut
  // off leaves one behind. Another installation's is not this one's to drop.
  result.droppedKeptAside = DropForeignKeptAside(app.Host());

  const std::string prepared = Read(app, ProgramSetting::FileVersion);
  if (prepared == app.HostVersion) {
    RememberUpdate(app);
    return result;
  }

  const Installation current = app.Host();
  const std::string packed = current.PackedArchive();
  if (platform.files.FileExists(packed)) platform.files.RemoveFile(packed);
  if (platform.files.FileExists(current.InstalledRecordPath()))
    platform.files.RemoveFile(current.InstalledRecordPath());

  const bool backedUp = platform.files.FileExists(current.BackupPath()) || MakeBackup(current);
  DiscardTree(current);

  // A packed archive of the old version that survived would later be
  // unpacked and installed into the new host, so it stops the start as
  // firmly as a locked tree does.
  const auto stop = [&](HostCheck outcome, std::string file) {
    result.outcome = outcome;
    result.file = std::move(file);
    return result;
  };
  if (platform.files.FolderExists(current.Tree())) return stop(HostCheck::Locked, current.Tree());
  if (platform.files.FileExists(packed)) return stop(HostCheck::Locked, packed);

  // Without a backup the version is not recorded, so the next start tries
  // again once the archive is repaired.
  if (!backedUp) return stop(HostCheck::ArchiveUnusable, current.HostArchive());
  // A version of its own was prepared before: the browser was updated (or
  // another installation chosen) and shows its default look again. Written
  // before the version, so that a start cut off in between prepares again.
  if (!prepared.empty() && prepared != kDefaultFileVersion) Write(app, ProgramSetting::UpdatedFromVersion, prepared);
  Write(app, ProgramSetting::FileVersion, app.HostVersion);
  RememberUpdate(app);
  return result;
}

void ForgetUpdate(App& app) {
  app.UpdatedFromVersion.clear();
  if (!Read(app, ProgramSetting::UpdatedFromVersion).empty()) Write(app, ProgramSetting::UpdatedFromVersion, "");
}

std::string MessageFor(const App& app, const HostCheckResult& result) {
  switch (result.outcome) {
    case HostCheck::Locked:
      return Fill(Text(app, "FolderLocked"), {{"$folder", result.file}});
    case HostCheck::ArchiveUnusable:
      return Fill(Text(app, "ArchiveUnusable"), {{"$file", result.file}});
    case HostCheck::Ready:
    case HostCheck::NoVersion:
      break;
  }
  return {};
}

}  // namespace rw
