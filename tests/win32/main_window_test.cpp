#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/language_text.h"
#include "pipeline/tree_record.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "support/stray_brace_rules.h"
#include "ui/catalogue.h"
#include "ui/option_search.h"
#include "ui/preview.h"
#include "win32app/main_window.h"
#include "win32app/own_rules_window.h"
#include "win32app/preview_window.h"
#include "win32app/progress_window.h"

namespace rw {
namespace {

using win32::MainWindowControl;
using win32::MainWindowHandle;

HWND H(WindowHandle w) { return reinterpret_cast<HWND>(w); }
HWND Ctl(Option option) { return H(MainWindowControl(option)); }
HWND Ctl(Control control) { return H(MainWindowControl(control)); }

std::string Text(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return win32::Utf8(buffer);
}

std::string MenuText(HMENU menu, int position) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buffer, 256, MF_BYPOSITION);
  return win32::Utf8(buffer);
}

// True when a quit message came by: the program's loop would have ended.
bool Pump(int milliseconds = 100) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG msg;
  bool quit = false;
  while (GetTickCount() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      quit = quit || msg.message == WM_QUIT;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
  return quit;
}

// Steps run one after another from a timer: each from the message loop of
// whatever window is modal then, so that loop handles what a step posts
// before the next step looks.
std::vector<std::function<void()>> g_steps;
void RunSteps(std::vector<std::function<void()>> steps) {
  g_steps = std::move(steps);
  SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
    if (g_steps.empty()) {
      KillTimer(nullptr, id);
      return;
    }
    const std::function<void()> step = std::move(g_steps.front());
    g_steps.erase(g_steps.begin());
    step();
  });
}

// A modifier held down, as the thread's keyboard state tells it.
void Hold(int key, bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[key] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

void PostKey(HWND to, WPARAM key) {
  PostMessageW(to, WM_KEYDOWN, key, 1);
  PostMessageW(to, WM_KEYUP, key, 1 | (3u << 30));
}

struct PreviewParts {
  HWND window = nullptr, list = nullptr, text = nullptr, close = nullptr;
};
PreviewParts FindPreview() {
  PreviewParts p;
  p.window = FindWindowW(win32::kPreviewWindowClass, nullptr);
  if (!p.window) return p;
  p.list = FindWindowExW(p.window, nullptr, L"ListBox", nullptr);
  p.text = FindWindowExW(p.window, nullptr, L"Edit", nullptr);
  p.close = FindWindowExW(p.window, nullptr, L"Button", nullptr);
  return p;
}

// Chooses a list item as a click does: the list tells its window.
void Choose(const PreviewParts& p, int index) {
  SendMessageW(p.list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(p.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(p.list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(p.list));
}

std::wstring WideText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string ItemText(HWND list, int index) {
  std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return win32::Utf8(text.c_str());
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

bool FixedPitch(HWND control) {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;  // the bit means variable pitch
}

int WidthOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.right - r.left;
}

// Position of a control in the main window's client area, in 96-DPI pixels.
RECT PlaceOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, H(MainWindowHandle()), reinterpret_cast<POINT*>(&r), 2);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return RECT{MulDiv(r.left, 96, dpi), MulDiv(r.top, 96, dpi), MulDiv(r.right - r.left, 96, dpi),
              MulDiv(r.bottom - r.top, 96, dpi)};
}

// Measured in the font each control draws with: every caption and the font
// field's default fit their control, and every description with a long
// status fits the details line.
void ExpectTextsFit(const App& app, HWND main) {
  HDC dc = GetDC(main);
  const auto measure = [&](HWND control, const std::wstring& text, UINT flags, RECT box) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), -1, &box, flags | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    return box;
  };
  const int square = GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetClientRect(c, &r);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    const std::wstring text = WideText(c);
    if (!(style & WS_TABSTOP) || text.empty()) continue;
    const bool box = (style & BS_TYPEMASK) == BS_3STATE;
    const bool field = (GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    if (!box && !field) continue;
    EXPECT_LE(measure(c, text, DT_SINGLELINE, r).right + (box ? square : 4), r.right) << win32::Utf8(text);
  }
  HWND details = FindWindowExW(main, FindWindowExW(main, nullptr, L"Static", nullptr), L"Static", nullptr);
  RECT r{};
  GetClientRect(details, &r);
  const std::string status = Text(app, "StatusIdle") + " " + Text(app, "StatusChanged");
  for (const OptionDef& def : Options()) {
    const std::wstring text = win32::Wide(Text(app, def.descriptionKey) + "\n" + status);
    EXPECT_LE(measure(details, text, DT_WORDBREAK, RECT{0, 0, r.right, 0}).bottom, r.bottom) << def.settingsKey;
  }
  ReleaseDC(main, dc);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform_.files.ProgramFolder() + "\\mainwindow-test";
    platform_.files.DeleteFolder(folder_);
    ASSERT_TRUE(platform_.files.CreateFolder(folder_));
    ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Languages"));
    // Present, so that the first activation does not unpack.
    ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Resource"));
    for (const char* name : {"English.ini", "Chinese Simplified.ini"}) {
      auto bytes = platform_.files.ReadFile(std::string(RW_SOURCE_DIR) + "\\data\\Languages\\" + name);
      ASSERT_TRUE(bytes) << name;
      ASSERT_TRUE(platform_.files.WriteFile(folder_ + "\\Languages\\" + name, *bytes));
    }
    app_.AppVersion = "1.2.7";
    app_.AppTitle = "Ravelwick (1.2.7)";
  }
  void TearDown() override {
    if (HWND w = H(MainWindowHandle())) DestroyWindow(w);
    Pump(50);
    platform_.files.DeleteFolder(folder_);
  }

  void Open() {
    win32::ShowMainWindow(app_, platform_);
    Pump();
    ASSERT_NE(MainWindowHandle(), 0u);
  }

  Win32Platform platform_;
  std::string folder_;
  App app_{platform_, ""};
};

