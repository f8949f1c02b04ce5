// Unpacking, replacement images, packing and installing, restoring.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pipeline/outcome.h"
#include "pipeline/road_user.h"
#include "platform/platform.h"
#include "stores/sha256.h"

namespace rw {

struct Installation;

/// Copies the fourteen replacement images (seventeen copies) from ResFiles
/// into the working resource tree; each failed copy is skipped.
void CopyReplacementImages(const Installation& installation);

/// Builds the working resource tree with unpak.exe, waiting by polling with
/// the user shown the wait and the road busy. A tree that is
/// there is discarded first; the new one counts only when the unpacker was
/// seen to finish, and is then recorded (tree_record.h).
PipelineResult UnpackArchive(const Installation& installation, RoadUser& window);

/// True for a file that exists and is not empty.
bool IsUsableArchive(Platform& platform, const std::string& path);

/// Copies the host's archive to the backup of its version. False, and no
/// backup, when the archive is empty or unreadable or the version unknown.
bool MakeBackup(const Installation& installation);

/// Unpacks a copy of the packed archive beside the tree and compares the
/// result with the tree: same files, same bytes.
PipelineResult VerifyPackedArchive(const Installation& installation, RoadUser* window = nullptr);

/// How long the host has to show that it starts after an install.
inline constexpr unsigned kHealthCheckMs = 15000;
inline constexpr unsigned kHealthPollMs = 250;

/// Whether an install or restore watches the host start.
enum class Watch {
  None,
  /// The host is watched after its start (the window stepped aside); an
  /// install keeps the host's archive aside first and puts it back, with one
  /// more start, when the host ends without showing a window.
  HostStart,
};

/// Closes the host (asking first when it shows a window), installs the
/// packed working tree and starts the host again. The tree is packed and the
/// result verified before the host is closed. Declined: nothing was touched.
/// Watched: RolledBack, or StillDown when the host ends again.
PipelineResult Install(const Installation& installation, RoadUser& user, Watch watch);
/// As Install, with the backup of this host version; afterwards the window
/// has stepped aside and the derived files are gone. Watched, there is
/// nothing to go back to (RestoredButDown).
PipelineResult Restore(const Installation& installation, RoadUser& user, Watch watch);

enum class HostStart {
  Running,  // a host window appeared, or a host process still runs at the end
  Ended     // every host process of this installation ended without a window
};
/// Watches the host started as `pid` for up to `limitMs`. `otherWindow` is a
/// host window that was there before the start and does not count.
HostStart WatchHostStart(const Installation& installation, std::uint32_t pid, WindowHandle otherWindow,
                         RoadUser* window = nullptr, unsigned limitMs = kHealthCheckMs);

/// Copies the host's archive aside and records whose it is. Fails, with
/// nothing kept, when either step does.
FileChange KeepAside(const Installation& installation);

/// Whose archive the kept one is, as its record says: the host's archive
/// and the host version it was taken at. Records of earlier releases name
/// no version; a kept archive without a record names nothing.
struct KeptAsideOwner {
  std::string hostArchive;
  std::string hostVersion;
};
/// The owner of the kept archive; nullopt when no archive is kept.
std::optional<KeptAsideOwner> KeptAsideOwnerOf(const Installation& installation);
/// The archive kept aside by an install that did not finish its watch (the
/// program was ended meanwhile), when it was taken from this host's archive
/// at this host version.
bool HasKeptAsideArchive(const Installation& installation);
/// Removes a kept archive that is not this host's (another version, another
/// folder, or a record that does not say): it must never go over this host.
/// Its owner when there was one to remove.
std::optional<KeptAsideOwner> DropForeignKeptAside(const Installation& installation);

/// How a kept archive was settled with nobody to ask.
enum class Settlement {
  NothingKept,  // no archive of this host was kept
  KeptDropped,  // the host runs, so with the installed archive: the kept one is forgotten
  PutBack,      // no host runs: the kept archive is back in the host's folder
  NotSettled,   // it could not be put back or forgotten, and stays kept
};
struct Settled {
  Settlement how = Settlement::NothingKept;
  std::string osError;  // why not, when the system said
};
/// Settles the kept archive of this host as the watch would have: a host of
/// this installation that runs does so with the installed archive; when none
/// runs the installed one was not seen to work, and the kept one goes back.
/// Never closes nor starts the host.
Settled SettleKeptAside(const Installation& installation);
/// Closes the host (asking first when it shows a window), puts the kept
/// archive back, starts the host and forgets the kept archive.
PipelineResult PutBackKeptAside(const Installation& installation, RoadUser& window);
/// Forgets the kept archive: the user keeps the installed one.
void DropKeptAside(const Installation& installation);

/// The text of the record of what the last finished install put into the
/// host's place: its size and SHA-256, "1234 ab12...".
std::string InstalledRecordText(std::uint64_t size, const Sha256Digest& digest);

/// True when no "Maxthon.exe" process of this installation is listed.
bool IsHostClosed(const Installation& installation);

}  // namespace rw
