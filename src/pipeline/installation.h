// What the pipeline works on: the program folder with the files derived
// there, and the host installation they are prepared for. The host's file
// names and those of the derived files are formed here and nowhere else.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

// Stored spelling: the class of the host's main window.
inline constexpr std::string_view kHostWindowClass = "Maxthon3Cls_MainFrm";

struct Installation {
  Platform& platform;
  std::string programFolder;  // no trailing backslash
  std::string hostBinFolder;  // ends in a backslash; empty until known
  std::string hostVersion;    // empty when the host's executable has none

  /// The host's Bin folder below its folder (which ends in a backslash).
  static std::string BinFolderOf(std::string_view hostFolder) { return std::string(hostFolder) + "Bin\\"; }

  /// A name in the program folder.
  std::string Path(std::string_view name) const { return programFolder + "\\" + std::string(name); }
  /// The working tree the tweaks are written into.
  std::string Tree() const { return Path("Resource"); }
  /// The packed archive: the tree packed, or the archive it was unpacked from.
  std::string PackedArchive() const { return Path("Resource.dat"); }
  /// What the last finished unpack left in the tree.
  std::string TreeRecordPath() const { return Path("Resource.files"); }
  /// Empty while the host version is unknown: "Resource.dat" is the packed
  /// archive, never a backup.
  std::string BackupPath() const {
    return hostVersion.empty() ? std::string() : Path("Resource" + hostVersion + ".dat");
  }
  /// The host's archive as it was before an install, kept until the host
  /// has been seen to start with the new one; one for each installation.
  std::string KeptAsidePath() const { return KeptAsideStem() + ".dat"; }
  /// Names the host archive the kept-aside one came from.
  std::string KeptAsideRecordPath() const { return KeptAsideStem(); }
  /// Size and SHA-256 of the archive the last finished install left in the
  /// host's place: the packed archive is rebuilt (or removed) by a later
  /// Apply that never installs, this stays true until the next one does.
  std::string InstalledRecordPath() const { return Path("Resource.installed"); }
  std::string HostExecutable() const { return hostBinFolder + "Maxthon.exe"; }
  std::string HostArchive() const { return hostBinFolder + "Resource.dat"; }

 private:
  std::string KeptAsideStem() const;
};

}  // namespace rw
