// The text operations of the template edits.
#pragma once

#include <string>
#include <string_view>

#include "engine/lazy_pattern.h"

namespace rw {

inline constexpr std::string_view kPlaceholder = "<temp_for_replace>";

/// True when the pattern matches somewhere in the text.
bool HasMatch(std::string_view text, const LazyPattern& pattern);

/// Replaces the first match by `with` (taken literally); false when there
/// is none.
bool ReplaceFirstMatch(std::string& text, const LazyPattern& pattern, std::string_view with);

/// Replaces every occurrence of `find`, scanning left to right without
/// overlap, by `with` taken literally. Case::Ignore compares ASCII letters
/// without regard to case. Returns how many were replaced.
size_t ReplaceEvery(std::string& text, std::string_view find, std::string_view with, Case compare);

/// The first match becomes the placeholder, then every placeholder in the
/// text becomes `markup` (one already in the file included, as the host's
/// templates have always been edited). False when the pattern had no match.
bool ReplaceThroughPlaceholder(std::string& text, const LazyPattern& pattern, std::string_view markup);

}  // namespace rw
