#include "win32app/win32_ui_factory.h"

#include "win32app/main_window.h"
#include "win32app/preview_window.h"
#include "win32app/set_folder_dialog.h"

namespace rw::win32 {

void Win32UiFactory::ShowSetFolderDialog(App& app, WindowHandle owner) { win32::ShowSetFolderDialog(app, owner); }

void Win32UiFactory::ShowMainWindow(App& app) { win32::ShowMainWindow(app, platform_); }

void Win32UiFactory::ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) {
  win32::ShowPreviewWindow(app, preview, owner);
}

}  // namespace rw::win32
