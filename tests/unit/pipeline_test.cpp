#include <gtest/gtest.h>

#include <functional>

#include "pipeline/commands.h"
#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "startup/app.h"
#include "support/fake_platform.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::FakeWindow;
using test::Op;

const std::string kProgram = "C:\\Ravelwick";
const std::string kTree = kProgram + "\\Resource";
const std::string kPacked = kProgram + "\\Resource.dat";
const std::string kBin = "D:\\Maxthon3\\Bin\\";
const std::string kHostArchive = kBin + "Resource.dat";
const std::string kVersion = "3.0.20.100";
const std::string kBackup = kProgram + "\\Resource" + kVersion + ".dat";
const std::string kModernCss = kTree + "\\ui\\main\\index.css";
constexpr WindowHandle kMainWindow = 7;
constexpr WindowHandle kHostWindow = 42;

class FakeWindowOps : public MainWindowOps {
 public:
  std::vector<bool> okStates;
  bool hidden = false;
  bool unloaded = false;

  WindowHandle Handle() override { return kMainWindow; }
  void EnableOk(bool enabled) override { okStates.push_back(enabled); }
  void Hide() override { hidden = true; }
  void Unload() override { unloaded = true; }
};

// A program folder, a host installation and two stand-in tools whose
// listings and output each test sets.
class PipelineTest : public ::testing::Test {
 protected:
  FakePlatform p{kProgram};
  App app{p, kProgram};
  FakeWindowOps window;

  int unpackerListings = 2;  // -1: never ends
  bool unpackerWrites = true;
  int packerListings = 2;
  bool packerWrites = true;

  void SetUp() override {
    app.AppVersion = "1.2.7";
    app.HostBinFolder = kBin;
    app.HostVersion = kVersion;
    p.AddFile(kBin + "Maxthon.exe", "MZ");
    p.fileVersions["d:\\maxthon3\\bin\\maxthon.exe"] = kVersion;
    p.AddFile(kHostArchive, "host original");
    p.AddFile(kProgram + "\\Languages\\English.ini",
              "[General]\r\nConfirmClose=Close the browser?\r\nNoBackup=No backup of $version ($version)\r\n"
              "FolderLocked=Locked: $folder\r\nHelpURL=http://help.example/ravelwick\r\n");
    p.AddFile(kProgram + "\\ResFiles\\nav_tool.png", "png");
    p.onStart = [this](const std::string& commandLine, bool hidden) { RunTool(commandLine, hidden); };
  }

  // unpak turns an archive "A" into a tree whose index.css reads "A";
  // makpak turns that back into "A" plus "+packed".
  void RunTool(const std::string& commandLine, bool hidden) {
    if (commandLine == UnpackerCommandLine(app)) {
      EXPECT_TRUE(hidden);
      p.AddProcess("unpak.exe", kProgram + "\\unpak.exe", unpackerListings);
      if (unpackerWrites && p.Contents(kPacked)) {
        p.AddFile(kModernCss, *p.Contents(kPacked));
        p.AddFolder(kTree + "\\ui\\main\\images");
      }
    } else if (commandLine == PackerCommandLine(app)) {
      EXPECT_TRUE(hidden);
      p.AddProcess("makpak.exe", kProgram + "\\makpak.exe", packerListings);
      if (packerWrites && p.Contents(kModernCss)) p.AddFile(kPacked, *p.Contents(kModernCss) + "+packed");
    } else {
      EXPECT_FALSE(hidden) << commandLine;
    }
  }

  std::uint32_t AddHostProcess(const std::string& path = kBin + "Maxthon.exe") {
    return p.AddProcess("Maxthon.exe", path);
  }
  void AddHostWindow(std::uint32_t ownerPid, bool closesOnCommand = true) {
    p.windows.push_back(FakeWindow{kHostWindow, "Maxthon3Cls_MainFrm", "Maxthon", ownerPid, closesOnCommand});
  }
  void AddTree(const std::string& css = "tweaked") { p.AddFile(kModernCss, css); }

  std::string HostStart() const { return "\"" + kBin + "maxthon.exe\""; }
  bool NothingPartialLeft() const {
    return !p.Contents(kHostArchive + ".partial") && !p.Contents(kPacked + ".partial");
  }
};

// --- Installing ---------------------------------------------------------

