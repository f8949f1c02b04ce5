#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "contract/platform_contract.h"
#include "platform/win32/handle.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/win32_platform.h"
#include "stores/settings.h"

namespace rw {
namespace {

using test::PlatformContract;

std::string Utf8(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return s;
}
std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
  w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return w;
}

// Under Wine: the Unix name of a path, empty elsewhere.
std::string UnixName(const std::wstring& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  static const auto unixName = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return {};
  char* name = unixName(path.c_str());
  const std::string out = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return out;
}

// Runs a Unix program under Wine, which starts Unix executables as well but
// does not wait for them: true once `done` holds.
template <typename Done>
bool RunUnix(const std::string& commandLine, Done done) {
  std::wstring line = Wide(commandLine);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 400; ++i, Sleep(25))
    if (done()) return true;
  return false;
}

// A link to a folder as the system at hand makes one: a symbolic link where
// Windows allows it, else (Wine, whose CreateSymbolicLinkW makes nothing) a
// Unix one, which Wine shows as a folder with the reparse-point attribute.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  const auto isLink = [&] {
    const DWORD a = GetFileAttributesW(link.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
  };
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      isLink())
    return true;
  const std::string unixTarget = UnixName(target), unixLink = UnixName(link);
  if (unixTarget.empty() || unixLink.empty()) return false;
  return RunUnix("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"", isLink);
}

// A folder beside the test program with a name that is not ASCII on
// purpose, removed with the world whatever the tests made read-only.
class Win32World : public test::ContractWorld {
 public:
  Win32World() {
    ForceRemove();
    platform_.files.CreateFolder(folder_);
  }
  ~Win32World() override { ForceRemove(); }
  Platform& platform() override { return platform_; }
  std::string Folder() const override { return folder_; }
  void MakeReadOnly(const std::string& path) override {
    EXPECT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY)) << path;
  }
  bool MakeLink(const std::string& target, const std::string& link) override {
    return MakeFolderLink(Wide(link), Wide(target));
  }

  Win32Platform platform_;
  const std::string folder_ = platform_.files.ProgramFolder() + "\\w32test-\xE6\xB5\x8F\xE8\xA7\x88";

 private:
  // Clears read-only attributes the tests set, then removes everything. Under
  // Wine the Unix way: Wine cannot remove a Unix link, and the C runtime
  // lists no folder past MAX_PATH.
  void ForceRemove() {
    if (GetFileAttributesW(Wide(folder_).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (const std::string unix = UnixName(Wide(folder_)); !unix.empty())
      return (void)RunUnix("Z:\\bin\\rm -rf \"" + unix + "\"",
                           [&] { return GetFileAttributesW(Wide(folder_).c_str()) == INVALID_FILE_ATTRIBUTES; });
    namespace fs = std::filesystem;
    const fs::path root(Wide(folder_));
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, ec);
  }
};

INSTANTIATE_TEST_SUITE_P(Win32, PlatformContract,
                         ::testing::Values(test::ContractTarget{"Win32",
                                                                [] { return std::make_unique<Win32World>(); }}),
                         test::ContractName);

// What only Windows has: 8.3 names, UTF-16 profiles, links as Wine makes
// them, paths past MAX_PATH, versions, processes.
class Win32PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform_.files.FolderExists(folder_)); }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

  Win32World world_;
  Win32Platform& platform_ = world_.platform_;
  const std::string folder_ = world_.Folder();
};

