#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "app/app.h"
#include "app/program_settings.h"
#include "support/fake_platform.h"
#include "win32app/set_folder_dialog.h"

namespace rw {
namespace {

using test::FakePlatform;

// Steps run one per timer tick inside the dialog's modal loop; a test that
// hangs closes the dialog after the last step.
std::vector<std::function<void()>> g_steps;
size_t g_next = 0;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
  if (g_next < g_steps.size())
    g_steps[g_next++]();
  else
    win32::CloseSetFolderDialog();
}

class SetFolderDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.AddFile("D:\\Host\\Bin\\Maxthon.exe", "MZ");
    platform_.AddFile("C:\\Ravelwick\\Languages\\English.ini",
                      "[General]\r\nOK=Fine\r\nInvaidFolder=bad $folder\r\nNoFolderFound=None found\r\n");
    g_steps.clear();
    g_next = 0;
  }
  void Run(WindowHandle owner = 0, FolderDialogCause cause = FolderDialogCause::Chosen) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, RunNextStep);
    win32::ShowSetFolderDialog(app_, owner, cause);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(win32::IsSetFolderDialogOpen());
  }
  static HWND Dialog() { return FindWindowW(win32::kSetFolderDialogClass, L"Ravelwick"); }
  static HWND Control(int id) { return GetDlgItem(Dialog(), id); }
  static HWND Edit() { return FindWindowExW(Dialog(), nullptr, L"Edit", nullptr); }
  static void Key(HWND target, WPARAM key) { PostMessageW(target, WM_KEYDOWN, key, 1); }

  FakePlatform platform_{"C:\\Ravelwick"};
  App app_{platform_, "C:\\Ravelwick"};
};

TEST_F(SetFolderDialogTest, LayoutCaptionsAndModalOwner) {
  HWND owner = CreateWindowExW(0, L"Static", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr,
                               nullptr, nullptr);
  g_steps = {[&] {
    HWND dialog = Dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, MulDiv(445, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(106, dpi, 96));
    wchar_t text[64] = {};
    GetWindowTextW(Control(IDOK), text, 64);
    EXPECT_STREQ(text, L"Fine");
    EXPECT_TRUE(GetWindowLongW(Control(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetFocus(), Edit());  // first in the tab order
    // Centred on the owner.
    RECT own{}, self{};
    GetWindowRect(owner, &own);
    GetWindowRect(dialog, &self);
    EXPECT_NEAR((self.left + self.right) / 2, (own.left + own.right) / 2, 1);
    EXPECT_NEAR((self.top + self.bottom) / 2, (own.top + own.bottom) / 2, 1);
  }};
  Run(reinterpret_cast<WindowHandle>(owner));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(app_.HostBinFolder, "");
  DestroyWindow(owner);
}

// Opened by the start-up, one line says why, and the rest moves down by it.
TEST_F(SetFolderDialogTest, TheReasonLineSitsAboveAndGrowsTheDialog) {
  g_steps = {[&] {
    HWND reason = FindWindowExW(Dialog(), nullptr, L"Static", L"None found");
    RECT line{}, edit{}, client{};
    ASSERT_TRUE(reason && IsWindowVisible(reason) && GetWindowRect(reason, &line));
    GetWindowRect(Edit(), &edit);
    GetClientRect(Dialog(), &client);
    EXPECT_GT(edit.top, line.bottom);
    // Grown by as much as the text box moved down: the rest keeps its layout.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_NEAR(client.bottom - (edit.top - line.top), MulDiv(106 - 30 + 8, dpi, 96), 1);
  }};
  Run(0, FolderDialogCause::NoneFound);
}

TEST_F(SetFolderDialogTest, EnterActsAsOkWhereverTheFocusIs) {
  g_steps = {[] {
    SetWindowTextW(Edit(), L"D:\\Host");
    SetFocus(Control(3));  // the "..." button
    Key(Control(3), VK_RETURN);
  }};
  Run();
  EXPECT_EQ(app_.HostBinFolder, "D:\\Host\\Bin\\");
  EXPECT_EQ(Read(app_, ProgramSetting::InstallFolder), "D:\\Host\\");
}

TEST_F(SetFolderDialogTest, EnterOnTheFocusedCancelButtonCancels) {
  g_steps = {[] {
    SetWindowTextW(Edit(), L"D:\\Host");
    SetFocus(Control(IDCANCEL));
    Key(Control(IDCANCEL), VK_RETURN);
  }};
  Run();
  EXPECT_EQ(app_.HostBinFolder, "");
  EXPECT_FALSE(platform_.files.FileExists(app_.SettingsPath()));
}

TEST_F(SetFolderDialogTest, EscapeFromTheTextBoxCancels) {
  g_steps = {[] {
    SetWindowTextW(Edit(), L"D:\\Host");
    Key(Edit(), VK_ESCAPE);
  }};
  Run();
  EXPECT_EQ(app_.HostBinFolder, "");
  EXPECT_FALSE(platform_.files.FileExists(app_.SettingsPath()));
}

TEST_F(SetFolderDialogTest, RejectedFolderKeepsTheDialogWithTheTextSelected) {
  g_steps = {[] {
               SetWindowTextW(Edit(), L"D:\\Host\\Bin");
               SetFocus(Control(IDOK));
               Key(Control(IDOK), VK_RETURN);
             },
             [&] {
               ASSERT_TRUE(Dialog());
               ASSERT_EQ(platform_.messages.size(), 1u);
               EXPECT_EQ(platform_.messages[0].text, "bad D:\\Host\\Bin");
               EXPECT_EQ(GetFocus(), Edit());
               DWORD start = 1, end = 0;
               SendMessageW(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
               EXPECT_EQ(start, 0u);
               EXPECT_EQ(end, 11u);
               SendMessageW(Dialog(), WM_CLOSE, 0, 0);  // the title bar's close box
             }};
  Run();
  EXPECT_EQ(app_.HostBinFolder, "");
}

}  // namespace
}  // namespace rw
