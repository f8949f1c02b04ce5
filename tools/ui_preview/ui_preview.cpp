// Opens the main window on a throw-away program folder holding the language
// files and a few ticked options, closes it after a while and prints where
// it was on the screen ("left top width height"). A scene shows more: the
// open menu over the window, the Save dialog of Export Settings, or the
// report of importing a prepared file, whose Open dialog the preview
// answers; for the last two it prints where the dialog is instead.
//
//   ui_preview.exe [--language NAME] [--single-skin-host] [--seconds N]
//                  [--menu | --export-dialog | --import-report]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "pipeline/tree_record.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "win32app/main_window.h"
#include "win32app/main_window_view.h"

namespace {

constexpr char kSettings[] =
    "[General]\r\nSetMaxTabWidth=1\r\nMaxTabWidth=220\r\nHideStatusBar=1\r\nSlimmerTabBar=1\r\n"
    "SlimmerToolBar=1\r\nSetFont=1\r\nFontFamily=Segoe UI, Tahoma\r\nFontSize=9pt\r\nHideUndoList=1\r\n"
    "TabOnBottom=1\r\nAvatarToButton=1\r\n";

// A file exported on another computer and edited by hand since.
constexpr char kMoved[] =
    "\xEF\xBB\xBF; Ravelwick settings, exported by Ravelwick 1.2.7\r\n[General]\r\nHideStatusBar=1\r\n"
    "SlimmerTabBar=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=2000\r\nFontSize=11\r\nTabOnBottom=yes\r\n"
    "AvatarToButton=1\r\nToolbarColour=blue\r\n";

enum class Scene { Window, Menu, ExportDialog, ImportReport };
Scene g_scene = Scene::Window;
std::wstring g_movedPath;
HWND g_answered = nullptr;  // the Open dialog the preview filled in
bool g_printed = false;

void PrintPlace(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
  g_printed = true;
}

bool HasClass(HWND window, std::wstring_view name) {
  wchar_t found[32] = {};
  GetClassNameW(window, found, 32);
  return found == name;
}

// The dialog boxes of this thread: file dialogs and message boxes.
std::vector<HWND> OwnDialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) {
        if (IsWindowVisible(window) && HasClass(window, L"#32770"))
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The file name box of a file dialog.
HWND FirstEdit(HWND dialog) {
  HWND edit = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM out) {
        if (!IsWindowVisible(child) || !HasClass(child, L"Edit")) return TRUE;
        *reinterpret_cast<HWND*>(out) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&edit));
  return edit;
}

void PressKey(WORD key) {
  INPUT press[2] = {};
  press[0].type = press[1].type = INPUT_KEYBOARD;
  press[0].ki.wVk = press[1].ki.wVk = key;
  press[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, press, sizeof(INPUT));
}

// Runs five times a second inside whatever modal loop is up.
void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
  // The menu as the user opens it from the keyboard: F10, then Down once
  // the menu bar has taken it, and on to Export Settings.
  static int ticks = 0;
  if (g_scene == Scene::Menu && ++ticks <= 4) PressKey(ticks == 1 ? VK_F10 : VK_DOWN);
  const std::vector<HWND> dialogs = OwnDialogs();
  if (dialogs.empty() || g_printed) return;
  HWND dialog = dialogs.front();
  if (g_scene == Scene::ExportDialog) {
    PrintPlace(dialog);
  } else if (g_scene == Scene::ImportReport && !g_answered) {
    HWND edit = FirstEdit(dialog);
    if (!edit) return;
    SetWindowTextW(edit, g_movedPath.c_str());
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    g_answered = dialog;
  } else if (g_scene == Scene::ImportReport && dialog != g_answered) {
    PrintPlace(dialog);
  }
}

// Ends what is open, the window last; runs again until it is gone.
void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) {
  EndMenu();
  const std::vector<HWND> dialogs = OwnDialogs();
  for (HWND dialog : dialogs) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  if (dialogs.empty()) PostMessageW(reinterpret_cast<HWND>(rw::win32::MainWindowHandle()), WM_CLOSE, 0, 0);
}

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
  platform.WriteFile(folder + "\\Moved.ini", kMoved);
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
    if (arg == L"--menu") g_scene = Scene::Menu;
    if (arg == L"--export-dialog") g_scene = Scene::ExportDialog;
    if (arg == L"--import-report") g_scene = Scene::ImportReport;
  }

  rw::Win32Platform platform;
  rw::App app(platform, Stage(platform));
  app.AppVersion = "1.2.7";
  app.AppTitle = "Ravelwick (1.2.7)";
  app.LanguageName = language;
  app.SingleSkinHost = singleSkinHost;
  app.HostVersion = singleSkinHost ? "3.0.15.300" : "3.0.24.2000";
  g_movedPath = rw::win32::Wide(app.programFolder + "\\Moved.ini");
  if (!rw::RecordTree(app.Host())) return 1;
  rw::win32::ShowMainWindow(app, platform);
  HWND window = reinterpret_cast<HWND>(rw::win32::MainWindowHandle());
  if (!window) return 1;

  if (g_scene == Scene::Window || g_scene == Scene::Menu) PrintPlace(window);
  if (g_scene == Scene::Menu) SetForegroundWindow(window);
  if (g_scene == Scene::ExportDialog) PostMessageW(window, WM_COMMAND, rw::win32::kMenuExportSettings, 0);
  if (g_scene == Scene::ImportReport) PostMessageW(window, WM_COMMAND, rw::win32::kMenuImportSettings, 0);
  // Thread timers with procedures: the menu's and the dialogs' own loops
  // run them too.
  SetTimer(nullptr, 0, 200, Step);
  SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, End);
  MSG msg;
  while (rw::win32::MainWindowHandle() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  platform.DeleteFolder(app.programFolder);
  return 0;
}
