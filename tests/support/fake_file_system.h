// The files of the test double: a case-insensitive file system in memory
// with read-only flags and fault injection.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/fake_world.h"

namespace rw::test {

/// Enough of Unicode's simple lower-casing for tests: ASCII, Latin-1, Greek
/// and Cyrillic capitals.
std::string FoldCase(std::string_view text);

class FakeFileSystem final : public FileSystem, public WorldPart {
 public:
  /// `world` scripts the failures, versions and long names.
  FakeFileSystem(FakeWorld* world, std::string programFolder);

  // --- Test set-up ---
  void AddFile(const std::string& path, std::string bytes, bool readOnly);
  void AddFolder(const std::string& path);
  void SetReadOnly(const std::string& path, bool readOnly);
  std::optional<std::string> Contents(const std::string& path) const;
  bool HasFolder(const std::string& path) const;
  std::vector<std::string> FilesBelow(const std::string& folder) const;

  // --- FileSystem ---
  std::string ProgramFolder() override { return programFolder_; }
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
  bool Fails(Op op, const std::string& path) const;

  std::string programFolder_;
  std::map<std::string, Entry> files_;
  std::uint64_t writes_ = 0;
  std::map<std::string, std::string> folders_;  // key -> spelling
  std::map<std::string, std::uint64_t> folderIdentities_;
  std::uint64_t identities_ = 0;
};

}  // namespace rw::test
