#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/app.h"
#include "app/host_check.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "platform/canonical_path.h"
#include "stores/text.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"
#include "ui/main_sequence.h"
#include "ui/set_folder_dialog.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::FakeWindow;
using test::Op;

const std::string kProgram = "C:\\Ravelwick";
const std::string kSettings = kProgram + "\\settings.ini";
const std::string kHost = "D:\\Maxthon3\\";
const std::string kHostExe = kHost + "Bin\\Maxthon.exe";
const std::string kHostArchive = kHost + "Bin\\Resource.dat";

class FakeUi : public UiFactory {
 public:
  std::function<void(App&)> onDialog;  // stands in for the user
  int dialogs = 0;
  int mainWindows = 0;
  bool controlsReadyAtMainWindow = false;

  void ShowSetFolderDialog(App& app, WindowHandle, FolderDialogCause cause) override {
    EXPECT_EQ(cause, FolderDialogCause::NoneFound);
    ++dialogs;
    if (onDialog) onDialog(app);
  }
  void ShowMainWindow(App& app) override {
    ++mainWindows;
    controlsReadyAtMainWindow = static_cast<FakePlatform&>(app.platform).commonControlsInitialised;
  }
  void ShowPreviewWindow(App&, const Preview&, WindowHandle) override {}
};

void AddHost(FakePlatform& p, const std::string& folder, const std::string& version,
             const std::string& archive = "host archive") {
  p.AddFile(folder + "Bin\\Maxthon.exe", "MZ");
  p.fileVersions[AsciiLower(folder + "Bin\\Maxthon.exe")] = version;
  p.AddFile(folder + "Bin\\Resource.dat", archive);
}

// A program folder with both tools and an English language file.
void AddProgram(FakePlatform& p) {
  p.AddFile(kProgram + "\\unpak.exe", "tool");
  p.AddFile(kProgram + "\\makpak.exe", "tool");
  p.AddFile(kProgram + "\\Languages\\English.ini",
            "[General]\r\nMissingFile=missing tool\r\nNoMX3=no host\r\nFolderLocked=locked $folder, $folder\r\n"
            "MX3Folder=Folder of Maxthon 3:\r\nOK=OK\r\nCancel=Cancel\r\nSelectFolder=Pick it\r\n"
            "InvaidFolder=No host in $folder ($folder)\r\nNoFolderFound=Found none\r\n");
}

std::string Setting(App& app, const char* key) { return ReadSettingsValue(app, key, "<none>"); }

struct StartupTest : ::testing::Test {
  FakePlatform p{kProgram};
  App app{p, kProgram};
  FakeUi ui;
  void SetUp() override { AddProgram(p); }
};

// --- Main ------------------------------------------------------------------

TEST_F(StartupTest, RaisesTheRunningMainWindowAndEndsSilently) {
  p.windows.push_back(FakeWindow{7, "Other", "Ravelwick (1.2.7)"});
  p.windows.push_back(FakeWindow{8, std::string(kMainWindowClass), "Ravelwick (1.2.7)"});
  EXPECT_EQ(Main(app, ui), MainExit::AlreadyRunning);
  EXPECT_EQ(app.AppTitle, "Ravelwick (1.2.7)");
  EXPECT_EQ(p.raised, std::vector<WindowHandle>{8});
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(ui.dialogs + ui.mainWindows, 0);
}

