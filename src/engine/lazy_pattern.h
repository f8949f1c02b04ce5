// A small matcher for the few pattern forms the template edits use, with
// the meaning an ECMAScript engine gives them (ignoring letter case):
// literal text, where "\#", "\.", "\{", "\}", "\*", "\r" and "\n" stand for
// the characters, separated by lazy gaps ".*?" (no line break), "[^>]*?"
// (no ">") and "(.|\r|\n)*?" (anything). It finds the leftmost match and,
// from there, the span a backtracking engine would report, in time linear in
// the text, so large files cannot make it backtrack without end.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

struct Span {
  size_t start = 0;
  size_t end = 0;  // one past the last character
  bool operator==(const Span&) const = default;
};

class LazyPattern {
 public:
  /// Compiles the pattern; a form outside the supported set leaves the
  /// pattern invalid, and an invalid pattern never matches.
  explicit LazyPattern(std::string_view pattern);

  bool valid() const { return valid_; }

  /// The first match in the text, or nullopt.
  std::optional<Span> Find(std::string_view text) const;

 private:
  enum class Gap { Anything, NoLineBreak, NoCloseAngle };

  bool valid_ = false;
  std::vector<std::string> literals_;  // ASCII lower case, never empty
  std::vector<Gap> gaps_;              // gaps_[i] stands between literals_[i] and literals_[i + 1]
};

/// Every position where `lowerLiteral` occurs, comparing ASCII letters
/// without regard to case; overlapping occurrences included.
std::vector<size_t> FindAllIgnoreCase(std::string_view text, std::string_view lowerLiteral);

/// First occurrence at or after `from`, comparing ASCII letters without
/// regard to case; npos when none.
size_t FindIgnoreCase(std::string_view text, std::string_view lowerLiteral, size_t from = 0);

}  // namespace rw
