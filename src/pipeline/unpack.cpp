#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "startup/app.h"

namespace rw {

void UnpackArchive(App& app, MainWindowOps& window) {
  Platform& platform = app.platform;
  window.EnableOk(false);
  platform.SetWaitCursor(true);

  // A packed archive already here carries the last install and is unpacked
  // as it is; otherwise it comes from the backup, made first when missing.
  // Both copies go through a temporary name: the backup is never replaced
  // once it exists and the packed archive is reused as long as it exists, so
  // a half-written one would stay wrong for good.
  const std::string packed = app.Path("Resource.dat");
  if (!platform.FileExists(packed)) {
    const std::string backup = app.BackupPath();
    if (!backup.empty() && !platform.FileExists(backup))
      CopyOverAtomically(platform, app.HostBinFolder + "Resource.dat", backup);
    if (!backup.empty()) CopyOverAtomically(platform, backup, packed);
  }

  platform.StartProcess(UnpackerCommandLine(app), /*hidden=*/true);
  WaitForToolToEnd(platform, kUnpackerImageName, kToolPolls, /*pumpEvents=*/true);

  CopyReplacementImages(app);
  platform.SetWaitCursor(false);
  window.EnableOk(true);
}

}  // namespace rw