TEST_F(PipelineTest, InstallWithoutRunningHostPacksInstallsStartsAndUnloads) {
  AddTree();
  p.AddFile(kPacked, "stale");

  EXPECT_TRUE(InstallArchive(app, window, /*restore=*/false));

  EXPECT_EQ(*p.Contents(kHostArchive), "tweaked+packed");
  EXPECT_EQ(*p.Contents(kPacked), "tweaked+packed");  // kept for the next unpacking
  EXPECT_EQ(p.started, (std::vector<std::string>{PackerCommandLine(app), HostStart()}));
  EXPECT_EQ(PackerCommandLine(app), "\"C:\\Ravelwick\\makpak.exe\" \"C:\\Ravelwick\\Resource\"");
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.nowMs, 1500u);  // packer listed twice, gone at the third poll
  EXPECT_EQ(p.pumps, 0);      // the packing wait lets no events run
  EXPECT_FALSE(window.hidden);
  EXPECT_TRUE(window.unloaded);
  EXPECT_TRUE(NothingPartialLeft());
}

TEST_F(PipelineTest, CancelAtConfirmCloseTouchesNothing) {
  for (bool restore : {false, true}) {
    FakePlatform before = p;
    AddTree();
    p.AddFile(kBackup, "backup");
    AddHostWindow(AddHostProcess());
    p.answers.push_back(MessageResult::Cancel);

    EXPECT_FALSE(InstallArchive(app, window, restore));

    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].text, "Close the browser?");
    EXPECT_EQ(p.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(p.closeCommands.empty() && p.terminated.empty() && p.started.empty());
    EXPECT_EQ(p.sleeps, 0);
    EXPECT_FALSE(p.waitCursor);
    EXPECT_EQ(*p.Contents(kHostArchive), "host original");
    EXPECT_TRUE(p.Contents(kModernCss));
    EXPECT_FALSE(p.Contents(kProgram + "\\settings.ini"));
    EXPECT_FALSE(window.hidden || window.unloaded);
    p = before;
  }
}

TEST_F(PipelineTest, HostIsClosedOrTerminatedWithinItsPolls) {
  struct Case {
    bool window, closes, outlivesTerminate;
    int sleeps;  // close polls + termination polls + 3 for the packer
    bool terminated;
  };
  for (const Case c : {Case{true, true, false, 1 + 1 + 3, false}, Case{true, false, false, 4 + 1 + 3, true},
                       Case{false, false, false, 1 + 3, true}, Case{false, false, true, 10 + 3, true}}) {
    FakePlatform before = p;
    AddTree();
    // The path's letter case differs from HostBinFolder's.
    const std::uint32_t pid = AddHostProcess("d:\\MAXTHON3\\bin\\maxthon.exe");
    p.processes.back().ignoresTerminate = c.outlivesTerminate;
    if (c.window) AddHostWindow(pid, c.closes);

    EXPECT_TRUE(InstallArchive(app, window, false));

    EXPECT_EQ(p.messages.size(), c.window ? 1u : 0u);  // no question without a window
    EXPECT_EQ(p.closeCommands.size(), c.window ? 1u : 0u);
    EXPECT_EQ(p.terminated, c.terminated ? std::vector<std::uint32_t>{pid} : std::vector<std::uint32_t>{});
    EXPECT_EQ(p.sleeps, c.sleeps);
    EXPECT_EQ(*p.Contents(kHostArchive), "tweaked+packed");
    EXPECT_EQ(p.started.back(), HostStart());
    p = before;
  }
}

TEST_F(PipelineTest, EveryProcessOfThisInstallationIsTerminatedAndNoOther) {
  AddTree();
  const std::uint32_t other = AddHostProcess("E:\\Other\\Maxthon3\\Bin\\Maxthon.exe");
  const std::uint32_t unreadable = AddHostProcess("");
  const std::uint32_t first = AddHostProcess();
  const std::uint32_t second = AddHostProcess();

  EXPECT_TRUE(InstallArchive(app, window, false));

  EXPECT_EQ(p.terminated, (std::vector<std::uint32_t>{first, second}));
  ASSERT_EQ(p.processes.size(), 2u);
  EXPECT_EQ(p.processes[0].info.pid, other);
  EXPECT_EQ(p.processes[1].info.pid, unreadable);

  // Another installation alone is neither asked about nor closed.
  p.terminated.clear();
  AddHostWindow(other);
  EXPECT_TRUE(InstallArchive(app, window, false));
  EXPECT_TRUE(p.messages.empty() && p.closeCommands.empty() && p.terminated.empty());
}

