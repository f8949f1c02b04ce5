// The platform on Windows: W functions only, UTF-8 converted at this edge.
#pragma once

#include <map>

#include "platform/platform.h"

namespace rw {

/// Files and folders (win32_platform_files.cpp). A failed change carries
/// the system's message for the last error at the point of failure.
class Win32FileSystem final : public FileSystem {
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
  std::string LongPathName(const std::string& path) override;
  std::optional<std::string> FileVersion(const std::string& path) override;
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;
};

/// Processes and the default browser (win32_platform_processes.cpp).
class Win32Processes final : public Processes {
 public:
  Win32Processes() = default;
  Win32Processes(const Win32Processes&) = delete;
  Win32Processes& operator=(const Win32Processes&) = delete;
  ~Win32Processes() override;

  std::vector<ProcessInfo> ListProcesses(const std::string& imageName) override;
  bool TerminateProcess(std::uint32_t pid) override;
  std::uint32_t StartProcess(const std::string& commandLine, bool hidden) override;
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) override;
  bool OpenInDefaultBrowser(const std::string& address) override;

 private:
  std::map<std::uint32_t, void*> startedProcesses_;  // process handles by id
};

/// Windows, messages and the look of the controls
/// (win32_platform_desktop.cpp).
class Win32Desktop final : public Desktop {
 public:
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
};

/// Text encoding, the registry and the system (win32_platform_system.cpp).
class Win32System final : public SystemServices {
 public:
  std::optional<std::string> ReadRegistryString(const std::string& valuePath) override;
  std::uint32_t SystemDefaultLcid() override;
  bool ClaimSingleInstance(const std::string& name) override;
  std::string LowerCase(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view ansi) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
  void Sleep(unsigned milliseconds) override;
  std::string SystemVersion() override;
};

namespace win32 {
/// Made before the Platform that refers to them.
struct Parts {
  Win32FileSystem fileSystem;
  Win32Processes processList;
  Win32Desktop screen;
  Win32System services;
};

/// True while the program shows the hourglass; window procedures answer
/// WM_SETCURSOR with it.
bool WaitCursorActive();
}  // namespace win32

/// The four Windows parts, owned together.
class Win32Platform : private win32::Parts, public Platform {
 public:
  Win32Platform() : Platform{fileSystem, processList, screen, services} {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
};

}  // namespace rw
