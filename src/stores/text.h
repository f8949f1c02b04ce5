// Small string helpers shared by the stores and the window logic.
#pragma once

#include <string>
#include <string_view>

namespace rw {

/// The text up to, not including, its first NUL character.
std::string CutAtNul(std::string_view text);

/// ASCII lower case; other bytes unchanged.
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// Replaces every occurrence of `find` (exact, case-sensitive) by `with`,
/// left to right without overlap.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view with);

/// Blanks (spaces and tabs) removed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace rw