TEST_F(PipelineTest, FailedPackingOrCopyKeepsTheHostArchiveAndRestartsTheHost) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::string hostAfter;
  };
  const std::vector<Case> cases = {
      {"packer writes nothing", [&] { packerWrites = false; }, "host original"},
      {"packer still running after 40 polls", [&] { packerListings = -1; }, "host original"},
      {"packer ends at the 40th poll", [&] { packerListings = 39; }, "tweaked+packed"},
      {"read-only host archive", [&] { p.SetReadOnly(kHostArchive, true); }, "host original"},
      {"stale packed archive that cannot be removed", [&] { p.SetReadOnly(kPacked, true); }, "host original"},
      {"copy dies halfway",
       [&] {
         p.failHook = [&](Op op, const std::string& path) {
           if (op == Op::Copy) p.AddFile(path, "tweak");
           return op == Op::Copy;
         };
       },
       "host original"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform before = p;
    AddTree();
    p.AddFile(kPacked, "stale");  // must never reach the host
    packerWrites = true;
    packerListings = 2;
    c.arrange();

    EXPECT_TRUE(InstallArchive(app, window, false));

    EXPECT_EQ(*p.Contents(kHostArchive), c.hostAfter);
    EXPECT_LE(p.sleeps, 40);
    EXPECT_EQ(p.started.back(), HostStart());
    EXPECT_TRUE(window.unloaded);
    EXPECT_TRUE(NothingPartialLeft());
    p = before;
  }
}

// --- Restoring ----------------------------------------------------------

TEST_F(PipelineTest, RestorePutsTheBackupBackAndDiscardsTheDerivedFiles) {
  AddTree();
  p.AddFile(kPacked, "tweaked+packed");
  p.AddFile(kBackup, "host original v2");
  p.AddFile(kHostArchive, "tweaked+packed");
  app.WriteSetting("FileVersion", kVersion);
  AddHostWindow(AddHostProcess());

  EXPECT_TRUE(InstallArchive(app, window, /*restore=*/true));

  EXPECT_EQ(*p.Contents(kHostArchive), "host original v2");
  EXPECT_EQ(*p.Contents(kBackup), "host original v2");
  EXPECT_FALSE(p.HasFolder(kTree));
  EXPECT_FALSE(p.Contents(kPacked));
  EXPECT_NE(p.Contents(kProgram + "\\settings.ini")->find("FileVersion=\r\n"), std::string::npos);
  EXPECT_EQ(p.started, std::vector<std::string>{HostStart()});  // no packer
  EXPECT_TRUE(window.hidden && window.unloaded);
  EXPECT_TRUE(NothingPartialLeft());

  // Over a read-only archive the host keeps its own and starts all the same.
  p.AddFile(kHostArchive, "tweaked", /*readOnly=*/true);
  EXPECT_TRUE(InstallArchive(app, window, true));
  EXPECT_EQ(*p.Contents(kHostArchive), "tweaked");
  EXPECT_EQ(p.started.size(), 2u);
  EXPECT_TRUE(NothingPartialLeft());
}

TEST_F(PipelineTest, IsHostClosedLooksOnlyAtThisInstallation) {
  AddHostProcess("E:\\Maxthon3\\Bin\\Maxthon.exe");
  EXPECT_TRUE(IsHostClosed(app));
  AddHostProcess("D:\\MAXTHON3\\BIN\\MAXTHON.EXE");
  EXPECT_FALSE(IsHostClosed(app));
  // A Bin folder not known yet claims no process.
  app.HostBinFolder.clear();
  EXPECT_TRUE(IsHostClosed(app));
}

// --- Unpacking ----------------------------------------------------------

TEST_F(PipelineTest, FirstUnpackMakesBackupAndPackedArchiveThenCopiesImages) {
  UnpackArchive(app, window);

  EXPECT_EQ(*p.Contents(kBackup), "host original");
  EXPECT_EQ(*p.Contents(kPacked), "host original");
  EXPECT_EQ(*p.Contents(kModernCss), "host original");
  EXPECT_EQ(*p.Contents(kTree + "\\ui\\main\\images\\nav_tool.png"), "png");
  EXPECT_EQ(p.started, std::vector<std::string>{UnpackerCommandLine(app)});
  EXPECT_EQ(UnpackerCommandLine(app), "\"C:\\Ravelwick\\unpak.exe\" \"C:\\Ravelwick\\Resource.dat\"");
  EXPECT_EQ(p.sleeps, 3);
  EXPECT_EQ(p.pumps, 3);  // the window stays responsive
  EXPECT_EQ(window.okStates, (std::vector<bool>{false, true}));
  EXPECT_FALSE(p.waitCursor);
  EXPECT_FALSE(p.Contents(kPacked + ".partial") || p.Contents(kBackup + ".partial"));
}

