#include <gtest/gtest.h>

#include <set>

#include <functional>

#include "app/app.h"
#include "app/language_text.h"
#include "app/outcome_messages.h"
#include "app/program_settings.h"
#include "pipeline/host_contract.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/utf8_file.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/commands.h"
#include "ui/roads.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::FakeTools;
using test::FakeWindow;
using test::Op;
using test::PackFolder;

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

class FakeWindowOps : public RoadUser {
 public:
  std::vector<bool> busyStates;
  bool hidden = false;

  App* app = nullptr;

  bool ConfirmCloseHost() override {
    return app->Message(Text(*app, "ConfirmClose"), MessageButtons::OkCancel, kMainWindow) == MessageResult::Ok;
  }
  void SetBusy(bool busy) override { busyStates.push_back(busy); }
  void StepAside() override { hidden = true; }
  void ShowWait(WaitStep step, unsigned waited, unsigned limit) override {
    if (waits.empty() || waits.back() != step) waits.push_back(step);
    EXPECT_LE(waited, limit);
    waiting = true;
  }
  void EndWait() override { waiting = false; }
  std::vector<WaitStep> waits;  // each step once, in order
  bool waiting = false;
};

// A program folder, a host installation and two stand-in tools whose
// listings and output each test sets.
class PipelineTest : public ::testing::Test {
 protected:
  FakePlatform p{kProgram};
  App app{p, kProgram};
  FakeWindowOps window;

  FakeTools tools{p, kProgram};

  void SetUp() override {
    window.app = &app;
    app.AppVersion = "1.2.7";
    app.HostBinFolder = kBin;
    app.HostVersion = kVersion;
    p.AddFile(kBin + "Maxthon.exe", "MZ");
    p.fileVersions["d:\\maxthon3\\bin\\maxthon.exe"] = kVersion;
    p.AddFile(kHostArchive, "host original");
    p.AddFile(kProgram + "\\Languages\\English.ini",
              "[General]\r\nConfirmClose=Close the browser?\r\nNoBackup=No backup of $version ($version)\r\n"
              "FolderLocked=Locked: $folder\r\nHelpURL=http://help.example/ravelwick\r\n"
              "NoHostVersion=No version: $file\r\nArchiveUnusable=Unusable: $file\r\n"
              "BackupUnusable=Bad backup: $file\r\nUnpackFailed=Unpack failed: $file\r\n"
              "PackFailed=Pack failed: $file\r\nVerifyFailed=Verify failed: $file\r\n"
              "InstallFailed=Install failed: $file\r\nRestoreFailed=Restore failed: $file\r\n");
    p.AddFile(kProgram + "\\ResFiles\\nav_tool.png", "png");
  }

  std::uint32_t AddHostProcess(const std::string& path = kBin + "Maxthon.exe") {
    return p.AddProcess("Maxthon.exe", path);
  }
  void AddHostWindow(std::uint32_t ownerPid, bool closesOnCommand = true) {
    p.windows.push_back(FakeWindow{kHostWindow, "Maxthon3Cls_MainFrm", "Maxthon", ownerPid, closesOnCommand});
  }
  // A finished unpack of a tree whose style sheet reads `css`.
  void AddTree(const std::string& css = "tweaked") {
    p.AddFile(kModernCss, css);
    p.AddFile(kTree + "\\ui\\main\\images\\nav_tool.png", "png");
    ASSERT_TRUE(RecordTree(app.Host()));
  }
  // What the packer makes of the tree as it is.
  std::string Packed() { return PackFolder(p, kTree); }

  std::string HostStart() const { return "\"" + kBin + "maxthon.exe\""; }
  bool NothingPartialLeft() {
    return !p.Contents(TemporaryPathFor(p, kHostArchive)) && !p.Contents(TemporaryPathFor(p, kPacked));
  }
};

// --- Installing ---------------------------------------------------------

