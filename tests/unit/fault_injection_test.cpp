// Every file and process operation of the Apply, restore and re-point roads
// made to fail in turn, the program "killed" at every step (nothing after it
// happens), and a full disk. Whatever happens, the host keeps a complete
// archive (its old one or the new one), the backup stays as it was, and the
// settings file stays readable.
#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <utility>

#include "app/app.h"
#include "app/host_check.h"
#include "app/program_settings.h"
#include "engine/apply_tweaks.h"
#include "engine_test_tree.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/catalogue.h"
#include "ui/commands.h"
#include "ui/main_sequence.h"
#include "ui/option_model.h"
#include "ui/roads.h"
#include "ui/settings_transfer.h"
#include "ui/ui_factory.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::Op;

const std::string kProgram = "C:\\Ravelwick";
const std::string kHost = "C:\\Program Files\\Maxthon3\\";
const std::string kOtherHost = "D:\\Maxthon3 Portable\\";
const std::string kOldArchive = "HOST-ARCHIVE-3.0.20.100";
const std::string kOtherArchive = "HOST-ARCHIVE-3.0.21.200";
const std::string kSettings = "[General]\r\nLanguage=English\r\nFileVersion=3.0.20.100\r\nHideHome=1\r\n";

class NullWindow : public RoadUser {
 public:
  bool ConfirmCloseHost() override { return true; }
  void SetBusy(bool) override {}
  void StepAside() override {}
};

// RefusedApply: Apply with the watch, and a host that will not start with
// the new archive. ForeignKept: the host check after an update that came
// while an install's watch was cut off, then what the window and /apply do
// with a kept archive. KeptElsewhere: an Apply on the other installation,
// refused by its host, while this one's kept archive waits.
enum class Road { Apply, Restore, Repoint, Start, RefusedApply, ForeignKept, KeptElsewhere };
const std::string kForeignKept = "HOST-ARCHIVE-3.0.15.300";

class NoWindows : public UiFactory {
 public:
  void ShowSetFolderDialog(App&, WindowHandle, FolderDialogCause) override {}
  void ShowMainWindow(App&) override {}
  void ShowPreviewWindow(App&, const Preview&, WindowHandle) override {}
};

// A world in which the host runs with a window and both tools behave.
struct World {
  FakePlatform p{kProgram};
  App app{p, kProgram};
  test::FakeTools tools{p, kProgram};
  std::string backup = "BACKUP:" + kOldArchive;
  std::set<std::string> packedArchives;  // every archive the packer wrote

  World() {
    p.AddFile(kProgram + "\\settings.ini", kSettings);
    p.AddFile(kProgram + "\\Languages\\English.ini",
              "[General]\r\nConfirmClose=Close it?\r\nNoBackup=None for $version\r\n");
    p.AddFile(kProgram + "\\unpak.exe", "MZ");
    p.AddFile(kProgram + "\\makpak.exe", "MZ");
    p.AddFile(kProgram + "\\ResFiles\\nav_tool.png", "PNG");
    p.AddFile(kProgram + "\\Resource3.0.20.100.dat", backup);
    p.AddFile(kProgram + "\\Resource.dat", "PACKED-EARLIER");
    enginetest::LoadTree(p);
    p.AddFile(kHost + "Bin\\Maxthon.exe", "MZ");
    p.AddFile(kHost + "Bin\\Resource.dat", kOldArchive);
    p.fileVersions[AsciiLowerPath(kHost + "Bin\\Maxthon.exe")] = "3.0.20.100";
    p.AddFile(kOtherHost + "Bin\\Maxthon.exe", "MZ");
    p.AddFile(kOtherHost + "Bin\\Resource.dat", kOtherArchive);
    p.fileVersions[AsciiLowerPath(kOtherHost + "Bin\\Maxthon.exe")] = "3.0.21.200";
    const auto pid = p.AddProcess("Maxthon.exe", kHost + "Bin\\Maxthon.exe");
    p.windows.push_back({100, "Maxthon3Cls_MainFrm", "Maxthon", pid, true});
    // The tools are other processes: their own file work is not ours to
    // fail, but they only find what our steps left for them.
    p.onStart = [this, tool = p.onStart](const std::string& line, bool hidden) {
      tool(line, hidden);
      if (line.find("makpak.exe") != std::string::npos && p.Contents(kProgram + "\\Resource.dat"))
        packedArchives.insert(*p.Contents(kProgram + "\\Resource.dat"));
    };

    app.AppVersion = "1.2.7";
    app.AppTitle = "Ravelwick (1.2.7)";
    app.HostBinFolder = kHost + "Bin\\";
    app.HostVersion = "3.0.20.100";
    RecordTree(app.Host());
  }

