// Files and folders, the part of the platform most of the program uses.
// Strings are UTF-8; paths use backslashes as on Windows and may be longer
// than MAX_PATH (260 characters). Method names avoid the names that
// <windows.h> turns into macros (CopyFile, DeleteFile, ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rw {

/// Size and last-write time of a file. The same stamp means the same contents
/// unless someone rewrote the file within the file system's time resolution
/// without changing its size.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t writeTime = 0;
  bool operator==(const FileStamp&) const = default;
};

/// How a change to the file system went. A failure carries the system's own
/// words for why, taken when it failed: nothing later can overwrite them.
struct FileChange {
  bool ok = false;
  std::string osError;  // empty when the system did not say
  explicit operator bool() const { return ok; }

  static FileChange Done() { return {true, {}}; }
  static FileChange Failed(std::string why = {}) { return {false, std::move(why)}; }
};

/// What tells a file or folder from every other, whatever path reaches it:
/// through a link, a junction, a substituted drive or a share of a local
/// folder it is the same. The volume and the file's number on it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t indexHigh = 0;
  std::uint64_t indexLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Folder of the program's executable, without a trailing backslash.
  virtual std::string ProgramFolder() = 0;
  /// True only for an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  /// True when the file exists and carries the read-only attribute.
  virtual bool IsReadOnly(const std::string& path) = 0;
  /// nullopt when the file is missing. Cheaper than opening it.
  virtual std::optional<FileStamp> StampOf(const std::string& path) = 0;
  /// Reads a whole file; nullopt when it is missing or unreadable.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  /// Creates or truncates the file and writes all bytes. Fails on a
  /// read-only target.
  virtual FileChange WriteFile(const std::string& path, std::string_view bytes) = 0;
  /// Renames `from` over `to`, replacing an existing `to`. Fails when `to`
  /// is read-only.
  virtual FileChange RenameOver(const std::string& from, const std::string& to) = 0;
  /// Copies a file with its last-write time, overwriting `to` when it exists
  /// and is not read-only.
  virtual FileChange CopyFileOver(const std::string& from, const std::string& to) = 0;
  /// Deletes a file; never forces a read-only file.
  virtual FileChange RemoveFile(const std::string& path) = 0;
  /// Deletes a folder with its contents; never forces read-only files.
  /// A link or junction, in the folder's own place or at any depth, is
  /// removed as a link and never entered; where the system cannot remove
  /// the link alone (Wine and a Unix link) it stays. Fails when anything
  /// was left behind.
  virtual FileChange DeleteFolder(const std::string& path) = 0;
  virtual FileChange CreateFolder(const std::string& path) = 0;
  /// Names (not paths) of the files directly in a folder; subfolders are not
  /// listed. Order is the file system's.
  virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
  /// Paths, relative to `folder` and joined with backslashes, of every file
  /// below it at any depth. A link or junction is neither listed nor
  /// entered; a `folder` that is one lists nothing.
  virtual std::vector<std::string> ListTree(const std::string& folder) = 0;
  /// The long form of an existing path (8.3 short names expanded); the path
  /// unchanged when it does not exist or cannot be resolved.
  virtual std::string LongPathName(const std::string& path) = 0;
  /// The identity of an existing file or folder, links followed; nullopt
  /// when nothing is there or it cannot be opened.
  virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;
  /// Fixed file version of an executable as "a.b.c.d"; nullopt when the file
  /// has no version information or cannot be read.
  virtual std::optional<std::string> FileVersion(const std::string& path) = 0;
};

}  // namespace rw