TEST_F(PipelineTest, InstallWithoutRunningHostPacksVerifiesInstallsAndStarts) {
  AddTree();
  p.AddFile(kPacked, "stale");

  EXPECT_EQ(Install(app.Host(), window, Watch::None).outcome, Outcome::Done);

  EXPECT_EQ(*p.Contents(kHostArchive), Packed());
  EXPECT_EQ(*p.Contents(kPacked), Packed());  // kept for the next unpacking
  const std::string verifyCopy = kProgram + "\\Resource.verify\\Resource.dat";
  EXPECT_EQ(p.started, (std::vector<std::string>{PackerCommandLine(app.Host()),
                                                 UnpackerCommandLineFor(app.Host(), verifyCopy), HostStart()}));
  EXPECT_EQ(PackerCommandLine(app.Host()), "\"C:\\Ravelwick\\makpak.exe\" \"C:\\Ravelwick\\Resource\"");
  EXPECT_FALSE(p.HasFolder(kProgram + "\\Resource.verify"));
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.nowMs, 3000u);  // each tool listed twice, gone at the third poll
  // Each wait is shown and the window keeps painting meanwhile.
  EXPECT_EQ(window.waits, (std::vector<WaitStep>{WaitStep::Packing, WaitStep::Verifying}));
  EXPECT_FALSE(window.waiting);
  EXPECT_EQ(p.pumps, 6);
  EXPECT_FALSE(window.hidden);  // ending is the caller's decision
  EXPECT_TRUE(NothingPartialLeft());
}

// After an install the host is watched: one that ends without a window gets
// the archive from before, once; the wait never passes the limit per start.
TEST_F(PipelineTest, HealthCheckKeepsOrRollsBackAndNeverLosesAnArchive) {
  enum class Host { Runs, WindowLate, RefusesNew, RefusesAll, Runs15sThenEnds };
  struct Row {
    const char* name;
    Host host;
    bool restore;
    std::function<bool(Op, const std::string&)> fail;
    Outcome outcome;
    bool newArchiveInPlace;
    size_t hostStarts;
    bool keptLeft;
  };
  const std::string kept = app.Host().KeptAsidePath();
  const auto writingKept = [kept, temporary = TemporaryPathFor(p, kept)](Op op, const std::string& path) {
    return (op == Op::Copy || op == Op::Write) && (path == kept || path == temporary);
  };
  // The second copy into the host's folder is the one back.
  int copiesIn = 0;
  const auto puttingBack = [&copiesIn, temporary = TemporaryPathFor(p, kHostArchive)](Op op, const std::string& path) {
    return op == Op::Copy && (path == kHostArchive || path == temporary) && ++copiesIn == 2;
  };
  const Row rows[] = {
      {"runs", Host::Runs, false, nullptr, Outcome::Done, true, 1, false},
      {"window after 2 s", Host::WindowLate, false, nullptr, Outcome::Done, true, 1, false},
      {"runs without window to the end", Host::Runs15sThenEnds, false, nullptr, Outcome::Done, true, 1, false},
      {"refuses the new archive", Host::RefusesNew, false, nullptr, Outcome::RolledBack, false, 2, false},
      {"refuses every archive", Host::RefusesAll, false, nullptr, Outcome::StillDown, false, 2, false},
      {"disk full for the kept copy", Host::Runs, false, writingKept, Outcome::KeepAsideFailed, false, 0, false},
      {"the kept copy cannot go back", Host::RefusesNew, false, puttingBack, Outcome::RollbackFailed, true, 1, true},
      {"restore, host refuses", Host::RefusesAll, true, nullptr, Outcome::RestoredButDown, true, 1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakePlatform before = p;
    AddTree();
    p.AddFile(kBackup, "backup");
    p.failHook = row.fail;
    std::set<std::uint32_t> refusing;
    p.onStart = [&, tools = p.onStart](const std::string& commandLine, bool hidden) {
      if (tools) tools(commandLine, hidden);
      if (commandLine != HostStart()) return;
      const bool refuses =
          row.host == Host::RefusesAll || (row.host == Host::RefusesNew && p.Contents(kHostArchive) != "host original");
      if (refuses) refusing.insert(p.lastStartedPid);
    };
    p.hostExitCode = [&](std::uint32_t pid) -> std::optional<std::uint32_t> {
      if (refusing.count(pid) || (row.host == Host::Runs15sThenEnds && p.nowMs > 20000)) return 3;
      return std::nullopt;
    };
    const std::uint64_t start = p.nowMs;
    p.onSleep = [&] {
      if (row.host == Host::WindowLate && p.nowMs - start >= 2000 + 3000 && p.windows.empty())
        AddHostWindow(p.lastStartedPid);
    };

    const PipelineResult result = (row.restore ? Restore : Install)(app.Host(), window, Watch::HostStart);
    p.failHook = nullptr;
    copiesIn = 0;

    EXPECT_EQ(result.outcome, row.outcome);
    const std::string installed = row.restore ? "backup" : Packed();
    EXPECT_EQ(*p.Contents(kHostArchive), row.newArchiveInPlace ? installed : "host original");
    EXPECT_EQ(std::count(p.started.begin(), p.started.end(), HostStart()), static_cast<long>(row.hostStarts));
    EXPECT_EQ(p.Contents(kept) == "host original", row.keptLeft);
    EXPECT_EQ(HasKeptAsideArchive(app.Host()), row.keptLeft);
    EXPECT_EQ(*p.Contents(kBackup), "backup");
    EXPECT_LE(p.nowMs - start, 3000 + 500 + 2 * (kHealthCheckMs + kHealthPollMs) + 5000u);
    if (row.host == Host::WindowLate) {
      EXPECT_LT(p.nowMs - start, 3000 + 2000 + 2 * kHealthPollMs + 1000u);
    }
    EXPECT_EQ(window.hidden, row.hostStarts > 0);
    EXPECT_FALSE(p.waitCursor);
    EXPECT_TRUE(NothingPartialLeft());
    p = before;
    window.hidden = false;
    tools.Reset();
  }
}

TEST_F(PipelineTest, CancelAtConfirmCloseTouchesNothing) {
  for (bool restore : {false, true}) {
    FakePlatform before = p;
    AddTree();
    p.AddFile(kBackup, "backup");
    AddHostWindow(AddHostProcess());
    p.answers.push_back(MessageResult::Cancel);

    EXPECT_EQ((restore ? Restore : Install)(app.Host(), window, Watch::None).outcome, Outcome::Declined);

    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].text, "Close the browser?");
    EXPECT_EQ(p.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(p.messages[0].icon, MessageIcon::Question);
    EXPECT_TRUE(p.closeCommands.empty() && p.terminated.empty() && p.started.empty());
    EXPECT_EQ(p.sleeps, 0);
    EXPECT_FALSE(p.waitCursor);
    EXPECT_EQ(*p.Contents(kHostArchive), "host original");
    EXPECT_TRUE(p.Contents(kModernCss));
    EXPECT_FALSE(window.hidden);
    p = before;
  }
}