// Both icon groups of ravelwick.exe, read from the built program: the main
// window takes its large icon from the first and its small one from the
// second.
TEST(ProgramIcons, BothGroupsLoadWithTheirImages) {
  struct Case {
    const wchar_t* name;
    std::vector<int> widths;  // 0 stands for 256
  };
  const Case cases[] = {{L"AAA", {16, 24, 32, 48, 64, 0}}, {L"AAA_SMALL", {16, 20, 24}}};
  HMODULE program = LoadLibraryExW(win32::Wide(RW_PROGRAM_EXE).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  for (const Case& c : cases) {
    HRSRC found = FindResourceW(program, c.name, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr) << win32::Utf8(c.name);
    // GRPICONDIR: reserved, type, count, then 14-byte entries led by the width.
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
    ASSERT_NE(group, nullptr);
    const int count = group[4] | (group[5] << 8);
    std::vector<int> widths;
    for (int i = 0; i < count; ++i) widths.push_back(group[6 + 14 * i]);
    EXPECT_EQ(widths, c.widths) << win32::Utf8(c.name);
    for (const int size : {16, 20, 32}) {
      HICON icon = static_cast<HICON>(LoadImageW(program, c.name, IMAGE_ICON, size, size, 0));
      EXPECT_NE(icon, nullptr) << win32::Utf8(c.name) << " " << size;
      if (icon) DestroyIcon(icon);
    }
  }
  FreeLibrary(program);
}

TEST_F(MainWindowTest, OpensWithEveryCaptionFromTheLanguageFileAndTheLayoutOfTheWindow) {
  app_.programFolder = folder_;
  Open();
  HWND main = H(MainWindowHandle());
  EXPECT_EQ(Text(main), "Ravelwick (1.2.7)");
  wchar_t className[64] = {};
  GetClassNameW(main, className, 64);
  EXPECT_EQ(win32::Utf8(className), kMainWindowClass);

  for (const OptionDef& def : Options()) {
    HWND c = Ctl(def.option);
    ASSERT_TRUE(c) << def.settingsKey;
    if (def.kind == OptionKind::Check) {
      EXPECT_EQ(Text(c), Text(app_, def.captionKey) + std::string(def.marker)) << def.settingsKey;
      EXPECT_EQ(Text(c), EnglishCaption(def) + std::string(def.marker)) << def.settingsKey;
    }
  }
  EXPECT_EQ(Text(Ctl(Control::Ok)), "OK");
  EXPECT_EQ(Text(Ctl(Control::Cancel)), "Cancel");
  EXPECT_EQ(Text(Ctl(Control::SelectAll)), "Select/Unselect All");
  EXPECT_EQ(Text(Ctl(Control::ModernLegend)), "(*) Modern Skin only");
  EXPECT_EQ(Text(Ctl(Control::ClassicLegend)), "(#) Classic Skin only");
  EXPECT_EQ(Text(Ctl(Option::FontFamilyText)), "Segoe UI, Tahoma");

  HMENU bar = GetMenu(main);
  ASSERT_TRUE(bar);
  EXPECT_EQ(MenuText(bar, 0), "Menu");
  HMENU menu = GetSubMenu(bar, 0);
  const std::vector<std::string> items = {"Preview Changes...\tCtrl+P",
                                          "Own Rules...",
                                          "",
                                          "Set Maxthon 3 Folder...",
                                          "Language",
                                          "",
                                          "Export Settings...",
                                          "Export Settings and Looks...",
                                          "Import Settings...",
                                          "Reset to Defaults",
                                          "",
                                          "Looks...",
                                          "Save Look As...",
                                          "Undo Last Apply",
                                          "",
                                          "Restore Default Resource File",
                                          "",
                                          "Open Log",
                                          "Copy Diagnostics",
                                          "",
                                          "Help\tF1",
                                          "About...",
                                          "",
                                          "Exit"};
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
  for (int i = 0; i < static_cast<int>(items.size()); ++i) EXPECT_EQ(MenuText(menu, i), items[i]) << i;
  HMENU languages = GetSubMenu(menu, 4);
  ASSERT_EQ(GetMenuItemCount(languages), 2);
  EXPECT_EQ(MenuText(languages, 0), "English");
  EXPECT_EQ(MenuText(languages, 1), "Chinese Simplified");
  EXPECT_TRUE(GetMenuState(languages, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(languages, 1, MF_BYPOSITION) & MF_CHECKED);

  RECT client{};
  GetClientRect(main, &client);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // The header line above and the details line below the design's area;
  // each column has a mark gutter of 12 at its left (g, g2 below).
  HWND header = FindWindowExW(main, nullptr, L"Static", nullptr);
  HWND details = FindWindowExW(main, header, L"Static", nullptr);
  ASSERT_TRUE(header && details);
  const RECT top = PlaceOf(header), bottom = PlaceOf(details), find = PlaceOf(Ctl(Control::Find));
  // The search band between the header and the options, below the header.
  EXPECT_GE(find.top, top.top + top.bottom);
  EXPECT_EQ(PlaceOf(Ctl(Control::FindLabel)).left, 8);
  const LONG down = find.top + find.bottom;
  EXPECT_GE(bottom.bottom, 3 * top.bottom - 1);
  EXPECT_EQ(client.right, MulDiv(858 + 24, dpi, 96));
  EXPECT_NEAR(client.bottom, MulDiv(512 + 6 + bottom.bottom + down, dpi, 96), 2);
  constexpr LONG g = 12, g2 = 24;
  const auto expectPlace = [down](HWND control, RECT want) {
    want.top += down;
    const RECT got = PlaceOf(control);
    EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        << "wanted at " << want.left << "," << want.top << ": " << got.left << "," << got.top << " " << got.right << "x"
        << got.bottom;
  };
  expectPlace(Ctl(Option::ClickableTitle), {16 + g, 16, 401, 17});
  expectPlace(Ctl(Option::ShowModeText), {16 + g, 448, 401, 17});
  expectPlace(Ctl(Option::HideMainMenuIcon), {440 + g2, 16, 401, 17});
  expectPlace(Ctl(Option::MaxTabWidth), {16 + g, 88, 348, 17});
  expectPlace(Ctl(Option::MaxTabWidthText), {376 + g, 86, 41, 22});
  expectPlace(Ctl(Option::MaxSearchWidthText), {800 + g2, 182, 41, 22});
  expectPlace(Ctl(Option::FontSizeText), {800 + g2, 230, 41, 22});
  expectPlace(Ctl(Option::BkgndTabWidthText), {800 + g2, 278, 41, 22});
  // The font field grows to the left as its default text needs.
  const RECT font = PlaceOf(Ctl(Option::FontFamilyText)), setFont = PlaceOf(Ctl(Option::SetFont));
  EXPECT_EQ(font.left + font.right, 800 + g2 - g);
  EXPECT_GE(font.right, 113);
  EXPECT_EQ(setFont.left + setFont.right, font.left - g);
  expectPlace(GetParent(Ctl(Control::ModernLegend)), {8, 484, 209, 20});
  expectPlace(GetParent(Ctl(Control::ClassicLegend)), {216, 484, 209, 20});
  expectPlace(Ctl(Control::SelectAll), {440 + g2, 480, 217, 25});
  expectPlace(Ctl(Control::Ok), {664 + g2, 480, 90, 25});
  expectPlace(Ctl(Control::Cancel), {760 + g2, 480, 90, 25});

  ExpectTextsFit(app_, main);

  const LONG style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(SendMessageW(Ctl(Control::Ok), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
}

TEST_F(MainWindowTest, StoredOptionsAreThereTheMomentTheWindowShows) {
  app_.programFolder = folder_;
  ASSERT_TRUE(platform_.files.WriteFile(folder_ + "\\settings.ini",
                                        "[General]\r\nHideHome=1\r\nHideStatusBar=1\r\nMaxTabWidth=240\r\n"));
  Open();
  EXPECT_EQ(SendMessageW(Ctl(Option::HideHome), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Ctl(Option::HideStatusBar), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Ctl(Option::HideUndo), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Text(Ctl(Option::MaxTabWidthText)), "240");
}

TEST_F(MainWindowTest, TabWalksTheLeftColumnThenTheRightThenTheButtons) {
  app_.programFolder = folder_;
  Open();
  HWND main = H(MainWindowHandle());
  std::vector<HWND> order;
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP) order.push_back(c);
  }
  const std::vector<HWND> expected = {Ctl(Option::ClickableTitle),
                                      Ctl(Option::HoverTabClose),
                                      Ctl(Option::HideTabClose),
                                      Ctl(Option::MaxTabWidth),
                                      Ctl(Option::MaxTabWidthText),
                                      Ctl(Option::CombineUndoHistory),
                                      Ctl(Option::AlwaysFavButton),
                                      Ctl(Option::HideFavBarIcon),
                                      Ctl(Option::SlimmerTabBar),
                                      Ctl(Option::SlimmerToolbar),
                                      Ctl(Option::SlimmerFavBar),
                                      Ctl(Option::SlimmerStatusBar),
                                      Ctl(Option::HideRefresh),
                                      Ctl(Option::HideHome),
                                      Ctl(Option::HideUndo),
                                      Ctl(Option::HideUndoList),
                                      Ctl(Option::HideNewTab),
                                      Ctl(Option::HideFavorite),
                                      Ctl(Option::HideFavBarButton),
                                      Ctl(Option::ShowModeText),
                                      Ctl(Option::HideMainMenuIcon),
                                      Ctl(Option::HidePageMenuIcon),
                                      Ctl(Option::HideTabMenuIcon),
                                      Ctl(Option::HideAddrMenuIcon),
                                      Ctl(Option::HideToolTip),
                                      Ctl(Option::HideSearchBar),
                                      Ctl(Option::HideStatusBar),
                                      Ctl(Option::MaxSearchWidth),
                                      Ctl(Option::MaxSearchWidthText),
                                      Ctl(Option::AeroStatusBar),
                                      Ctl(Option::SetFont),
                                      Ctl(Option::FontFamilyText),
                                      Ctl(Option::FontSizeText),
                                      Ctl(Option::BoldActiveTab),
                                      Ctl(Option::BkgndTabWidth),
                                      Ctl(Option::BkgndTabWidthText),
                                      Ctl(Option::CombineAddressSearch),
                                      Ctl(Option::NormalMenuButton),
                                      Ctl(Option::AvatarToButton),
                                      Ctl(Option::AvatarToMenu),
                                      Ctl(Option::TabOnBottom),
                                      Ctl(Option::MenuToAvatar),
                                      Ctl(Option::ReplaceSmiley),
                                      Ctl(Control::SelectAll),
                                      Ctl(Control::Ok),
                                      Ctl(Control::Cancel),
                                      Ctl(Control::Find)};
  EXPECT_EQ(order, expected);

  // The Tab key itself, from a check box to its field and on.
  SetFocus(Ctl(Option::MaxTabWidth));
  SendMessageW(Ctl(Option::MaxTabWidth), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), Ctl(Option::MaxTabWidthText));
  SendMessageW(Ctl(Option::MaxTabWidthText), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), Ctl(Option::CombineUndoHistory));
  // Escape leaves everything as it was.
  SendMessageW(Ctl(Option::CombineUndoHistory), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(50);
  EXPECT_NE(MainWindowHandle(), 0u);
}

TEST_F(MainWindowTest, ClicksFieldChecksAndClosing) {
  app_.programFolder = folder_;
  Open();
  SendMessageW(Ctl(Control::SelectAll), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(Ctl(Option::HideHome), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Ctl(Control::ModernLegend), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(Ctl(Option::HideHome), BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(Ctl(Option::HideHome), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  HWND field = Ctl(Option::MaxTabWidthText);
  SetFocus(field);
  SetWindowTextW(field, L"50");
  SetFocus(Ctl(Option::HideHome));
  EXPECT_EQ(Text(field), "100");
  // Entering a field selects its whole text.
  SetFocus(Ctl(Option::FontSizeText));
  DWORD start = 1, end = 0;
  SendMessageW(Ctl(Option::FontSizeText), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);

  // Sent, as from another process: handled inside GetMessage, which must not
  // go on waiting.
  SendMessageW(H(MainWindowHandle()), WM_CLOSE, 0, 0);
  EXPECT_TRUE(Pump());
  EXPECT_EQ(MainWindowHandle(), 0u);
}

TEST_F(MainWindowTest, ClosingWhileTheFolderDialogIsOpenClosesTheDialogThenTheWindowAMomentLater) {
  app_.programFolder = folder_;
  Open();
  HWND main = H(MainWindowHandle());
  static HWND s_main;
  static DWORD s_dialogGoneAt;
  static bool s_dialogWasUp;
  s_main = main;
  s_dialogGoneAt = 0;
  s_dialogWasUp = false;
  // Fires inside the dialog's modal loop: the taskbar's close command.
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    s_dialogWasUp = FindWindowW(L"RavelwickSetFolder", nullptr) != nullptr;
    SendMessageW(s_main, WM_CLOSE, 0, 0);
    s_dialogGoneAt = FindWindowW(L"RavelwickSetFolder", nullptr) ? 0 : GetTickCount();
  });
  const UINT setFolder = GetMenuItemID(GetSubMenu(GetMenu(main), 0), 3);
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(setFolder, 0), 0);  // returns when the dialog is gone
  EXPECT_TRUE(s_dialogWasUp);
  EXPECT_NE(s_dialogGoneAt, 0u);
  EXPECT_TRUE(IsWindow(main));
  EXPECT_TRUE(Pump(400));
  EXPECT_FALSE(IsWindow(main));
  EXPECT_EQ(MainWindowHandle(), 0u);
}

TEST_F(MainWindowTest, ChineseOnSingleSkinHostHasNoMarkersOrLegendsAndSevenGreyedOptions) {
  app_.programFolder = folder_;
  app_.LanguageName = "Chinese Simplified";
  app_.SingleSkinHost = true;
  Open();
  EXPECT_EQ(Text(Ctl(Option::HideNewTab)), "隐藏新建标签按钮");
  EXPECT_EQ(Text(Ctl(Option::ClickableTitle)), Text(app_, "ClickableTitle"));
  EXPECT_EQ(Text(Ctl(Control::ModernLegend)), "");
  EXPECT_EQ(Text(Ctl(Control::ClassicLegend)), "");
  EXPECT_EQ(Text(Ctl(Control::Cancel)), "取消");
  int disabled = 0;
  for (const OptionDef& def : Options())
    if (def.host == HostRule::HostDependent) disabled += !IsWindowEnabled(Ctl(def.option));
  EXPECT_EQ(disabled, 7);
  HMENU bar = GetMenu(H(MainWindowHandle()));
  EXPECT_EQ(MenuText(bar, 0), "菜单");
  EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0), "预览更改...\tCtrl+P");
  EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 4), "Language / 语言");
  HMENU languages = GetSubMenu(GetSubMenu(bar, 0), 4);
  EXPECT_FALSE(GetMenuState(languages, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(languages, 1, MF_BYPOSITION) & MF_CHECKED);
  ExpectTextsFit(app_, H(MainWindowHandle()));
}

