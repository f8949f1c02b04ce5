// The main window frmMain as a Win32 window. It draws the controls and
// forwards every event to MainWindowLogic.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace rw {
struct App;
}

namespace rw::win32 {

/// Creates, loads and shows the main window modeless and returns at once;
/// the caller's message loop drives it. Does nothing while one exists.
void ShowMainWindow(App& app, Platform& platform);

/// The main window, or 0 when none exists.
WindowHandle MainWindowHandle();

/// A child control of the main window by its name ("chkHideHome",
/// "txtFontSize", "cmdOK", "Picture1"), or 0.
WindowHandle MainWindowControl(std::string_view name);

}  // namespace rw::win32