TEST_F(PipelineTest, HostIsClosedOrTerminatedWithinItsPolls) {
  struct Case {
    bool window, closes, outlivesTerminate;
    int sleeps;  // close polls + termination polls + 3 for the packer + 3 for the check
    bool terminated;
  };
  for (const Case c : {Case{true, true, false, 1 + 1 + 6, false}, Case{true, false, false, 4 + 1 + 6, true},
                       Case{false, false, false, 1 + 6, true}, Case{false, false, true, 10 + 6, true}}) {
    FakePlatform before = p;
    AddTree();
    // The path's letter case and spelling differ from HostBinFolder's.
    const std::uint32_t pid = AddHostProcess("d:\\MAXTHON3\\.\\bin\\\\maxthon.exe");
    p.processList.back().ignoresTerminate = c.outlivesTerminate;
    if (c.window) AddHostWindow(pid, c.closes);

    EXPECT_EQ(Install(app.Host(), window, Watch::None).outcome, Outcome::Done);

    EXPECT_EQ(p.messages.size(), c.window ? 1u : 0u);  // no question without a window
    EXPECT_EQ(p.closeCommands.size(), c.window ? 1u : 0u);
    EXPECT_EQ(p.terminated, c.terminated ? std::vector<std::uint32_t>{pid} : std::vector<std::uint32_t>{});
    EXPECT_EQ(p.sleeps, c.sleeps);
    EXPECT_EQ(*p.Contents(kHostArchive), Packed());
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

  EXPECT_EQ(Install(app.Host(), window, Watch::None).outcome, Outcome::Done);

  EXPECT_EQ(p.terminated, (std::vector<std::uint32_t>{first, second}));
  ASSERT_EQ(p.processList.size(), 2u);
  EXPECT_EQ(p.processList[0].info.pid, other);
  EXPECT_EQ(p.processList[1].info.pid, unreadable);

  // Another installation alone is neither asked about nor closed.
  p.terminated.clear();
  AddHostWindow(other);
  EXPECT_EQ(Install(app.Host(), window, Watch::None).outcome, Outcome::Done);
  EXPECT_TRUE(p.messages.empty() && p.closeCommands.empty() && p.terminated.empty());
}

// Whatever goes wrong before the copy, the browser is not even closed; a
// failed copy restarts it with the archive it had. Either way the user is
// told and nothing half-made reaches the host.
TEST_F(PipelineTest, FailedPackingVerificationOrCopyKeepsTheHostArchive) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    Outcome outcome;
    bool hostRestarted;
  };
  const std::vector<Case> cases = {
      {"packer writes nothing", [&] { tools.packerWrites = false; }, Outcome::PackFailed, false},
      {"packer fails", [&] { tools.packerExitCode = 1; }, Outcome::PackFailed, false},
      {"packer still running after 40 polls", [&] { tools.packerListings = -1; }, Outcome::PackFailed, false},
      {"packer writes an empty archive", [&] { tools.garble = [](std::string) { return std::string(); }; },
       Outcome::PackFailed, false},
      {"packer writes garbage", [&] { tools.garble = [](std::string) { return std::string("\x01garbage"); }; },
       Outcome::VerifyFailed, false},
      {"packer cuts the archive short", [&] { tools.garble = [](std::string b) { return b.substr(0, b.size() - 2); }; },
       Outcome::VerifyFailed, false},
      {"packer drops a byte of a file",
       [&] { tools.garble = [](std::string b) { return b.replace(b.find("tweaked"), 7, "tweakeD"); }; },
       Outcome::VerifyFailed, false},
      {"check unpacker fails", [&] { tools.unpackerExitCode = 3; }, Outcome::VerifyFailed, false},
      {"stale packed archive that cannot be removed", [&] { p.SetReadOnly(kPacked, true); }, Outcome::PackFailed,
       false},
      {"read-only host archive", [&] { p.SetReadOnly(kHostArchive, true); }, Outcome::InstallFailed, true},
      {"copy dies halfway",
       [&] {
         p.failHook = [&](Op op, const std::string& path) {
           if (op == Op::Copy && path.starts_with(kBin)) p.AddFile(path, "tweak");
           return op == Op::Copy && path.starts_with(kBin);
         };
       },
       Outcome::InstallFailed, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform before = p;
    AddTree();
    p.AddFile(kPacked, "stale");  // must never reach the host
    AddHostWindow(AddHostProcess());
    c.arrange();

    const PipelineResult result = Install(app.Host(), window, Watch::None);

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.file, c.outcome == Outcome::InstallFailed ? kHostArchive : kPacked);
    // The system's words for a failed copy reach the message.
    if (c.outcome == Outcome::InstallFailed) {
      EXPECT_FALSE(result.osError.empty());
      EXPECT_NE(MessageFor(app, result).find("\r\n\r\n" + result.osError), std::string::npos);
    }
    EXPECT_EQ(*p.Contents(kHostArchive), "host original");
    // Only a checked archive stays to be unpacked later, or one that is stuck.
    EXPECT_EQ(p.files.FileExists(kPacked), c.outcome == Outcome::InstallFailed || p.files.IsReadOnly(kPacked));
    EXPECT_EQ(p.closeCommands.size(), c.hostRestarted ? 1u : 0u);
    EXPECT_EQ(!p.started.empty() && p.started.back() == HostStart(), c.hostRestarted);
    EXPECT_FALSE(p.waitCursor);
    EXPECT_TRUE(NothingPartialLeft());
    EXPECT_FALSE(p.HasFolder(kProgram + "\\Resource.verify"));
    p = before;
    tools.Reset();
  }
}