TEST_F(PipelineTest, UnpackPrefersThePackedArchiveThenTheBackupNeverReplacingIt) {
  p.AddFile(kPacked, "last install");
  p.AddFile(kBackup, "backup of the untouched host");
  p.AddFile(kHostArchive, "tweaked by an earlier install");
  UnpackArchive(app, window);
  EXPECT_EQ(*p.Contents(kModernCss), "last install");

  p.DeleteFolder(kTree);
  p.RemoveFile(kPacked);
  UnpackArchive(app, window);
  EXPECT_EQ(*p.Contents(kModernCss), "backup of the untouched host");
  EXPECT_EQ(*p.Contents(kBackup), "backup of the untouched host");
}

TEST_F(PipelineTest, UnpackerThatHangsOrWritesNothingStillGivesTheWindowBack) {
  for (int listings : {-1, 0}) {
    FakePlatform before = p;
    window.okStates.clear();
    unpackerListings = listings;
    unpackerWrites = listings < 0;

    UnpackArchive(app, window);

    EXPECT_EQ(p.sleeps, listings < 0 ? 40 : 1);
    EXPECT_EQ(p.pumps, p.sleeps);
    EXPECT_EQ(p.HasFolder(kTree), listings < 0);
    EXPECT_EQ(window.okStates, (std::vector<bool>{false, true}));
    EXPECT_FALSE(p.waitCursor);
    p = before;
  }
}

// --- Restore and re-point commands -----------------------------------------

TEST_F(PipelineTest, RestoreCommandWithoutBackupOnlyShowsNoBackup) {
  AddTree();
  p.AddFile(kPacked, "packed");

  RestoreCommand(app, window);

  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].text, "No backup of 3.0.20.100 (3.0.20.100)");
  EXPECT_EQ(p.messages[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(p.started.empty());
  EXPECT_TRUE(p.HasFolder(kTree));
  EXPECT_TRUE(p.Contents(kPacked));
  EXPECT_FALSE(window.unloaded);

  // Without a host version "Resource.dat" is the packed archive, not a backup.
  app.HostVersion.clear();
  RestoreCommand(app, window);
  EXPECT_EQ(p.messages.size(), 2u);
  EXPECT_EQ(*p.Contents(kHostArchive), "host original");
  EXPECT_FALSE(window.unloaded);
}

TEST_F(PipelineTest, RestoreCommandWithBackupRestoresAndEnds) {
  AddTree();
  p.AddFile(kBackup, "backup");

  RestoreCommand(app, window);

  EXPECT_EQ(*p.Contents(kHostArchive), "backup");
  EXPECT_FALSE(p.HasFolder(kTree));
  EXPECT_TRUE(window.unloaded);
}

class SetFolderTest : public PipelineTest {
 protected:
  bool folderDialogOpen = false;
  bool openDuringDialog = false;
  WindowHandle owner = 0;
  int languageApplied = 0;
  std::string chosenBin;  // empty: the user cancels

  void SetUp() override {
    PipelineTest::SetUp();
    app.WriteSetting("FileVersion", kVersion);
  }

  void Run() {
    SetFolderHooks hooks;
    hooks.showDialog = [this](WindowHandle ownerWindow) {
      owner = ownerWindow;
      openDuringDialog = folderDialogOpen;
      if (!chosenBin.empty()) app.HostBinFolder = chosenBin;
    };
    hooks.applyLanguage = [this] { ++languageApplied; };
    SetFolderCommand(app, window, folderDialogOpen, hooks);
  }
};

TEST_F(SetFolderTest, CancelledDialogKeepsEverything) {
  AddTree();
  p.AddFile(kPacked, "packed");

  Run();

  EXPECT_EQ(owner, kMainWindow);
  EXPECT_TRUE(openDuringDialog);
  EXPECT_FALSE(folderDialogOpen);
  EXPECT_EQ(languageApplied, 1);
  EXPECT_TRUE(p.started.empty());
  EXPECT_EQ(*p.Contents(kModernCss), "tweaked");
  EXPECT_EQ(*p.Contents(kPacked), "packed");
  EXPECT_FALSE(window.unloaded);
}

TEST_F(SetFolderTest, AnotherVersionIsBackedUpAndUnpackedWithTheWindowOpen) {
  AddTree();
  p.AddFile(kPacked, "packed");
  p.AddFile(kBackup, "backup of A");
  const std::string otherBin = "E:\\Maxthon B\\Bin\\";
  p.AddFile(otherBin + "Maxthon.exe", "MZ");
  p.fileVersions["e:\\maxthon b\\bin\\maxthon.exe"] = "3.0.15.300";
  p.AddFile(otherBin + "Resource.dat", "host B");
  chosenBin = otherBin;

  Run();

  EXPECT_EQ(app.HostVersion, "3.0.15.300");
  EXPECT_TRUE(app.Host3015300);
  EXPECT_EQ(languageApplied, 1);
  EXPECT_EQ(*p.Contents(kBackup), "backup of A");
  EXPECT_EQ(*p.Contents(kProgram + "\\Resource3.0.15.300.dat"), "host B");
  EXPECT_EQ(*p.Contents(kModernCss), "host B");
  EXPECT_EQ(window.okStates, (std::vector<bool>{false, true}));
  EXPECT_FALSE(window.unloaded);
}

TEST_F(SetFolderTest, LockedTreeUnloadsWithoutApplyingOrUnpacking) {
  AddTree();
  p.AddFile(kTree + "\\ui\\locked.css", "x", /*readOnly=*/true);
  p.fileVersions["d:\\maxthon3\\bin\\maxthon.exe"] = "3.0.21.1";

  Run();

  EXPECT_TRUE(app.StartupAborted);
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].text, "Locked: " + kTree);
  EXPECT_EQ(languageApplied, 0);
  EXPECT_TRUE(p.started.empty());
  EXPECT_TRUE(p.Contents(kTree + "\\ui\\locked.css"));
  EXPECT_TRUE(window.unloaded);
}

