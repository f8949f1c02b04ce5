#include "ui/command_verbs.h"

#include "app/app.h"
#include "app/host_check.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "ui/catalogue.h"
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/preview.h"

namespace rw {

namespace {

// The pipeline's window, where there is none: nothing to disable, hide or
// ask with.
class NoWindow : public MainWindowOps {
 public:
  WindowHandle Handle() override { return 0; }
  bool ConfirmCloseHost() override { return false; }
  void EnableOk(bool) override {}
  void Hide() override {}
};

ExitCode Fail(ConsoleOutput& console, const std::string& reason) {
  console.Err(reason + "\n");
  return ExitCode::Failed;
}

bool HasArchiveToUnpack(const Installation& installation) {
  Platform& platform = installation.platform;
  if (platform.FileExists(installation.PackedArchive())) return true;
  if (platform.FileExists(installation.BackupPath())) return IsUsableArchive(platform, installation.BackupPath());
  return IsUsableArchive(platform, installation.HostArchive());
}

std::string UnpackFailure(const PipelineResult& result) {
  std::string reason;
  switch (result.outcome) {
    case Outcome::ArchiveUnusable:
      reason = "the archive of Maxthon 3 is empty or unreadable: " + result.file;
      break;
    case Outcome::BackupUnusable:
      reason = "the backup is empty or unreadable: " + result.file;
      break;
    default:
      reason = "could not unpack " + result.file + " completely";
      break;
  }
  if (!result.osError.empty()) reason += " (" + result.osError + ")";
  return reason;
}

// Builds the tree as the first start would; the reason when it cannot.
std::optional<ExitCode> UnpackIfNeeded(App& app, ConsoleOutput& console) {
  const Installation installation = app.Host();
  if (IsTreeUsable(installation)) return std::nullopt;
  const std::string why = "the working files in " + installation.Tree() + " must be unpacked first, but ";
  if (!ToolsPresent(app)) return Fail(console, why + "unpak.exe or makpak.exe is missing");
  if (!HasArchiveToUnpack(installation)) return Fail(console, why + "there is no archive to unpack");
  // Start-up removes a packed archive of an older host before it could be
  // unpacked for this one; that check writes, so it is left to the window.
  if (app.ReadSetting("FileVersion", kDefaultFileVersion) != app.HostVersion &&
      app.platform.FileExists(installation.PackedArchive()))
    return Fail(console, why + "Maxthon 3 has a new version: start Ravelwick once to prepare for it");
  if (!app.platform.ClaimSingleInstance(SingleInstanceName(app.platform, app.programFolder))) {
    console.Err(why + "Ravelwick's window is open: close it and try again\n");
    return ExitCode::WindowOpen;
  }
  NoWindow noWindow;
  const PipelineResult result = UnpackArchive(installation, noWindow);
  if (result.outcome != Outcome::Done) return Fail(console, UnpackFailure(result));
  return std::nullopt;
}

}  // namespace

ExitCode PreviewVerb(App& app, ConsoleOutput& console, const Invocation&) {
  app.LanguageName = ChooseLanguage(app);
  const std::optional<FoundHostFolder> found = FindHostFolder(app);
  if (!found)
    return Fail(console, "Maxthon 3 was not found: neither the setting \"InstallFolder\" in " + app.SettingsPath() +
                             " nor the registry names its folder");
  app.HostBinFolder = found->folder + "Bin\\";
  ReadHostVersion(app);
  if (app.HostVersion.empty())
    return Fail(console, "Maxthon 3 has no readable version: " + app.Host().HostExecutable());
  if (const std::optional<ExitCode> failed = UnpackIfNeeded(app, console)) return *failed;

  // The options as the window loads them, so the preview is what its OK
  // would do.
  const bool composition = app.platform.IsCompositionEnabled();
  OptionModel model;
  LoadOptions(app, model, composition);
  console.Out(PreviewAsText(BuildPreview(app, model.Snapshot(), composition)));
  return ExitCode::Done;
}

}  // namespace rw
