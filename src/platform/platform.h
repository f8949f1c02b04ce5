// The program's one seam to the operating system. Everything outside
// src/platform talks to Windows (or to a test double) through this interface.
// Strings are UTF-8; paths use backslashes as on Windows and may be longer
// than MAX_PATH (260 characters). Method names avoid
// the names that <windows.h> turns into macros (CopyFile, DeleteFile, ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

/// Opaque window handle; 0 means "no window".
using WindowHandle = std::uintptr_t;

/// One entry of the process list.
struct ProcessInfo {
  std::uint32_t pid = 0;
  std::string imageName;       // e.g. "Maxthon.exe"
  std::string executablePath;  // full path, may be empty when not readable
};

/// Size and last-write time of a file. The same stamp means the same contents
/// unless someone rewrote the file within the file system's time resolution
/// without changing its size.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t writeTime = 0;
  bool operator==(const FileStamp&) const = default;
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

/// YesNo answers Ok for Yes and Cancel for No.
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel };

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Files and folders -------------------------------------------------
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
  virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;
  /// Renames `from` over `to`, replacing an existing `to`. Fails when `to`
  /// is read-only.
  virtual bool RenameOver(const std::string& from, const std::string& to) = 0;
  /// Copies a file with its last-write time, overwriting `to` when it exists
  /// and is not read-only.
  virtual bool CopyFileOver(const std::string& from, const std::string& to) = 0;
  /// Deletes a file; never forces a read-only file.
  virtual bool RemoveFile(const std::string& path) = 0;
  /// Deletes a folder with its contents; never forces read-only files.
  /// A link or junction, in the folder's own place or at any depth, is
  /// removed as a link and never entered; where the system cannot remove
  /// the link alone (Wine and a Unix link) it stays. Returns false when
  /// anything was left behind.
  virtual bool DeleteFolder(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
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

  // --- Text encoding ------------------------------------------------------
  /// Every letter lowered as the system's ordinal case-insensitive compare
  /// sees it (not ASCII only), so lowered texts compare like file names.
  virtual std::string LowerCase(std::string_view text) = 0;
  /// Bytes in the system ANSI code page to UTF-8.
  virtual std::string AnsiToUtf8(std::string_view ansi) = 0;
  /// UTF-8 to the ANSI code page; nullopt when a character has no
  /// representation there.
  virtual std::optional<std::string> Utf8ToAnsi(std::string_view utf8) = 0;

  // --- System -------------------------------------------------------------
  /// A string value, e.g. "HKEY_CURRENT_USER\\Software\\Maxthon3\\Folder".
  /// nullopt when missing or not a string.
  virtual std::optional<std::string> ReadRegistryString(const std::string& valuePath) = 0;
  virtual std::uint32_t SystemDefaultLcid() = 0;
  /// Claims a name for this process until it ends; false when another
  /// process holds it already, or when this process claimed it before.
  /// Atomic: of two claims at once, one wins. Any text is a valid name.
  /// Every session and user of the computer sees the claim: a task run
  /// while nobody is logged on meets the user's window.
  virtual bool ClaimSingleInstance(const std::string& name) = 0;
  virtual void InitCommonControls() = 0;
  virtual bool IsCompositionEnabled() = 0;

  // --- Windows and messages ------------------------------------------------
  /// Top-level window by class and exact title (title empty: any title).
  virtual WindowHandle FindTopWindow(const std::string& className, const std::string& title) = 0;
  /// Restore (SC_RESTORE), show in current place and bring to the foreground.
  virtual void RaiseWindow(WindowHandle window) = 0;
  /// Sends the system close command (SC_CLOSE).
  virtual void SendCloseCommand(WindowHandle window) = 0;
  virtual MessageResult ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                                    MessageButtons buttons) = 0;
  /// Lets pending window events run once.
  virtual void PumpEvents() = 0;
  /// Hourglass on (true) or the default pointer (false) for the whole screen.
  virtual void SetWaitCursor(bool wait) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;

  // --- Processes ------------------------------------------------------------
  /// Processes whose image name equals `imageName`, compared without regard
  /// to letter case.
  virtual std::vector<ProcessInfo> ListProcesses(const std::string& imageName) = 0;
  virtual bool TerminateProcess(std::uint32_t pid) = 0;
  /// Starts a command line without waiting; hidden or with the default
  /// window style. The program, quoted or not, comes first and its path may
  /// be long. Returns the process id, 0 when it could not be started.
  virtual std::uint32_t StartProcess(const std::string& commandLine, bool hidden) = 0;
  /// Exit code of a process this platform started; nullopt while it runs or
  /// when it is not known. A process killed from outside ends with a
  /// non-zero code.
  virtual std::optional<std::uint32_t> ExitCodeOf(std::uint32_t pid) = 0;
  /// Why the last file change that failed (write, rename, copy, remove,
  /// create) did, in the system's words; empty when it did not say.
  virtual std::string LastFailure() = 0;

  /// Opens an address in the user's default browser.
  virtual bool OpenInDefaultBrowser(const std::string& address) = 0;
};

}  // namespace rw