// Ctrl+F from a check box goes to the search field; typed words frame their
// rows and Enter there goes to the first one without applying; Escape
// clears the search and goes back. Its texts fit in both languages.
TEST_F(MainWindowTest, CtrlFFindsEnterGoesToTheFirstMatchAndEscapeGoesBack) {
  app_.programFolder = folder_;
  for (const char* language : {"English", "Chinese Simplified"}) {
    SCOPED_TRACE(language);
    app_.LanguageName = language;
    Open();
    HWND main = H(MainWindowHandle()), field = Ctl(Control::Find);
    ASSERT_TRUE(field);
    SetFocus(Ctl(Option::HideHome));
    Hold(VK_CONTROL, true);
    SendMessageW(Ctl(Option::HideHome), WM_KEYDOWN, 'F', 0);
    Hold(VK_CONTROL, false);
    EXPECT_EQ(GetFocus(), field);
    SetWindowTextW(field, L"status bar");
    HWND result =
        FindWindowExW(main, FindWindowExW(main, FindWindowExW(main, nullptr, L"Static", nullptr), L"Static", nullptr),
                      L"Static", nullptr);
    result = FindWindowExW(main, result, L"Static", nullptr);  // past the label
    EXPECT_FALSE(Text(result).empty());
    HDC dc = GetDC(main);
    for (HWND line : {Ctl(Control::FindLabel), result}) {
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
      SIZE size{};
      const std::wstring text = WideText(line);
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      RECT r{};
      GetClientRect(line, &r);
      EXPECT_LE(size.cx, r.right) << win32::Utf8(text);
    }
    ReleaseDC(main, dc);
    SendMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
    Pump(50);
    const std::vector<Option> found = OptionSearch(app_, {"English", "Chinese Simplified"}).Find("status bar");
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(GetFocus(), Ctl(found.front()));
    EXPECT_FALSE(FindWindowW(L"#32770", nullptr));  // no Apply, no box
    SetFocus(Ctl(Option::HideRefresh));
    Hold(VK_CONTROL, true);
    SendMessageW(Ctl(Option::HideRefresh), WM_KEYDOWN, 'F', 0);
    Hold(VK_CONTROL, false);
    SendMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Text(field), "");
    EXPECT_EQ(Text(result), "");
    EXPECT_EQ(GetFocus(), Ctl(Option::HideRefresh));
    EXPECT_NE(MainWindowHandle(), 0u);
    DestroyWindow(main);
    Pump(50);
  }
}