// Another start of this program folder holds the claim; its main window
// shows up after `windowAfterMs` (never when negative). A command-line run
// shows none and ends after `endsAfterMs` (never when negative).
TEST(SingleInstance, TheLoserRaisesTheWinnersWindowOrWaitsForACommandLineRun) {
  struct LateWindow : FakePlatform {
    explicit LateWindow(const std::string& programFolder) : FakePlatform(programFolder) {
      onSleep = [this] {
        if (windowAfterMs >= 0 && nowMs >= static_cast<std::uint64_t>(windowAfterMs) && windows.empty())
          windows.push_back(FakeWindow{8, std::string(kMainWindowClass), "Ravelwick (1.2.7)"});
        if (endsAfterMs >= 0 && nowMs >= static_cast<std::uint64_t>(endsAfterMs)) claimedNames.clear();
      };
    }
    long windowAfterMs = -1;
    long endsAfterMs = -1;
  };
  struct Case {
    long windowAfterMs;
    bool commandLine;
    long endsAfterMs;
    MainExit exit;
    std::vector<WindowHandle> raised;
    std::uint64_t minMs, maxMs;
  };
  const Case cases[] = {
      {0, false, -1, MainExit::AlreadyRunning, {8}, 0, 0},           // already there
      {1500, false, -1, MainExit::AlreadyRunning, {8}, 1500, 1600},  // the winner is still starting
      {-1, false, -1, MainExit::AlreadyRunning, {}, 3000, 10000},    // it never shows one (a dialog, a message)
      {-1, true, -1, MainExit::CommandLineBusy, {}, 3000, 10000},    // a scheduled /apply at work
      {-1, true, 1500, MainExit::MainWindowShown, {}, 1500, 1600},   // one that ends soon
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.windowAfterMs << (c.commandLine ? " command line " : " ") << c.endsAfterMs);
    LateWindow p{kProgram};
    AddProgram(p);
    AddHost(p, kHost, "3.0.20.100");
    p.AddFile(kSettings, "[General]\r\nInstallFolder=" + kHost + "\r\n");
    ASSERT_TRUE(c.commandLine ? ClaimForCommandLine(p, kProgram)
                              : p.system.ClaimSingleInstance(SingleInstanceName(p, kProgram)));  // the winner
    p.windowAfterMs = c.windowAfterMs;
    p.endsAfterMs = c.endsAfterMs;
    if (c.windowAfterMs == 0) p.windows.push_back(FakeWindow{8, std::string(kMainWindowClass), "Ravelwick (1.2.7)"});
    App app{p, kProgram};
    FakeUi ui;
    EXPECT_EQ(Main(app, ui), c.exit);
    EXPECT_EQ(p.raised, c.raised);
    EXPECT_GE(p.nowMs, c.minMs);
    EXPECT_LE(p.nowMs, c.maxMs);
    EXPECT_EQ(p.messages.size(), c.exit == MainExit::CommandLineBusy ? 1u : 0u);
    EXPECT_EQ(ui.dialogs + ui.mainWindows, c.exit == MainExit::MainWindowShown ? 1 : 0);
    if (c.exit != MainExit::MainWindowShown) {
      EXPECT_EQ(*p.Contents(kSettings), "[General]\r\nInstallFolder=" + kHost + "\r\n");
    }
  }
}

TEST_F(StartupTest, OfTwoStartsOfOneFolderOnlyTheFirstGoesOn) {
  AddHost(p, kHost, "3.0.20.100");
  p.AddFile(kSettings, "[General]\r\nInstallFolder=" + kHost + "\r\n");
  App second{p, kProgram};
  FakeUi secondUi;
  EXPECT_EQ(Main(app, ui), MainExit::MainWindowShown);
  EXPECT_EQ(Main(second, secondUi), MainExit::AlreadyRunning);  // its window is not in the double
  EXPECT_EQ(secondUi.mainWindows, 0);
  // Another program folder is another program.
  for (const char* name : {"unpak.exe", "makpak.exe"}) p.AddFile("E:\\Copy\\" + std::string(name), "tool");
  p.registry[std::string(kHostRegistryValue)] = kHost;
  App other{p, "E:\\Copy"};
  EXPECT_EQ(Main(other, secondUi), MainExit::MainWindowShown);
}

