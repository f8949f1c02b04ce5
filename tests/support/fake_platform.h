// In-memory test double of the operating system: a case-insensitive file
// system with read-only flags and fault injection, a scripted process list
// and windows, scripted message-box answers and a clock that sleeps without
// sleeping.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rw::test {

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
};

class FakePlatform : public Platform {
 public:
  explicit FakePlatform(std::string programFolder = "C:\\Ravelwick");

  // --- Test set-up ---
  /// Adds a file, creating its parent folders.
  void AddFile(const std::string& path, std::string bytes, bool readOnly = false);
  void AddFolder(const std::string& path);
  void SetReadOnly(const std::string& path, bool readOnly);
  /// File contents, or nullopt; bypasses fault injection.
  std::optional<std::string> Contents(const std::string& path) const;
  bool HasFolder(const std::string& path) const;
  /// Every file path below a folder (recursive), in the stored spelling.
  std::vector<std::string> FilesBelow(const std::string& folder) const;

  /// Called before every file or process operation; returning true makes it fail.
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
  /// ANSI code page of the double: Windows-1252.
  std::vector<FakeProcess> processes;
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
  std::uint32_t nextPid = 1000;

  /// `pid` 0: a new id.
  std::uint32_t AddProcess(const std::string& imageName, const std::string& exePath, int listingsLeft = -1,
                           std::uint32_t pid = 0);
  /// The id StartProcess gave the process it is starting (for onStart).
  std::uint32_t lastStartedPid = 0;

  // --- Platform ---
  std::string ProgramFolder() override { return programFolder_; }
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  bool IsReadOnly(const std::string& path) override;
  std::optional<FileStamp> StampOf(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  bool RenameOver(const std::string& from, const std::string& to) override;
  bool CopyFileOver(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  bool DeleteFolder(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder) override;
  std::vector<std::string> ListTree(const std::string& folder) override;
  std::string LongPathName(const std::string& path) override;
  std::optional<std::string> FileVersion(const std::string& path) override;
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;
  std::string LowerCase(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view ansi) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
  std::optional<std::string> ReadRegistryString(const std::string& valuePath) override;
  std::uint32_t SystemDefaultLcid() override { return lcid; }
  bool ClaimSingleInstance(const std::string& name) override { return claimedNames.insert(name).second; }
  void InitCommonControls() override { commonControlsInitialised = true; }
  bool IsCompositionEnabled() override { return composition; }
  WindowHandle FindTopWindow(const std::string& className, const std::string& title) override;
  void RaiseWindow(WindowHandle window) override { raised.push_back(window); }
  void SendCloseCommand(WindowHandle window) override;
  MessageResult ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                            MessageButtons buttons) override;
  void PumpEvents() override { ++pumps; }
  void SetWaitCursor(bool wait) override { waitCursor = wait; }
  void Sleep(unsigned milliseconds) override;
  std::vector<ProcessInfo> ListProcesses(const std::string& imageName) override;
  bool TerminateProcess(std::uint32_t pid) override;
  std::uint32_t StartProcess(const std::string& commandLine, bool hidden) override;
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) override;
  std::string LastFailure() override { return lastFailure; }
  /// What LastFailure says.
  std::string lastFailure;
  bool OpenInDefaultBrowser(const std::string& address) override;

 private:
  struct Entry {
    std::string path;  // as first spelled
    std::string bytes;
    bool readOnly = false;
    std::uint64_t written = 0;   // stands for the last-write time
    std::uint64_t identity = 0;  // given when first asked for; a rename carries it
  };
  static std::string Key(const std::string& path);
  static std::string Parent(const std::string& key);
  bool Fails(Op op, const std::string& path) const { return failHook && failHook(op, path); }
  bool Refuse(std::string why) {
    lastFailure = std::move(why);
    return false;
  }

  std::string programFolder_;
  std::map<std::uint32_t, std::string> startedPids_;
  std::map<std::string, Entry> files_;
  std::uint64_t writes_ = 0;
  std::map<std::string, std::string> folders_;  // key -> spelling
  std::map<std::string, std::uint64_t> folderIdentities_;
  std::uint64_t identities_ = 0;
};

}  // namespace rw::test
