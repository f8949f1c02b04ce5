// Small string helpers shared by the stores and the window logic.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace rw {

/// The text up to, not including, its first NUL character.
std::string CutAtNul(std::string_view text);

/// ASCII lower case; other bytes unchanged.
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

/// Replaces every occurrence of `find` (exact, case-sensitive) by `with`,
/// left to right without overlap.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view with);

/// `text` with each placeholder ("$folder") replaced by its value, in one
/// pass: where placeholders overlap the longest wins ("$newer" before
/// "$new"), and a value is never searched for placeholders again.
std::string Fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string_view>> values);

/// Blanks (spaces and tabs) removed at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace rw
