#include "ui/set_folder_dialog.h"

#include "app/app.h"
#include "stores/text.h"
#include "ui/main_sequence.h"

namespace rw {

void SetFolderDialog::OnLoad() {
  view_.SetCaptions(app_.LookupText("MX3Folder"), app_.LookupText("OK"), app_.LookupText("Cancel"));
  // Opened by the start-up, the dialog would otherwise seem to come from
  // nowhere; opened from the menu, the user knows why.
  view_.SetReason(cause_ == FolderDialogCause::NoneFound ? app_.LookupText("NoFolderFound") : std::string());
  // Shown even when the stored folder is not valid, so it can be corrected.
  view_.SetText(app_.ReadSetting("InstallFolder", ""));
}

bool SetFolderDialog::OnKeyDown(int keyCode) {
  if (keyCode == kKeyEscape) {
    OnCancel();
    return true;
  }
  if (keyCode == kKeyEnter) {
    OnOk();
    return true;
  }
  return false;
}

void SetFolderDialog::OnTextFocused() { view_.SelectAllText(); }

void SetFolderDialog::OnBrowse() {
  const std::string chosen = view_.BrowseForFolder(view_.Handle(), app_.LookupText("SelectFolder"),
                                                   kBrowseOnlyFileSystemFolders, kBrowseRootDrives);
  if (!chosen.empty()) view_.SetText(chosen);
}

void SetFolderDialog::OnOk() {
  const std::string typed = view_.Text();
  if (auto folder = CanonicalHostFolder(app_.platform, typed)) {
    app_.WriteSetting("InstallFolder", *folder);
    app_.HostBinFolder = *folder + "Bin\\";
    view_.Close();
    return;
  }
  // "InvaidFolder" is the key as the language files spell it.
  app_.Message(ReplaceAll(app_.LookupText("InvaidFolder"), "$folder", typed), MessageButtons::Ok, view_.Handle(),
               MessageIcon::Warning);
  view_.FocusText();
}

void SetFolderDialog::OnCancel() { view_.Close(); }

}  // namespace rw