// --- Restoring ----------------------------------------------------------

TEST_F(PipelineTest, RestorePutsTheBackupBackAndDiscardsTheDerivedFiles) {
  AddTree();
  p.AddFile(kPacked, "tweaked+packed");
  p.AddFile(kBackup, "host original v2");
  p.AddFile(kHostArchive, "tweaked+packed");
  Write(app, ProgramSetting::FileVersion, kVersion);
  AddHostWindow(AddHostProcess());

  EXPECT_EQ(RestoreHost(app, window).result.outcome, Outcome::Done);

  EXPECT_EQ(*p.Contents(kHostArchive), "host original v2");
  EXPECT_EQ(*p.Contents(kBackup), "host original v2");
  EXPECT_FALSE(p.HasFolder(kTree));
  EXPECT_FALSE(p.Contents(kPacked) || p.Contents(app.Host().TreeRecordPath()));
  EXPECT_NE(p.Contents(kProgram + "\\settings.ini")->find("FileVersion=\r\n"), std::string::npos);
  EXPECT_EQ(p.started, std::vector<std::string>{HostStart()});  // no packer
  EXPECT_TRUE(window.hidden);
  EXPECT_TRUE(NothingPartialLeft());
}

// A restore that did not put the backup back keeps everything the next try
// needs: the derived files and the stored version.
TEST_F(PipelineTest, FailedRestoreKeepsDerivedFilesAndVersion) {
  struct Case {
    const char* what;
    std::string backup;
    bool readOnlyHostArchive;
    Outcome outcome;
    bool hostClosed;
  };
  for (const Case& c : {Case{"read-only host archive", "backup", true, Outcome::RestoreFailed, true},
                        Case{"empty backup", "", false, Outcome::BackupUnusable, false}}) {
    SCOPED_TRACE(c.what);
    FakePlatform before = p;
    AddTree();
    p.AddFile(kPacked, "packed");
    p.AddFile(kBackup, c.backup);
    p.AddFile(kHostArchive, "tweaked", c.readOnlyHostArchive);
    Write(app, ProgramSetting::FileVersion, kVersion);
    AddHostWindow(AddHostProcess());

    const PipelineResult result = RestoreHost(app, window).result;

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(*p.Contents(kHostArchive), "tweaked");
    EXPECT_TRUE(IsTreeUsable(app.Host()));
    EXPECT_TRUE(p.Contents(kPacked));
    EXPECT_NE(p.Contents(kProgram + "\\settings.ini")->find("FileVersion=" + kVersion), std::string::npos);
    EXPECT_EQ(p.closeCommands.size(), c.hostClosed ? 1u : 0u);
    EXPECT_EQ(p.started.size(), c.hostClosed ? 1u : 0u);  // started again, as it was
    EXPECT_FALSE(window.hidden);
    EXPECT_TRUE(NothingPartialLeft());
    p = before;
  }
}

