#include "platform/win32/win32_ui_factory.h"

#include "platform/win32/main_window.h"
#include "platform/win32/set_folder_dialog.h"

namespace rw::win32 {

void Win32UiFactory::ShowSetFolderDialog(App& app, WindowHandle owner) { win32::ShowSetFolderDialog(app, owner); }

void Win32UiFactory::ShowMainWindow(App& app) { win32::ShowMainWindow(app, platform_); }

}  // namespace rw::win32
