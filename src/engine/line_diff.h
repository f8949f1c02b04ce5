// A unified line diff, for showing an edit of an interface file before it is
// made.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rw {

/// The unified diff that turns `oldText` into `newText`, with 3 lines of
/// context, in the form `diff -u` writes: `--- a/<path>` and `+++ b/<path>`
/// headers, `@@ -l,s +l,s @@` hunks and `\ No newline at end of file` after
/// a last line without a line break. `path` is the file's path below the
/// working tree with forward slashes (`ui/index.css`), so `patch -p1` run in
/// that tree applies the result. Empty when the texts are equal.
///
/// Lines end at "\n" only: a CR before it, a byte-order mark, NUL and
/// invalid UTF-8 are ordinary bytes of the line, so the patch reproduces the
/// new text byte for byte. Minimal while a stretch between two common lines
/// has up to about two thousand changes; beyond that the work is capped and
/// the diff may mark more lines as changed than needed (still correct).
std::string UnifiedDiff(std::string_view oldText, std::string_view newText, std::string_view path);

/// Files larger than this are not diffed line by line in a preview.
inline constexpr std::size_t kDiffSizeLimit = 2 * 1024 * 1024;

/// A file's change as a preview shows it: its diff, or only the two sizes
/// when either side is above the limit.
struct DiffOrSizes {
  bool tooLarge = false;
  std::string diff;  // empty when tooLarge or when nothing changed
  std::size_t oldSize = 0;
  std::size_t newSize = 0;
};

DiffOrSizes DiffOrSizesOf(std::string_view oldText, std::string_view newText, std::string_view path,
                          std::size_t limit = kDiffSizeLimit);

/// The text a preview shows for one file: the diff itself, or for a file
/// too large to diff one line "<path>: changed, 3 145 728 → 3 145 790 bytes
/// (too large to show line by line)".
std::string PreviewText(const DiffOrSizes& change, std::string_view path);

}  // namespace rw
