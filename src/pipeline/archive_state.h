// Which interface the host's archive holds: its own, the one Ravelwick
// installed last, or another, told by comparing the archive with the backup
// and with the packed archive that the last install left in the program
// folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "stores/sha256.h"

namespace rw {

struct Installation;

enum class ArchiveLook {
  Original,       // the same bytes as the backup of this host version
  RavelwickLook,  // the same bytes as the archive Ravelwick packed last
  Foreign,        // neither
  Unknown,        // no backup to compare with, or an archive that cannot be read
};

/// Tells whether two files hold the same bytes, comparing their sizes first
/// and hashing only files of equal size. A hash is kept as long as its
/// file's stamp stays the same, so archives of many megabytes are read once
/// per run rather than at every look.
class ArchiveFingerprints {
 public:
  /// nullopt when either file is missing or unreadable.
  std::optional<bool> Same(Platform& platform, const std::string& a, const std::string& b);
  /// The file's SHA-256, nullopt when it is missing or unreadable.
  std::optional<Sha256Digest> Digest(Platform& platform, const std::string& path);
  /// How many files were read and hashed so far.
  int HashCount() const { return hashed_; }

 private:
  struct Entry {
    std::string path;
    FileStamp stamp;
    Sha256Digest digest;
  };
  std::optional<Sha256Digest> DigestOf(Platform& platform, const std::string& path, const FileStamp& stamp);
  std::vector<Entry> entries_;
  int hashed_ = 0;
};

/// Reads only: the host's archive against the backup of its version, then
/// against the packed archive. A packed archive that was unpacked from the
/// backup equals it, so it counts as the original before any install.
ArchiveLook HostArchiveLook(const Installation& installation, ArchiveFingerprints& fingerprints);

}  // namespace rw
