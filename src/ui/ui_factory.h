// The windows that the start-up sequence opens, behind an interface so the
// sequence runs against test doubles as well as real Win32 windows.
#pragma once

#include "platform/platform.h"

namespace rw {

struct App;
struct Preview;

class UiFactory {
 public:
  virtual ~UiFactory() = default;
  /// Shows the host folder dialog modally and returns when it is closed. It
  /// sets app.HostBinFolder and "InstallFolder" on a valid confirmation.
  virtual void ShowSetFolderDialog(App& app, WindowHandle owner) = 0;
  /// Creates, loads and shows the main window modeless; returns at once.
  virtual void ShowMainWindow(App& app) = 0;
  /// Shows what Apply would change modally over `owner` and returns when it
  /// is closed; it changes nothing.
  virtual void ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) = 0;
};

}  // namespace rw