TEST_F(PipelineTest, IsHostClosedLooksOnlyAtThisInstallation) {
  AddHostProcess("E:\\Maxthon3\\Bin\\Maxthon.exe");
  EXPECT_TRUE(IsHostClosed(app.Host()));
  AddHostProcess("D:\\MAXTHON3\\BIN\\MAXTHON.EXE");
  EXPECT_FALSE(IsHostClosed(app.Host()));
  // A Bin folder not known yet claims no process.
  app.HostBinFolder.clear();
  EXPECT_TRUE(IsHostClosed(app.Host()));
}

TEST_F(PipelineTest, HostProcessesAreRecognisedInEverySpelling) {
  app.HostBinFolder = "D:\\Ünïcode Äpps\\Maxthon3\\Bin\\";
  p.longNames["d:\\ÜnÏco~1\\maxthon3\\bin\\maxthon.exe"] = "D:\\Ünïcode Äpps\\Maxthon3\\Bin\\Maxthon.exe";
  for (const char* path :
       {"D:\\ÜNÏCODE ÄPPS\\MAXTHON3\\BIN\\MAXTHON.EXE", "D:/Ünïcode Äpps/Maxthon3/Bin/Maxthon.exe",
        "\\\\?\\D:\\Ünïcode Äpps\\Maxthon3.\\Bin\\Maxthon.exe", "D:\\Ünïcode Äpps\\x\\..\\Maxthon3\\Bin\\Maxthon.exe",
        "d:\\ÜNÏCO~1\\maxthon3\\bin\\maxthon.exe"}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(BelongsToHost(app.Host(), ProcessInfo{1, "Maxthon.exe", path}));
  }
  EXPECT_FALSE(
      BelongsToHost(app.Host(), ProcessInfo{1, "Maxthon.exe", "D:\\Ünïcode Äpps\\Maxthon3 Beta\\Bin\\Maxthon.exe"}));
}

// --- Unpacking ----------------------------------------------------------