TEST(SingleInstance, OneNamePerFolderWhateverItsSpelling) {
  FakePlatform p;
  const std::string folder = "C:\\Program Files\\Ravelwick \xC3\x89t\xC3\xA9";
  p.AddFolder(folder);
  p.AddFolder("C:\\Program Files\\Ravelwick");
  p.longNames["c:\\progra~1\\ravelw~1"] = folder;
  p.aliases["R:"] = folder;
  p.aliases["\\\\localhost\\C$"] = "C:";
  p.aliases["D:\\Tools\\Ravelwick"] = folder;  // a junction
  const std::string name = SingleInstanceName(p, folder);
  EXPECT_EQ(name.size(), std::string("Ravelwick-").size() + 16);
  EXPECT_TRUE(name.starts_with("Ravelwick-"));
  EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 10), std::string::npos);
  for (const char* same : {"c:\\program files\\ravelwick \xC3\xA9t\xC3\xA9", "C:\\PROGRA~1\\RAVELW~1",
                           "C:\\PROGRAM FILES\\RAVELWICK \xC3\x89T\xC3\x89", "R:\\",
                           "\\\\localhost\\C$\\Program Files\\Ravelwick \xC3\x89t\xC3\xA9", "D:\\Tools\\Ravelwick\\."})
    EXPECT_EQ(SingleInstanceName(p, same), name) << same;
  for (const char* other :
       {"C:\\Program Files\\Ravelwick", "D:\\Program Files\\Ravelwick \xC3\x89t\xC3\xA9", "R:\\Sub"})
    EXPECT_NE(SingleInstanceName(p, other), name) << other;
}

TEST_F(StartupTest, AnOpenHostFolderDialogIsNotAnotherInstance) {
  p.windows.push_back(FakeWindow{9, std::string(kMainWindowClass), "Ravelwick"});
  AddHost(p, kHost, "3.0.20.100");
  p.AddFile(kSettings, "[General]\r\nInstallFolder=" + kHost + "\r\n");
  EXPECT_EQ(Main(app, ui), MainExit::MainWindowShown);
  EXPECT_TRUE(p.raised.empty());
}

TEST_F(StartupTest, ChoosesTheLanguage) {
  struct Case {
    std::string setting;
    std::uint32_t lcid;
    bool chineseFile;
    std::string expected;
  };
  const Case cases[] = {
      {"Deutsch", 1033, true, "Deutsch"},
      {"Klingon", 2052, true, "English"},  // named file missing
      {"", 2052, true, "Chinese Simplified"},
      {"", 2052, false, "English"},
      {"", 1028, true, "English"},  // Chinese (Taiwan)
  };
  for (const Case& c : cases) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    fp.AddFile(kProgram + "\\unpak.exe", "");
    fp.files.RemoveFile(kProgram + "\\unpak.exe");  // end right after the language
    fp.AddFile(kProgram + "\\Languages\\Deutsch.ini", "[General]\r\nMissingFile=Werkzeug fehlt\r\n");
    if (c.chineseFile) fp.AddFile(kProgram + "\\Languages\\Chinese Simplified.ini", "[General]\r\n");
    if (!c.setting.empty()) fp.AddFile(kSettings, "[General]\r\nLanguage=" + c.setting + "\r\n");
    fp.lcid = c.lcid;
    App a{fp, kProgram};
    FakeUi u;
    EXPECT_EQ(Main(a, u), MainExit::MissingTool);
    EXPECT_EQ(a.LanguageName, c.expected) << c.setting << " " << c.lcid;
  }
}

TEST_F(StartupTest, EitherMissingToolEndsInTheUsersLanguage) {
  for (const char* tool : {"makpak.exe", "unpak.exe"}) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    fp.AddFile(kProgram + "\\Languages\\Deutsch.ini", "[General]\r\nMissingFile=Werkzeug fehlt\r\n");
    fp.AddFile(kSettings, "[General]\r\nLanguage=Deutsch\r\n");
    fp.files.RemoveFile(kProgram + "\\" + tool);
    App a{fp, kProgram};
    FakeUi u;
    EXPECT_EQ(Main(a, u), MainExit::MissingTool) << tool;
    ASSERT_EQ(fp.messages.size(), 1u);
    EXPECT_EQ(fp.messages[0].text, "Werkzeug fehlt");
    EXPECT_EQ(fp.messages[0].title, "Ravelwick");
    EXPECT_EQ(u.dialogs, 0);
  }
}

TEST_F(StartupTest, StoredFolderWinsOverTheRegistryAndIsNotRewritten) {
  AddHost(p, kHost, "3.0.20.100");
  AddHost(p, "E:\\Other\\", "3.0.20.100");
  p.registry[std::string(kHostRegistryValue)] = "E:\\Other";
  p.AddFile(kSettings, "[General]\r\nInstallFolder=D:\\Maxthon3\r\n");
  EXPECT_EQ(Main(app, ui), MainExit::MainWindowShown);
  EXPECT_EQ(app.HostBinFolder, kHost + "Bin\\");
  EXPECT_EQ(Setting(app, "InstallFolder"), "D:\\Maxthon3");
  EXPECT_EQ(ui.dialogs, 0);
  EXPECT_EQ(ui.mainWindows, 1);
  EXPECT_TRUE(ui.controlsReadyAtMainWindow);
}