  static std::string AsciiLowerPath(std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  }

  bool refusedRoad = false;
  bool keptElsewhere = false;

  void Run(Road road) {
    refusedRoad = road == Road::RefusedApply;
    keptElsewhere = road == Road::KeptElsewhere;
    NullWindow window;
    switch (road) {
      case Road::Apply: {
        OptionModel model;
        LoadOptions(app, model, false);
        model.SetState(Option::HideStatusBar, 1);
        if (SaveForInstall(app, model, false).outcome != Outcome::Done) break;
        const OptionSnapshot snapshot = model.Snapshot();
        const TweakInputs inputs{snapshot, app.SingleSkinHost, false};
        ApplyTweaks(p, kProgram, inputs, false);
        ApplyTweaks(p, kProgram, inputs, true);
        Install(app.Host(), window, Watch::None);
        break;
      }
      case Road::RefusedApply: {
        std::set<std::uint32_t> refusing;
        p.onStart = [this, &refusing, before = p.onStart](const std::string& line, bool hidden) {
          before(line, hidden);
          if (line.find("maxthon.exe") != std::string::npos && p.Contents(kHost + "Bin\\Resource.dat") != kOldArchive)
            refusing.insert(p.lastStartedPid);
        };
        p.hostExitCode = [&refusing](std::uint32_t pid) {
          return refusing.count(pid) ? std::optional<std::uint32_t>(3) : std::nullopt;
        };
        const OptionSnapshot snapshot = OptionSnapshot().WithState(Option::HideStatusBar, 1);
        const TweakInputs inputs{snapshot, app.SingleSkinHost, false};
        ApplyTweaks(p, kProgram, inputs, false);
        Install(app.Host(), window, Watch::HostStart);
        p.onStart = nullptr;
        p.hostExitCode = nullptr;
        break;
      }
      case Road::Restore:
        RestoreHost(app, window);
        break;
      case Road::Start: {
        // A folder spelled another way, and a version not yet prepared for.
        Write(app, ProgramSetting::InstallFolder, "c:/program files/maxthon3/.");
        Write(app, ProgramSetting::FileVersion, "");
        NoWindows ui;
        Main(app, ui);
        break;
      }
      case Road::ForeignKept: {
        const auto hook = std::exchange(p.failHook, nullptr);
        p.AddFile(kHost + "Bin\\Resource.dat", kForeignKept);
        KeepAside({p, kProgram, kHost + "Bin\\", "3.0.15.300"});
        p.AddFile(kHost + "Bin\\Resource.dat", kOldArchive);
        Write(app, ProgramSetting::FileVersion, "3.0.15.300");
        p.failHook = hook;
        CheckHost(app);
        if (HasKeptAsideArchive(app.Host())) PutBackKeptAside(app.Host(), window);
        SettleKeptAside(app.Host());
        break;
      }
      case Road::KeptElsewhere: {
        const auto hook = std::exchange(p.failHook, nullptr);
        KeepAside(app.Host());
        p.failHook = hook;
        app.HostBinFolder = kOtherHost + "Bin\\";
        app.HostVersion = "3.0.21.200";
        p.hostExitCode = [this](std::uint32_t pid) {
          return pid == p.lastStartedPid ? std::optional<std::uint32_t>(3) : std::nullopt;
        };
        if (CheckHostInstallation(app).outcome != HostCheck::Locked &&
            (IsTreeUsable(app.Host()) || UnpackArchive(app.Host(), window).outcome == Outcome::Done))
          Install(app.Host(), window, Watch::HostStart);
        p.hostExitCode = nullptr;
        // Back on the first: its kept archive is still there for it.
        app.HostBinFolder = kHost + "Bin\\";
        app.HostVersion = "3.0.20.100";
        break;
      }
      case Road::Repoint: {
        // What the window does once the user chose the other folder.
        app.HostBinFolder = kOtherHost + "Bin\\";
        Write(app, ProgramSetting::InstallFolder, kOtherHost);
        if (CheckHostInstallation(app).outcome != HostCheck::Locked && !IsTreeUsable(app.Host()))
          UnpackArchive(app.Host(), window);
        break;
      }
    }
  }

