// Opens the main window on a throw-away program folder holding the language
// files and a few ticked options, closes it after a while and prints where
// it was on the screen ("left top width height").
//
//   ui_preview.exe [--language NAME] [--single-skin-host] [--seconds N]
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/app.h"
#include "pipeline/tree_record.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "win32app/main_window.h"

namespace {

constexpr char kSettings[] =
    "[General]\r\nSetMaxTabWidth=1\r\nMaxTabWidth=220\r\nHideStatusBar=1\r\nSlimmerTabBar=1\r\n"
    "SlimmerToolBar=1\r\nSetFont=1\r\nFontFamily=Segoe UI, Tahoma\r\nFontSize=9pt\r\nHideUndoList=1\r\n"
    "TabOnBottom=1\r\nAvatarToButton=1\r\n";

std::string Stage(rw::Platform& platform) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = rw::win32::Utf8(temp) + "ravelwick-preview";
  platform.DeleteFolder(folder);
  platform.CreateFolder(folder);
  platform.CreateFolder(folder + "\\Languages");
  // A working tree as a finished unpack leaves it, recorded in main below:
  // the window finds nothing to unpack.
  for (const char* sub : {"\\Resource", "\\Resource\\ui", "\\Resource\\ui\\main"}) platform.CreateFolder(folder + sub);
  platform.WriteFile(folder + "\\Resource\\ui\\main\\index.css", "");
  for (const char* name : {"English.ini", "Chinese Simplified.ini"})
    if (auto bytes = platform.ReadFile(std::string(RW_SOURCE_DIR) + "\\data\\Languages\\" + name))
      platform.WriteFile(folder + "\\Languages\\" + name, *bytes);
  platform.WriteFile(folder + "\\settings.ini", kSettings);
  return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::string language = "English";
  bool singleSkinHost = false;
  int seconds = 4;
  for (int i = 1; i < __argc; ++i) {
    const std::wstring arg = __wargv[i];
    if (arg == L"--language" && i + 1 < __argc) language = rw::win32::Utf8(__wargv[++i]);
    if (arg == L"--single-skin-host") singleSkinHost = true;
    if (arg == L"--seconds" && i + 1 < __argc) seconds = _wtoi(__wargv[++i]);
  }

  rw::Win32Platform platform;
  rw::App app(platform, Stage(platform));
  app.AppVersion = "1.2.7";
  app.AppTitle = "Ravelwick (1.2.7)";
  app.LanguageName = language;
  app.SingleSkinHost = singleSkinHost;
  app.HostVersion = singleSkinHost ? "3.0.15.300" : "3.0.24.2000";
  if (!rw::RecordTree(app.Host())) return 1;
  rw::win32::ShowMainWindow(app, platform);
  HWND window = reinterpret_cast<HWND>(rw::win32::MainWindowHandle());
  if (!window) return 1;

  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);

  SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG msg;
  while (rw::win32::MainWindowHandle() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
      PostMessageW(reinterpret_cast<HWND>(rw::win32::MainWindowHandle()), WM_CLOSE, 0, 0);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  platform.DeleteFolder(app.programFolder);
  return 0;
}
