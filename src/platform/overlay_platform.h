// A platform that changes nothing: reads go to the platform below, and what
// would be written, renamed, copied or removed is kept in memory instead.
// The preview runs the tweak engine through it and shows what it kept.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rw {

class OverlayPlatform : public Platform {
 public:
  explicit OverlayPlatform(Platform& below) : below_(below) {}

  struct Change {
    std::string path;
    std::optional<std::string> before;  // nullopt: the file did not exist
    std::optional<std::string> after;   // nullopt: it would be removed
  };
  /// Files whose bytes would differ from the ones below, sorted by path.
  std::vector<Change> Changes();

  std::string ProgramFolder() override { return below_.ProgramFolder(); }
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
  std::string LongPathName(const std::string& path) override { return below_.LongPathName(path); }
  std::optional<std::string> FileVersion(const std::string& path) override { return below_.FileVersion(path); }
  /// What is below; a file that exists only here has none.
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;
  std::string LowerCase(std::string_view text) override { return below_.LowerCase(text); }
  std::string AnsiToUtf8(std::string_view ansi) override { return below_.AnsiToUtf8(ansi); }
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) override { return below_.Utf8ToAnsi(utf8); }
  std::optional<std::string> ReadRegistryString(const std::string& valuePath) override {
    return below_.ReadRegistryString(valuePath);
  }
  std::uint32_t SystemDefaultLcid() override { return below_.SystemDefaultLcid(); }
  bool ClaimSingleInstance(const std::string&) override { return true; }
  void InitCommonControls() override {}
  bool IsCompositionEnabled() override { return below_.IsCompositionEnabled(); }
  WindowHandle FindTopWindow(const std::string& className, const std::string& title) override {
    return below_.FindTopWindow(className, title);
  }
  // Nothing that acts on other programs or asks the user gets through.
  void RaiseWindow(WindowHandle) override {}
  void SendCloseCommand(WindowHandle) override {}
  MessageResult ShowMessage(WindowHandle, const std::string&, const std::string&, MessageButtons) override {
    return MessageResult::Cancel;
  }
  void PumpEvents() override { below_.PumpEvents(); }
  void SetWaitCursor(bool) override {}
  void Sleep(unsigned milliseconds) override { below_.Sleep(milliseconds); }
  std::vector<ProcessInfo> ListProcesses(const std::string& imageName) override {
    return below_.ListProcesses(imageName);
  }
  bool TerminateProcess(std::uint32_t) override { return false; }
  std::uint32_t StartProcess(const std::string&, bool) override { return 0; }
  std::optional<std::uint32_t> ExitCodeOf(std::uint32_t) override { return std::nullopt; }
  bool OpenInDefaultBrowser(const std::string&) override { return false; }
  std::string LastFailure() override { return {}; }

 private:
  struct Entry {
    std::string path;                  // as first spelled
    std::optional<std::string> bytes;  // nullopt: removed
    std::uint64_t written = 0;
  };
  std::string Key(const std::string& path);
  const Entry* Find(const std::string& path);
  bool Under(const std::string& key, const std::string& folderKey) const;

  Platform& below_;
  std::map<std::string, Entry> files_;    // by lowered path
  std::set<std::string> createdFolders_;  // lowered
  std::set<std::string> removedFolders_;  // lowered
  std::uint64_t writes_ = 0;
};

}  // namespace rw
