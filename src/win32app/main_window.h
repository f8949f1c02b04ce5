// The main window as a Win32 window. It draws the controls and forwards
// every event to MainWindowLogic.
#pragma once

#include "engine/option.h"
#include "platform/platform.h"
#include "ui/main_view.h"

namespace rw {
struct App;
}

namespace rw::win32 {

/// Creates, loads and shows the main window modeless and returns at once;
/// the caller's message loop drives it. Does nothing while one exists.
void ShowMainWindow(App& app, Platform& platform);

/// The main window, or 0 when none exists.
WindowHandle MainWindowHandle();

/// The control of an option, or of another part of the window that is no
/// menu item; 0 when there is none.
WindowHandle MainWindowControl(Option option);
WindowHandle MainWindowControl(Control control);

}  // namespace rw::win32
