#include "pipeline/installation.h"

#include "stores/sha256.h"

namespace rw {

namespace {

// What earlier releases kept for every installation alike.
constexpr std::string_view kSharedKeptStem = "Resource.kept";

}  // namespace

// Named after the host's archive as the system compares names, so an install
// on another installation never overwrites nor deletes it. One kept under the
// shared name by an earlier release still counts for the installation its
// record names, and for no other.
std::string Installation::KeptAsideStem() const {
  const std::string archive = platform.system.LowerCase(HostArchive());
  const std::string own = Path(std::string(kSharedKeptStem) + "." + HexOf(Sha256(archive)).substr(0, 8));
  const std::string shared = Path(kSharedKeptStem);
  if (platform.files.FileExists(own + ".dat") || !platform.files.FileExists(shared + ".dat")) return own;
  const std::string record = platform.files.ReadFile(shared).value_or("");
  const std::string firstLine = record.substr(0, record.find_first_of("\r\n"));
  return platform.system.LowerCase(firstLine) == archive ? shared : own;
}

}  // namespace rw
