#include "ui/set_folder_dialog.h"

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "stores/text.h"
#include "ui/main_sequence.h"

namespace rw {

void SetFolderDialog::OnLoad() {
  view_.SetCaptions(Text(app_, "MX3Folder"), Text(app_, "OK"), Text(app_, "Cancel"));
  // Opened by the start-up, the dialog would otherwise seem to come from
  // nowhere; opened from the menu, the user knows why.
  view_.SetReason(cause_ == FolderDialogCause::NoneFound ? Text(app_, "NoFolderFound") : std::string());
  // Shown even when the stored folder is not valid, so it can be corrected.
  view_.SetText(Read(app_, ProgramSetting::InstallFolder));
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
  const std::string chosen = view_.BrowseForFolder(view_.Handle(), Text(app_, "SelectFolder"),
                                                   kBrowseOnlyFileSystemFolders, kBrowseRootDrives);
  if (!chosen.empty()) view_.SetText(chosen);
}

void SetFolderDialog::OnOk() {
  const std::string typed = view_.Text();
  if (auto folder = CanonicalHostFolder(app_.platform, typed)) {
    Write(app_, ProgramSetting::InstallFolder, *folder);
    app_.HostBinFolder = Installation::BinFolderOf(*folder);
    view_.Close();
    return;
  }
  // "InvaidFolder" is the key as the language files spell it.
  app_.Message(Fill(Text(app_, "InvaidFolder"), {{"$folder", typed}}), MessageButtons::Ok, view_.Handle(),
               MessageIcon::Warning);
  view_.FocusText();
}

void SetFolderDialog::OnCancel() { view_.Close(); }

}  // namespace rw