TEST_F(Win32PlatformTest, AnsiCodePageIsEnglishAndUtf8LanguageFilesReadCorrectly) {
  // The test runs with an English system locale: the ANSI code page is 1252.
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(platform_.system.AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_FALSE(platform_.system.Utf8ToAnsi("\xE7\xA1\xAE\xE5\xAE\x9A"));
  ASSERT_TRUE(platform_.files.CreateFolder(Path("Languages")));
  ASSERT_TRUE(platform_.files.WriteFile(Path("Languages\\Chinese Simplified.ini"),
                                        "\xEF\xBB\xBF[General]\r\nOK=\xE7\xA1\xAE\xE5\xAE\x9A\r\n"));
  EXPECT_EQ(LookupText(platform_, folder_, "Chinese Simplified", "OK"), "\xE7\xA1\xAE\xE5\xAE\x9A");
  // The shipped language file reads the same way.
  EXPECT_NE(LookupText(platform_, std::string(RW_SOURCE_DIR "/data"), "Chinese Simplified", "OK"), "");
}

TEST_F(Win32PlatformTest, Utf16SettingsStayReadableByTheSystemsProfileFunctions) {
  // As Notepad saves "Unicode": what we add must be what Windows reads.
  const std::string ini = Path("unicode.ini");
  const std::wstring before = L"\xFEFF[General]\r\nLanguage=Deutsch\r\n";
  ASSERT_TRUE(platform_.files.WriteFile(
      ini, std::string_view(reinterpret_cast<const char*>(before.data()), before.size() * sizeof(wchar_t))));
  EXPECT_EQ(ReadIniValue(platform_, ini, "Language", ""), "Deutsch");
  ASSERT_TRUE(WriteIniValue(platform_, ini, "InstallFolder", "D:\\\xE6\xB5\x8F\\"));
  wchar_t value[64] = {};
  GetPrivateProfileStringW(L"General", L"Language", L"", value, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(value), L"Deutsch");
  GetPrivateProfileStringW(L"General", L"InstallFolder", L"", value, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(value), L"D:\\\x6D4F\\");
  EXPECT_EQ(platform_.files.ReadFile(ini)->substr(0, 2), "\xFF\xFE");
}

TEST_F(Win32PlatformTest, LongPathNameExpandsShortNamesAndKeepsWhatItCannotResolve) {
  const std::string longFolder = Path("Long Folder \xC3\x84\xC3\x96\xC3\x9C name");
  ASSERT_TRUE(platform_.files.CreateFolder(longFolder));
  wchar_t shortName[MAX_PATH];
  const DWORD n = GetShortPathNameW(Wide(longFolder).c_str(), shortName, MAX_PATH);
  ASSERT_GT(n, 0u);
  const std::string shortPath = Utf8(std::wstring(shortName, n));
  const struct {
    std::string path, expected;
  } rows[] = {
      {shortPath, longFolder},  // the 8.3 form, where the volume makes one
      {longFolder, longFolder},
      {Path("missing\\Deeper"), Path("missing\\Deeper")},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(platform_.files.LongPathName(row.path), row.expected) << row.path;
}

TEST(Win32Platform, ASingleInstanceClaimHoldsForTheWholeProcess) {
  const std::string name = "Ravelwick-process-" + std::to_string(GetCurrentProcessId());
  EXPECT_TRUE(Win32Platform().system.ClaimSingleInstance(name));
  // Another platform object of the same process sees the claim too.
  EXPECT_FALSE(Win32Platform().system.ClaimSingleInstance(name));
}

TEST_F(Win32PlatformTest, RemovingAFolderNeverFollowsALinkAtAnyDepth) {
  const std::string target = Path("Elsewhere");
  ASSERT_TRUE(platform_.files.CreateFolder(target));
  ASSERT_TRUE(platform_.files.CreateFolder(target + "\\ui"));
  for (const char* name : {"keep.css", "ui\\keep.htm"})
    ASSERT_TRUE(platform_.files.WriteFile(target + "\\" + name, name));
  ASSERT_TRUE(platform_.files.CreateFolder(Path("Resource")));
  ASSERT_TRUE(platform_.files.WriteFile(Path("Resource\\own.css"), "x"));
  // The folder itself a link, and a link inside a real folder.
  ASSERT_TRUE(MakeFolderLink(Wide(Path("Linked")), Wide(target))) << "no link could be made";
  ASSERT_TRUE(MakeFolderLink(Wide(Path("Resource\\inner")), Wide(target)));
  EXPECT_TRUE(platform_.files.FolderExists(Path("Linked")));

  EXPECT_EQ(platform_.files.ListTree(Path("Linked")), std::vector<std::string>{});
  EXPECT_EQ(platform_.files.ListTree(Path("Resource")), std::vector<std::string>{"own.css"});
  // Where the system removes the link itself it is gone; Wine cannot remove
  // a Unix link without touching its target, so there it stays.
  const bool linkGone = platform_.files.DeleteFolder(Path("Linked")).ok;
  EXPECT_EQ(linkGone, !platform_.files.FolderExists(Path("Linked")));
  EXPECT_EQ(platform_.files.DeleteFolder(Path("Resource")).ok, linkGone);
  EXPECT_FALSE(platform_.files.FileExists(Path("Resource\\own.css")));
  for (const char* name : {"keep.css", "ui\\keep.htm"})
    EXPECT_EQ(platform_.files.ReadFile(target + "\\" + name), std::string(name)) << name;
}

TEST_F(Win32PlatformTest, EveryFileCallWorksPastTheOldPathLimit) {
  std::string deep = folder_;
  while (deep.size() < 320) {
    deep += "\\Folder of a deep tree \xC3\xA4";
    ASSERT_TRUE(platform_.files.CreateFolder(deep)) << deep.size();
  }
  EXPECT_TRUE(platform_.files.FolderExists(deep));
  const std::string file = deep + "\\index.css";
  ASSERT_TRUE(platform_.files.WriteFile(file, "body{}"));
  EXPECT_TRUE(platform_.files.FileExists(file));
  EXPECT_EQ(platform_.files.ReadFile(file), std::string("body{}"));
  EXPECT_EQ(platform_.files.StampOf(file)->size, 6u);
  ASSERT_TRUE(platform_.files.CopyFileOver(file, deep + "\\copy.css"));
  ASSERT_TRUE(platform_.files.RenameOver(deep + "\\copy.css", deep + "\\renamed.css"));
  ASSERT_TRUE(SetFileAttributesW((L"\\\\?\\" + Wide(deep + "\\renamed.css")).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(platform_.files.IsReadOnly(deep + "\\renamed.css"));
  EXPECT_FALSE(platform_.files.RemoveFile(deep + "\\renamed.css"));
  ASSERT_TRUE(SetFileAttributesW((L"\\\\?\\" + Wide(deep + "\\renamed.css")).c_str(), FILE_ATTRIBUTE_NORMAL));
  auto files = platform_.files.ListFiles(deep);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"index.css", "renamed.css"}));
  EXPECT_EQ(platform_.files.ListTree(folder_).size(), 2u);
  EXPECT_EQ(platform_.files.LongPathName(file), file);
  ASSERT_TRUE(platform_.files.RemoveFile(deep + "\\renamed.css"));
  // A versioned program in the deep folder: its version, and it starts.
  ASSERT_TRUE(platform_.files.CopyFileOver("C:\\windows\\system32\\cmd.exe", deep + "\\tool.exe"));
  EXPECT_EQ(platform_.files.FileVersion(deep + "\\tool.exe"),
            platform_.files.FileVersion("C:\\windows\\system32\\cmd.exe"));
  const std::uint32_t pid = platform_.processes.StartProcess("\"" + deep + "\\tool.exe\" /c exit 7", /*hidden=*/true);
  ASSERT_NE(pid, 0u);
  std::optional<std::uint32_t> code;
  for (int i = 0; i < 200 && !(code = platform_.processes.ExitCodeOf(pid)); ++i) platform_.system.Sleep(50);
  EXPECT_EQ(code, 7u);
  const std::string top = folder_ + "\\Folder of a deep tree \xC3\xA4";
  EXPECT_TRUE(platform_.files.DeleteFolder(top));
  EXPECT_FALSE(platform_.files.FolderExists(top));
}

TEST(LateBound, FindsShellAndComFunctionsAndNothingThatIsNotThere) {
  EXPECT_NE(win32::LateBound<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW"), nullptr);
  EXPECT_NE(win32::LateBound<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx"), nullptr);
  EXPECT_EQ(win32::LateBound<FARPROC>(L"shell32.dll", "NoSuchFunction"), nullptr);
  EXPECT_EQ(win32::LateBound<FARPROC>(L"no-such-library.dll", "ShellExecuteW"), nullptr);
  // Web addresses only: anything else is refused before the shell is asked.
  Win32Platform platform;
  EXPECT_FALSE(platform.processes.OpenInDefaultBrowser("C:\\Windows\\notepad.exe"));
  EXPECT_FALSE(platform.processes.OpenInDefaultBrowser("file:///C:/Windows/notepad.exe"));
}

// Stands for a resource kind: notes what is given back.
struct CountedTraits {
  using Type = int;
  static inline std::vector<int> closed;
  static Type None() { return 0; }
  static bool Valid(Type value) { return value != 0; }
  static void Close(Type value) { closed.push_back(value); }
};

TEST(UniqueResource, GivesBackEachValueOnceAndNothingItHandedOn) {
  using Owner = win32::UniqueResource<CountedTraits>;
  CountedTraits::closed.clear();
  {
    Owner a(1), b(2);
    b = std::move(a);  // 2 goes
    Owner c(std::move(b));
    EXPECT_FALSE(a || b);
    EXPECT_EQ(c.release(), 1);
    *c.put() = 3;
    c.reset(4);  // 3 goes
  }              // 4 goes
  EXPECT_EQ(CountedTraits::closed, (std::vector<int>{2, 3, 4}));
  // A failed CreateFile or search returns INVALID_HANDLE_VALUE, never closed.
  EXPECT_FALSE(win32::UniqueHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(win32::UniqueFind(INVALID_HANDLE_VALUE));
}

TEST_F(Win32PlatformTest, OwnExecutableHasNoVersionButTheSystemDllsDo) {
  EXPECT_TRUE(platform_.files.FileVersion("C:\\windows\\system32\\kernel32.dll").has_value());
  EXPECT_FALSE(platform_.files.FileVersion(Path("none.exe")).has_value());
  EXPECT_FALSE(
      platform_.system.ReadRegistryString("HKEY_CURRENT_USER\\Software\\RavelwickNoSuchKey\\Folder").has_value());
  EXPECT_FALSE(platform_.processes.ListProcesses("win32_tests.exe").empty());
}

}  // namespace
}  // namespace rw
