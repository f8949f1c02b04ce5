#include "stores/utf8_file.h"

#include <cstdint>
#include <cstring>

#include "stores/sha256.h"

namespace rw {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed sequence starting at bytes[i], or 0.
size_t WellFormedLength(std::string_view bytes, size_t i, size_t* maximalSubpart) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = b(i);
  *maximalSubpart = 1;
  if (lead < 0x80) return 1;
  size_t need;
  unsigned char lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  for (size_t k = 1; k <= need; ++k) {
    if (i + k >= bytes.size()) return 0;
    const unsigned char c = b(i + k);
    const unsigned char min = (k == 1) ? lo : 0x80;
    const unsigned char max = (k == 1) ? hi : 0xBF;
    if (c < min || c > max) return 0;
    *maximalSubpart = k + 1;
  }
  return need + 1;
}

}  // namespace

std::string DecodeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    // Fast path for ASCII runs.
    size_t run = i;
    while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
    if (run > i) {
      out.append(bytes.substr(i, run - i));
      i = run;
      continue;
    }
    size_t subpart = 1;
    const size_t len = WellFormedLength(bytes, i, &subpart);
    if (len) {
      out.append(bytes.substr(i, len));
      i += len;
    } else {
      out.append(kReplacement);
      i += subpart;
    }
  }
  return out;
}

bool IsWellFormedUtf8(std::string_view bytes) {
  size_t subpart = 0;
  for (size_t i = 0; i < bytes.size();) {
    // Plain ASCII, the bulk of most texts, eight bytes at a time.
    if (std::uint64_t word; i + 8 <= bytes.size() && (std::memcpy(&word, bytes.data() + i, 8), true) &&
                            (word & 0x8080808080808080ULL) == 0) {
      i += 8;
      continue;
    }
    const size_t len = WellFormedLength(bytes, i, &subpart);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::optional<std::string> ReadUtf8File(Platform& platform, const std::string& path) {
  auto bytes = platform.files.ReadFile(path);
  if (!bytes) return std::nullopt;
  std::string text = DecodeUtf8(*bytes);
  if (text.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) text.erase(0, kUtf8Bom.size());
  return text;
}

namespace {

// Earlier versions put the temporary file at the target's name + this.
constexpr std::string_view kOldPartialSuffix = ".partial";

}  // namespace

// Short, so it fits beside a target whose own name is as long as a name may
// be; the target's own, so two targets in one folder never share one and a
// cut-off copy is found again.
std::string TemporaryPathFor(Platform& platform, const std::string& target) {
  const std::size_t slash = target.find_last_of("\\/");
  const std::size_t leaf = slash == std::string::npos ? 0 : slash + 1;
  // The name as the system compares it, hashed.
  const std::string name = "~rw" + HexOf(Sha256(platform.system.LowerCase(target.substr(leaf)))).substr(0, 8) + ".tmp";
  return target.substr(0, leaf) + name;
}

namespace {

// The one way a file is replaced: the new bytes go to a temporary file beside
// it, which is renamed over it; a failure removes the temporary file again.
template <typename Fill>
FileChange ReplaceThroughTemporary(Platform& platform, const std::string& target, Fill fill) {
  // A read-only target is refused by the rename, which says why.
  const std::string partial = TemporaryPathFor(platform, target);
  RemoveCutOffCopy(platform, target);
  FileChange change = fill(partial);
  if (change) change = platform.files.RenameOver(partial, target);
  // The failure is told as the step that failed told it, not as the clean-up.
  if (!change && platform.files.FileExists(partial)) platform.files.RemoveFile(partial);
  return change;
}

}  // namespace

void RemoveCutOffCopy(Platform& platform, const std::string& to) {
  for (const std::string& partial : {TemporaryPathFor(platform, to), to + std::string(kOldPartialSuffix)})
    if (platform.files.FileExists(partial)) platform.files.RemoveFile(partial);
}

FileChange WriteFileAtomic(Platform& platform, const std::string& path, std::string_view bytes) {
  return ReplaceThroughTemporary(platform, path,
                                 [&](const std::string& partial) { return platform.files.WriteFile(partial, bytes); });
}

FileChange CopyFileAtomic(Platform& platform, const std::string& from, const std::string& to) {
  return ReplaceThroughTemporary(
      platform, to, [&](const std::string& partial) { return platform.files.CopyFileOver(from, partial); });
}

FileChange WriteUtf8File(Platform& platform, const std::string& path, std::string_view text) {
  std::string bytes;
  bytes.reserve(kUtf8Bom.size() + text.size());
  bytes.append(kUtf8Bom);
  bytes.append(text);
  return WriteFileAtomic(platform, path, bytes);
}

}  // namespace rw
