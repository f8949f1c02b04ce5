// Folder trees on disk to archive entries and back, through std::filesystem
// so the same code serves Windows (UTF-16 paths) and Linux.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "archive.h"

namespace rw::pak {

/// On Windows the full path in the "\\?\" form, which works past MAX_PATH;
/// shown without it.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The disk calls, one file per system (disk_win32.cpp, disk_posix.cpp).
enum class DiskKind { Missing, Folder, File, Other };  // Other: links, devices
/// What `path` itself is; a link is never followed.
DiskKind KindOf(const std::filesystem::path& path);
/// Names of everything directly in `folder`.
bool ListFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& names);
/// Creates a new folder; false when anything is there already.
bool MakeFolder(const std::filesystem::path& path);
bool RenameFolder(const std::filesystem::path& from, const std::filesystem::path& to);
/// Removes what it can of a tree; links are never entered.
void RemoveTree(const std::filesystem::path& path);

/// Every folder and file below `root` (not `root` itself), with the names
/// the archive uses. Links and other special files are refused.
bool ReadTree(const std::filesystem::path& root, std::vector<Entry>& entries, std::string& error);

/// Creates `root` and writes checked entries into it. Each folder and file
/// must be new: a name that the file system folds onto an earlier one fails
/// the whole write instead of overwriting it.
bool WriteTree(const std::filesystem::path& root, const std::vector<Entry>& entries, std::string& error);

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace rw::pak
