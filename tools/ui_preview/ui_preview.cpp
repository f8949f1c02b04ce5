// Opens the main window on a throw-away program folder holding the language
// files, a working tree made from the made-up interface tree and a few
// ticked options, closes it after a while and prints where it was on the
// screen ("left top width height"). A scene shows more: the preview of those
// options over it (the section named by --section, if given), the open
// menu, the small window of the packing wait, the Save dialog of Export
// Settings, the report of importing a prepared file, whose Open dialog
// the preview answers, the own rules editor with a brace left open, or the
// Looks window over two installs and a named look; for a scene with a window
// or dialog over the main window it prints where that one is.
//
// --find types words into the search field; --header installed or foreign
// gives the browser the look Ravelwick installed last, or one it did not
// write, instead of its original one.
//
//   ui_preview.exe [--language NAME] [--single-skin-host] [--seconds N] [--header installed|foreign]
//                  [--preview [--section TITLE] | --menu | --progress | --export-dialog | --import-report |
//                   --tip | --find WORDS | --own-rules | --looks]
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/language_text.h"
#include "pipeline/tree_record.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "stores/text.h"
#include "ui/activity_log.h"
#include "ui/looks.h"
#include "ui/named_looks.h"
#include "ui/own_rules_source.h"
#include "ui/window_commands.h"
#include "win32app/looks_window.h"
#include "win32app/main_window.h"
#include "win32app/main_window_view.h"
#include "win32app/own_rules_window.h"
#include "win32app/preview_window.h"
#include "win32app/progress_window.h"