  // What must hold after any failure.
  void ExpectNothingLost(const std::string& scenario, bool killed = false) {
    SCOPED_TRACE(scenario);
    const auto hostArchive = p.Contents(kHost + "Bin\\Resource.dat");
    ASSERT_TRUE(hostArchive.has_value()) << "host archive missing";
    const bool complete = *hostArchive == kOldArchive || *hostArchive == backup || packedArchives.count(*hostArchive);
    EXPECT_TRUE(complete) << "host archive is neither old nor new: " << hostArchive->substr(0, 60);
    // An archive the host was given but may not start with is never the
    // only copy: the one before is kept aside until the host is seen to run.
    if (refusedRoad && *hostArchive != kOldArchive) {
      EXPECT_EQ(p.Contents(app.Host().KeptAsidePath()).value_or("<missing>"), kOldArchive)
          << "the archive before is lost";
    }
    if (keptElsewhere) {
      EXPECT_TRUE(HasKeptAsideArchive(app.Host())) << "the kept archive of the first installation is lost";
      EXPECT_EQ(p.Contents(app.Host().KeptAsidePath()).value_or("<missing>"), kOldArchive);
    }
    const auto other = p.Contents(kOtherHost + "Bin\\Resource.dat");
    // An install there cut off may have left it the new archive.
    if (!keptElsewhere || !packedArchives.count(other.value_or(""))) {
      EXPECT_EQ(other.value_or("<missing>"), kOtherArchive);
    }
    EXPECT_EQ(p.Contents(kProgram + "\\Resource3.0.20.100.dat").value_or("<missing>"), backup);
    const auto otherBackup = p.Contents(kProgram + "\\Resource3.0.21.200.dat");
    if (otherBackup) {
      EXPECT_EQ(*otherBackup, kOtherArchive);
    }
    const auto settings = p.Contents(kProgram + "\\settings.ini");
    ASSERT_TRUE(settings.has_value()) << "settings file missing";
    EXPECT_EQ(ReadIniValue(p, kProgram + "\\settings.ini", "Language", ""), "English");
    // What is installed, the stored options give again at the next Apply.
    if (!refusedRoad && hostArchive->find(".statusbar{display:none!important}") != std::string::npos) {
      EXPECT_EQ(ReadIniValue(p, kProgram + "\\settings.ini", "HideStatusBar", ""), "1") << "the settings lost it";
    }
    // No temporary file is left in the host's folder, unless the program
    // died before it could clear it up.
    if (killed) return;
    for (const auto& name : p.files.ListFiles(kHost + "Bin"))
      EXPECT_TRUE(name == "Maxthon.exe" || name == "Resource.dat") << name;
  }
};

struct Step {
  Op op;
  std::string path;
};

std::vector<Step> RecordSteps(Road road) {
  World world;
  std::vector<Step> steps;
  world.p.failHook = [&](Op op, const std::string& path) {
    steps.push_back({op, path});
    return false;
  };
  world.Run(road);
  return steps;
}

const char* Name(Road road) {
  switch (road) {
    case Road::Apply:
      return "apply";
    case Road::Restore:
      return "restore";
    case Road::Repoint:
      return "re-point";
    case Road::Start:
      return "start";
    case Road::RefusedApply:
      return "apply, host refuses";
    case Road::ForeignKept:
      return "start, kept at another version";
    case Road::KeptElsewhere:
      return "apply elsewhere, kept here";
  }
  return "?";
}

