// The platform on Windows: W functions only, UTF-8 converted at this edge.
#pragma once

#include <map>

#include "platform/platform.h"

namespace rw {

class Win32Platform : public Platform {
 public:
  std::string ProgramFolder() override;
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
  std::optional<std::string> FileVersion(const std::string& path) override;
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;
  std::vector<std::string> ListTree(const std::string& folder) override;
  std::string LongPathName(const std::string& path) override;
  std::string LowerCase(std::string_view text) override;
  std::string AnsiToUtf8(std::string_view ansi) override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override;
  std::optional<std::string> ReadRegistryString(const std::string& valuePath) override;
  std::uint32_t SystemDefaultLcid() override;
  bool ClaimSingleInstance(const std::string& name) override;
  void InitCommonControls() override;
  bool IsCompositionEnabled() override;
  WindowHandle FindTopWindow(const std::string& className, const std::string& title) override;
  void RaiseWindow(WindowHandle window) override;
  void SendCloseCommand(WindowHandle window) override;
  MessageResult ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                            MessageButtons buttons) override;
  void PumpEvents() override;
  void SetWaitCursor(bool wait) override;
  void Sleep(unsigned milliseconds) override;
  std::vector<ProcessInfo> ListProcesses(const std::string& imageName) override;
  bool TerminateProcess(std::uint32_t pid) override;
  std::uint32_t StartProcess(const std::string& commandLine, bool hidden) override;
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) override;
  bool OpenInDefaultBrowser(const std::string& address) override;
  std::string LastFailure() override;

  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  ~Win32Platform() override;

 private:
  /// Notes why a file operation failed (the last error by default).
  bool Failed(unsigned long error = GetLastErrorNow());
  static unsigned long GetLastErrorNow();

  std::map<std::uint32_t, void*> startedProcesses_;  // process handles by id
  unsigned long lastError_ = 0;
};

namespace win32 {
/// True while the program shows the hourglass; window procedures answer
/// WM_SETCURSOR with it.
bool WaitCursorActive();
}  // namespace win32

}  // namespace rw
