#include "startup/set_folder_dialog.h"

#include "startup/app.h"
#include "startup/main_sequence.h"
#include "stores/text.h"

namespace rw {

void SetFolderDialog::Form_Load() {
  view_.SetCaptions(app_.LookupText("MX3Folder"), app_.LookupText("OK"), app_.LookupText("Cancel"));
  // Shown even when the stored folder is not valid, so it can be corrected.
  view_.SetText(app_.ReadSetting("InstallFolder", ""));
}

bool SetFolderDialog::Form_KeyDown(int keyCode) {
  if (keyCode == kKeyEscape) {
    cmdCancel_Click();
    return true;
  }
  if (keyCode == kKeyEnter) {
    cmdOK_Click();
    return true;
  }
  return false;
}

void SetFolderDialog::txtSetFolder_GotFocus() { view_.SelectAllText(); }

void SetFolderDialog::cmdBrowse_Click() {
  const std::string chosen = view_.BrowseForFolder(view_.Handle(), app_.LookupText("SelectFolder"),
                                                   kBrowseOnlyFileSystemFolders, kBrowseRootDrives);
  if (!chosen.empty()) view_.SetText(chosen);
}

void SetFolderDialog::cmdOK_Click() {
  const std::string typed = view_.Text();
  if (auto folder = CanonicalHostFolder(app_.platform, typed)) {
    app_.WriteSetting("InstallFolder", *folder);
    app_.HostBinFolder = *folder + "Bin\\";
    view_.Unload();
    return;
  }
  app_.Message(ReplaceAll(app_.LookupText("InvaidFolder"), "$folder", typed), MessageButtons::Ok, view_.Handle());
  view_.FocusText();
}

void SetFolderDialog::cmdCancel_Click() { view_.Unload(); }

}  // namespace rw
