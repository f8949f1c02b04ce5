// Entry point of ravelwick.exe.
#include <windows.h>

#include <string>

#include "app/app.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "ui/main_sequence.h"
#include "win32app/win32_ui_factory.h"

namespace {

bool MainWindowOfThisThreadExists() {
  bool found = false;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        static const std::wstring mainClass = rw::win32::Wide(rw::kMainWindowClass);
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        if (lstrcmpiW(name, mainClass.c_str()) != 0) return TRUE;
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs until the main window is gone. The window posts a quit message when
// it is destroyed; the loop also looks for the window itself, so a quit
// message taken by a nested loop cannot keep it waiting.
void RunWhileMainWindowLives() {
  MSG msg;
  while (MainWindowOfThisThreadExists() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  rw::Win32Platform platform;
  rw::App app(platform, platform.ProgramFolder());
  rw::win32::Win32UiFactory ui(platform);
  if (rw::Main(app, ui) == rw::MainExit::MainWindowShown) RunWhileMainWindowLives();
  return 0;
}
