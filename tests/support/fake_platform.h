// In-memory test double of the operating system: one part for each part of
// the platform, all acting on one scripted world (fake_world.h). The files
// are in fake_file_system.h.
#pragma once

#include <map>
#include <string>

#include "platform/platform.h"
#include "support/fake_file_system.h"
#include "support/fake_world.h"

namespace rw::test {

class FakeProcesses final : public Processes, public WorldPart {
 public:
  explicit FakeProcesses(FakeWorld* world) : WorldPart(world) {}
  std::vector<ProcessInfo> ListProcesses(const std::string& imageName) override;
  bool TerminateProcess(std::uint32_t pid) override;
  std::uint32_t StartProcess(const std::string& commandLine, bool hidden) override;
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) override;
  bool OpenInDefaultBrowser(const std::string& address) override;

 private:
  std::map<std::uint32_t, std::string> startedPids_;
};

class FakeDesktop final : public Desktop, public WorldPart {
 public:
  explicit FakeDesktop(FakeWorld* world) : WorldPart(world) {}
  WindowHandle FindTopWindow(const std::string& className, const std::string& title) override;
  void RaiseWindow(WindowHandle window) override;
  void SendCloseCommand(WindowHandle window) override;
  MessageResult ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void PumpEvents() override;
  void SetWaitCursor(bool wait) override;
  void InitCommonControls() override;
  bool IsCompositionEnabled() override;
  bool OpenInTextEditor(const std::string& path) override;
  bool CopyTextToClipboard(const std::string& text) override;
  /// The files OpenInTextEditor looks for.
  void SeeFiles(FileSystem* files) { files_ = files; }

 private:
  FileSystem* files_ = nullptr;
};

/// ANSI code page of the double: Windows-1252.
class FakeSystem final : public SystemServices, public WorldPart {
 public:
  explicit FakeSystem(FakeWorld* world) : WorldPart(world) {}
  std::optional<std::string> ReadRegistryString(const std::string& valuePath) override;
  std::uint32_t SystemDefaultLcid() override;
  bool ClaimSingleInstance(const std::string& name) override;
  std::string LowerCase(std::string_view text) override { return FoldCase(text); }
  std::string AnsiToUtf8(std::string_view ansi) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
  void Sleep(unsigned milliseconds) override;
  std::string SystemVersion() override { return world_->systemVersion; }
};

/// The parts, made before the Platform that refers to them.
struct FakeParts {
  FakeParts(FakeWorld* world, std::string programFolder)
      : fakeFiles(world, std::move(programFolder)), fakeProcesses(world), fakeDesktop(world), fakeSystem(world) {}
  FakeFileSystem fakeFiles;
  FakeProcesses fakeProcesses;
  FakeDesktop fakeDesktop;
  FakeSystem fakeSystem;
};

class FakePlatform : public FakeWorld, private FakeParts, public Platform {
 public:
  explicit FakePlatform(std::string programFolder = "C:\\Ravelwick");
  /// A copy is a world of its own: tests keep one to go back to.
  FakePlatform(const FakePlatform& other);
  FakePlatform& operator=(const FakePlatform& other);

  // --- Test set-up ---
  /// Adds a file, creating its parent folders.
  void AddFile(const std::string& path, std::string bytes, bool readOnly = false) {
    fakeFiles.AddFile(path, std::move(bytes), readOnly);
  }
  void AddFolder(const std::string& path) { fakeFiles.AddFolder(path); }
  void SetReadOnly(const std::string& path, bool readOnly) { fakeFiles.SetReadOnly(path, readOnly); }
  /// File contents, or nullopt; bypasses fault injection.
  std::optional<std::string> Contents(const std::string& path) const { return fakeFiles.Contents(path); }
  bool HasFolder(const std::string& path) const { return fakeFiles.HasFolder(path); }
  /// Every file path below a folder (recursive), in the stored spelling.
  std::vector<std::string> FilesBelow(const std::string& folder) const { return fakeFiles.FilesBelow(folder); }

 private:
  void BindParts();
};

}  // namespace rw::test