TEST_F(StartupTest, ValidRegistryFolderReplacesAnInvalidStoredOne) {
  const std::string host = "E:\\Programme\\H\xC3\xB4te \xE6\xB5\x8F\xE8\xA7\x88\\";  // non-ASCII path
  AddHost(p, host, "3.0.20.100");
  p.registry[std::string(kHostRegistryValue)] = host.substr(0, host.size() - 1);
  p.AddFile(kSettings, "[General]\r\nInstallFolder=D:\\Gone\\\r\n");
  EXPECT_EQ(Main(app, ui), MainExit::MainWindowShown);
  EXPECT_EQ(app.HostBinFolder, host + "Bin\\");
  EXPECT_EQ(Setting(app, "InstallFolder"), host);
}

TEST_F(StartupTest, InvalidCandidatesLeadToTheDialogAndStayUnerased) {
  struct Case {
    const char* name;
    std::optional<std::string> registry;
  };
  const Case cases[] = {{"missing or not a string", std::nullopt},
                        {"no host there", "D:\\Empty"},
                        {"relative", "Maxthon3"},
                        {"empty", ""}};
  for (const Case& c : cases) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    fp.AddFolder("D:\\Empty");
    if (c.registry) fp.registry[std::string(kHostRegistryValue)] = *c.registry;
    fp.AddFile(kSettings, "[General]\r\nInstallFolder=D:\\Gone\\\r\n");
    App a{fp, kProgram};
    FakeUi u;
    EXPECT_EQ(Main(a, u), MainExit::NoHostFolder) << c.name;
    EXPECT_EQ(u.dialogs, 1) << c.name;
    EXPECT_EQ(Setting(a, "InstallFolder"), "D:\\Gone\\") << c.name;
    ASSERT_EQ(fp.messages.size(), 1u) << c.name;
    EXPECT_EQ(fp.messages[0].text, "no host");
    EXPECT_EQ(fp.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(u.mainWindows, 0);
  }
}

TEST_F(StartupTest, FolderFromTheDialogIsUsed) {
  AddHost(p, kHost, "3.0.15.300");
  ui.onDialog = [](App& a) { a.HostBinFolder = kHost + "Bin\\"; };
  EXPECT_EQ(Main(app, ui), MainExit::MainWindowShown);
  EXPECT_EQ(app.HostVersion, "3.0.15.300");
  EXPECT_TRUE(app.SingleSkinHost);
  EXPECT_TRUE(p.messages.empty());
}

TEST_F(StartupTest, LockedWorkingTreeEndsTheStart) {
  AddHost(p, kHost, "3.0.20.100");
  p.AddFile(kSettings, "[General]\r\nInstallFolder=" + kHost + "\r\n");
  p.AddFile(kProgram + "\\Resource\\ui\\main\\index.css", "css", true);
  EXPECT_EQ(Main(app, ui), MainExit::StartupAborted);
  EXPECT_EQ(ui.mainWindows, 0);
  EXPECT_FALSE(p.commonControlsInitialised);
}

