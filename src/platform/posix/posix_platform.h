// The platform on Linux, for the native tests, tools and benchmarks: real
// files, backslashes in paths taken as folder separators. Window, registry
// and process operations do nothing; the native tools and benchmarks need
// only files.
#pragma once

#include "platform/platform.h"

namespace rw {

class PosixFileSystem final : public FileSystem {
 public:
  std::string ProgramFolder() override;
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  bool IsReadOnly(const std::string& path) override;
  std::optional<FileStamp> StampOf(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  FileChange WriteFile(const std::string& path, std::string_view bytes) override;
  FileChange RenameOver(const std::string& from, const std::string& to) override;
  FileChange CopyFileOver(const std::string& from, const std::string& to) override;
  FileChange RemoveFile(const std::string& path) override;
  FileChange DeleteFolder(const std::string& path) override;
  FileChange CreateFolder(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder) override;
  std::vector<std::string> ListTree(const std::string& folder) override;
  std::string LongPathName(const std::string& path) override { return path; }
  std::optional<std::string> FileVersion(const std::string&) override { return std::nullopt; }
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;
};

class PosixProcesses final : public Processes {
 public:
  std::vector<ProcessInfo> ListProcesses(const std::string&) override { return {}; }
  bool TerminateProcess(std::uint32_t) override { return false; }
  std::uint32_t StartProcess(const std::string&, bool) override { return 0; }
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t) override { return std::nullopt; }
  bool OpenInDefaultBrowser(const std::string&) override { return false; }
};

class PosixDesktop final : public Desktop {
 public:
  WindowHandle FindTopWindow(const std::string&, const std::string&) override { return 0; }
  void RaiseWindow(WindowHandle) override {}
  void SendCloseCommand(WindowHandle) override {}
  MessageResult ShowMessage(WindowHandle, const std::string&, const std::string&, MessageButtons,
                            MessageIcon) override {
    return MessageResult::Cancel;
  }
  void PumpEvents() override {}
  void SetWaitCursor(bool) override {}
  void InitCommonControls() override {}
  bool IsCompositionEnabled() override { return false; }
  // No desktop here: nothing opens and nothing is copied.
  bool OpenInTextEditor(const std::string&) override { return false; }
  bool CopyTextToClipboard(const std::string&) override { return false; }
};

class PosixSystem final : public SystemServices {
 public:
  std::optional<std::string> ReadRegistryString(const std::string&) override { return std::nullopt; }
  std::uint32_t SystemDefaultLcid() override { return 1033; }
  bool ClaimSingleInstance(const std::string& name) override;
  std::string LowerCase(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view ansi) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
  void Sleep(unsigned milliseconds) override;
  std::string SystemVersion() override;
};

namespace posix {
/// Made before the Platform that refers to them.
struct Parts {
  PosixFileSystem fileSystem;
  PosixProcesses processList;
  PosixDesktop screen;
  PosixSystem services;
};
}  // namespace posix

/// The four Linux parts, owned together.
class PosixPlatform : private posix::Parts, public Platform {
 public:
  PosixPlatform() : Platform{fileSystem, processList, screen, services} {}
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;
};

}  // namespace rw
