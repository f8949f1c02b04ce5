// One spelling per folder: the host folder is stored and compared in this
// form, so "C:/Maxthon3/", "c:\MAXTHO~1\.\" and "\\?\C:\Maxthon3." all name
// the same installation.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rw {

/// The full path without the help of the file system: forward slashes become
/// backslashes, a "\\?\" or "\\.\" prefix goes, doubled backslashes, "." and
/// ".." are resolved, trailing dots and spaces of each name are dropped (as
/// Windows drops them), the drive letter is upper case, no trailing
/// backslash except after a bare drive. nullopt for a path that is not
/// fully qualified ("C:\..." or "\\server\share\...").
std::optional<std::string> LexicalFullPath(std::string_view path);

/// LexicalFullPath with short (8.3) names expanded by the file system.
std::optional<std::string> CanonicalPath(Platform& platform, std::string_view path);

/// Whether two paths lead to one file or folder, by identity where the file
/// system gives one: a link, a junction, a substituted drive or a share of
/// a local folder is no other place. A file not there yet is the same name
/// in the same folder; the spelling decides only what cannot be opened.
bool SameFileOrFolder(Platform& platform, const std::string& a, const std::string& b);

}  // namespace rw