// Ctrl+P in a check box opens the preview over the disabled window: the
// summary first, the changed file a choice away, Tab walks list, text and
// button, Ctrl+A selects the whole text, Esc closes; nothing is written.
TEST_F(MainWindowTest, CtrlPOpensThePreviewModallyAndEscapeClosesItHavingChangedNothing) {
  app_.programFolder = folder_;
  app_.HostVersion = "3.0.24.2000";
  const std::string css = folder_ + "\\Resource\\ui\\main\\index.css";
  const std::string settings = folder_ + "\\settings.ini";
  ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Resource\\ui"));
  ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Resource\\ui\\main"));
  ASSERT_TRUE(platform_.files.WriteFile(css, "body{}\r\n"));
  ASSERT_TRUE(RecordTree(app_.Host()));
  ASSERT_TRUE(platform_.files.WriteFile(settings, "[General]\r\nHideHome=1\r\n"));
  const auto record = platform_.files.ReadFile(folder_ + "\\Resource.files");
  Open();
  HWND main = H(MainWindowHandle());
  HWND box = Ctl(Option::HideStatusBar);
  SetFocus(box);

  PreviewParts p;
  bool sawPreview = false;
  RunSteps({
      [&] {
        Hold(VK_CONTROL, false);
        p = FindPreview();
        ASSERT_TRUE(p.window && p.list && p.text && p.close);
        sawPreview = true;
        EXPECT_EQ(Text(p.window), "Preview Changes");
        EXPECT_EQ(Text(p.close), "Close");
        EXPECT_EQ(GetWindow(p.window, GW_OWNER), main);
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_TRUE(GetWindowLongW(p.window, GWL_STYLE) & WS_THICKFRAME);
        const LONG textStyle = GetWindowLongW(p.text, GWL_STYLE);
        EXPECT_TRUE((textStyle & ES_MULTILINE) && (textStyle & ES_READONLY) && (textStyle & WS_VSCROLL));
        EXPECT_TRUE(FixedPitch(p.text));
        EXPECT_FALSE(FixedPitch(p.list));

        ASSERT_GE(SendMessageW(p.list, LB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(ItemText(p.list, 0), "Summary");
        EXPECT_EQ(SendMessageW(p.list, LB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(GetFocus(), p.list);
        const int cssItem = static_cast<int>(SendMessageW(p.list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                          reinterpret_cast<LPARAM>(L"ui/main/index.css")));
        ASSERT_GT(cssItem, 0);
        Choose(p, cssItem);
        const std::wstring diff = WideText(p.text);
        EXPECT_NE(diff.find(L"\r\n+#BTN_HOME{display:none}\r\n"), std::wstring::npos) << win32::Utf8(diff);
        EXPECT_EQ(diff.find(L"\r\r\n"), std::wstring::npos);
        PostKey(p.list, VK_TAB);
      },
      [&] {
        EXPECT_EQ(GetFocus(), p.text);
        PostKey(p.text, VK_TAB);
      },
      [&] {
        EXPECT_EQ(GetFocus(), p.close);
        Hold(VK_SHIFT, true);
        PostKey(p.close, VK_TAB);
      },
      [&] {
        EXPECT_EQ(GetFocus(), p.text);
        PostKey(p.text, VK_TAB);
      },
      [&] {
        Hold(VK_SHIFT, false);
        EXPECT_EQ(GetFocus(), p.list);
        Hold(VK_CONTROL, true);
        PostKey(p.list, 'A');
      },
      [&] {
        EXPECT_EQ(GetFocus(), p.text);
        DWORD start = 1, end = 0;
        SendMessageW(p.text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(p.text)));
        PostKey(p.text, 'C');  // Ctrl still held
      },
      [&] {
        Hold(VK_CONTROL, false);
        std::wstring copied;
        if (OpenClipboard(nullptr)) {
          if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
          }
          CloseClipboard();
        }
        EXPECT_EQ(copied, WideText(p.text));
        PostKey(p.text, VK_ESCAPE);
      },
      [&] {
        // Only when Esc did not close it, so the test ends either way.
        if (IsWindow(p.window)) {
          ADD_FAILURE() << "Esc did not close the preview";
          DestroyWindow(p.window);
        }
      },
  });
  Hold(VK_CONTROL, true);
  SendMessageW(box, WM_KEYDOWN, 'P', 1);  // returns once the preview is closed
  Hold(VK_CONTROL, false);
  Pump(50);

  EXPECT_TRUE(sawPreview);
  EXPECT_FALSE(win32::IsPreviewWindowOpen());
  EXPECT_FALSE(IsWindow(p.window));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(MainWindowHandle(), reinterpret_cast<WindowHandle>(main));
  EXPECT_EQ(platform_.files.ReadFile(css), "body{}\r\n");
  EXPECT_EQ(platform_.files.ReadFile(settings), "[General]\r\nHideHome=1\r\n");
  EXPECT_EQ(platform_.files.ReadFile(folder_ + "\\Resource.files"), record);
  EXPECT_FALSE(platform_.files.FileExists(folder_ + "\\Resource.dat"));
}

// The main window closed from outside while the preview is up takes the
// preview with it, and the program's loop ends.
TEST_F(MainWindowTest, ClosingTheWindowUnderThePreviewClosesBoth) {
  app_.programFolder = folder_;
  app_.HostVersion = "3.0.24.2000";
  ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Resource\\ui"));
  ASSERT_TRUE(platform_.files.CreateFolder(folder_ + "\\Resource\\ui\\main"));
  ASSERT_TRUE(platform_.files.WriteFile(folder_ + "\\Resource\\ui\\main\\index.css", ""));
  ASSERT_TRUE(RecordTree(app_.Host()));
  Open();
  HWND main = H(MainWindowHandle());
  bool open = false;
  RunSteps({[&] {
              open = win32::IsPreviewWindowOpen();
              SendMessageW(main, WM_CLOSE, 0, 0);
            },
            [&] {
              if (HWND left = FindWindowW(win32::kPreviewWindowClass, nullptr)) DestroyWindow(left);
            }});
  const UINT preview = GetMenuItemID(GetSubMenu(GetMenu(main), 0), 0);
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(preview, 0), 0);
  EXPECT_TRUE(open);
  EXPECT_FALSE(win32::IsPreviewWindowOpen());
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(Pump(300));
  EXPECT_EQ(MainWindowHandle(), 0u);
}

// A diff of half a megabyte is shown whole; a change of DPI scales the
// fonts and the layout; the window keeps a minimum size.
TEST(PreviewWindow, ShowsLongTextsWholeAndFollowsTheDpi) {
  Win32Platform platform;
  App app{platform, ""};
  Preview preview;
  std::string big;
  const int lines = 20000;
  for (int i = 0; i < lines; ++i) big += "+line " + std::to_string(i) + " of a rather long diff\n";
  preview.sections = {{"Summary", "one\ntwo\n"}, {"ui/big.css", big}};
  PreviewParts p;
  RunSteps({[&] {
    p = FindPreview();
    ASSERT_TRUE(p.window && p.list && p.text && p.close);
    EXPECT_EQ(GetWindowTextLengthW(p.text), 10);  // "one\r\ntwo\r\n"
    Choose(p, 1);
    EXPECT_EQ(GetWindowTextLengthW(p.text), static_cast<int>(big.size()) + lines);
    EXPECT_EQ(SendMessageW(p.text, EM_GETLINECOUNT, 0, 0), lines + 1);

    MINMAXINFO least{};
    SendMessageW(p.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&least));
    const int minimumAt96 = least.ptMinTrackSize.x;
    EXPECT_GE(minimumAt96, 440);

    const int listAt96 = WidthOf(p.list);
    const LONG textFontAt96 = FontOf(p.text).lfHeight;
    // The suggested rectangle fits on the test's screen.
    RECT bigger{0, 0, 1200, 900};
    SendMessageW(p.window, 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&bigger));
    EXPECT_EQ(WidthOf(p.window), 1200);
    EXPECT_EQ(WidthOf(p.list), 345);
    EXPECT_EQ(WidthOf(p.close), 135);
    EXPECT_EQ(FontOf(p.text).lfHeight, -MulDiv(10, 144, 72));
    EXPECT_EQ(FontOf(p.list).lfHeight, -MulDiv(9, 144, 72));
    EXPECT_NE(FontOf(p.text).lfHeight, textFontAt96);
    SendMessageW(p.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&least));
    EXPECT_GT(least.ptMinTrackSize.x, minimumAt96);
    RECT text{}, close{};
    GetWindowRect(p.text, &text);
    GetWindowRect(p.close, &close);
    EXPECT_LE(text.bottom, close.top);
    EXPECT_EQ(close.right - text.right, 0);  // both end at the right margin

    RECT back{0, 0, 900, 550};
    SendMessageW(p.window, 0x02E0, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(WidthOf(p.list), listAt96);
    PostMessageW(p.window, WM_CLOSE, 0, 0);
  }});
  win32::ShowPreviewWindow(app, preview, 0);
  EXPECT_FALSE(win32::IsPreviewWindowOpen());
  EXPECT_FALSE(IsWindow(p.window));
}

