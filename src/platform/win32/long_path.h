// Paths past MAX_PATH: Windows without long-path support (and Wine for some
// calls) takes them only in the "\\?\" form, which skips the usual clean-up
// of the path and so must be a full one.
#pragma once

#include <string>
#include <string_view>

namespace rw::win32 {

/// The path for a file function: unchanged while its full form is short
/// enough for every call (CreateDirectoryW allows MAX_PATH - 12), else the
/// full path as "\\?\C:\..." or "\\?\UNC\server\...".
std::wstring FileSystemPath(std::wstring_view path);
std::wstring FileSystemPath(std::string_view utf8);

/// The path without a leading "\\?\" or "\\?\UNC\", as the program's other
/// paths are written.
std::wstring WithoutLongPrefix(std::wstring_view path);

/// The long form of an existing path (8.3 short names expanded); the path
/// unchanged when it does not exist or cannot be resolved.
std::string LongPathName(const std::string& path);

}  // namespace rw::win32