TEST_F(PipelineTest, FirstUnpackMakesBackupAndPackedArchiveThenCopiesImages) {
  EXPECT_EQ(UnpackArchive(app.Host(), window).outcome, Outcome::Done);

  EXPECT_EQ(*p.Contents(kBackup), "host original");
  EXPECT_EQ(*p.Contents(kPacked), "host original");
  EXPECT_EQ(*p.Contents(kModernCss), "host original");
  EXPECT_TRUE(IsTreeUsable(app.Host()));
  EXPECT_EQ(*p.Contents(kTree + "\\ui\\main\\images\\nav_tool.png"), "png");
  EXPECT_EQ(p.started, std::vector<std::string>{UnpackerCommandLine(app.Host())});
  EXPECT_EQ(UnpackerCommandLine(app.Host()), "\"C:\\Ravelwick\\unpak.exe\" \"C:\\Ravelwick\\Resource.dat\"");
  EXPECT_EQ(p.sleeps, 3);
  EXPECT_EQ(p.pumps, 3);  // the window stays responsive
  EXPECT_EQ(window.busyStates, (std::vector<bool>{true, false}));
  EXPECT_FALSE(p.waitCursor);
  EXPECT_FALSE(p.Contents(TemporaryPathFor(p, kPacked)) || p.Contents(TemporaryPathFor(p, kBackup)));
}

TEST_F(PipelineTest, UnpackPrefersThePackedArchiveThenTheBackupNeverReplacingIt) {
  p.AddFile(kPacked, "last install");
  p.AddFile(kBackup, "backup of the untouched host");
  p.AddFile(kHostArchive, "tweaked by an earlier install");
  UnpackArchive(app.Host(), window);
  EXPECT_EQ(*p.Contents(kModernCss), "last install");

  p.files.DeleteFolder(kTree);
  p.files.RemoveFile(kPacked);
  UnpackArchive(app.Host(), window);
  EXPECT_EQ(*p.Contents(kModernCss), "backup of the untouched host");
  EXPECT_EQ(*p.Contents(kBackup), "backup of the untouched host");
}

// A tree is used only when the unpacker was seen to finish, for this host,
// and while it holds everything it held then. Anything else is thrown away
// and unpacked again from the backup, and the window comes back each time.
TEST_F(PipelineTest, OnlyAFinishedCompleteTreeOfThisHostIsUsed) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    bool unpacked;
    bool usable;
    Outcome failure = Outcome::UnpackFailed;
  };
  // The browser's own archive, as the first start has it, and an unpacker
  // that writes nothing from it.
  const auto unreadable = [&](std::uint32_t exitCode, int listings) {
    p.files.RemoveFile(kPacked);
    p.AddFile(kBackup, PackFolder(p, "X:"));
    tools.unpackerWrites = false;
    tools.unpackerExitCode = exitCode;
    tools.unpackerListings = listings;
  };
  const std::vector<Case> cases = {
      {"unpacker hangs", [&] { tools.unpackerListings = -1; }, false, false},
      {"unpacker killed half-way", [&] { tools.unpackerExitCode = 1; }, false, false},
      {"unpacker writes nothing", [&] { tools.unpackerWrites = false; }, false, false},
      {"unpacker killed after the first file",
       [&] {
         tools.unpackerFileLimit = 1;
         tools.unpackerExitCode = 1;
       },
       false, false},
      {"unpacker cannot read the browser's archive", [&] { unreadable(0, 2); }, false, false,
       Outcome::ArchiveNotReadable},
      {"... and says so by its exit code", [&] { unreadable(1, 2); }, false, false, Outcome::ArchiveNotReadable},
      {"... and hangs on it", [&] { unreadable(0, -1); }, false, false},
      {"file deleted from the tree", [&] { p.files.RemoveFile(kModernCss); }, true, false},
      {"record removed (a run killed before it was written)", [&] { p.files.RemoveFile(app.Host().TreeRecordPath()); },
       true, false},
      {"other host folder", [&] { app.HostBinFolder = "E:\\Maxthon3\\Bin\\"; }, true, false},
      {"other host version", [&] { app.HostVersion = "3.0.21.1"; }, true, false},
      {"images copied in", [&] { p.AddFile(kTree + "\\ui\\main.classic\\images\\extra.png", "png"); }, true, true},
      {"letter case of the folder", [&] { app.HostBinFolder = "d:\\MAXTHON3\\bin\\"; }, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform before = p;
    const App appBefore = app;
    p.AddFile("X:\\ui\\main\\index.css", "css");
    p.AddFile("X:\\ui\\main\\navbar.htm", "nav");
    p.AddFile(kPacked, PackFolder(p, "X:"));
    p.AddFile(kBackup, "backup");
    window.busyStates.clear();
    if (!c.unpacked) c.arrange();

    const PipelineResult result = UnpackArchive(app.Host(), window);
    if (c.unpacked) {
      EXPECT_EQ(result.outcome, Outcome::Done);
      c.arrange();  // what happens after the unpack
    } else {
      EXPECT_EQ(result.outcome, c.failure);
      EXPECT_FALSE(p.HasFolder(kTree));
      EXPECT_FALSE(p.Contents(kPacked));   // the next try starts from the backup
      EXPECT_TRUE(p.processList.empty());  // a hung unpacker was ended
    }
    EXPECT_EQ(IsTreeUsable(app.Host()), c.usable);
    EXPECT_EQ(window.busyStates, (std::vector<bool>{true, false}));
    EXPECT_FALSE(p.waitCursor);
    p = before;
    tools.Reset();
    app.HostBinFolder = appBefore.HostBinFolder;
    app.HostVersion = appBefore.HostVersion;
  }
}

