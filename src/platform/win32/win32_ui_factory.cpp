#include "platform/win32/win32_ui_factory.h"

#include "platform/win32/set_folder_dialog.h"

// TODO(lead): connect the main window. Until src/platform/win32/main_window.h
// declares rw::win32::ShowMainWindow(App&, Platform&), start-up ends after
// the host check without showing a window.
#if __has_include("platform/win32/main_window.h")
#include "platform/win32/main_window.h"
#define RW_HAS_MAIN_WINDOW 1
#endif

namespace rw::win32 {

void Win32UiFactory::ShowSetFolderDialog(App& app, WindowHandle owner) { win32::ShowSetFolderDialog(app, owner); }

void Win32UiFactory::ShowMainWindow([[maybe_unused]] App& app) {
#ifdef RW_HAS_MAIN_WINDOW
  win32::ShowMainWindow(app, platform_);
#endif
}

}  // namespace rw::win32
