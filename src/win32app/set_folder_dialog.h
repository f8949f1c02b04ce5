// The Win32 window of the host folder dialog.
#pragma once

#include "platform/platform.h"
#include "ui/ui_factory.h"

namespace rw {
struct App;
}

namespace rw::win32 {

inline constexpr wchar_t kSetFolderDialogClass[] = L"RavelwickSetFolder";

/// Shows the dialog modally over `owner` (0: centred on the screen) and
/// returns when it has been closed.
void ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause = FolderDialogCause::Chosen);

/// Closes the open dialog, as when its owner closes for good; nothing
/// happens when none is open.
void CloseSetFolderDialog();

bool IsSetFolderDialogOpen();

/// The shell's folder picker: `root` is a special-folder identifier
/// (CSIDL_*); empty when the user cancels.
std::string BrowseForFolder(WindowHandle owner, const std::string& prompt, std::uint32_t flags, int root);

}  // namespace rw::win32
