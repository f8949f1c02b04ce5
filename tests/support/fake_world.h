// What the tests script and read in the test double: a scripted process
// list and windows, scripted message-box answers, a clock that sleeps
// without sleeping, and the failures to inject.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/processes.h"

namespace rw::test {

/// Every operation a test can make fail (FakeWorld::failHook).
enum class Op { Read, Write, Replace, Copy, RemoveFile, DeleteFolder, CreateFolder, Start, Terminate };

struct FakeProcess {
  ProcessInfo info;
  /// How many more process listings show it; -1 means until terminated.
  int listingsLeft = -1;
  bool ignoresTerminate = false;
};

struct FakeWindow {
  WindowHandle handle = 0;
  std::string className;
  std::string title;
  /// Process that goes away when the window gets the close command (0: none).
  std::uint32_t ownerPid = 0;
  bool closesOnCommand = true;
};

struct ShownMessage {
  std::string text;
  std::string title;
  MessageButtons buttons;
  MessageIcon icon = MessageIcon::None;
};

/// What the tests script and read: the state the parts share. Closing a
/// window ends its process; every operation may be made to fail.
struct FakeWorld {
  /// Called before every file or process operation; returning true makes it
  /// fail (a file change then says "injected failure").
  std::function<bool(Op, const std::string& path)> failHook;
  /// Called after a successful StartProcess.
  std::function<void(const std::string& commandLine, bool hidden)> onStart;
  /// Exit code of a started command line once it is no longer listed
  /// (unset: 0).
  std::function<std::uint32_t(const std::string& commandLine)> exitCodeOf;
  /// A started browser (by its pid) that has ended, with its code; unset or
  /// nullopt: it runs.
  std::function<std::optional<std::uint32_t>(std::uint32_t pid)> hostExitCode;
  /// Runs after the clock moved on; things that happen while the program waits.
  std::function<void()> onSleep;

  std::map<std::string, std::string> fileVersions;  // lower-cased path -> version
  std::map<std::string, std::string> registry;      // value path -> string
  std::map<std::string, std::string> longNames;     // lower-cased short path -> long path
  /// Other spellings of a place, for identities: a substituted drive
  /// ("R:"), a share ("\\localhost\C$") or a link, and the path it leads to.
  std::map<std::string, std::string> aliases;
  std::set<std::string> claimedNames;  // single-instance claims held
  std::uint32_t lcid = 1033;
  bool composition = true;
  std::vector<FakeProcess> processList;
  std::vector<FakeWindow> windows;
  std::deque<MessageResult> answers;  // empty: answer Ok
  std::vector<ShownMessage> messages;
  std::vector<std::string> started;  // command lines
  std::vector<std::string> browserOpened;
  std::vector<WindowHandle> raised;
  std::vector<WindowHandle> closeCommands;
  std::vector<std::uint32_t> terminated;
  std::uint64_t nowMs = 0;
  int sleeps = 0;
  int pumps = 0;
  int processListings = 0;
  bool waitCursor = false;
  bool commonControlsInitialised = false;
  std::vector<std::string> editorOpened;  // paths
  std::string clipboard;
  std::string systemVersion = "Windows 10.0.19045";
  std::uint32_t nextPid = 1000;

  /// `pid` 0: a new id.
  std::uint32_t AddProcess(const std::string& imageName, const std::string& exePath, int listingsLeft = -1,
                           std::uint32_t pid = 0);
  /// The id StartProcess gave the process it is starting (for onStart).
  std::uint32_t lastStartedPid = 0;
};

/// A part of the double, acting on the world it belongs to.
class WorldPart {
 public:
  explicit WorldPart(FakeWorld* world) : world_(world) {}
  void Bind(FakeWorld* world) { world_ = world; }

 protected:
  FakeWorld* world_;
};

}  // namespace rw::test