TEST_F(PipelineTest, NothingIsUnpackedOrBackedUpWithoutAUsableSource) {
  struct Case {
    const char* what;
    std::string version;
    std::string hostArchive;
    std::string backup;  // empty: none
    Outcome outcome;
  };
  for (const Case& c : {Case{"no host version", "", "host original", "", Outcome::NoHostVersion},
                        Case{"empty host archive", kVersion, "", "", Outcome::ArchiveUnusable},
                        Case{"empty backup", kVersion, "host original", "-", Outcome::BackupUnusable}}) {
    SCOPED_TRACE(c.what);
    FakePlatform before = p;
    app.HostVersion = c.version;
    p.AddFile(kHostArchive, c.hostArchive);
    if (!c.backup.empty()) p.AddFile(kBackup, "");
    AddTree("of another version");

    EXPECT_EQ(UnpackArchive(app.Host(), window).outcome, c.outcome);

    EXPECT_TRUE(p.started.empty());
    EXPECT_EQ(p.Contents(kBackup).value_or("none"), c.backup.empty() ? "none" : "");
    EXPECT_FALSE(p.Contents(kPacked));
    EXPECT_EQ(*p.Contents(kHostArchive), c.hostArchive);
    p = before;
    app.HostVersion = kVersion;
  }
}

// --- Restore and re-point commands -----------------------------------------

TEST_F(PipelineTest, RestoreHostWithoutBackupOrVersionChangesNothing) {
  AddTree();
  p.AddFile(kPacked, "packed");

  PipelineResult result = RestoreHost(app, window).result;
  EXPECT_EQ(result.outcome, Outcome::NoBackup);
  EXPECT_EQ(MessageFor(app, result), "No backup of 3.0.20.100 (3.0.20.100)");

  // Without a host version "Resource.dat" is the packed archive, not a backup.
  app.HostVersion.clear();
  result = RestoreHost(app, window).result;
  EXPECT_EQ(result.outcome, Outcome::NoHostVersion);
  EXPECT_EQ(MessageFor(app, result), "No version: " + kBin + "Maxthon.exe");

  EXPECT_TRUE(p.messages.empty());
  EXPECT_TRUE(p.started.empty());
  EXPECT_TRUE(p.HasFolder(kTree));
  EXPECT_TRUE(p.Contents(kPacked));
  EXPECT_EQ(*p.Contents(kHostArchive), "host original");
  EXPECT_FALSE(window.hidden);
}

TEST_F(PipelineTest, RestoreHostWithBackupRestores) {
  AddTree();
  p.AddFile(kBackup, "backup");

  EXPECT_EQ(RestoreHost(app, window).result.outcome, Outcome::Done);

  EXPECT_EQ(*p.Contents(kHostArchive), "backup");
  EXPECT_FALSE(p.HasFolder(kTree));
  EXPECT_TRUE(window.hidden);
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
  p.files.RemoveFile(kBin + "Maxthon.exe");
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
  AboutCommand(app, kMainWindow);
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(p.messages[0].title, "Ravelwick");
  EXPECT_EQ(p.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(p.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(p.messages[0].text.substr(0, 28), "Ravelwick          \r\n1.2.7\r\n");
  EXPECT_GT(p.messages[0].text.size(), 28u);
}

}  // namespace
}  // namespace rw