// Typed text is checked at once, Ctrl+S writes it and the window stays; the
// classic page of a one-skin host is read-only; the DPI scales it all.
TEST(OwnRulesWindow, ChecksWhatIsTypedSavesOnCtrlSAndFollowsTheDpi) {
  Win32Platform platform;
  const std::string folder = platform.files.ProgramFolder() + "\\ownrules-test";
  platform.files.DeleteFolder(folder);
  ASSERT_TRUE(platform.files.CreateFolder(folder));
  App app{platform, folder};
  app.SingleSkinHost = true;
  test::StrayBraceRules source(app);
  HWND window = nullptr, tabs = nullptr, list = nullptr, save = nullptr, texts[2] = {};
  RunSteps({[&] {
              window = FindWindowW(win32::kOwnRulesWindowClass, nullptr);
              ASSERT_TRUE(window);
              tabs = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
              list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
              save = FindWindowExW(window, nullptr, L"Button", nullptr);
              texts[0] = FindWindowExW(window, nullptr, L"Edit", nullptr);
              texts[1] = FindWindowExW(window, texts[0], L"Edit", nullptr);
              ASSERT_TRUE(tabs && list && save && texts[1]);
              EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
              EXPECT_TRUE(FixedPitch(texts[0]));
              EXPECT_TRUE(GetWindowLongW(texts[1], GWL_STYLE) & ES_READONLY);
              EXPECT_FALSE(IsWindowEnabled(save));
              // As typed or pasted: a multi-line text tells no change set as a whole.
              SendMessageW(texts[0], EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L".a{}}"));
              EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
              EXPECT_EQ(ItemText(list, 0), "Line 1: stray brace");
              EXPECT_TRUE(IsWindowEnabled(save));
              Hold(VK_CONTROL, true);
              PostKey(texts[0], 'S');
            },
            [&] {
              Hold(VK_CONTROL, false);
              EXPECT_EQ(platform.files.ReadFile(source.PathOf(false)), "\xEF\xBB\xBF.a{}}");
              EXPECT_TRUE(IsWindow(window));
              EXPECT_FALSE(IsWindowEnabled(save));
              RECT bigger{0, 0, 1200, 900};
              SendMessageW(window, 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&bigger));
              EXPECT_EQ(WidthOf(save), 135);
              EXPECT_EQ(FontOf(texts[0]).lfHeight, -MulDiv(10, 144, 72));
              PostMessageW(window, WM_CLOSE, 0, 0);
            }});
  win32::ShowOwnRulesWindow(app, source, 0);
  EXPECT_FALSE(win32::IsOwnRulesWindowOpen());
  EXPECT_FALSE(IsWindow(window));
  platform.files.DeleteFolder(folder);
}

