// The windows that the start-up sequence opens, behind an interface so the
// sequence runs against test doubles as well as real Win32 windows.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "ui/looks_window_logic.h"

namespace rw {

struct App;
struct Preview;
class OwnRulesSource;

/// What a settings file dialog shows, in the user's language. It offers
/// "*.ini" files first and all files second.
struct FileDialogTexts {
  std::string title;
  std::string settingsFiles;  // the name of the "*.ini" choice
  std::string allFiles;
  std::string fileName;  // proposed by a Save dialog
};

/// Why the host folder dialog is open: the user asked for it, or start-up
/// found no folder of the host and the dialog says so.
enum class FolderDialogCause { Chosen, NoneFound };

class UiFactory {
 public:
  virtual ~UiFactory() = default;
  /// Shows the host folder dialog modally and returns when it is closed. It
  /// sets app.HostBinFolder and "InstallFolder" on a valid confirmation.
  virtual void ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause) = 0;
  /// Creates, loads and shows the main window modeless; returns at once.
  virtual void ShowMainWindow(App& app) = 0;
  /// Shows what Apply would change modally over `owner` and returns when it
  /// is closed; it changes nothing.
  virtual void ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) = 0;
  /// Shows the own rules editor modally over `owner` and returns when it is
  /// closed. Without windows nothing is shown.
  virtual void ShowOwnRulesEditor(App&, OwnRulesSource&, WindowHandle) {}
  /// A modal Save dialog that asks before replacing a file; the full path
  /// chosen, nullopt when cancelled. Without dialogs nothing is chosen.
  virtual std::optional<std::string> AskSavePath(const FileDialogTexts&, WindowHandle) { return std::nullopt; }
  /// A modal Open dialog for an existing file.
  virtual std::optional<std::string> AskOpenPath(const FileDialogTexts&, WindowHandle) { return std::nullopt; }
  /// The Looks window, modal over `owner`; `naming` puts the focus in its
  /// name field. Without windows nothing is chosen.
  virtual LooksChoice ShowLooksWindow(App&, const OptionSnapshot&, WindowHandle, bool /*naming*/) { return {}; }
};

}  // namespace rw
