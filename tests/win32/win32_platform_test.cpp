#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <filesystem>

#include "platform/win32/late_bound.h"
#include "platform/win32/win32_platform.h"
#include "stores/settings.h"
#include "stores/utf8_file.h"

namespace rw {
namespace {

class Win32PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = platform_.ProgramFolder() + "\\w32test-\xE6\xB5\x8F\xE8\xA7\x88";  // non-ASCII on purpose
    ForceRemove();
    ASSERT_TRUE(platform_.CreateFolder(folder_));
  }
  void TearDown() override { ForceRemove(); }
  // Clears read-only attributes the tests set, then removes everything.
  void ForceRemove() {
    namespace fs = std::filesystem;
    const fs::path root(Wide(folder_));
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, ec);
  }
  static std::wstring Wide(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
    w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return w;
  }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
  void MakeReadOnly(const std::string& path) {
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  }

  Win32Platform platform_;
  std::string folder_;
};

TEST_F(Win32PlatformTest, FilesRoundTripAndExistenceTellFilesFromFolders) {
  const std::string file = Path("a.txt");
  ASSERT_TRUE(platform_.WriteFile(file, std::string("x\0y", 3)));
  EXPECT_TRUE(platform_.FileExists(file));
  EXPECT_FALSE(platform_.FolderExists(file));
  EXPECT_TRUE(platform_.FolderExists(folder_));
  EXPECT_FALSE(platform_.FileExists(folder_));
  EXPECT_EQ(*platform_.ReadFile(file), std::string("x\0y", 3));
  ASSERT_TRUE(platform_.CopyFileOver(file, Path("b.txt")));
  ASSERT_TRUE(platform_.RenameOver(Path("b.txt"), file));
  EXPECT_FALSE(platform_.FileExists(Path("b.txt")));
  EXPECT_EQ(platform_.ListFiles(folder_), std::vector<std::string>{"a.txt"});
  ASSERT_TRUE(platform_.RemoveFile(file));
  EXPECT_FALSE(platform_.ReadFile(file));
}

TEST_F(Win32PlatformTest, ACopyCarriesItsSourcesStampAndARewriteChangesIt) {
  const std::string file = Path("nav_tool.png");
  EXPECT_FALSE(platform_.StampOf(file));
  EXPECT_FALSE(platform_.StampOf(folder_));
  ASSERT_TRUE(platform_.WriteFile(file, "image"));
  const auto stamp = platform_.StampOf(file);
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->size, 5u);
  ASSERT_TRUE(platform_.CopyFileOver(file, Path("copy.png")));
  EXPECT_EQ(platform_.StampOf(Path("copy.png")), stamp);
  ASSERT_TRUE(platform_.WriteFile(Path("copy.png"), "edited"));
  EXPECT_NE(platform_.StampOf(Path("copy.png")), stamp);
}

TEST_F(Win32PlatformTest, ReadOnlyFilesAreNeverForced) {
  const std::string file = Path("locked.css");
  ASSERT_TRUE(WriteUtf8File(platform_, file, "old"));
  MakeReadOnly(file);
  EXPECT_TRUE(platform_.IsReadOnly(file));
  EXPECT_FALSE(WriteUtf8File(platform_, file, "new"));
  EXPECT_FALSE(platform_.RemoveFile(file));
  EXPECT_EQ(*ReadUtf8File(platform_, file), "old");
  EXPECT_FALSE(platform_.FileExists(file + ".rw-new"));
  // A tree holding a read-only file is not removed.
  ASSERT_TRUE(platform_.CreateFolder(Path("sub")));
  ASSERT_TRUE(platform_.WriteFile(Path("sub\\x"), "x"));
  MakeReadOnly(Path("sub\\x"));
  EXPECT_FALSE(platform_.DeleteFolder(Path("sub")));
  EXPECT_TRUE(platform_.FileExists(Path("sub\\x")));
}

