#include "pipeline/archive_state.h"

#include "pipeline/installation.h"
#include "pipeline/pipeline.h"

namespace rw {

std::optional<Sha256Digest> ArchiveFingerprints::DigestOf(Platform& platform, const std::string& path,
                                                          const FileStamp& stamp) {
  const std::string key = platform.system.LowerCase(path);
  for (const Entry& entry : entries_)
    if (entry.path == key && entry.stamp == stamp) return entry.digest;
  const std::optional<std::string> bytes = platform.files.ReadFile(path);
  if (!bytes) return std::nullopt;
  ++hashed_;
  std::erase_if(entries_, [&](const Entry& entry) { return entry.path == key; });
  entries_.push_back({key, stamp, Sha256(*bytes)});
  return entries_.back().digest;
}

std::optional<Sha256Digest> ArchiveFingerprints::Digest(Platform& platform, const std::string& path) {
  const std::optional<FileStamp> stamp = platform.files.StampOf(path);
  if (!stamp) return std::nullopt;
  return DigestOf(platform, path, *stamp);
}

std::optional<bool> ArchiveFingerprints::Same(Platform& platform, const std::string& a, const std::string& b) {
  const std::optional<FileStamp> stampA = platform.files.StampOf(a);
  const std::optional<FileStamp> stampB = platform.files.StampOf(b);
  if (!stampA || !stampB) return std::nullopt;
  if (stampA->size != stampB->size) return false;
  const std::optional<Sha256Digest> digestA = DigestOf(platform, a, *stampA);
  const std::optional<Sha256Digest> digestB = DigestOf(platform, b, *stampB);
  if (!digestA || !digestB) return std::nullopt;
  return *digestA == *digestB;
}

ArchiveLook HostArchiveLook(const Installation& installation, ArchiveFingerprints& fingerprints) {
  Platform& platform = installation.platform;
  const std::string host = installation.HostArchive();
  if (installation.hostBinFolder.empty() || installation.hostVersion.empty() || !IsUsableArchive(platform, host))
    return ArchiveLook::Unknown;
  const std::optional<bool> original = fingerprints.Same(platform, host, installation.BackupPath());
  if (!original) return ArchiveLook::Unknown;
  if (*original) return ArchiveLook::Original;
  if (platform.files.FileExists(installation.PackedArchive()) &&
      fingerprints.Same(platform, host, installation.PackedArchive()).value_or(false))
    return ArchiveLook::RavelwickLook;
  // A later Apply that did not install rebuilt or removed the packed archive;
  // the record still names what the host got last.
  const std::optional<std::string> record = platform.files.ReadFile(installation.InstalledRecordPath());
  const std::optional<FileStamp> stamp = platform.files.StampOf(host);
  if (record && stamp && record->starts_with(std::to_string(stamp->size) + " ")) {
    const std::optional<Sha256Digest> digest = fingerprints.Digest(platform, host);
    if (digest && *record == InstalledRecordText(stamp->size, *digest)) return ArchiveLook::RavelwickLook;
  }
  return ArchiveLook::Foreign;
}

}  // namespace rw
