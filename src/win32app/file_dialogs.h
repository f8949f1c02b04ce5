// The shell's common item dialogs, for the settings file to export to and
// the one to import from.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "ui/ui_factory.h"

namespace rw::win32 {

/// The Save dialog: the "*.ini" choice first, the proposed name filled in,
/// ".ini" added to a name without an extension, and a question before an
/// existing file is replaced. nullopt when cancelled or when the shell has
/// no such dialog.
std::optional<std::string> AskSavePath(const FileDialogTexts& texts, WindowHandle owner);

/// The Open dialog, for an existing file.
std::optional<std::string> AskOpenPath(const FileDialogTexts& texts, WindowHandle owner);

}  // namespace rw::win32
