// Files that change nothing: reads go to the files below, and what would be
// written, renamed, copied or removed is kept in memory instead. The preview
// runs the tweak engine through it and shows what it kept.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rw {

/// Files that change nothing below them.
class OverlayFileSystem final : public FileSystem {
 public:
  /// `names` lowers paths as the files below compare them.
  OverlayFileSystem(FileSystem& below, SystemServices& names) : below_(below), names_(names) {}

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
  FileChange WriteFile(const std::string& path, std::string_view bytes) override;
  FileChange RenameOver(const std::string& from, const std::string& to) override;
  FileChange CopyFileOver(const std::string& from, const std::string& to) override;
  FileChange RemoveFile(const std::string& path) override;
  FileChange DeleteFolder(const std::string& path) override;
  FileChange CreateFolder(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder) override;
  std::vector<std::string> ListTree(const std::string& folder) override;
  std::string LongPathName(const std::string& path) override { return below_.LongPathName(path); }
  std::optional<std::string> FileVersion(const std::string& path) override { return below_.FileVersion(path); }
  /// What is below; a file that exists only here has none.
  std::optional<FileIdentity> IdentityOf(const std::string& path) override;

 private:
  struct Entry {
    std::string path;                  // as first spelled
    std::optional<std::string> bytes;  // nullopt: removed
    std::uint64_t written = 0;
  };
  std::string Key(const std::string& path);
  const Entry* Find(const std::string& path);
  bool Under(const std::string& key, const std::string& folderKey) const;

  FileSystem& below_;
  SystemServices& names_;
  std::map<std::string, Entry> files_;    // by lowered path
  std::set<std::string> createdFolders_;  // lowered
  std::set<std::string> removedFolders_;  // lowered
  std::uint64_t writes_ = 0;
};

namespace overlay {
/// Made before the Platform that refers to it.
struct Files {
  OverlayFileSystem overlayFiles;
};
}  // namespace overlay

/// The platform below with its files overlaid; its other parts are below's
/// own.
class OverlayPlatform : private overlay::Files, public Platform {
 public:
  using Change = OverlayFileSystem::Change;
  explicit OverlayPlatform(Platform& below)
      : overlay::Files{OverlayFileSystem(below.files, below.system)},
        Platform{overlayFiles, below.processes, below.desktop, below.system} {}
  OverlayPlatform(const OverlayPlatform&) = delete;
  OverlayPlatform& operator=(const OverlayPlatform&) = delete;

  std::vector<Change> Changes() { return overlayFiles.Changes(); }
};

}  // namespace rw
