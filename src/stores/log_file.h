// ravelwick.log: what each Apply and Restore did, newest last. An entry is
// a block of lines ending in a blank line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

inline constexpr std::size_t kLogSizeLimit = 1024 * 1024;

/// Appends `entry` (its lines, CR LF added) and keeps the newest entries
/// that fit within `limit` bytes. The file is replaced whole, so a crash
/// leaves the earlier entries as they were; text with no entry break in it
/// counts as one entry. False when it could not be written.
bool AppendLogEntry(Platform& platform, const std::string& path, std::string_view entry,
                    std::size_t limit = kLogSizeLimit);

}  // namespace rw