// Every spelling of a folder comes out as one canonical form, which is what
// is stored and compared; relative and empty texts never name a host.
TEST(CanonicalHostFolder, OneSpellingPerFolderAndOnlyFullyQualifiedOnes) {
  FakePlatform p;
  p.AddFile("D:\\M\\Bin\\Maxthon.exe", "");
  p.AddFile("D:\\Maxthon Long Name\\Bin\\Maxthon.exe", "");
  p.AddFile("\\\\server\\share\\M\\Bin\\Maxthon.exe", "");
  p.AddFile("\\Bin\\Maxthon.exe", "");
  p.AddFile("M\\Bin\\Maxthon.exe", "");
  p.longNames["d:\\maxtho~1"] = "D:\\Maxthon Long Name";
  const std::vector<std::pair<std::string, std::optional<std::string>>> rows = {
      {"D:\\M", "D:\\M\\"},
      {"d:\\m\\", "D:\\m\\"},
      {"D:/M/", "D:\\M\\"},
      {"D:\\\\M\\\\", "D:\\M\\"},
      {"D:\\M.", "D:\\M\\"},
      {"D:\\M ", "D:\\M\\"},
      {"D:\\x\\..\\M\\.", "D:\\M\\"},
      {"D:\\..\\..\\M", "D:\\M\\"},
      {"\\\\?\\D:\\M", "D:\\M\\"},
      {"D:\\MAXTHO~1", "D:\\Maxthon Long Name\\"},
      {"\\\\server\\share\\M", "\\\\server\\share\\M\\"},
      {"\\\\?\\UNC\\server\\share\\M", "\\\\server\\share\\M\\"},
      {"\\\\server\\share\\..\\..\\M", "\\\\server\\share\\M\\"},  // never above the share
      {"", std::nullopt},
      {"\\", std::nullopt},
      {"M", std::nullopt},
      {"D:M", std::nullopt},
      {"D:\\M\\Bin", std::nullopt},
  };
  for (const auto& [typed, expected] : rows) EXPECT_EQ(CanonicalHostFolder(p, typed), expected) << typed;
}

TEST(SameFileOrFolder, EveryPathThatLeadsThereAndNoOther) {
  FakePlatform p;
  p.AddFile("C:\\Ravelwick\\settings.ini", "");
  p.AddFile("C:\\Ravelwick\\other.ini", "");
  p.aliases["R:"] = "C:\\Ravelwick";
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"C:\\Ravelwick\\settings.ini", "R:\\Settings.ini", true},
      {"C:\\Ravelwick\\settings.ini", "C:\\Ravelwick\\other.ini", false},
      {"C:\\Ravelwick\\new.ini", "R:\\NEW.ini", true},  // neither there yet: by the folder
      {"C:\\Ravelwick\\new.ini", "E:\\Looks\\new.ini", false},
      {"E:\\Looks\\new.ini", "e:/looks/NEW.ini", true},  // no folder either: by the spelling
  };
  for (const auto& [a, b, same] : rows) EXPECT_EQ(SameFileOrFolder(p, a, b), same) << a << " " << b;
}

// --- CheckHostInstallation -------------------------------------------------

struct HostCheckTest : StartupTest {
  void SetUp() override {
    StartupTest::SetUp();
    app.HostBinFolder = kHost + "Bin\\";
  }
  std::string Backup(const std::string& version) { return kProgram + "\\Resource" + version + ".dat"; }
};

TEST_F(HostCheckTest, FirstRunKeepsAnIdenticalBackup) {
  const std::string archive("PAK\0\x01\xFF data", 12);
  AddHost(p, kHost, "3.0.15.300", archive);
  EXPECT_EQ(CheckHostInstallation(app).outcome, HostCheck::Ready);
  EXPECT_EQ(app.UpdatedFromVersion, "");  // nothing was prepared before
  EXPECT_EQ(app.HostVersion, "3.0.15.300");
  EXPECT_TRUE(app.SingleSkinHost);
  EXPECT_EQ(p.Contents(Backup("3.0.15.300")), archive);
  EXPECT_EQ(Setting(app, "FileVersion"), "3.0.15.300");
  EXPECT_EQ(p.files.ListFiles(kProgram).size(), 4u);  // tools, backup, settings
}

TEST_F(HostCheckTest, SameVersionTouchesNothing) {
  AddHost(p, kHost, "3.0.20.100");
  p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.20.100\r\n");
  p.AddFile(kProgram + "\\Resource.dat", "packed");
  p.AddFile(kProgram + "\\Resource\\ui\\main\\index.css", "css");
  std::vector<Op> ops;
  p.failHook = [&](Op op, const std::string&) {
    ops.push_back(op);
    return false;
  };
  CheckHostInstallation(app);
  for (Op op : ops) EXPECT_EQ(op, Op::Read);
  EXPECT_FALSE(app.SingleSkinHost);
  EXPECT_FALSE(p.files.FileExists(Backup("3.0.20.100")));
}

