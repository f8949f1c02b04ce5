// Whole-file UTF-8 text reading and writing for the host's interface files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

/// Decodes UTF-8 bytes into well-formed UTF-8: every ill-formed sequence
/// (maximal subpart) becomes U+FFFD, as the Windows converter does.
std::string DecodeUtf8(std::string_view bytes);

/// Whether the bytes are UTF-8 throughout: DecodeUtf8 would give them back.
bool IsWellFormedUtf8(std::string_view bytes);

/// The file's text with one leading byte-order mark removed; nullopt when
/// the file is missing or cannot be read.
std::optional<std::string> ReadUtf8File(Platform& platform, const std::string& path);

/// Replaces the file with a byte-order mark followed by `text`. The bytes go
/// to a temporary file in the same folder first and are renamed over the
/// target, so a failure leaves the old file as it was. A read-only target
/// fails, as does any step; the failure says why.
FileChange WriteUtf8File(Platform& platform, const std::string& path, std::string_view text);

/// The atomic write used by WriteUtf8File and the settings file.
FileChange WriteFileAtomic(Platform& platform, const std::string& path, std::string_view bytes);

/// Copies `from` to a temporary file beside `to` and renames it over `to`, so
/// `to` holds either its old bytes or all of the new ones. The temporary file
/// never outlives a failure.
FileChange CopyFileAtomic(Platform& platform, const std::string& from, const std::string& to);

/// The temporary file beside `target` that the atomic writes use: a short
/// name of the target's own in the same folder.
std::string TemporaryPathFor(Platform& platform, const std::string& target);

/// Removes what a CopyFileAtomic to `to` that was cut off (the program
/// killed) left beside it.
void RemoveCutOffCopy(Platform& platform, const std::string& to);

}  // namespace rw