namespace {

constexpr char kSettings[] =
    "[General]\r\nSetMaxTabWidth=1\r\nMaxTabWidth=220\r\nHideStatusBar=1\r\nSlimmerTabBar=1\r\n"
    "SlimmerToolBar=1\r\nSetFont=1\r\nFontFamily=Segoe UI, Tahoma\r\nFontSize=9pt\r\nHideUndoList=1\r\n"
    "TabOnBottom=1\r\nAvatarToButton=1\r\nAlwaysFavButton=1\r\nHideFavorite=1\r\nBkgndTabWidth=100\r\n";

// The style sheets and templates of the made-up interface tree, so that a
// preview has lines to show.
void StageTree(rw::Platform& platform, const std::string& tree) {
  const std::string fixture = std::string(RW_SOURCE_DIR) + "\\tests\\fixtures\\host-ui";
  for (const std::string& file : platform.files.ListTree(fixture)) {
    if (!file.ends_with(".css") && !file.ends_with(".htm")) continue;
    for (std::size_t slash = file.find('\\'); slash != std::string::npos; slash = file.find('\\', slash + 1))
      platform.files.CreateFolder(tree + "\\" + file.substr(0, slash));
    platform.files.CopyFileOver(fixture + "\\" + file, tree + "\\" + file);
  }
}

// A file exported on another computer and edited by hand since.
constexpr char kMoved[] =
    "\xEF\xBB\xBF; Ravelwick settings, exported by Ravelwick 1.2.7\r\n[General]\r\nHideStatusBar=1\r\n"
    "SlimmerTabBar=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=2000\r\nFontSize=11\r\nTabOnBottom=yes\r\n"
    "AvatarToButton=1\r\nToolbarColour=blue\r\n";

// Own rules as a user might leave them, a brace not closed on line 4.
constexpr char kOwnRules[] =
    "/* A little more room around the toolbar buttons */\r\n#navbar .button { margin: 0 2px; }\r\n\r\n"
    ".tabbar .tab {\r\n  color: #202020;\r\n\r\n.statusbar { display: none; }\r\n";

std::wstring g_movedPath;
HWND g_answered = nullptr;  // the Open dialog the preview filled in

void PrintPlace(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
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

std::string Stage(rw::Platform& platform) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = rw::win32::Utf8(temp) + "ravelwick-preview";
  platform.files.DeleteFolder(folder);
  platform.files.CreateFolder(folder);
  platform.files.CreateFolder(folder + "\\Languages");
  // A working tree as a finished unpack leaves it, recorded in main below:
  // the window finds nothing to unpack.
  for (const char* sub : {"\\Resource", "\\Resource\\ui", "\\Resource\\ui\\main"})
    platform.files.CreateFolder(folder + sub);
  platform.files.WriteFile(folder + "\\Resource\\ui\\main\\index.css", "");
  StageTree(platform, folder + "\\Resource");
  for (const char* name : {"English.ini", "Chinese Simplified.ini"})
    if (auto bytes = platform.files.ReadFile(std::string(RW_SOURCE_DIR) + "\\data\\Languages\\" + name))
      platform.files.WriteFile(folder + "\\Languages\\" + name, *bytes);
  platform.files.WriteFile(folder + "\\settings.ini", kSettings);
  // A browser folder whose archive is still its own.
  platform.files.CreateFolder(folder + "\\Maxthon3");
  platform.files.CreateFolder(folder + "\\Maxthon3\\Bin");
  platform.files.WriteFile(folder + "\\Maxthon3\\Bin\\Resource.dat", "archive");
  platform.files.WriteFile(folder + "\\Moved.ini", kMoved);
  return folder;
}

// Two installs and a named look, each another set of options.
void StageLooks(const rw::App& app) {
  using rw::Option;
  const rw::OptionSnapshot none;
  rw::RecordLook(app, none.WithState(Option::HideHome, 1).WithState(Option::HideRefresh, 1));
  rw::RecordLook(app, none.WithState(Option::SlimmerTabBar, 1).WithState(Option::BoldActiveTab, 1));
  const bool chinese = app.LanguageName != "English";
  rw::SaveNamedLook(app, rw::LookOf(app, none.WithState(Option::HideSearchBar, 1)),
                    chinese ? "\xE7\xB4\xA7\xE5\x87\x91\xE6\xA0\x87\xE7\xAD\xBE" : "Compact tabs", false);
}

void Tap(WORD key) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = key;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

// What the timer does, step by step; it runs inside whichever loop is
// active (the preview's and the menu's are modal).
struct Show {
  enum class Kind {
    Window,
    Preview,
    Menu,
    Progress,
    ExportDialog,
    ImportReport,
    Tip,
    Find,
    OwnRules,
    Looks
  } kind = Kind::Window;
  std::wstring section, find;
  // The packing wait three seconds in, shown again at every tick as the road
  // does at every poll.
  std::unique_ptr<rw::win32::ProgressWindow> progress;
  std::string progressText;
  ULONGLONG closeAt = 0;
  int seconds = 4;
  bool shown = false;
};
Show g_show;

HWND MainWindow() { return reinterpret_cast<HWND>(rw::win32::MainWindowHandle()); }

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND main = MainWindow();
  if (!main) {
    KillTimer(nullptr, id);
    return;
  }
  if (g_show.progress) g_show.progress->Show(g_show.progressText, 15);
  if (!g_show.shown) {
    if (g_show.kind == Show::Kind::ExportDialog || g_show.kind == Show::Kind::ImportReport) {
      const std::vector<HWND> dialogs = OwnDialogs();
      if (dialogs.empty()) return;  // not up yet
      HWND dialog = dialogs.front();
      if (g_show.kind == Show::Kind::ImportReport && !g_answered) {
        HWND edit = FirstEdit(dialog);
        if (!edit) return;
        SetWindowTextW(edit, g_movedPath.c_str());
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        g_answered = dialog;
        return;
      }
      if (dialog == g_answered) return;  // the report is still to come
      PrintPlace(dialog);
    } else if (g_show.kind == Show::Kind::Preview) {
      HWND preview = FindWindowW(rw::win32::kPreviewWindowClass, nullptr);
      if (!preview) return;  // not up yet
      HWND list = FindWindowExW(preview, nullptr, L"ListBox", nullptr);
      const LRESULT item = g_show.section.empty() ? LB_ERR
                                                  : SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                 reinterpret_cast<LPARAM>(g_show.section.c_str()));
      if (item != LB_ERR) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(preview, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
      }
      PrintPlace(preview);
    } else if (g_show.kind == Show::Kind::OwnRules) {
      HWND editor = FindWindowW(rw::win32::kOwnRulesWindowClass, nullptr);
      if (!editor) return;
      // The finding chosen: its line is marked in the text.
      HWND list = FindWindowExW(editor, nullptr, L"ListBox", nullptr);
      SendMessageW(list, LB_SETCURSEL, 0, 0);
      SendMessageW(editor, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
      PrintPlace(editor);
    } else if (g_show.kind == Show::Kind::Looks) {
      HWND looks = FindWindowW(rw::win32::kLooksWindowClass, nullptr);
      if (!looks) return;
      PrintPlace(looks);
    } else if (g_show.kind == Show::Kind::Progress) {
      HWND progress = FindWindowW(rw::win32::kProgressWindowClass, nullptr);
      if (!progress) return;
      PrintPlace(progress);
    } else {
      // The mouse rests on no row, wherever the last scene left it.
      if (g_show.kind != Show::Kind::Tip) SetCursorPos(0, 0);
      if (g_show.kind == Show::Kind::Menu) {
        Tap(VK_MENU);  // the menu bar, as Alt selects it
        Tap(VK_DOWN);  // and its menu opened
      }
      if (g_show.kind == Show::Kind::Find) {
        // As the user does: Ctrl+F, the words, and Enter to the first match.
        HWND field = reinterpret_cast<HWND>(rw::win32::MainWindowControl(rw::Control::Find));
        SetFocus(field);
        SetWindowTextW(field, g_show.find.c_str());
        SendMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
      }
      if (g_show.kind == Show::Kind::Tip) {
        // The mouse rests on a row whose option is contradicted.
        RECT box{};
        GetWindowRect(reinterpret_cast<HWND>(rw::win32::MainWindowControl(rw::Option::AlwaysFavButton)), &box);
        SetCursorPos(box.left + 40, (box.top + box.bottom) / 2);
      }
      PrintPlace(main);
    }
    g_show.shown = true;
    g_show.closeAt = GetTickCount64() + static_cast<ULONGLONG>(g_show.seconds) * 1000;
    return;
  }
  if (GetTickCount64() < g_show.closeAt) return;
  // Dialogs first; the timer comes back until they are gone.
  if (const std::vector<HWND> dialogs = OwnDialogs(); !dialogs.empty()) {
    for (HWND dialog : dialogs) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  KillTimer(nullptr, id);
  if (g_show.kind == Show::Kind::Menu) {
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
  }
  if (HWND preview = FindWindowW(rw::win32::kPreviewWindowClass, nullptr)) PostMessageW(preview, WM_CLOSE, 0, 0);
  if (HWND editor = FindWindowW(rw::win32::kOwnRulesWindowClass, nullptr)) PostMessageW(editor, WM_CLOSE, 0, 0);
  if (HWND looks = FindWindowW(rw::win32::kLooksWindowClass, nullptr)) PostMessageW(looks, WM_CLOSE, 0, 0);
  PostMessageW(main, WM_CLOSE, 0, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::string language = "English";
  std::wstring header = L"original";
  bool singleSkinHost = false;
  for (int i = 1; i < __argc; ++i) {
    const std::wstring arg = __wargv[i];
    if (arg == L"--language" && i + 1 < __argc) language = rw::win32::Utf8(__wargv[++i]);
    if (arg == L"--single-skin-host") singleSkinHost = true;
    if (arg == L"--seconds" && i + 1 < __argc) g_show.seconds = _wtoi(__wargv[++i]);
    if (arg == L"--preview") g_show.kind = Show::Kind::Preview;
    if (arg == L"--section" && i + 1 < __argc) g_show.section = __wargv[++i];
    if (arg == L"--menu") g_show.kind = Show::Kind::Menu;
    if (arg == L"--tip") g_show.kind = Show::Kind::Tip;
    if (arg == L"--find" && i + 1 < __argc) {
      g_show.kind = Show::Kind::Find;
      g_show.find = __wargv[++i];
    }
    if (arg == L"--header" && i + 1 < __argc) header = __wargv[++i];
    if (arg == L"--progress") g_show.kind = Show::Kind::Progress;
    if (arg == L"--export-dialog") g_show.kind = Show::Kind::ExportDialog;
    if (arg == L"--import-report") g_show.kind = Show::Kind::ImportReport;
    if (arg == L"--own-rules") g_show.kind = Show::Kind::OwnRules;
    if (arg == L"--looks") g_show.kind = Show::Kind::Looks;
  }

  rw::Win32Platform platform;
  rw::App app(platform, Stage(platform));
  app.AppVersion = "1.2.7";
  app.AppTitle = "Ravelwick (1.2.7)";
  app.LanguageName = language;
  app.SingleSkinHost = singleSkinHost;
  app.HostVersion = singleSkinHost ? "3.0.15.300" : "3.0.24.2000";
  g_movedPath = rw::win32::Wide(app.programFolder + "\\Moved.ini");
  app.HostBinFolder = app.programFolder + "\\Maxthon3\\Bin\\";
  platform.files.CopyFileOver(app.Host().HostArchive(), app.Host().BackupPath());
  if (header != L"original") {
    // Installed: the packed archive is the host's and the log dates it;
    // foreign: the host's is neither that nor the backup.
    platform.files.WriteFile(app.Host().BackupPath(), "the browser's own archive");
    platform.files.CopyFileOver(app.Host().HostArchive(), app.Path("Resource.dat"));
    if (header == L"foreign") platform.files.WriteFile(app.Host().HostArchive(), "another tool's archive");
    rw::LogApply(app, {}, {}, {rw::Outcome::Done, {}});
  }
  if (!rw::RecordTree(app.Host())) return 1;
  if (g_show.kind == Show::Kind::Looks) StageLooks(app);
  rw::win32::ShowMainWindow(app, platform);
  HWND window = MainWindow();
  if (!window) return 1;

  SetTimer(nullptr, 0, 250, OnTimer);
  if (g_show.kind == Show::Kind::Progress) {
    g_show.progress = std::make_unique<rw::win32::ProgressWindow>(window);
    g_show.progressText = rw::Fill(Text(app, "WaitPacking"), {{"$seconds", "3"}, {"$limit", "20"}});
  }
  if (g_show.kind == Show::Kind::Preview) {
    // The menu's command, as a click on "Preview Changes..." sends it.
    const UINT preview = GetMenuItemID(GetSubMenu(GetMenu(window), 0), 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(preview, 0), 0);
  }
  if (g_show.kind == Show::Kind::Menu) SetForegroundWindow(window);
  // The menu's command, by the caption its row gives it.
  const auto post = [&](std::string_view captionKey) {
    for (const rw::WindowCommand& command : rw::WindowCommands())
      if (command.captionKey == captionKey && command.Item()) PostMessageW(window, WM_COMMAND, command.Item()->id, 0);
  };
  if (g_show.kind == Show::Kind::ExportDialog) post("ExportSettings");
  if (g_show.kind == Show::Kind::ImportReport) post("ImportSettings");
  if (g_show.kind == Show::Kind::Looks) post("Looks");
  rw::OwnRulesFiles ownRules(app);
  if (g_show.kind == Show::Kind::OwnRules) {
    platform.files.CreateFolder(app.programFolder + "\\Own rules");
    platform.files.WriteFile(ownRules.PathOf(false), kOwnRules);
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
  }
  MSG msg;
  while (MainWindow() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_APP && !msg.hwnd) {
      rw::win32::ShowOwnRulesWindow(app, ownRules, reinterpret_cast<rw::WindowHandle>(window));
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  g_show.progress.reset();
  platform.files.DeleteFolder(app.programFolder);
  return 0;
}