TEST_F(HostCheckTest, NewVersionReplacesDerivedFilesAndKeepsOldBackups) {
  AddHost(p, kHost, "3.0.20.100", "archive B");
  p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.15.300\r\n");
  p.AddFile(Backup("3.0.15.300"), "archive A");
  p.AddFile(kProgram + "\\Resource.dat", "packed A");
  p.AddFile(kProgram + "\\Resource\\ui\\main\\index.css", "css");
  CheckHostInstallation(app);
  EXPECT_FALSE(p.files.FileExists(kProgram + "\\Resource.dat"));
  EXPECT_FALSE(p.HasFolder(kProgram + "\\Resource"));
  EXPECT_EQ(p.Contents(Backup("3.0.15.300")), "archive A");
  EXPECT_EQ(p.Contents(Backup("3.0.20.100")), "archive B");
  EXPECT_EQ(Setting(app, "FileVersion"), "3.0.20.100");
  EXPECT_FALSE(app.SingleSkinHost);
  EXPECT_EQ(app.UpdatedFromVersion, "3.0.15.300");
  // Every start offers it again (the window may close before it asks),
  // until the offer is answered.
  for (const bool answered : {false, true}) {
    App next{p, kProgram};
    next.HostBinFolder = app.HostBinFolder;
    CheckHostInstallation(next);
    EXPECT_EQ(next.UpdatedFromVersion, answered ? "" : "3.0.15.300");
    ForgetUpdate(next);
  }
}

// A kept archive goes back only to the host and version it was taken from;
// one of another version is dropped, whatever "FileVersion" says, and one of
// another folder is that folder's.
TEST_F(HostCheckTest, AKeptArchiveOfAnotherVersionIsDroppedAndAnotherFoldersLeftBe) {
  AddHost(p, kHost, "3.0.20.100");
  const std::pair<std::optional<Installation>, bool> rows[] = {
      {Installation{p, kProgram, kHost + "Bin\\", "3.0.15.300"}, true},
      {Installation{p, kProgram, "E:\\M3\\Bin\\", "3.0.20.100"}, false},
      {std::nullopt, true},  // an earlier release's record, naming only the archive
      {Installation{p, kProgram, kHost + "Bin\\", "3.0.20.100"}, false},
  };
  for (const auto& [keptFrom, dropped] : rows) {
    if (keptFrom) {
      p.AddFile(keptFrom->HostArchive(), "archive before");
      ASSERT_TRUE(KeepAside(*keptFrom));
    } else {
      p.AddFile(kProgram + "\\Resource.kept.dat", "archive before");
      p.AddFile(kProgram + "\\Resource.kept", kHostArchive);
    }
    EXPECT_EQ(CheckHost(app).droppedKeptAside.has_value(), dropped);
    EXPECT_EQ(p.files.FileExists(keptFrom ? keptFrom->KeptAsidePath() : kProgram + "\\Resource.kept.dat"), !dropped);
  }
}

TEST_F(HostCheckTest, ExistingBackupIsNeverReplaced) {
  // After a restore "FileVersion" is empty, and the host may hold an
  // installed, modified archive.
  AddHost(p, kHost, "3.0.15.300", "modified");
  p.AddFile(kSettings, "[General]\r\nFileVersion=\r\n");
  p.AddFile(Backup("3.0.15.300"), "original");
  CheckHostInstallation(app);
  EXPECT_EQ(p.Contents(Backup("3.0.15.300")), "original");
  EXPECT_EQ(Setting(app, "FileVersion"), "3.0.15.300");
}

TEST_F(HostCheckTest, LockedLeftoversAbortWithTheirPathAndKeepTheOldVersion) {
  struct Case {
    std::string lockedFile;
    std::string named;
  };
  const Case cases[] = {{kProgram + "\\Resource\\ui\\main\\index.css", kProgram + "\\Resource"},
                        {kProgram + "\\Resource.dat", kProgram + "\\Resource.dat"}};
  for (const Case& c : cases) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    AddHost(fp, kHost, "3.0.20.100");
    fp.AddFile(kSettings, "[General]\r\nFileVersion=3.0.15.300\r\n");
    fp.AddFile(c.lockedFile, "x", true);
    App a{fp, kProgram};
    a.HostBinFolder = kHost + "Bin\\";
    const HostCheckResult check = CheckHostInstallation(a);
    EXPECT_EQ(check.outcome, HostCheck::Locked);
    EXPECT_EQ(MessageFor(a, check), "locked " + c.named + ", " + c.named);
    EXPECT_EQ(Setting(a, "FileVersion"), "3.0.15.300");
  }
}