// The wait's window: owned, never activated, no close, centred on the owner
// or, with the owner hidden, on its monitor; texts set only when they
// change; taller for a text that wraps; scaled with the DPI; gone with the
// owner.
TEST(ProgressWindow, StaysOverItsOwnerHiddenOrNotAndSetsOnlyWhatChanged) {
  HWND owner = CreateWindowExW(0, L"Static", L"Ravelwick (1.2.7)", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60, 700, 500,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(owner);
  SetForegroundWindow(owner);
  win32::ProgressWindow progress(owner);
  progress.Show("Packing the new interface... 0 s (at most 20 s)", 2);
  HWND p = FindWindowW(win32::kProgressWindowClass, nullptr);
  ASSERT_TRUE(p);
  HWND text = FindWindowExW(p, nullptr, L"Static", nullptr), bar = FindWindowExW(p, nullptr, PROGRESS_CLASSW, nullptr);
  ASSERT_TRUE(text && bar);
  EXPECT_EQ(GetWindow(p, GW_OWNER), owner);
  EXPECT_TRUE(IsWindowVisible(p));
  EXPECT_NE(GetActiveWindow(), p);
  EXPECT_EQ(Text(p), "Ravelwick (1.2.7)");
  EXPECT_FALSE(GetWindowLongW(p, GWL_STYLE) & WS_SYSMENU);
  EXPECT_FALSE(GetWindowLongW(p, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(Text(text), "Packing the new interface... 0 s (at most 20 s)");
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 2);
  const auto centre = [](HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  EXPECT_LE(std::abs(centre(p).x - centre(owner).x), 1);
  EXPECT_LE(std::abs(centre(p).y - centre(owner).y), 1);
  SendMessageW(p, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(p));

  static HWND s_text;
  static int s_textsSet;
  s_text = text;
  s_textsSet = 0;
  HHOOK hook = SetWindowsHookExW(
      WH_CALLWNDPROC,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == s_text && sent->message == WM_SETTEXT) ++s_textsSet;
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, GetCurrentThreadId());
  progress.Show("Packing the new interface... 0 s (at most 20 s)", 150);
  EXPECT_EQ(s_textsSet, 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
  RECT oneLine{};
  GetWindowRect(p, &oneLine);
  std::string wrapping;
  for (int i = 0; i < 12; ++i) wrapping += "Waiting for Maxthon 3 ";
  progress.Show(wrapping, 50);
  EXPECT_EQ(s_textsSet, 1);
  UnhookWindowsHookEx(hook);
  RECT textBox{}, barBox{}, outer{};
  GetWindowRect(text, &textBox);
  GetWindowRect(bar, &barBox);
  GetWindowRect(p, &outer);
  EXPECT_GT(outer.bottom - outer.top, oneLine.bottom - oneLine.top);
  EXPECT_LE(textBox.bottom, barBox.top);
  EXPECT_LE(barBox.bottom, outer.bottom);

  // Hidden, the owner keeps it shown; shown again, it is centred on the
  // owner's monitor.
  ShowWindow(owner, SW_HIDE);
  Pump(50);
  EXPECT_TRUE(IsWindowVisible(p));
  progress.Hide();
  EXPECT_FALSE(IsWindowVisible(p));
  progress.Show("Waiting for Maxthon 3 to start with the new look... 1 s (at most 15 s)", 8);
  EXPECT_TRUE(IsWindowVisible(p));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_LE(std::abs(centre(p).x - (monitor.rcWork.left + monitor.rcWork.right) / 2), 1);

  const int widthAt96 = WidthOf(p);
  RECT suggested{0, 0, 800, 300};
  SendMessageW(p, 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(FontOf(text).lfHeight, -MulDiv(9, 144, 72));
  EXPECT_GE(WidthOf(p) - widthAt96, 210);  // 420 pixels at 96 DPI, half as many again

  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(p));
  progress.Show("Packing the new interface... 1 s (at most 20 s)", 5);
  EXPECT_EQ(FindWindowW(win32::kProgressWindowClass, nullptr), nullptr);
}

}  // namespace
}  // namespace rw