// --- Help and About -----------------------------------------------------

TEST_F(PipelineTest, HelpOpensTheAddressInTheHostOrElseTheDefaultBrowser) {
  HelpCommand(app);
  EXPECT_EQ(p.started, std::vector<std::string>{"\"" + kBin + "Maxthon.exe\" \"http://help.example/ravelwick\""});
  EXPECT_TRUE(p.browserOpened.empty());

  p.started.clear();
  p.failHook = [](Op op, const std::string&) { return op == Op::Start; };
  HelpCommand(app);
  EXPECT_EQ(p.browserOpened, std::vector<std::string>{"http://help.example/ravelwick"});

  p.failHook = nullptr;
  p.browserOpened.clear();
  p.RemoveFile(kBin + "Maxthon.exe");
  HelpCommand(app);
  EXPECT_TRUE(p.started.empty());
  EXPECT_EQ(p.browserOpened, std::vector<std::string>{"http://help.example/ravelwick"});
}

TEST_F(PipelineTest, HelpAddressCannotBreakOutOfItsArgument) {
  p.AddFile(kProgram + "\\Languages\\English.ini", "[General]\r\nHelpURL=http://x/\" --ignore-close \"C:\\evil\\\r\n");
  HelpCommand(app);
  ASSERT_EQ(p.started.size(), 1u);
  EXPECT_EQ(p.started[0], "\"" + kBin + "Maxthon.exe\" \"http://x/%22 --ignore-close %22C:\\evil\\\\\"");

  EXPECT_EQ(SafeHelpAddress("  http://a/b\tc "), "http://a/bc");
  EXPECT_EQ(SafeHelpAddress("--background"), std::nullopt);
  EXPECT_EQ(SafeHelpAddress("/silent"), std::nullopt);
  EXPECT_EQ(SafeHelpAddress(""), std::nullopt);
  EXPECT_EQ(QuoteArgument("a\\\\"), "\"a\\\\\\\\\"");
  EXPECT_EQ(QuoteArgument("a\\b"), "\"a\\b\"");
}

TEST_F(PipelineTest, AboutShowsNameVersionAndSignature) {
  AboutCommand(app, window);
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].title, "Ravelwick");
  EXPECT_EQ(p.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(p.messages[0].text.substr(0, 28), "Ravelwick          \r\n1.2.7\r\n");
  EXPECT_GT(p.messages[0].text.size(), 28u);
}

}  // namespace
}  // namespace rw