// A host archive that cannot be backed up is said so; the version is not
// recorded, so the next start tries again once the archive is repaired.
TEST_F(HostCheckTest, MissingEmptyOrUncopiableHostArchiveLeavesNoBackup) {
  const std::string backup = Backup("3.0.20.100");
  const std::vector<std::pair<const char*, std::function<void()>>> cases = {
      {"missing", [&] { p.files.RemoveFile(kHostArchive); }},
      {"empty", [&] { p.AddFile(kHostArchive, ""); }},
      {"unreadable", [&] { p.failHook = [&](Op op, const std::string&) { return op == Op::Copy; }; }},
      {"rename fails",
       [&] { p.failHook = [&](Op op, const std::string& path) { return op == Op::Replace && path == backup; }; }},
  };
  for (const auto& [what, arrange] : cases) {
    SCOPED_TRACE(what);
    FakePlatform before = p;
    AddHost(p, kHost, "3.0.20.100");
    p.AddFile(kProgram + "\\Languages\\English.ini", "[General]\r\nArchiveUnusable=Unusable $file\r\n");
    arrange();
    const HostCheckResult check = CheckHostInstallation(app);
    p.failHook = nullptr;
    EXPECT_FALSE(p.files.FileExists(backup));
    EXPECT_FALSE(p.files.FileExists(TemporaryPathFor(p, backup)));
    EXPECT_EQ(Setting(app, "FileVersion"), "<none>");
    EXPECT_EQ(check.outcome, HostCheck::ArchiveUnusable);
    EXPECT_EQ(MessageFor(app, check), "Unusable " + kHostArchive);
    p = before;
  }
}

TEST_F(HostCheckTest, UnknownVersionTouchesNothing) {
  for (bool exePresent : {false, true}) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    fp.AddFile(kHostArchive, "archive");
    if (exePresent) fp.AddFile(kHostExe, "MZ, no version resource");
    fp.AddFile(kSettings, "[General]\r\nFileVersion=3.0.15.300\r\n");
    fp.AddFile(kProgram + "\\Resource.dat", "packed");
    fp.AddFile(kProgram + "\\Resource\\ui\\main\\index.css", "css");
    App a{fp, kProgram};
    a.HostBinFolder = kHost + "Bin\\";
    a.HostVersion = "stale";
    a.SingleSkinHost = true;
    EXPECT_EQ(CheckHostInstallation(a).outcome, HostCheck::NoVersion);
    EXPECT_EQ(a.HostVersion, "");
    EXPECT_FALSE(a.SingleSkinHost);
    EXPECT_EQ(a.Host().BackupPath(), "");
    EXPECT_EQ(fp.Contents(kProgram + "\\Resource.dat"), "packed");
    EXPECT_TRUE(fp.HasFolder(kProgram + "\\Resource"));
    EXPECT_EQ(Setting(a, "FileVersion"), "3.0.15.300");
  }
}

// --- Host folder dialog ----------------------------------------------------

class FakeView : public SetFolderView {
 public:
  std::string label, ok, cancel, text, reason = "<unset>";
  std::string browseResult;
  std::string browsePrompt;
  std::uint32_t browseFlags = 0;
  int browseRoot = 0;
  WindowHandle browseOwner = 0;
  int selections = 0;
  int focusCount = 0;
  bool unloaded = false;
  SetFolderDialog* dialog = nullptr;

  WindowHandle Handle() override { return 42; }
  void SetCaptions(const std::string& l, const std::string& o, const std::string& c) override {
    label = l;
    ok = o;
    cancel = c;
  }
  void SetReason(const std::string& r) override { reason = r; }
  std::string Text() override { return text; }
  void SetText(const std::string& t) override { text = t; }
  void SelectAllText() override { ++selections; }
  void FocusText() override {
    ++focusCount;
    dialog->OnTextFocused();
  }
  void Close() override { unloaded = true; }
  std::string BrowseForFolder(WindowHandle owner, const std::string& prompt, std::uint32_t flags, int root) override {
    browseOwner = owner;
    browsePrompt = prompt;
    browseFlags = flags;
    browseRoot = root;
    return browseResult;
  }
};