TEST(FaultInjection, EveryStepFailingOrTheProgramDyingLosesNothing) {
  int survived = 0;
  int total = 0;
  for (Road road : {Road::Apply, Road::Restore, Road::Repoint, Road::Start, Road::RefusedApply, Road::ForeignKept,
                    Road::KeptElsewhere}) {
    const std::vector<Step> steps = RecordSteps(road);
    ASSERT_FALSE(steps.empty());
    for (size_t i = 0; i < steps.size(); ++i) {
      for (bool killed : {false, true}) {
        World world;
        size_t seen = 0;
        world.p.failHook = [&](Op, const std::string&) {
          const size_t index = seen++;
          return killed ? index >= i : index == i;
        };
        world.Run(road);
        world.p.failHook = nullptr;
        const std::string scenario = std::string(Name(road)) + (killed ? ": killed at step " : ": step ") +
                                     std::to_string(i) + " fails (" + steps[i].path + ")";
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        world.ExpectNothingLost(scenario, killed);
        ++total;
        if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failuresBefore)
          ++survived;
      }
    }
    // A full disk: no write of any kind succeeds.
    World world;
    world.p.failHook = [](Op op, const std::string&) { return op == Op::Write || op == Op::Copy; };
    world.Run(road);
    world.p.failHook = nullptr;
    const int failuresBefore = ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    world.ExpectNothingLost(std::string(Name(road)) + ": disk full");
    ++total;
    if (::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count() == failuresBefore)
      ++survived;
  }
  std::cout << "fault injection: " << survived << " of " << total << " scenarios survived" << std::endl;
  EXPECT_EQ(survived, total);
}

TEST(FaultInjection, TheCleanRoadsDoWhatTheyAreFor) {
  {
    World world;
    world.Run(Road::Apply);
    const auto hostArchive = world.p.Contents(kHost + "Bin\\Resource.dat");
    ASSERT_TRUE(hostArchive);
    EXPECT_EQ(world.packedArchives.count(*hostArchive), 1u);
    EXPECT_NE(hostArchive->find(".statusbar{display:none!important}"), std::string::npos);
  }
  {
    World world;
    world.Run(Road::RefusedApply);
    EXPECT_EQ(world.p.Contents(kHost + "Bin\\Resource.dat"), kOldArchive);
    EXPECT_FALSE(world.p.Contents(world.app.Host().KeptAsidePath()));
  }
  {
    World world;
    world.Run(Road::Restore);
    EXPECT_EQ(*world.p.Contents(kHost + "Bin\\Resource.dat"), world.backup);
    EXPECT_FALSE(world.p.files.FolderExists(kProgram + "\\Resource"));
  }
  {
    World world;
    world.Run(Road::Repoint);
    EXPECT_EQ(world.p.Contents(kProgram + "\\Resource3.0.21.200.dat").value_or(""), kOtherArchive);
    EXPECT_TRUE(world.p.files.FolderExists(kProgram + "\\Resource"));
  }
  {
    World world;
    world.Run(Road::Start);
    EXPECT_EQ(world.app.HostBinFolder, "C:\\program files\\maxthon3\\Bin\\");
    EXPECT_EQ(ReadIniValue(world.p, kProgram + "\\settings.ini", "InstallFolder", ""), "C:\\program files\\maxthon3\\");
    EXPECT_EQ(ReadIniValue(world.p, kProgram + "\\settings.ini", "FileVersion", ""), "3.0.20.100");
  }
  {
    World world;
    world.Run(Road::ForeignKept);
    EXPECT_FALSE(world.p.files.FileExists(world.app.Host().KeptAsidePath()));
    EXPECT_NE(world.p.Contents(kProgram + "\\ravelwick.log")->find("kept from Maxthon 3.0.15.300"), std::string::npos);
  }
}

}  // namespace
}  // namespace rw