TEST_F(Win32PlatformTest, AnsiCodePageIsEnglishAndUtf8LanguageFilesReadCorrectly) {
  // The test runs with an English system locale: the ANSI code page is 1252.
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(platform_.AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_FALSE(platform_.Utf8ToAnsi("\xE7\xA1\xAE\xE5\xAE\x9A"));
  ASSERT_TRUE(platform_.CreateFolder(Path("Languages")));
  ASSERT_TRUE(platform_.WriteFile(Path("Languages\\Chinese Simplified.ini"),
                                  "\xEF\xBB\xBF[General]\r\nOK=\xE7\xA1\xAE\xE5\xAE\x9A\r\n"));
  EXPECT_EQ(LookupText(platform_, folder_, "Chinese Simplified", "OK"), "\xE7\xA1\xAE\xE5\xAE\x9A");
  // The shipped language file reads the same way.
  EXPECT_NE(LookupText(platform_, std::string(RW_SOURCE_DIR "/data"), "Chinese Simplified", "OK"), "");
}

TEST_F(Win32PlatformTest, SettingsRoundTripOnDisk) {
  const std::string ini = Path("settings.ini");
  ASSERT_TRUE(WriteIniValue(platform_, ini, "InstallFolder", "C:\\Hosts\\\xE6\xB5\x8F\\"));
  ASSERT_TRUE(WriteIniValue(platform_, ini, "Language", "English"));
  EXPECT_EQ(ReadIniValue(platform_, ini, "installfolder", ""), "C:\\Hosts\\\xE6\xB5\x8F\\");
  EXPECT_EQ(ReadIniValue(platform_, ini, "Language", ""), "English");
  EXPECT_EQ(ReadIniValue(platform_, Path("missing.ini"), "Language", "d"), "d");
  EXPECT_FALSE(platform_.FileExists(Path("missing.ini")));
}

TEST_F(Win32PlatformTest, Utf16SettingsStayReadableByTheSystemsProfileFunctions) {
  // As Notepad saves "Unicode": what we add must be what Windows reads.
  const std::string ini = Path("unicode.ini");
  const std::wstring before = L"\xFEFF[General]\r\nLanguage=Deutsch\r\n";
  ASSERT_TRUE(platform_.WriteFile(
      ini, std::string_view(reinterpret_cast<const char*>(before.data()), before.size() * sizeof(wchar_t))));
  EXPECT_EQ(ReadIniValue(platform_, ini, "Language", ""), "Deutsch");
  ASSERT_TRUE(WriteIniValue(platform_, ini, "InstallFolder", "D:\\\xE6\xB5\x8F\\"));
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L"General", L"Language", L"", value, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(value), L"Deutsch");
  GetPrivateProfileStringW(L"General", L"InstallFolder", L"", value, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(value), L"D:\\\x6D4F\\");
  EXPECT_EQ(platform_.ReadFile(ini)->substr(0, 2), "\xFF\xFE");
}

TEST(LateBound, FindsShellAndComFunctionsAndNothingThatIsNotThere) {
  EXPECT_NE(win32::LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW"), nullptr);
  EXPECT_NE(win32::LateBound<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx"), nullptr);
  EXPECT_EQ(win32::LateBound<FARPROC>(L"shell32.dll", "NoSuchFunction"), nullptr);
  EXPECT_EQ(win32::LateBound<FARPROC>(L"no-such-library.dll", "ShellExecuteW"), nullptr);
  // Web addresses only: anything else is refused before the shell is asked.
  Win32Platform platform;
  EXPECT_FALSE(platform.OpenInDefaultBrowser("C:\\Windows\\notepad.exe"));
  EXPECT_FALSE(platform.OpenInDefaultBrowser("file:///C:/Windows/notepad.exe"));
}

TEST_F(Win32PlatformTest, OwnExecutableHasNoVersionButTheSystemDllsDo) {
  EXPECT_TRUE(platform_.FileVersion("C:\\windows\\system32\\kernel32.dll").has_value());
  EXPECT_FALSE(platform_.FileVersion(Path("none.exe")).has_value());
  EXPECT_FALSE(platform_.ReadRegistryString("HKEY_CURRENT_USER\\Software\\RavelwickNoSuchKey\\Folder").has_value());
  EXPECT_FALSE(platform_.ListProcesses("win32_tests.exe").empty());
}

}  // namespace
}  // namespace rw