struct DialogTest : StartupTest {
  FakeView view;
  SetFolderDialog dialog{app, view};
  void SetUp() override {
    StartupTest::SetUp();
    view.dialog = &dialog;
    AddHost(p, kHost, "3.0.20.100");
  }
};

TEST_F(DialogTest, LoadShowsCaptionsAndTheStoredFolderEvenWhenInvalid) {
  p.AddFile(kSettings, "[General]\r\nInstallFolder=D:\\Gone\r\n");
  dialog.OnLoad();
  EXPECT_EQ(view.label, "Folder of Maxthon 3:");
  EXPECT_EQ(view.ok, "OK");
  EXPECT_EQ(view.cancel, "Cancel");
  EXPECT_EQ(view.text, "D:\\Gone");
  EXPECT_EQ(view.reason, "");  // asked for from the menu: the user knows why
  SetFolderDialog started{app, view, FolderDialogCause::NoneFound};
  started.OnLoad();
  EXPECT_EQ(view.reason, "Found none");
}

TEST_F(DialogTest, ValidFolderTypedWithoutBackslashIsStoredWithOne) {
  view.text = "D:\\Maxthon3";
  EXPECT_TRUE(dialog.OnKeyDown(kKeyEnter));
  EXPECT_TRUE(view.unloaded);
  EXPECT_EQ(app.HostBinFolder, kHost + "Bin\\");
  EXPECT_EQ(Setting(app, "InstallFolder"), kHost);
  EXPECT_TRUE(p.messages.empty());
}

TEST_F(DialogTest, RejectedFoldersKeepTheDialogOpen) {
  for (const std::string typed : {"D:\\Maxthon3\\Bin", "", "Maxthon3", "D:Maxthon3"}) {
    FakePlatform fp{kProgram};
    AddProgram(fp);
    AddHost(fp, kHost, "3.0.20.100");
    AddHost(fp, "\\", "3.0.20.100");
    App a{fp, kProgram};
    FakeView v;
    SetFolderDialog d{a, v};
    v.dialog = &d;
    v.text = typed;
    d.OnOk();
    EXPECT_FALSE(v.unloaded) << typed;
    ASSERT_EQ(fp.messages.size(), 1u) << typed;
    EXPECT_EQ(fp.messages[0].text, "No host in " + typed + " (" + typed + ")");
    EXPECT_EQ(fp.messages[0].title, "Ravelwick");
    EXPECT_EQ(v.focusCount, 1);
    EXPECT_EQ(v.selections, 1);
    EXPECT_EQ(a.HostBinFolder, "");
    EXPECT_FALSE(fp.files.FileExists(kSettings));
  }
}

TEST_F(DialogTest, CancelAndEscapeChangeNothing) {
  app.HostBinFolder = "E:\\Before\\Bin\\";
  view.text = "D:\\Maxthon3";
  EXPECT_TRUE(dialog.OnKeyDown(kKeyEscape));
  EXPECT_TRUE(view.unloaded);
  EXPECT_EQ(app.HostBinFolder, "E:\\Before\\Bin\\");
  EXPECT_FALSE(p.files.FileExists(kSettings));
  EXPECT_FALSE(dialog.OnKeyDown(65));
}

TEST_F(DialogTest, BrowseStartsAtTheDrivesAndKeepsTheTextOnCancel) {
  view.text = "typed";
  dialog.OnBrowse();
  EXPECT_EQ(view.browseOwner, 42u);
  EXPECT_EQ(view.browsePrompt, "Pick it");
  EXPECT_EQ(view.browseFlags, 1u);
  EXPECT_EQ(view.browseRoot, 17);
  EXPECT_EQ(view.text, "typed");
  view.browseResult = "D:\\Maxthon3";
  dialog.OnBrowse();
  EXPECT_EQ(view.text, "D:\\Maxthon3");
}

}  // namespace
}  // namespace rw
